// Built into every test and, in the sanitized build, into the game: the sanitizers' settings
// travel with the binaries, so a status is the program's own however it is started.
// Leaks inside the system libraries that SDL loads (X11, ALSA, font rendering) are not ours.

extern "C" {

const char* __asan_default_options() { return "detect_leaks=1:abort_on_error=0"; }

const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

const char* __lsan_default_suppressions()
{
    return "leak:libX11\n"
           "leak:libxcb\n"
           "leak:libasound\n"
           "leak:libfreetype\n"
           "leak:libdbus\n"
           "leak:libpulse\n"
           "leak:_XlcDefaultLoader\n"
           "leak:_XrmInitParseInfo\n"
           "leak:libSDL-1.2\n";
}
}
