#include "plugins/PluginListing.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <utility>

namespace vantreel {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPluginExtension = ".so";
// Deep enough for packaged layouts; bounds a walk through a strange tree of links.
constexpr int kMaxFolderDepth = 8;

using FolderId = std::pair<dev_t, ino_t>;

bool HasPluginExtension(const std::string& fileName) {
    const std::string extension = kPluginExtension;
    if (fileName.size() <= extension.size()) {
        return false;
    }
    const std::string tail = fileName.substr(fileName.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// The identity of the folder a path leads to, links followed, so a link back up the
// tree is seen as a folder already visited.
bool IdentifyFolder(const fs::path& path, FolderId& id) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    id = {info.st_dev, info.st_ino};
    return true;
}

void CollectFiles(const fs::path& folder, const std::string& prefix, int depth,
                  std::set<FolderId>& visited, std::vector<std::string>& names) {
    FolderId id;
    if (depth > kMaxFolderDepth || !IdentifyFolder(folder, id) || !visited.insert(id).second) {
        return;
    }
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) {
        return;
    }
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        std::error_code statusError;
        const fs::file_status status = entry.status(statusError); // follows links
        if (statusError) {
            continue; // a broken link or an unreadable entry
        }
        if (fs::is_directory(status)) {
            CollectFiles(entry.path(), prefix + name + "/", depth + 1, visited, names);
        } else if (fs::is_regular_file(status) && HasPluginExtension(name)) {
            names.push_back(prefix + name);
        }
    }
}

} // namespace

std::vector<std::string> PluginFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (folder.empty()) {
        return names;
    }
    std::set<FolderId> visited;
    CollectFiles(folder, "", 0, visited, names);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ListPluginFiles(const std::string& firstFolder,
                                         const std::vector<std::string>& otherFolders) {
    std::vector<std::string> listed = PluginFilesIn(firstFolder);
    std::set<std::string> seen(listed.begin(), listed.end());
    std::set<std::string> rest; // sorted and unique by construction
    for (const std::string& folder : otherFolders) {
        for (std::string& name : PluginFilesIn(folder)) {
            if (seen.count(name) == 0) {
                rest.insert(std::move(name));
            }
        }
    }
    listed.insert(listed.end(), rest.begin(), rest.end());
    return listed;
}

} // namespace vantreel
