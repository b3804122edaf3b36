/* The yardstick for the game's start-up: the least an SDL program does to show a frame. It
 * initialises SDL video, opens an 800 x 600 window with the game's flags, fills the box where
 * the game's red title stands (so bench/measure sees its first frame the same way), flips once
 * and waits until the window is closed, a key is pressed or the process is ended. */
#include <SDL.h>

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return 1;
    SDL_WM_SetCaption("Klakoria", "Klakoria");
    SDL_Surface* screen = SDL_SetVideoMode(800, 600, 0, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!screen)
        return 1;
    SDL_Rect title = {150, 30, 500, 40};
    SDL_FillRect(screen, &title, SDL_MapRGB(screen->format, 255, 0, 0));
    SDL_Flip(screen);
    SDL_Event event;
    while (SDL_WaitEvent(&event) && event.type != SDL_QUIT && event.type != SDL_KEYDOWN)
        ;
    SDL_Quit();
    return 0;
}
