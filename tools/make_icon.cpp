int main() { return 0; }  // (not yet written)
