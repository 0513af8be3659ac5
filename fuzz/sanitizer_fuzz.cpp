// Memory the libraries keep for the life of the process (see the test suite's defaults).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:SDL_SetVideoMode\n"
           "leak:libfontconfig.so\n";
}
