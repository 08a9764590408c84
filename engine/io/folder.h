#pragma once

#include <string>
#include <vector>

namespace tulk::io {

// A directory listed once, at construction, in the order the system returns its
// entries, leaving out hidden names (those that begin with a dot). Two listings of an unchanged
// directory come back in the same order.
class folder {
public:
    // Without `recursive`, sub-directories are listed among the file names. With it,
    // each becomes a sub-folder whose path is `path` followed directly by its name, so
    // pass a path ending in "/". `strip_extensions` cuts each name at its last dot.
    // A directory that cannot be opened lists nothing.
    folder(const std::string& path, bool strip_extensions, bool recursive);

    const std::string& get_path() const { return path; }
    std::vector<std::string> get_filenames() const { return filenames; }
    std::vector<folder> get_folders() const { return folders; }

private:
    std::string path;
    std::vector<std::string> filenames;
    std::vector<folder> folders;
};

} // namespace tulk::io
