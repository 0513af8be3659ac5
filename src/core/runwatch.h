// Watching a run from outside, as a search of every path does: which script lines it runs,
// and the fatal error that ends it. Nothing is watched unless a watcher is set.
#pragma once

struct RunWatcher {
    // The interpreter ran the script text between from and to (a command line, a message and
    // the lines it spans, an option or a destination offered); text is the scene's text.
    void (*linesRun)(const char* text, const char* from, const char* to);
    // The error routine is about to show a fatal error; it may end the process itself.
    void (*fatal)(const char* message);
    // A scene begins at that scene index (loaded now or before in this game).
    void (*sceneEntered)(int index);
};

// Replaces the watcher; null members: none.
void runWatch(const RunWatcher& watcher);

void watchLinesRun(const char* text, const char* from, const char* to);
void watchFatal(const char* message);
void watchSceneEntered(int index);
