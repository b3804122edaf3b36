#include <SDL.h>

#include <cstdlib>

#include "app/Entry.h"

// Linux has no SDL main wrapper: we install SDL_Quit ourselves, first of all, so that every
// exit() - "Ende" and each fatal start-up error - still shuts SDL down.
int main(int argc, char** argv)
{
    std::atexit(SDL_Quit);
    return runKlakoria(argc, argv);
}
