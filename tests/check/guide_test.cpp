// Every example of the author's guide, run: each scene, game.txt and names example checked in
// the bundled game (clean), each shell example run as it stands and its output compared with
// the output the guide shows after it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/gamedir.h"

namespace {

namespace fs = std::filesystem;

struct Example {
    std::string kind;   // scene, game.txt, names, shell, output
    std::string text;
    int line;           // of its fence in the guide
};

// The fenced blocks of the guide with the kind their "<!-- example: KIND -->" line gives; a
// block without one has kind "".
std::vector<Example> guideExamples()
{
    std::ifstream in(std::string(TESSARC_SOURCE_DIR) + "/docs/authoring.md");
    std::vector<Example> examples;
    std::string line, kind;
    std::regex marker(R"(^<!-- example: ([a-z.]+) -->$)");
    for (int number = 1; std::getline(in, line); ++number) {
        std::smatch m;
        if (std::regex_match(line, m, marker)) {
            kind = m[1];
            continue;
        }
        if (line.rfind("```", 0) != 0) {
            if (!line.empty()) kind.clear();
            continue;
        }
        Example example{kind, "", number};
        while (std::getline(in, line) && line.rfind("```", 0) != 0) {
            ++number;
            example.text += line + "\n";
        }
        ++number;
        examples.push_back(example);
        kind.clear();
    }
    return examples;
}

// A copy of the bundled game, without saves.
void copyBundledGame(const GameDir& dir, const std::string& to)
{
    fs::copy(std::string(TESSARC_SOURCE_DIR) + "/game", dir.file(to), fs::copy_options::recursive);
    fs::remove_all(dir.file(to + "/save"));
}

std::string run(const std::string& command, int* status)
{
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
        int raw = pclose(pipe);
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return out;
}

// The checker's findings about one file of the game, one a line.
std::string findingsAbout(const GameDir& dir, const std::string& game, const std::string& file)
{
    int status = 0;
    std::string out = run(std::string("'") + TESSARC_CHECK + "' --dir '" + dir.file(game) + "' --json", &status);
    std::istringstream lines(out);
    std::string about;
    for (std::string line; std::getline(lines, line);)
        if (nlohmann::json::parse(line)["file"] == file) about += line + "\n";
    return about;
}

// Output lines as the guide shows them: a trace line without its time, which the guide may
// show from another day's timing.
std::vector<std::string> comparable(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '{') {
            auto object = nlohmann::ordered_json::parse(line);
            object.erase("ms");
            line = object.dump();
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

TEST(Guide, EveryExampleRunsAsTheGuideSays)
{
    std::vector<Example> examples = guideExamples();
    ASSERT_GE(examples.size(), 10u);
    std::string binaries = fs::path(TESSARC_CHECK).parent_path().string();
    for (size_t i = 0; i < examples.size(); ++i) {
        const Example& example = examples[i];
        SCOPED_TRACE("docs/authoring.md:" + std::to_string(example.line) + " (" + example.kind + ")");
        EXPECT_NE(example.kind, "") << "an example the test does not know how to run";
        GameDir dir;
        copyBundledGame(dir, "game");
        if (example.kind == "scene") {
            // A piece of a scene: it gets the move list every scene whose menu opens needs.
            std::string scene = example.text;
            if (scene.find("*move*") == std::string::npos) scene += "*move*\n{\n浜辺へ A001\n}\n";
            dir.write("game/script/start.txt", scene);
            EXPECT_EQ(findingsAbout(dir, "game", "script/start.txt"), "");
        } else if (example.kind == "game.txt" || example.kind == "names") {
            std::string file = example.kind == "names" ? "system/names.txt" : "system/game.txt";
            dir.write("game/" + file, example.text);
            EXPECT_EQ(findingsAbout(dir, "game", file), "");
        } else if (example.kind == "shell") {
            fs::create_directory_symlink(binaries, dir.file("build"));
            dir.write("example.sh", example.text);
            int status = -1;
            std::string out = run("cd '" + dir.path() + "' && bash example.sh 2>/dev/null", &status);
            EXPECT_EQ(status, 0) << out;
            if (i + 1 < examples.size() && examples[i + 1].kind == "output") {
                EXPECT_EQ(comparable(out), comparable(examples[i + 1].text));
            }
        } else if (example.kind == "output") {
            EXPECT_TRUE(i > 0 && examples[i - 1].kind == "shell") << "output of no shell example";
        }
    }
}
