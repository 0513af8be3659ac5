#include "core/trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <nlohmann/json.hpp>

#include "core/names.h"
#include "core/platform.h"

namespace {

std::FILE* traceFile;
std::string tracePath;
bool traceFailed;
bool traceHeld;

using Json = nlohmann::ordered_json;

void writeFailed()
{
    if (!traceFailed)
        std::fprintf(stderr, "trace %s: cannot be written: %s\n", tracePath.c_str(),
                     std::strerror(errno));
    traceFailed = true;
}

// Writes {"ms":..., "ev":kind, fields...} as one line. The trace functions look at traceFile
// first too: without a trace their fields are not even built (a search plays millions of
// lines).
void emit(const char* kind, const Json& fields = Json::object())
{
    if (!traceFile || traceHeld) return;
    Json object = {{"ms", platformTicks64()}, {"ev", kind}};
    object.update(fields);
    // Scripts may hold broken UTF-8; it is replaced rather than refused.
    std::string line = object.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (std::fprintf(traceFile, "%s\n", line.c_str()) < 0 || std::fflush(traceFile) != 0)
        writeFailed();
}

Json listOf(const char* const* texts, int count)
{
    Json list = Json::array();
    for (int i = 0; i < count; ++i) list.push_back(texts[i]);
    return list;
}

}  // namespace

bool traceOpen(const char* path)
{
    traceClose();
    traceFile = std::fopen(path, "w");
    tracePath = path;
    traceFailed = false;
    return traceFile != nullptr;
}

bool traceClose()
{
    if (traceFile && std::fclose(traceFile) != 0) writeFailed();
    traceFile = nullptr;
    return !traceFailed;
}

void traceScene(const char* name, int index)
{
    if (!traceFile) return;
    emit("scene", {{"name", name}, {"index", index}});
}

void traceBg(const char* path) { if (traceFile) emit("bg", {{"path", path}}); }

void traceMusic(const char* path) { if (traceFile) emit("music", {{"path", path}}); }

void traceSound(const char* path, int count)
{
    if (!traceFile) return;
    emit("sound", {{"path", path}, {"count", count}});
}

void traceError(const char* message, const char* file, int line)
{
    if (!traceFile) return;
    Json fields = {{"message", message}};
    if (file[0]) fields["file"] = file;
    if (line > 0) fields["line"] = line;
    emit("error", fields);
}

void tracePage(const TraceSegment* segments, int count, const TraceEmphasis* emphasis,
               int emphasisCount)
{
    if (!traceFile || traceHeld) return;   // nothing to build the lists for
    Json rows = Json::array(), dots = Json::array();
    for (int i = 0; i < count; ++i) {
        const TraceSegment& s = segments[i];
        rows.push_back({{"row", s.row}, {"x", s.x}, {"y", s.y}, {"text", s.text},
                        {"color", {s.r, s.g, s.b}}, {"font", s.font}});
    }
    for (int i = 0; i < emphasisCount; ++i)
        dots.push_back({{"row", emphasis[i].row}, {"x", emphasis[i].x}, {"text", emphasis[i].text}});
    emit("page", {{"segments", rows}, {"emphasis", dots}});
}

void traceChoice(const char* const* options, int count)
{
    if (!traceFile || traceHeld) return;   // nothing to build the lists for
    emit("choice", {{"options", listOf(options, count)}});
}

void tracePick(const int* chosen, int count)
{
    if (!traceFile || traceHeld) return;   // nothing to build the lists for
    Json list = Json::array();
    for (int i = 0; i < count && chosen[i] != 0; ++i) list.push_back(chosen[i]);
    emit("pick", {{"chosen", list}});
}

void traceMenu(bool search, bool move) { if (traceFile) emit("menu", {{"search", search}, {"move", move}}); }

void traceSave(const char* file) { if (traceFile) emit("save", {{"file", file}}); }

void traceLoad(const char* file) { if (traceFile) emit("load", {{"file", file}}); }

void traceAutoSave(const char* file) { emit("autosave", {{"file", file}}); }

void traceSet(const char* what, int index, int value)
{
    if (!traceFile) return;
    if (index < 0) return emit("set", {{"what", what}, {"value", value}});
    Json fields = {{"what", what}, {"index", index}, {"value", value}};
    // The author's name for the entry, last, so that readers of the older form still match.
    if (const char* name = nameOf(what, index)) fields["name"] = name;
    emit("set", fields);
}

void traceEffect(int n) { if (traceFile) emit("effect", {{"n", n}}); }

void traceChapter(const char* name) { if (traceFile) emit("chapter", {{"name", name}}); }

void traceEnding(int n) { if (traceFile) emit("ending", {{"n", n}}); }

void traceGameOver() { if (traceFile) emit("gameover"); }

void traceBacklog(int page, int of) { if (traceFile) emit("backlog", {{"page", page}, {"of", of}}); }

void traceOverlay(const char* const* lines, int count)
{
    if (!traceFile || traceHeld) return;   // nothing to build the list for
    emit("overlay", {{"lines", listOf(lines, count)}});
}

void traceScreen(const char* name) { emit("screen", {{"name", name}}); }

void traceRollback(int page) { emit("rollback", {{"page", page}}); }

void traceHold(bool held) { traceHeld = held; }
