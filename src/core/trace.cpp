#include "core/trace.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "core/platform.h"

namespace {

std::FILE* traceFile;

using Json = nlohmann::ordered_json;

// Writes {"ms":..., "ev":kind, fields...} as one line.
void emit(const char* kind, const Json& fields = Json::object())
{
    if (!traceFile) return;
    Json object = {{"ms", platformTicks()}, {"ev", kind}};
    object.update(fields);
    // Scripts may hold broken UTF-8; it is replaced rather than refused.
    std::string line = object.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::fprintf(traceFile, "%s\n", line.c_str());
    std::fflush(traceFile);
}

}  // namespace

bool traceOpen(const char* path)
{
    traceClose();
    traceFile = std::fopen(path, "w");
    return traceFile != nullptr;
}

void traceClose()
{
    if (traceFile) std::fclose(traceFile);
    traceFile = nullptr;
}

void traceScene(const char* name, int index)
{
    emit("scene", {{"name", name}, {"index", index}});
}

void traceBg(const char* path) { emit("bg", {{"path", path}}); }

void traceMusic(const char* path) { emit("music", {{"path", path}}); }

void traceSound(const char* path, int count)
{
    emit("sound", {{"path", path}, {"count", count}});
}

void traceError(const char* message) { emit("error", {{"message", message}}); }
