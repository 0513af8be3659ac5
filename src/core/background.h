// Work done on a thread of its own while the main thread starts SDL: a launch spends much of
// its time waiting for the X server, and the fonts and the first pictures need no window.
#pragma once

// Who runs on the second threads; each has at most one piece of work running.
enum BackgroundWork { kSoundLibraryWork, kFontWork, kPictureWork, kBackgroundWorks };

// Starts work on a thread of its own. Where no thread can be started (the browser, or the
// system refuses) the work is done at once, before this returns. Work already running under
// that name is waited for first.
void backgroundStart(BackgroundWork which, void (*work)());

// Waits until the work started under that name has finished; returns at once when none runs.
// What the work wrote is then safe to read. Work still running when the program exits is
// waited for too.
void backgroundFinish(BackgroundWork which);
