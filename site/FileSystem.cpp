#include "FileSystem.h"

#include "SiteError.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pixelnook {

namespace {

// Closes the descriptor on every path out of a function.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool WriteAll(int fd, const unsigned char *p, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

InputFile::InputFile(const std::string &path, bool regularFileOnly) : path_(path)
{
    // Opening a pipe for reading waits for a writer: when only a regular
    // file will do, the open does not wait, and the file is looked at
    // before anything is read.
    Fd in;
    in.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularFileOnly ? O_NONBLOCK : 0));
    struct stat st {};
    if (in.fd < 0 || ::fstat(in.fd, &st) != 0)
        throw SiteError(CannotOpenFileMessage(path, errno));
    if (S_ISDIR(st.st_mode))
        throw SiteError(CannotOpenFileMessage(path, EISDIR));
    if (regularFileOnly && !S_ISREG(st.st_mode))
        throw SiteError(NotARegularFileMessage(path));
    if (regularFileOnly) {
        const int flags = ::fcntl(in.fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(in.fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    size_ = static_cast<uint64_t>(st.st_size);
    fd_ = in.fd;
    in.fd = -1;
}

InputFile::~InputFile()
{
    ::close(fd_);
}

std::vector<unsigned char> InputFile::Read(size_t count)
{
    std::vector<unsigned char> bytes(count);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, bytes.data() + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw SiteError(CannotOpenFileMessage(path_, errno));
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

std::vector<unsigned char> ReadWholeFile(const std::string &path)
{
    constexpr size_t kPiece = 65536;
    InputFile in(path);
    std::vector<unsigned char> bytes;
    for (;;) {
        const std::vector<unsigned char> piece = in.Read(kPiece);
        bytes.insert(bytes.end(), piece.begin(), piece.end());
        if (piece.size() < kPiece)
            return bytes;
    }
}

namespace {

// Removes what is at the name unless it is a folder (which the create then
// reports), a link itself and not the file it leads to.
void RemoveName(const std::string &path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        ::unlink(path.c_str());
}

// A new file at the name, never one reached through a link.
int CreateNewFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    struct stat st {};
    if (fd < 0 && errno == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        errno = EISDIR; // a folder stays where it is; say so
    return fd;
}

// Writes the data into the open, empty file and closes it. A file that
// could not be written completely is left empty, or removed when even that
// fails: part of the data would pass for the whole page or thumbnail.
void WriteAndClose(Fd &out, const std::string &path, const void *data, size_t size)
{
    if (!WriteAll(out.fd, static_cast<const unsigned char *>(data), size)) {
        const int err = errno;
        if (::ftruncate(out.fd, 0) != 0)
            ::unlink(path.c_str());
        throw SiteError(CannotCreateFileMessage(path, err));
    }
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0) {
        const int err = errno;
        ::truncate(path.c_str(), 0);
        throw SiteError(CannotCreateFileMessage(path, err));
    }
}

} // namespace

void WriteWholeFile(const std::string &path, const void *data, size_t size)
{
    RemoveName(path);
    Fd out;
    out.fd = CreateNewFile(path);
    if (out.fd < 0)
        throw SiteError(CannotCreateFileMessage(path, errno));
    WriteAndClose(out, path, data, size);
}

void RewriteOwnFile(const std::string &path, const void *data, size_t size)
{
    // Non-blocking, so that a pipe put at the name is refused at once
    // instead of waiting for a reader.
    Fd out;
    out.fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (out.fd < 0 || ::fstat(out.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
        WriteWholeFile(path, data, size);
        return;
    }
    if (::ftruncate(out.fd, 0) != 0)
        throw SiteError(CannotCreateFileMessage(path, errno)); // the old bytes stay whole
    WriteAndClose(out, path, data, size);
}

bool FileExists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsThereButNotARegularFile(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

void FailWritesPastTheFileSizeLimit()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

void DeleteFileQuietly(const std::string &path)
{
    ::unlink(path.c_str());
}

void CreateFolders(const std::string &path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
}

void CopyFileOver(const std::string &source, const std::string &target)
{
    InputFile in(source, true);
    RemoveName(target);
    Fd out;
    out.fd = CreateNewFile(target);
    if (out.fd < 0)
        throw SiteError(CannotCreateFileMessage(target, errno));
    // A copy cut short (a full disk, say) would pass for the picture; a
    // failed copy leaves no file instead.
    const auto fail = [&](const std::string &message) {
        ::close(out.fd);
        out.fd = -1;
        ::unlink(target.c_str());
        throw SiteError(message);
    };
    unsigned char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.Descriptor(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            break;
        if (n < 0)
            fail(CannotOpenFileMessage(source, errno));
        else if (!WriteAll(out.fd, buffer, static_cast<size_t>(n)))
            fail(CannotCreateFileMessage(target, errno));
    }
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(target.c_str());
        throw SiteError(CannotCreateFileMessage(target, err));
    }
}

std::optional<FileIdentity> IdentityOf(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool SameFile(const std::string &a, const std::string &b)
{
    const std::optional<FileIdentity> first = IdentityOf(a);
    return first && first == IdentityOf(b);
}

bool IsSymlink(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::optional<DirectoryEntry> DirectoryEntries::Of(const std::string &path)
{
    namespace fs = std::filesystem;
    const size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        // The path names a folder: its entry is the one in the folder above.
        std::error_code ec;
        const fs::path whole = fs::weakly_canonical(path, ec);
        if (ec || !whole.has_filename() || whole == whole.root_path())
            return std::nullopt;
        folder = whole.parent_path().string();
        name = whole.filename().string();
    }
    auto found = folders_.find(folder);
    if (found == folders_.end()) {
        std::error_code ec;
        const fs::path resolved = fs::weakly_canonical(folder, ec);
        found = folders_.emplace(folder, IdentityOf(ec ? folder : resolved.string())).first;
    }
    if (!found->second)
        return std::nullopt;
    return DirectoryEntry{*found->second, name};
}

} // namespace pixelnook
