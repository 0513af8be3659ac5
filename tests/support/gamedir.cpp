#include "support/gamedir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

GameDir::GameDir()
{
    std::string pattern = (fs::temp_directory_path() / "tessarc-test-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) std::abort();
    path_ = name.data();
}

GameDir::~GameDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void GameDir::write(const std::string& relative, const std::string& content) const
{
    fs::path target = file(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << content;
}

std::string GameDir::read(const std::string& relative) const
{
    std::ifstream in(file(relative), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

bool GameDir::exists(const std::string& relative) const { return fs::exists(file(relative)); }

void GameDir::picture(const std::string& relative, int w, int h, Uint32 rgb) const
{
    SDL_Surface* surface = solidSurface(w, h, rgb);
    picture(relative, surface);
    SDL_FreeSurface(surface);
}

void GameDir::picture(const std::string& relative, SDL_Surface* surface) const
{
    fs::create_directories(fs::path(file(relative)).parent_path());
    SDL_SaveBMP(surface, file(relative).c_str());
}

void GameDir::minimalGame(const std::string& startScene) const
{
    write("script/itemlist.txt", "薬草\n鍵\n");
    write("script/start.txt", startScene);
}

std::vector<nlohmann::json> ReplayRun::only(const std::string& kind) const
{
    std::vector<nlohmann::json> found;
    for (const auto& event : events)
        if (event.value("ev", "") == kind) found.push_back(event);
    return found;
}

ReplayRun runReplay(const GameDir& game, const std::string& input, const std::string& options)
{
    game.write("input.txt", input);
    // A game that never waits could run for ever: such a run is cut off after a minute.
    std::string command = std::string("timeout -s KILL 60 '") + TESSARC_REPLAY + "' --dir '" +
                          game.path() +
                          "' --trace '" + game.file("trace.jsonl") + "' " + options + " '" +
                          game.file("input.txt") + "' >'" + game.file("out.txt") + "' 2>'" +
                          game.file("err.txt") + "'";
    int raw = std::system(command.c_str());
    ReplayRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = game.read("out.txt");
    run.err = game.read("err.txt");
    std::istringstream lines(game.read("trace.jsonl"));
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty()) run.events.push_back(nlohmann::json::parse(line));
    return run;
}

bool reportsFatal(const std::string& err, const std::string& message)
{
    std::istringstream lines(err);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("error: ", 0) != 0 || line.size() < message.size()) continue;
        if (line == "error: " + message) return true;
        if (line.compare(line.size() - message.size(), message.size(), message) == 0 &&
            line.compare(line.size() - message.size() - 2, 2, ": ") == 0)
            return true;
    }
    return false;
}

const char kClickStart[] = "click 410 372\n";

ReplayRun runFromStart(const GameDir& game, const std::string& input)
{
    return runReplay(game, kClickStart + input);
}

SDL_Surface* solidSurface(int w, int h, Uint32 rgb)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    SDL_FillRect(surface, nullptr, rgb);
    return surface;
}

SDL_Surface* tallOverlay(Uint32 rgb)
{
    const int w = 100, h = 32769;
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0x00ff00, 0x0000ff, 0xff000000);
    SDL_LockSurface(surface);
    std::memset(surface->pixels, 0, size_t(surface->pitch) * h);
    Uint32* last = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                             size_t(surface->pitch) * (h - 1));
    for (int x = 0; x < w; ++x) last[x] = 0xff000000 | rgb;
    SDL_UnlockSurface(surface);
    return surface;
}

Uint32 pixelAt(SDL_Surface* surface, int x, int y)
{
    SDL_LockSurface(surface);
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                     x * surface->format->BytesPerPixel;
    Uint32 value = 0;
    std::memcpy(&value, p, surface->format->BytesPerPixel);
    SDL_UnlockSurface(surface);
    Uint8 r, g, bl;
    SDL_GetRGB(value, surface->format, &r, &g, &bl);
    return (Uint32(r) << 16) | (Uint32(g) << 8) | bl;
}
