#include "core/fonts.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>

#include <fontconfig/fontconfig.h>

namespace {

bool isFolder(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// The file of the first font that matches the pattern, or "" when no font does. With
// `exact` the pattern must be met by a listed font; otherwise fontconfig's best match counts.
std::string findFont(const char* pattern, bool exact)
{
    std::string found;
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!query) return found;
    if (exact) {
        FcObjectSet* fields = FcObjectSetBuild(FC_FILE, static_cast<char*>(nullptr));
        FcFontSet* fonts = FcFontList(nullptr, query, fields);
        if (fonts) {
            FcChar8* file;
            for (int i = 0; i < fonts->nfont && found.empty(); ++i)
                if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
                    found = reinterpret_cast<char*>(file);
            FcFontSetDestroy(fonts);
        }
        FcObjectSetDestroy(fields);
    } else {
        FcConfigSubstitute(nullptr, query, FcMatchPattern);
        FcDefaultSubstitute(query);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, query, &result);
        FcChar8* file;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            found = reinterpret_cast<char*>(file);
        if (match) FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
    return found;
}

// A font file of exactly this name (case counts) among the fonts fontconfig knows.
std::string findFile(const char* name)
{
    std::string found;
    FcPattern* all = FcPatternCreate();
    FcObjectSet* fields = FcObjectSetBuild(FC_FILE, static_cast<char*>(nullptr));
    FcFontSet* fonts = FcFontList(nullptr, all, fields);
    if (fonts) {
        FcChar8* file;
        for (int i = 0; i < fonts->nfont && found.empty(); ++i) {
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
            const char* path = reinterpret_cast<char*>(file);
            const char* slash = std::strrchr(path, '/');
            if (std::strcmp(slash ? slash + 1 : path, name) == 0) found = path;
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(fields);
    FcPatternDestroy(all);
    return found;
}

// Whether face 0 of the font file has Japanese glyphs: fontconfig counts it as covering
// Japanese, or it has kana, kanji and the full stop. Any other face would draw every message
// as empty boxes.
bool coversJapanese(const std::string& path)
{
    if (path.empty()) return false;
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(query, FC_FILE, reinterpret_cast<const FcChar8*>(path.c_str()));
    FcPatternAddInteger(query, FC_INDEX, 0);
    FcObjectSet* fields = FcObjectSetBuild(FC_LANG, FC_CHARSET, static_cast<char*>(nullptr));
    FcFontSet* fonts = FcFontList(nullptr, query, fields);
    bool covers = false;
    const FcChar32 sample[] = {0x3042, 0x30a2, 0x6f22, 0x5b57, 0x3002};   // あア漢字。
    for (int i = 0; fonts && i < fonts->nfont && !covers; ++i) {
        FcLangSet* langs;
        if (FcPatternGetLangSet(fonts->fonts[i], FC_LANG, 0, &langs) == FcResultMatch &&
            FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual)
            covers = true;
        FcCharSet* chars;
        if (!covers && FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &chars) == FcResultMatch) {
            covers = true;
            for (FcChar32 ch : sample) covers = covers && FcCharSetHasChar(chars, ch);
        }
    }
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(fields);
    FcPatternDestroy(query);
    return covers;
}

// Faces that stand in for the two Japanese system fonts, best first; the last is a best match.
struct StandIn {
    const char* file;
    const char* families[2];
    const char* fallback;
};

const StandIn standIns[] = {
    {"MSGOTHIC.TTC", {"IPAGothic", "Noto Sans CJK JP"}, ":lang=ja"},
    {"MSMincho.ttc", {"IPAMincho", "Noto Serif CJK JP"}, "serif:lang=ja"},
};

std::string locate(const char* name)
{
    std::string path = findFile(name);
    if (coversJapanese(path)) return path;
    for (const StandIn& standIn : standIns) {
        if (std::strcmp(standIn.file, name) != 0) continue;
        for (const char* family : standIn.families) {
            path = findFont((std::string(family) + ":style=Regular").c_str(), true);
            if (path.empty()) path = findFont(family, true);
            if (coversJapanese(path)) return path;
        }
        // The best match answers some face even where none has Japanese glyphs.
        path = findFont(standIn.fallback, false);
        if (coversJapanese(path)) return path;
    }
    return "";
}

// Each name is looked up once: the five fonts share two files. Made before the program starts,
// so that it outlives the fonts' opening even when the program exits in the middle of it.
std::map<std::string, std::string> knownPaths;

}  // namespace

const char* fontPath(const char* file)
{
    auto it = knownPaths.find(file);
    if (it == knownPaths.end()) it = knownPaths.emplace(file, FcInit() ? locate(file) : "").first;
    return it->second.c_str();
}

int GetSpecialFolderPath(void*, int folder, char* path)
{
    const int kFontsFolder = 20;
    if (folder != kFontsFolder || !FcInit()) return 0;
    FcStrList* folders = FcConfigGetFontDirs(nullptr);
    if (!folders) return 0;
    int ok = 0;
    while (FcChar8* each = FcStrListNext(folders)) {
        const char* name = reinterpret_cast<const char*>(each);
        if (std::strlen(name) < 260 && isFolder(name)) {
            std::snprintf(path, 260, "%s", name);
            ok = 1;
            break;
        }
    }
    FcStrListDone(folders);
    return ok;
}

TTF_Font* GetFont(const char* file, int size)
{
    const char* path = fontPath(file);
    if (!*path) return nullptr;
    TTF_Font* font = TTF_OpenFontIndex(path, size, 0);
    if (font) TTF_SetFontStyle(font, TTF_STYLE_NORMAL);
    return font;
}
