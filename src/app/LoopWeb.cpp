#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include "app/Application.h"
#include "app/Entry.h"
#include "gfx/Text.h"

// In the browser the loop belongs to the page: a pass runs when input arrives and, while a game's
// clock runs, when its next tick is due; the rest of the time the page does nothing at all. SDL's
// own listeners queue the browser's events; ours only ask for the pass that takes them.

namespace {

struct WebGame {
    explicit WebGame(const Options& options) : app(0, options), loop(app) {}
    FontCache fonts;
    Application app;
    MainLoop loop;
};

WebGame* game = nullptr;  // lives until the player quits: the page never returns to playGame's caller
bool passRunning = false;  // a pass waits inside the removal animation
bool passMissed = false;   // input came while it waited
bool passAsked = false;
bool tickAsked = false;

// Calls klakoriaPass from the browser's event loop after a delay; Module.passes counts the calls, so
// that the page (and its test) can see an idle game do nothing. exit() ("Ende") ends a pass with an
// exception of the runtime, which tells the page that the game is over.
EM_JS(void, callPassAfter, (int milliseconds, int forTick), {
    setTimeout(function() {
        Module['passes'] = (Module['passes'] || 0) + 1;
        try {
            Module['_klakoriaPass'](forTick);
        } catch (e) {
            if (!(e instanceof ExitStatus) && e !== 'unwind')
                throw e;
            Module['gameEnded']();
        }
    }, milliseconds);
});

// Whether SDL's queue holds an event: its SDL_PeepEvents cannot peek.
EM_JS(int, eventsQueued, (), { return SDL.events.length > 0; });

void askForPass()
{
    if (passAsked)
        return;
    passAsked = true;
    callPassAfter(0, 0);
}

EM_BOOL onMouse(int /*type*/, const EmscriptenMouseEvent* /*event*/, void* /*data*/)
{
    askForPass();
    return EM_FALSE;  // SDL decides about the browser's default action
}

EM_BOOL onKey(int /*type*/, const EmscriptenKeyboardEvent* /*event*/, void* /*data*/)
{
    askForPass();
    return EM_FALSE;
}

// What the desktop does after the loop: the game writes its list while it is deleted.
void endGame()
{
    delete game;
    game = nullptr;
    EM_ASM(Module['gameEnded']());
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void klakoriaPass(int forTick)
{
    (forTick ? tickAsked : passAsked) = false;
    if (!game)
        return;
    if (passRunning) {
        passMissed = true;
        return;
    }
    passRunning = true;
    const bool goOn = game->loop.runPass();
    passRunning = false;
    if (!goOn) {
        endGame();
        return;
    }
    if (passMissed || eventsQueued()) {
        passMissed = false;
        askForPass();
    } else if (game->app.ticking() && !tickAsked) {
        tickAsked = true;
        callPassAfter(static_cast<int>(game->loop.untilTick()), 1);
    }
}

void playGame(const Options& options)
{
    game = new WebGame(options);
    emscripten_set_mousedown_callback("#canvas", nullptr, EM_FALSE, onMouse);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, onKey);
    emscripten_set_keypress_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, onKey);
    askForPass();  // the first frame
    emscripten_exit_with_live_runtime();
}
