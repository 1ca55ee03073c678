#include "BuildRecord.h"

#include "SiteError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

namespace pixelnook {

namespace {

// The first line; a record of another version is not read at all.
const std::string kMagic = "pixelnook-build record";
const std::string kVersion = "2";

const char *KindName(OutputKind kind)
{
    switch (kind) {
    case OutputKind::Thumbnail: return "thumbnail";
    case OutputKind::Copy: return "copy";
    case OutputKind::Page: return "page";
    }
    return "page";
}

// Fields are separated by tabs; a name may hold any byte, so backslash,
// tab, line feed and carriage return are written as \\ \t \n \r.
std::string Escape(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

bool Unescape(const std::string &text, std::string &out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return false;
        }
    }
    return true;
}

std::vector<std::string> SplitTabs(const std::string &line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    for (;;) {
        const size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos)
            return fields;
        at = tab + 1;
    }
}

template <typename T> bool ParseNumber(const std::string &text, T &value)
{
    if (text.empty() || text.size() > 20)
        return false;
    bool negative = false;
    size_t i = 0;
    if (std::is_signed<T>::value && text[0] == '-') {
        negative = true;
        i = 1;
        if (text.size() == 1)
            return false;
    }
    unsigned long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        const unsigned long long next = v * 10 + static_cast<unsigned>(text[i] - '0');
        if (next / 10 != v)
            return false;
        v = next;
    }
    value = negative ? static_cast<T>(-static_cast<long long>(v)) : static_cast<T>(v);
    return true;
}

class Parser {
public:
    explicit Parser(const std::string &text) : text_(text) {}

    BuildRecord Parse()
    {
        BuildRecord record;
        std::string line;
        if (!Next(line))
            Fail("it is empty");
        if (line.rfind(kMagic + " ", 0) != 0)
            Fail("it is not a build record");
        if (line != kMagic + " " + kVersion)
            Fail("it was written by another version of pixelnook-build");
        bool ended = false;
        while (Next(line)) {
            if (ended)
                Fail("there is text after its end");
            const std::vector<std::string> f = SplitTabs(line);
            if (f[0] == "picture" && f.size() == 2) {
                record.Pictures.push_back(Field(f[1]));
            } else if (f[0] == "folder" && f.size() == 2) {
                record.Folders.insert(Path(f[1]));
            } else if (f[0] == "pending" && f.size() == 2) {
                record.Pending.insert(Path(f[1]));
            } else if (f[0] == "file" && f.size() == 16) {
                const std::string path = Path(f[2]);
                RecordedFile file;
                if (f[1] == "thumbnail")
                    file.Kind = OutputKind::Thumbnail;
                else if (f[1] == "copy")
                    file.Kind = OutputKind::Copy;
                else if (f[1] == "page")
                    file.Kind = OutputKind::Page;
                else
                    Fail("a file has an unknown kind");
                if (!ParseNumber(f[3], file.Stamp.Size) ||
                    !ParseNumber(f[4], file.Stamp.ModifiedNs) ||
                    !ParseNumber(f[5], file.Stamp.ChangedNs) ||
                    !ParseNumber(f[6], file.Stamp.Device) || !ParseNumber(f[7], file.Stamp.Inode))
                    Fail("a number is damaged");
                file.Hash = Field(f[8]);
                file.Settings = Field(f[9]);
                file.Source = Field(f[10]);
                if (!ParseNumber(f[11], file.SourceStamp.Size) ||
                    !ParseNumber(f[12], file.SourceStamp.ModifiedNs) ||
                    !ParseNumber(f[13], file.SourceStamp.ChangedNs) ||
                    !ParseNumber(f[14], file.SourceStamp.Device) ||
                    !ParseNumber(f[15], file.SourceStamp.Inode))
                    Fail("a number is damaged");
                if ((file.Kind == OutputKind::Copy) != file.Hash.empty() ||
                    (file.Kind == OutputKind::Page) != file.Source.empty())
                    Fail("a file's hash or source is missing or out of place");
                if (!record.Files.emplace(path, file).second)
                    Fail("a file is listed twice");
            } else if (f[0] == "end" && f.size() == 3) {
                size_t lines = 0;
                if (!ParseNumber(f[1], lines) || lines != lineNumber_ - 1 ||
                    f[2] != HashBytes(text_.data(), lineStart_))
                    Fail("its lines do not add up (it was changed or cut short)");
                ended = true;
            } else {
                Fail("a line is damaged");
            }
        }
        if (!ended)
            Fail("it was cut short");
        return record;
    }

private:
    bool Next(std::string &line)
    {
        if (at_ >= text_.size())
            return false;
        const size_t end = text_.find('\n', at_);
        if (end == std::string::npos)
            Fail("it was cut short");
        lineStart_ = at_;
        line = text_.substr(at_, end - at_);
        at_ = end + 1;
        ++lineNumber_;
        return true;
    }

    std::string Field(const std::string &escaped)
    {
        std::string out;
        if (!Unescape(escaped, out))
            Fail("a name is damaged");
        return out;
    }

    std::string Path(const std::string &escaped)
    {
        std::string path = Field(escaped);
        if (!IsSitePath(path))
            Fail("a name leads out of the site folder");
        return path;
    }

    [[noreturn]] void Fail(const std::string &why) const
    {
        throw RecordError(why + " (line " + std::to_string(lineNumber_) + ")");
    }

    const std::string &text_;
    size_t at_ = 0;
    size_t lineStart_ = 0;
    size_t lineNumber_ = 0;
};

} // namespace

PathState StateOf(const std::string &path)
{
    PathState state;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return state;
    state.Exists = true;
    state.Regular = S_ISREG(st.st_mode);
    state.Stamp.Size = static_cast<uint64_t>(st.st_size);
    state.Stamp.ModifiedNs =
        static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    state.Stamp.ChangedNs =
        static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    state.Stamp.Device = static_cast<uint64_t>(st.st_dev);
    state.Stamp.Inode = static_cast<uint64_t>(st.st_ino);
    return state;
}

std::optional<FileStamp> SourceStampOf(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    FileStamp stamp;
    stamp.Size = static_cast<uint64_t>(st.st_size);
    stamp.ModifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.ChangedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.Device = static_cast<uint64_t>(st.st_dev);
    stamp.Inode = static_cast<uint64_t>(st.st_ino);
    return stamp;
}

std::string HashBytes(const void *data, size_t size)
{
    // Eight bytes a step: a page is hashed on every update, so a hash that
    // takes one byte at a time was a tenth of an update's time. Each word is
    // mixed in by a multiply and a shift, the tail a byte at a time, and
    // the result is finished by the murmur3 mixer.
    const unsigned char *p = static_cast<const unsigned char *>(data);
    uint64_t h = 0x9e3779b97f4a7c15ull ^ static_cast<uint64_t>(size);
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        h = (h ^ word) * 0xff51afd7ed558ccdull;
        h ^= h >> 29;
    }
    for (; i < size; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return hex;
}

bool IsSitePath(const std::string &relative)
{
    if (relative.empty() || relative[0] == '/' || relative == kBuildRecordName)
        return false;
    size_t at = 0;
    for (;;) {
        const size_t slash = relative.find('/', at);
        const std::string part =
            relative.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (slash == std::string::npos)
            return true;
        at = slash + 1;
    }
}

std::string RecordText(const BuildRecord &record)
{
    std::string text = kMagic + " " + kVersion + "\n";
    size_t lines = 1;
    const auto add = [&](const std::string &line) {
        text += line;
        text += '\n';
        ++lines;
    };
    for (const std::string &name : record.Pictures)
        add("picture\t" + Escape(name));
    for (const std::string &folder : record.Folders)
        add("folder\t" + Escape(folder));
    for (const auto &[path, file] : record.Files) {
        const FileStamp &s = file.Stamp;
        const FileStamp &src = file.SourceStamp;
        add(std::string("file\t") + KindName(file.Kind) + "\t" + Escape(path) + "\t" +
            std::to_string(s.Size) + "\t" + std::to_string(s.ModifiedNs) + "\t" +
            std::to_string(s.ChangedNs) + "\t" + std::to_string(s.Device) + "\t" +
            std::to_string(s.Inode) + "\t" + Escape(file.Hash) + "\t" + Escape(file.Settings) +
            "\t" + Escape(file.Source) + "\t" + std::to_string(src.Size) + "\t" +
            std::to_string(src.ModifiedNs) + "\t" + std::to_string(src.ChangedNs) + "\t" +
            std::to_string(src.Device) + "\t" + std::to_string(src.Inode));
    }
    for (const std::string &path : record.Pending)
        add("pending\t" + Escape(path));
    text += "end\t" + std::to_string(lines) + "\t" + HashBytes(text) + "\n";
    return text;
}

BuildRecord ParseRecord(const std::string &text)
{
    return Parser(text).Parse();
}

void ReplaceFileAtomically(const std::string &path, const std::string &bytes)
{
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw SiteError(CannotCreateFileMessage(path, errno));
    const char *p = bytes.data();
    size_t left = bytes.size();
    int err = 0;
    while (left > 0 && err == 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno != EINTR)
            err = errno;
        else if (n > 0) {
            p += n;
            left -= static_cast<size_t>(n);
        }
    }
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temporary.c_str());
        throw SiteError(CannotCreateFileMessage(path, err));
    }
}

} // namespace pixelnook
