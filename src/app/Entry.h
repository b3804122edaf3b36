#pragma once

// Start-up, main loop and shut-down of the whole program; main() calls it once.
int runKlakoria(int argc, char** argv);
