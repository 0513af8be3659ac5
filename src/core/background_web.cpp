// The browser build runs on one thread: the work is done when it is started.
#include "core/background.h"

void backgroundStart(BackgroundWork, void (*work)()) { work(); }

void backgroundFinish(BackgroundWork) {}
