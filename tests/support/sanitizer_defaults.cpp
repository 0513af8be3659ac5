// Defaults for the sanitized build, linked into every program of it (the test runner and the
// programs the tests start). Without sanitizers nothing calls these.

extern "C" const char* __asan_default_options()
{
    // The libraries are built without frame pointers; the slow unwinder sees through them, so
    // that the suppressions below can name the call that leaked.
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_options()
{
    // A run that ends through exit() with a suppressed leak would otherwise print the list of
    // suppressions used on standard error, which the tests read as the program's own words.
    return "print_suppressions=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    // Memory the libraries keep for the life of the process and never hand back: the
    // compatibility layer does not free the display surface on SDL_Quit, and fontconfig keeps
    // its parsed configuration; SDL2's X11 video keeps a D-Bus connection's buffers; Graphviz keeps its plugin configuration and some edges of a
    // layout, whatever its context and graph are closed with.
    return "leak:SDL_SetVideoMode\n"
           "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libgvc.so\n"
           "leak:libgvplugin_dot_layout.so\n";
}
