// The game folder as the checker sees it: which files are there, each folder listed once.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class GameFolder {
public:
    explicit GameFolder(std::string dir) : dir_(std::move(dir)) {}

    const std::string& dir() const { return dir_; }
    // Whether the regular file at path (relative to the folder) exists.
    bool has(const std::string& path) const;
    // Whether scene name has its file "script/NAME.txt".
    bool hasScene(const std::string& name) const;
    // The names (without ext) of the files in folder (relative) that end in ext, sorted.
    std::vector<std::string> named(const std::string& folder, const std::string& ext) const;

private:
    const std::set<std::string>& listing(const std::string& folder) const;

    std::string dir_;
    mutable std::map<std::string, std::set<std::string>> listed_;   // regular files by folder
};
