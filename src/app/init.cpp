#include "app/init.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <SDL_mixer.h>

#include "app/devmode.h"
#include "app/gametexts.h"
#include "app/options.h"
#include "core/background.h"
#include "core/errorplace.h"
#include "core/display.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fonts.h"
#include "core/gametext.h"
#include "core/names.h"
#include "core/settings.h"
#include "core/soundlibrary.h"
#include "core/state.h"
#include "core/textfile.h"
#include "interpreter/scanner.h"
#include "presentation/cache.h"
#include "savegame/save.h"
#include "screens/title.h"
#include "presentation/playerkeys.h"

namespace {

const int kItemListSize = 16384;

// The system pictures, in the order they are loaded: file under ./system/picture/, cache name.
const struct {
    const char* file;
    const char* name;
} kPictures[] = {
    {"text.png", "text"},
    {"menu.png", "menu"},
    {"menu1_on.png", "menu1_on"},
    {"menu1_off.png", "menu1_off"},
    {"menu1_gray.png", "menu1_gray"},
    {"menu2_on.png", "menu2_on"},
    {"menu2_off.png", "menu2_off"},
    {"menu3_on.png", "menu3_on"},
    {"menu3_off.png", "menu3_off"},
    {"menu3_gray.png", "menu3_gray"},
    {"jotai.png", "jotai"},
    {"moji-chip.png", "moji"},
    {"moji-chip-red.png", "moji_red"},
    {"load.png", "load"},
    {"save_memo_on.png", "save_memo_on"},
    {"save_memo_off.png", "save_memo_off"},
    {"save.png", "save"},
    {"item.png", "item"},
    {"sentakushi-on.png", "sentakushi_on"},
    {"sentakushi-off.png", "sentakushi_off"},
    {"fade_in.png", "fade_in"},
    {"fade_out.png", "fade_out"},
    {"title_start_on.png", "title_start_on"},
    {"title_start_off.png", "title_start_off"},
    {"title_load_on.png", "title_load_on"},
    {"title_load_off.png", "title_load_off"},
    {"title_load_gray.png", "title_load_gray"},
    {"title_continue_on.png", "title_continue_on"},
    {"title_continue_off.png", "title_continue_off"},
    {"title_continue_gray.png", "title_continue_gray"},
    {"title_back.png", "title_back"},
    {"title_fore.png", "title_fore"},
};

const char* const kSounds[] = {"enter", "onmouse", "paper", "return", "save", "start"};

// True when SDL's audio could be started too.
bool startSdl()
{
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO) == 0) return true;
    // A machine without any sound device still plays, silently, as it does when the mixer
    // cannot be opened.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) == 0) return false;
    std::fprintf(stderr, "SDLの初期化に失敗しました: %s\n", SDL_GetError());
    std::exit(1);
}

// Whether the font library started; written by the font work, read once it has finished.
bool fontLibraryStarted;

// Run on a second thread while SDL starts: finding the faces and reading their tables is a
// good part of the launch, and needs no window.
void openFonts()
{
    fontLibraryStarted = TTF_Init() >= 0;
    if (!fontLibraryStarted) return;
    stdFont = GetFont("MSGOTHIC.TTC", 26);
    changeFont = GetFont("MSMincho.ttc", 26);
    BigFont = GetFont("MSGOTHIC.TTC", 39);
    bouFont = GetFont("MSGOTHIC.TTC", 26);
    itemFont = GetFont("MSGOTHIC.TTC", 20);
}

std::string picturePath(const char* file) { return std::string("./system/picture/") + file; }

// Starts decoding what the first frames show while SDL starts: the black background, and the
// title's pictures when the game opens on the title.
void readAheadFirstPictures()
{
    std::vector<std::string> paths = {"./bg/black.jpg"};
    if (titleComesFirst()) {
        const char* names[kTitlePictures];
        titleFirstPictures(names);
        for (const char* name : names)
            for (const auto& picture : kPictures)
                if (std::strcmp(picture.name, name) == 0) paths.push_back(picturePath(picture.file));
    }
    ImgReadAhead(paths);
}

// Pictures are decoded into blocks of a megabyte or two that are soon freed (an overlay keeps
// only its visible part). By default each such block is a mapping of its own, given back when
// freed, and the next one is new memory whose every page faults in, which costs far more than
// the decoding on some virtual machines; kept, a block serves the next picture. One arena for
// every thread: what the start-up threads make is kept and freed by the main thread, and an
// arena of their own would hold on to its free memory for the rest of the game.
void tuneMemory()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, 8 << 20);
    mallopt(M_ARENA_MAX, 1);
#endif
}

void loadSystemMedia()
{
    // Each picture is read when its screen first shows it (the title's at its first frame), and
    // each sound when it is first played.
    for (const auto& picture : kPictures) ImgLoadLater(picturePath(picture.file).c_str(), picture.name);
    char path[128];
    for (const char* name : kSounds) {
        std::snprintf(path, sizeof path, "./system/sound/%s.wav", name);
        sndLoadLater(path, name);
    }
    ImgLoadLater("./bg/black.jpg", "black");
    ImgLoad("./bg/black.jpg", "bg");
}

void loadItemNames()
{
    static char list[kItemListSize];
    TextFile file = readTextFile("./script/itemlist.txt", list, sizeof list);
    if (!file.opened) {
        placeFile("script/itemlist.txt");
        errors("itemlist.txtがありません");
    }
    readItemNames(list);
}

void closeFont(TTF_Font*& font)
{
    if (font) TTF_CloseFont(font);
    font = nullptr;
}

}  // namespace

void readItemNames(const char* text)
{
    const char* pos = text;
    for (int i = 0; i < kItemCount; ++i) {
        char line[kNameSize];
        pos = GetLine(line, pos);
        if (!pos) break;
        dropPartialCharacter(line);
        std::memcpy(iname[i], line, sizeof line);
    }
}

void init()
{
    tuneMemory();
    // A file size limit would kill the game in the middle of a save; a write past it fails
    // instead, and is handled as a full disk is: the old save is kept and the player told.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // The player's settings from the last run; the scaling filter must be chosen before SDL
    // starts.
    settings = settingsRead(kSettingsPath);
    displayPrepare(settings.fullscreen);
    soundLibraryLoadAhead();
    backgroundStart(kFontWork, openFonts);
    readAheadFirstPictures();
    bool audio = startSdl();
    loadGameTexts();
    namesLoad();
    SDL_WM_SetCaption(gameCaption, nullptr);
    // The game plays on silently, but the player is told why there is no sound.
    if (!audio || Mix_OpenAudio(44100, 0x8010, 2, 4096) != 0)
        std::fprintf(stderr, "no sound device: playing without sound\n");
    screen = SDL_SetVideoMode(800, 600, 24, 0);
    if (!screen) {
        std::fprintf(stderr, "スクリーンの初期化に失敗しました: %s\n", SDL_GetError());
        std::exit(1);
    }
    backgroundFinish(kFontWork);
    if (!fontLibraryStarted) std::exit(1);
    SDL_EnableUNICODE(1);
    if (!stdFont || !BigFont || !bouFont || !itemFont) errors("フォントの取得に失敗しました");
    loadSystemMedia();
    loadItemNames();
    removeUnfinishedSaves();
    settingsApply();
    playerKeys = playerKey;
    if (authorDevMode()) authorKeys = authorKey;
}

void initHeadless()
{
    settings = settingsRead(kSettingsPath);
    loadGameTexts();
    screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    loadItemNames();
}

void quiting()
{
    backgroundFinish(kFontWork);
    ImgDeleteAll();
    mscDeleteAll();
    sndDeleteAll();
    Mix_CloseAudio();
    // itemFont and changeFont are closed too: nothing is left open behind SDL's back.
    closeFont(stdFont);
    closeFont(changeFont);
    closeFont(BigFont);
    closeFont(bouFont);
    closeFont(itemFont);
    TTF_Quit();
    SDL_Quit();
}
