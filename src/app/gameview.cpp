#include "app/gameview.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

std::string gameViewMake(const std::string& gameDir, std::string* problem)
{
    std::error_code failed;
    fs::path game = fs::absolute(gameDir, failed);
    if (failed || !fs::is_directory(game, failed)) {
        *problem = "cannot read the game folder " + gameDir;
        return "";
    }
    std::string pattern = (fs::temp_directory_path(failed) / "tessarc-view-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (failed || !mkdtemp(name.data())) {
        *problem = "cannot make a folder under the temporary folder";
        return "";
    }
    fs::path view = name.data();
    for (const auto& entry : fs::directory_iterator(game, failed)) {
        if (entry.path().filename() == "save") continue;
        fs::create_symlink(entry.path(), view / entry.path().filename(), failed);
        if (failed) break;
    }
    if (!failed) fs::create_directory(view / "save", failed);
    if (failed) {
        *problem = "cannot make a view of " + gameDir + " in " + view.string() + ": " + failed.message();
        gameViewRemove(view.string());
        return "";
    }
    return view.string();
}

void gameViewRemove(const std::string& view)
{
    std::error_code ignored;
    if (!view.empty()) fs::remove_all(view, ignored);
}
