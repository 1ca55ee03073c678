// The few file operations the build needs, with the program's error texts.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pixelnook {

// Reads the whole file. Throws SiteError `Cannot open file "%s". %s`.
std::vector<unsigned char> ReadWholeFile(const std::string &path);

// A file open for reading, closed with the object; for reading a large file
// a piece at a time. Open and read failures throw the same SiteError as
// ReadWholeFile; a folder is refused. With regularFileOnly a pipe, socket or
// device is refused at once too (NotARegularFileMessage), without waiting
// for a pipe's writer; otherwise a pipe is read as its writer sends it.
class InputFile {
public:
    explicit InputFile(const std::string &path, bool regularFileOnly = false);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    int Descriptor() const { return fd_; }
    // The file's size when it was opened.
    uint64_t Size() const { return size_; }
    // Up to count bytes; fewer only at the end of the file.
    std::vector<unsigned char> Read(size_t count);

private:
    std::string path_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

// Writes the bytes as a new file at the name: whatever is there (an older
// file, a symbolic or hard link) is removed first, so the write never goes
// through a link into another file. Throws SiteError
// `Cannot create file "%s". %s` when the file cannot be created or the data
// cannot be written completely (a full disk, a file-size limit); a file that
// could not be written completely is left empty, never cut short.
void WriteWholeFile(const std::string &path, const void *data, size_t size);
inline void WriteWholeFile(const std::string &path, const std::string &text)
{
    WriteWholeFile(path, text.data(), text.size());
}

// Writes the bytes over a file the build wrote before, in place: only a
// regular file with no other name is rewritten (which spares the file
// system a new file); a link, a second name, a pipe or nothing at the name
// goes through WriteWholeFile. The same errors, and a file that could not
// be written completely is left empty.
void RewriteOwnFile(const std::string &path, const void *data, size_t size);
inline void RewriteOwnFile(const std::string &path, const std::string &text)
{
    RewriteOwnFile(path, text.data(), text.size());
}

bool FileExists(const std::string &path);

// True when something is at the path (through links) that is not a regular
// file: a folder, a pipe, a socket or a device.
bool IsThereButNotARegularFile(const std::string &path);

// A write past the process's file-size limit fails with EFBIG instead of
// ending the process by SIGXFSZ, so the build can report it and leave no
// file cut short. Each program calls this once at start-up.
void FailWritesPastTheFileSizeLimit();

// Deletes the file; the outcome is not reported.
void DeleteFileQuietly(const std::string &path);

// Creates the folder with all its missing parents; the outcome is not reported.
void CreateFolders(const std::string &path);

// Byte copy that replaces the target: whatever is at the target's name (an
// older copy, a link) is removed first and a new file is made there, so the
// copy never writes through a link into another file. The source is opened
// before that, so a source reached through a link at the target is still
// read. Throws SiteError `Cannot open file "%s". %s` for the source (a
// source that is not a regular file included: a pipe's bytes went to the
// thumbnail) and `Cannot create file
// "%s". %s` for the target; a failed copy leaves no file.
void CopyFileOver(const std::string &source, const std::string &target);

// What tells one file on this machine from every other: its device and
// inode. Two paths with the same identity hold the same bytes, whether one is
// a link to the other or both are names of one file.
struct FileIdentity {
    uint64_t Device = 0;
    uint64_t Inode = 0;

    bool operator==(const FileIdentity &o) const { return Device == o.Device && Inode == o.Inode; }
    bool operator<(const FileIdentity &o) const
    {
        return Device != o.Device ? Device < o.Device : Inode < o.Inode;
    }
};

// The identity of the file or folder the path leads to, through any links;
// nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::string &path);

// True when both paths name the same existing file (also through links).
bool SameFile(const std::string &a, const std::string &b);

// True when the path itself is a symbolic link (whether or not it leads
// anywhere).
bool IsSymlink(const std::string &path);

// One name in one folder. Deleting or replacing a file by its path changes
// exactly this entry; other links to the same file keep the file.
struct DirectoryEntry {
    FileIdentity Folder;
    std::string Name;

    bool operator==(const DirectoryEntry &o) const { return Folder == o.Folder && Name == o.Name; }
    bool operator<(const DirectoryEntry &o) const
    {
        return Folder == o.Folder ? Name < o.Name : Folder < o.Folder;
    }
};

// Finds the entries that paths name, for many paths in folders that are not
// made or removed meanwhile: each folder is resolved once.
class DirectoryEntries {
public:
    // The entry the path names: the folder that holds it, reached through
    // every link on the way (and ".." taken as it will be once missing
    // folders are made), and its last name. Nothing when that folder does
    // not exist. The entry itself need not exist.
    std::optional<DirectoryEntry> Of(const std::string &path);

private:
    std::map<std::string, std::optional<FileIdentity>> folders_;
};

} // namespace pixelnook
