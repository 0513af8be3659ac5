#include "core/background.h"

#include <cstdlib>

#include <SDL.h>
#include <SDL_thread.h>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// SDL's own threads, so that what SDL keeps for each thread (its error text) goes with it.
struct Running {
    void (*work)();
    SDL_Thread* thread;
};
Running running[kBackgroundWorks];

// The work runs at a lower priority than the main thread: it is meant to fill the time the
// main thread spends waiting, not to take a core from it (or from the X server it waits for).
int runYielding(void* data)
{
#ifdef __linux__
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
    static_cast<Running*>(data)->work();
    return 0;
}

void finishAll()
{
    for (int which = 0; which < kBackgroundWorks; ++which)
        backgroundFinish(static_cast<BackgroundWork>(which));
}

}  // namespace

void backgroundStart(BackgroundWork which, void (*work)())
{
    backgroundFinish(which);
    // Threads still running when the program exits are waited for, so that none is cut off
    // while the libraries it uses shut down.
    static bool waitAtExit = std::atexit(finishAll) == 0;
    if (waitAtExit) {
        running[which].work = work;
        running[which].thread = SDL_CreateThread(runYielding, &running[which]);
        if (running[which].thread) return;
    }
    work();
}

void backgroundFinish(BackgroundWork which)
{
    SDL_Thread* thread = running[which].thread;
    if (!thread) return;
    running[which].thread = nullptr;
    SDL_WaitThread(thread, nullptr);
}
