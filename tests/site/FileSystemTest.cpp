// The file operations the build stands on: their error texts, a copy that
// never writes through a link, and how files and directory entries are
// told apart.
#include "site/FileSystem.h"
#include "ErrorText.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace pixelnook;
using fixtures::ReadText;
using fixtures::TempDir;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

class FileSystem : public ::testing::Test {
protected:
    std::string At(const std::string &name) const { return dir.str() + "/" + name; }
    TempDir dir;
};

TEST_F(FileSystem, ReadWholeFileGivesEveryByteOrTheOpenError)
{
    // Larger than one read, and not a whole number of reads.
    std::vector<unsigned char> bytes(3 * 65536 + 17);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    fixtures::WriteFile(At("big"), bytes);
    EXPECT_EQ(ReadWholeFile(At("big")), bytes);
    WriteText(At("empty"), "");
    EXPECT_TRUE(ReadWholeFile(At("empty")).empty());

    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(At("missing")); }),
              "Cannot open file \"" + At("missing") + "\". No such file or directory");
    fs::create_directory(At("folder"));
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(At("folder")); }),
              "Cannot open file \"" + At("folder") + "\". Is a directory");
}

TEST_F(FileSystem, InputFileReadsAPieceAtATime)
{
    WriteText(At("f"), "abcdefghij");
    InputFile in(At("f"));
    EXPECT_GE(in.Descriptor(), 0);
    const auto text = [](const std::vector<unsigned char> &b) {
        return std::string(b.begin(), b.end());
    };
    EXPECT_EQ(text(in.Read(4)), "abcd");
    EXPECT_EQ(text(in.Read(4)), "efgh");
    EXPECT_EQ(text(in.Read(4)), "ij"); // fewer only at the end
    EXPECT_EQ(text(in.Read(4)), "");
}

TEST_F(FileSystem, WriteWholeFileReplacesTheContentOrGivesTheCreateError)
{
    WriteText(At("f"), "an older and longer text");
    WriteWholeFile(At("f"), std::string("new"));
    EXPECT_EQ(ReadText(At("f")), "new");

    EXPECT_EQ(ErrorOf([&] { WriteWholeFile(At("missing/f"), std::string("x")); }),
              "Cannot create file \"" + At("missing/f") + "\". No such file or directory");
    EXPECT_FALSE(fs::exists(At("missing")));
}

TEST_F(FileSystem, FileExistsIsFalseForFolders)
{
    WriteText(At("f"), "x");
    fs::create_directory(At("d"));
    EXPECT_TRUE(FileExists(At("f")));
    EXPECT_FALSE(FileExists(At("d")));
    EXPECT_FALSE(FileExists(At("missing")));
}

TEST_F(FileSystem, CreateFoldersMakesEveryMissingParentAndDeleteIsQuiet)
{
    CreateFolders(At("a/b/c"));
    EXPECT_TRUE(fs::is_directory(At("a/b/c")));
    CreateFolders(At("a/b/c")); // already there: nothing happens
    WriteText(At("a/f"), "x");
    DeleteFileQuietly(At("a/f"));
    EXPECT_FALSE(fs::exists(At("a/f")));
    DeleteFileQuietly(At("a/f")); // gone already: nothing happens
}

// The copy removes a link at the target's name and makes a file of its own
// there, so the file the link led to keeps its bytes.
TEST_F(FileSystem, CopyFileOverNeverWritesThroughALink)
{
    WriteText(At("source"), "picture");
    WriteText(At("other"), "someone else's file");
    fs::create_symlink(At("other"), At("target"));

    CopyFileOver(At("source"), At("target"));
    EXPECT_FALSE(IsSymlink(At("target")));
    EXPECT_EQ(ReadText(At("target")), "picture");
    EXPECT_EQ(ReadText(At("other")), "someone else's file");
}

// The source is opened before the target's name is cleared: a source that
// is reached through a link at the target is still copied.
TEST_F(FileSystem, CopyFileOverReadsASourceLinkedAtTheTarget)
{
    WriteText(At("picture"), "bytes");
    fs::create_symlink(At("picture"), At("copy"));
    CopyFileOver(At("copy"), At("copy"));
    EXPECT_FALSE(IsSymlink(At("copy")));
    EXPECT_EQ(ReadText(At("copy")), "bytes");
    EXPECT_EQ(ReadText(At("picture")), "bytes");
}

// A copy that cannot be made is an error naming the file at fault: the
// source that cannot be read (the older copy is then left alone), or the
// target that cannot be made. A pipe is no picture to copy.
TEST_F(FileSystem, FailedCopyIsTheErrorOfTheFileAtFault)
{
    WriteText(At("target"), "older copy");
    EXPECT_EQ(ErrorOf([&] { CopyFileOver(At("missing"), At("target")); }),
              "Cannot open file \"" + At("missing") + "\". No such file or directory");
    EXPECT_EQ(ReadText(At("target")), "older copy");
    EXPECT_EQ(ErrorOf([&] { CopyFileOver(At("target"), At("no-folder/target")); }),
              "Cannot create file \"" + At("no-folder/target") + "\". No such file or directory");
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
    EXPECT_EQ(ErrorOf([&] { CopyFileOver(At("pipe"), At("target")); }),
              "Cannot open file \"" + At("pipe") + "\". Not a regular file");
}

// A file written at a link's name replaces the link: neither the file a
// symbolic link leads to nor the other name of a hard link changes, and a
// link leading nowhere creates nothing where it leads.
TEST_F(FileSystem, WriteWholeFileNeverWritesThroughALink)
{
    WriteText(At("picture"), "picture");
    fs::create_symlink(At("picture"), At("soft"));
    fs::create_hard_link(At("picture"), At("hard"));
    fs::create_symlink(At("nowhere"), At("dangling"));
    for (const char *name : {"soft", "hard", "dangling"}) {
        WriteWholeFile(At(name), std::string("page"));
        EXPECT_FALSE(IsSymlink(At(name))) << name;
        EXPECT_EQ(fs::hard_link_count(At(name)), 1u) << name;
        EXPECT_EQ(ReadText(At(name)), "page") << name;
    }
    EXPECT_EQ(ReadText(At("picture")), "picture");
    EXPECT_FALSE(fs::exists(At("nowhere")));
}

// A file of the build's own is rewritten in place; anything else at the
// name is replaced as WriteWholeFile does, never written through, and a
// pipe there does not hold the write up.
TEST_F(FileSystem, RewriteOwnFileKeepsOnlyARegularFileWithOneName)
{
    WriteText(At("own"), "old page, longer than the new one");
    const auto inode = [](const std::string &path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    };
    const ino_t ownBefore = inode(At("own"));
    RewriteOwnFile(At("own"), std::string("page"));
    EXPECT_EQ(ReadText(At("own")), "page");
    EXPECT_EQ(inode(At("own")), ownBefore);

    WriteText(At("picture"), "picture");
    fs::create_symlink(At("picture"), At("soft"));
    fs::create_hard_link(At("picture"), At("hard"));
    fs::create_symlink(At("nowhere"), At("dangling"));
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
    for (const char *name : {"soft", "hard", "dangling", "pipe", "missing"}) {
        RewriteOwnFile(At(name), std::string("page"));
        EXPECT_FALSE(IsSymlink(At(name))) << name;
        EXPECT_EQ(fs::hard_link_count(At(name)), 1u) << name;
        EXPECT_EQ(ReadText(At(name)), "page") << name;
    }
    EXPECT_EQ(ReadText(At("picture")), "picture");
    EXPECT_FALSE(fs::exists(At("nowhere")));
}

TEST_F(FileSystem, SameFileFollowsLinksAndNamesOfOneFile)
{
    WriteText(At("a"), "x");
    WriteText(At("b"), "x");
    fs::create_hard_link(At("a"), At("hard"));
    fs::create_symlink(At("a"), At("soft"));
    fs::create_symlink(At("missing"), At("dangling"));

    EXPECT_TRUE(SameFile(At("a"), At("hard")));
    EXPECT_TRUE(SameFile(At("soft"), At("a")));
    EXPECT_FALSE(SameFile(At("a"), At("b"))); // equal bytes are not enough
    EXPECT_FALSE(SameFile(At("missing"), At("missing")));
    EXPECT_FALSE(IdentityOf(At("dangling")));
    EXPECT_TRUE(IsSymlink(At("dangling")));
    EXPECT_FALSE(IsSymlink(At("a")));
}

// Two paths to one entry (through a linked folder, or with "..") give the
// same entry; the entry itself need not exist, its folder must.
TEST_F(FileSystem, DirectoryEntriesAreFoundThroughLinkedFolders)
{
    fs::create_directories(At("real/sub"));
    fs::create_directory_symlink(At("real"), At("linked"));
    DirectoryEntries entries;

    const auto direct = entries.Of(At("real/f.jpg"));
    ASSERT_TRUE(direct);
    EXPECT_EQ(direct->Name, "f.jpg");
    EXPECT_EQ(entries.Of(At("linked/f.jpg")), direct);
    EXPECT_EQ(entries.Of(At("real/sub/../f.jpg")), direct);
    EXPECT_FALSE(entries.Of(At("real/sub/f.jpg")) == direct);
    EXPECT_FALSE(entries.Of(At("real/g.jpg")) == direct);
    EXPECT_FALSE(entries.Of(At("nowhere/f.jpg")));

    // A path that names a folder is the entry in the folder above.
    const auto sub = entries.Of(At("real/sub/"));
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->Name, "sub");
    EXPECT_EQ(entries.Of(At("linked/sub")), sub);
}

} // namespace
