#include "engine/io/folder.h"

#include <dirent.h>

namespace tulk::io {

folder::folder(const std::string& path, bool strip_extensions, bool recursive) : path(path) {
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        // Hidden names are never data: ".", "..", and the ".DS_Store" or "._ua.png"
        // that other desktops leave on a card.
        if (name.empty() || name[0] == '.') {
            continue;
        }
        if (recursive && entry->d_type == DT_DIR) {
            folders.emplace_back(path + name, strip_extensions, recursive);
            continue;
        }
        if (strip_extensions) {
            const auto dot = name.rfind('.');
            if (dot != std::string::npos) {
                name.erase(dot);
            }
        }
        filenames.push_back(name);
    }
    closedir(dir);
}

} // namespace tulk::io
