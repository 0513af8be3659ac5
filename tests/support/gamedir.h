// Game directories made by the tests, and runs of tessarc-replay over them.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// A fresh game directory under the system's temporary folder, removed again at the end.
class GameDir {
public:
    GameDir();
    ~GameDir();
    GameDir(const GameDir&) = delete;
    GameDir& operator=(const GameDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

    // Writes content to the relative path, making its folders.
    void write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;

    // Saves a picture filled with one colour; the loader tells the format by content, so a
    // BMP under a .png or .jpg name loads like the real thing.
    void picture(const std::string& relative, int w, int h, Uint32 rgb) const;
    void picture(const std::string& relative, SDL_Surface* surface) const;

    // An item list and the given start scene: enough for the game to reach its first scene.
    void minimalGame(const std::string& startScene = "") const;

private:
    std::string path_;
};

struct ReplayRun {
    int status;
    std::string out, err;
    std::vector<nlohmann::json> events;   // the trace, one object per line

    // The events of one kind, in order.
    std::vector<nlohmann::json> only(const std::string& kind) const;
};

// Runs tessarc-replay on the game directory with the input script; the trace goes to a file
// in the game directory. options: more command-line options, quoted for the shell.
ReplayRun runReplay(const GameDir& game, const std::string& input, const std::string& options = "");

// Whether standard error holds the fatal error line of message: "error: ", the place where
// it is known ("FILE: " or "FILE:LINE: "), the message.
bool reportsFatal(const std::string& err, const std::string& message);

// The input that starts a new game from the title: a click on its start button.
extern const char kClickStart[];

// Runs the game from a click on the title's start button, then the input.
ReplayRun runFromStart(const GameDir& game, const std::string& input);

// A 24-bit surface filled with one colour.
SDL_Surface* solidSurface(int w, int h, Uint32 rgb);

// A 100 x 32769 picture with alpha, transparent but for its last row in one colour: taller
// than SDL_Rect's 16-bit fields reach.
SDL_Surface* tallOverlay(Uint32 rgb);

// The colour of one pixel of a surface as 0xRRGGBB.
Uint32 pixelAt(SDL_Surface* surface, int x, int y);
