// Fonts in the browser: the browser's SDL draws text with the page's fonts, taking the name
// given to TTF_OpenFont as the CSS font family. The page loads the two faces as web fonts
// under the family names below before the game starts.
#include "core/fonts.h"

#include <cstdio>
#include <cstring>

#include <emscripten.h>

namespace {

// After this long without the fonts, text is drawn in whatever face the browser has.
const int kFontWaitMs = 10000;

}  // namespace

const char* fontPath(const char* file)
{
    if (std::strcmp(file, "MSGOTHIC.TTC") == 0) return "IPAGothic";
    if (std::strcmp(file, "MSMincho.ttc") == 0) return "IPAMincho";
    return "";
}

int GetSpecialFolderPath(void*, int folder, char* path)
{
    const int kFontsFolder = 20;
    if (folder != kFontsFolder) return 0;
    std::snprintf(path, 260, "%s", "fonts");
    return 1;
}

TTF_Font* GetFont(const char* file, int size)
{
    const char* family = fontPath(file);
    return *family ? TTF_OpenFont(family, size) : nullptr;
}

// The page loads the fonts while the title shows. Text drawn before they are there would
// come out in some other face, so the first text waits for them.
EM_JS(int, fontsReady, (), { return Module['fontsReady'] ? 1 : 0; });

extern "C" {

// TTF_RenderText_Solid is the browser's own renderer (in JavaScript); it reads UTF-8.
SDL_Surface* TTF_RenderUTF8_Solid(TTF_Font* font, const char* text, SDL_Color colour)
{
    for (int waited = 0; !fontsReady() && waited < kFontWaitMs; waited += 10) emscripten_sleep(10);
    return TTF_RenderText_Solid(font, text, colour);
}

}  // extern "C"
