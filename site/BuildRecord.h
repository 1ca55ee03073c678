// The record an update build keeps in the site folder: which files it wrote,
// what identifies the bytes it wrote there, and what they were made from.
// The next update reads it to tell unchanged pictures, files of ours and the
// user's own files apart. Small, versioned, line-based text.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace pixelnook {

// The record's name in the site folder.
inline constexpr const char *kBuildRecordName = ".pixelnook-build-record";

// What tells the bytes at a name apart from any later ones: a file written
// again, edited, replaced or restored with its old time gets a new inode or
// a new change time.
struct FileStamp {
    uint64_t Size = 0;
    int64_t ModifiedNs = 0;
    int64_t ChangedNs = 0;
    uint64_t Device = 0;
    uint64_t Inode = 0;

    bool operator==(const FileStamp &o) const
    {
        return Size == o.Size && ModifiedNs == o.ModifiedNs && ChangedNs == o.ChangedNs &&
               Device == o.Device && Inode == o.Inode;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};

// What is at a name, not following a link there.
struct PathState {
    bool Exists = false;
    bool Regular = false; // a plain file (not a folder, link, pipe, ...)
    FileStamp Stamp;
};
PathState StateOf(const std::string &path);

// A picture as a source, through any link. Nothing when it cannot be
// reached.
std::optional<FileStamp> SourceStampOf(const std::string &path);

// A 64-bit hash of the bytes (not cryptographic: it tells our own files
// from changed ones), as 16 hex digits.
std::string HashBytes(const void *data, size_t size);
inline std::string HashBytes(const std::string &text)
{
    return HashBytes(text.data(), text.size());
}

enum class OutputKind { Thumbnail, Copy, Page };

struct RecordedFile {
    OutputKind Kind = OutputKind::Page;
    FileStamp Stamp;
    // The hash of the bytes written, for thumbnails and pages; empty for
    // copies, which hold their source's bytes.
    std::string Hash;
    // What a thumbnail or a copy was made from: the settings that shape its
    // bytes, the source's path and the source's stamp then. The change time
    // counts too: a picture rewritten with its old size and time is made
    // again (a new link to it or a new mode makes it again for nothing).
    // Empty for pages, which are told apart by their bytes alone.
    std::string Settings;
    std::string Source;
    FileStamp SourceStamp;
};

struct BuildRecord {
    std::vector<std::string> Pictures;         // FileName of every picture, in order
    std::set<std::string> Folders;             // the layout's folders, relative
    std::map<std::string, RecordedFile> Files; // by path relative to the site folder
    // Names a build that did not finish may have written or removed: what
    // is there is ours, in a state nobody knows.
    std::set<std::string> Pending;
};

class RecordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string RecordText(const BuildRecord &record);
// Throws RecordError naming the first thing wrong (an unknown version, a
// damaged or cut line, a path leading out of the site folder).
BuildRecord ParseRecord(const std::string &text);

// True for a relative path that stays inside the site folder: not empty, no
// leading "/", no empty, "." or ".." part, and not the record's own name.
bool IsSitePath(const std::string &relative);

// Writes the file under a temporary name beside it and renames it over the
// path, so a build stopped at any moment leaves either the old or the whole
// new bytes there. It is not flushed to disk: on ext4 that would wait for
// every copy the build just wrote, seconds in a large site, and a record
// that a power cut damages is refused as unreadable, never trusted.
// Throws SiteError `Cannot create file "%s". %s`.
void ReplaceFileAtomically(const std::string &path, const std::string &bytes);

} // namespace pixelnook
