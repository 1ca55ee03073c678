// What the site tests look at a folder with: every entry below it, named as
// found (not where a link leads), with a checksum of a file's bytes, a
// link's target, or its kind; and an observer that ignores the progress.
#pragma once

#include "site/BuildSite.h"
#include "tests/support/JpegFixtures.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Path relative to the folder -> what is there.
using Tree = std::map<std::string, std::string>;

inline std::string Checksum(const std::vector<unsigned char> &bytes)
{
    uint64_t h = 1469598103934665603ull; // FNV-1a
    for (const unsigned char b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return std::to_string(bytes.size()) + ":" + std::to_string(h);
}

// Only regular files are read (a pipe would block); a folder that is not
// there gives an empty tree.
inline Tree Snapshot(const std::filesystem::path &folder)
{
    namespace fs = std::filesystem;
    Tree tree;
    if (!fs::exists(folder))
        return tree;
    for (auto it = fs::recursive_directory_iterator(folder);
         it != fs::recursive_directory_iterator(); ++it) {
        const std::string path = it->path().lexically_relative(folder).string();
        if (it->is_symlink())
            tree[path] = "link to " + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file())
            tree[path] = Checksum(fixtures::ReadFile(it->path()));
        else
            tree[path] = it->is_directory() ? "folder" : "other";
    }
    return tree;
}

class NullObserver : public pixelnook::BuildObserver {
public:
    void Progress(const pixelnook::BuildProgress &) override {}
};
