#include "check/folder.h"

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool isRegular(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

const std::set<std::string>& GameFolder::listing(const std::string& folder) const
{
    auto known = listed_.find(folder);
    if (known != listed_.end()) return known->second;
    std::set<std::string>& files = listed_[folder];
    std::string path = dir_ + "/" + folder;
    if (DIR* d = opendir(path.c_str())) {
        while (dirent* entry = readdir(d)) {
            std::string name = entry->d_name;
            if (name != "." && name != ".." && isRegular(path + "/" + name)) files.insert(name);
        }
        closedir(d);
    }
    return files;
}

bool GameFolder::has(const std::string& path) const
{
    size_t slash = path.rfind('/');
    // Paths that climb or start elsewhere are asked of the file system itself; the folders the
    // scenes name are listed once, however many lines name their files.
    if (path.empty() || path[0] == '/' || path.find("..") != std::string::npos || path.find("./") != std::string::npos)
        return isRegular(dir_ + "/" + path);
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    return listing(folder).count(path.substr(slash == std::string::npos ? 0 : slash + 1)) != 0;
}

bool GameFolder::hasScene(const std::string& name) const
{
    return name.find('/') == std::string::npos && has("script/" + name + ".txt");
}

std::vector<std::string> GameFolder::named(const std::string& folder, const std::string& ext) const
{
    std::vector<std::string> names;
    for (const std::string& file : listing(folder))
        if (file.size() > ext.size() && file.compare(file.size() - ext.size(), ext.size(), ext) == 0)
            names.push_back(file.substr(0, file.size() - ext.size()));
    return names;
}
