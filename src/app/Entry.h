#pragma once
#include <SDL.h>

#include <cstdint>

class Application;
struct Options;

// Start-up, main loop and shut-down of the whole program; main() calls it once.
int runKlakoria(int argc, char** argv);

// The game itself between start-up and shut-down: the Application and its main loop. On the desktop
// (Loop.cpp) it returns when the player quits; in the browser (LoopWeb.cpp) it hands the loop to the
// page and never returns.
void playGame(const Options& options);

// The main loop, in passes, so that tests can drive it under the dummy driver.
class MainLoop {
public:
    explicit MainLoop(Application& app);

    // Drains SDL's queue and dispatches every event, then calls the tick when 500 ms have
    // passed since the end of the previous one. Returns whether the loop goes on.
    bool runPass();
    // Passes until Escape or SDL_QUIT. Between passes it sleeps until input arrives or the next
    // tick is due, so that an idle game costs no processor time.
    void run();

    // Milliseconds until the next tick is due; 0 when it is due now.
    uint32_t untilTick() const;

    bool isRunning() const { return running; }
    uint64_t passes() const { return passCount; }

private:
    void dispatch(const SDL_Event& event);
    void waitForWork() const;

    Application& app;
    bool running = true;
    bool firstPass = true;
    uint32_t lastTick = 0;
    uint64_t passCount = 0;
};
