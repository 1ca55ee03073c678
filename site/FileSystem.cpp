#include "FileSystem.h"

#include "SiteError.h"

#include <cerrno>
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

InputFile::InputFile(const std::string &path) : path_(path)
{
    Fd in;
    in.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (in.fd < 0 || ::fstat(in.fd, &st) != 0)
        throw SiteError(CannotOpenFileMessage(path, errno));
    if (S_ISDIR(st.st_mode))
        throw SiteError(CannotOpenFileMessage(path, EISDIR));
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

void WriteWholeFile(const std::string &path, const void *data, size_t size)
{
    Fd out;
    out.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out.fd < 0)
        throw SiteError(CannotCreateFileMessage(path, errno));
    if (!WriteAll(out.fd, static_cast<const unsigned char *>(data), size))
        throw SiteError(CannotCreateFileMessage(path, errno));
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0)
        throw SiteError(CannotCreateFileMessage(path, errno));
}

bool FileExists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
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

bool CopyFileOver(const std::string &source, const std::string &target)
{
    Fd in;
    in.fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        ::unlink(target.c_str());
    if (in.fd < 0)
        return false;
    Fd out;
    out.fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out.fd < 0)
        return false;
    bool copied = true;
    unsigned char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            copied = n == 0;
            break;
        }
        if (!WriteAll(out.fd, buffer, static_cast<size_t>(n))) {
            copied = false;
            break;
        }
    }
    const int fd = out.fd;
    out.fd = -1;
    copied = ::close(fd) == 0 && copied;
    // A copy cut short (a full disk, say) would pass for the picture; a
    // failed copy leaves no file instead.
    if (!copied)
        ::unlink(target.c_str());
    return copied;
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
