// pixelnook-build against an adversary: every run ends by itself with a
// clear message that names the file, exit 2 for answers it refuses (with
// nothing written) and 1 for a build that stopped, and loses nothing.
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using fixtures::ReadFile;
using fixtures::ReadText;
using fixtures::TempDir;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

constexpr int kWatchdogSeconds = 60;

struct ToolRun {
    int ExitCode = -1;  // -1: ended by a signal or killed
    int Signal = 0;     // the signal that ended it
    bool Ended = false; // by itself, within the watchdog's time
    std::string Out, Err;
};

// Runs the tool with the process's file-size limit set to fileSizeLimit
// bytes (0: none) and every signal as a shell leaves it.
ToolRun RunTool(const std::vector<std::string> &args, rlim_t fileSizeLimit = 0)
{
    TempDir io;
    const std::string outPath = io.str() + "/out", errPath = io.str() + "/err";
    std::vector<std::string> store = {PIXELNOOK_BUILD_TOOL};
    store.insert(store.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : store)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ToolRun run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::signal(SIGXFSZ, SIG_DFL);
        if (fileSizeLimit > 0) {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kWatchdogSeconds);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.Err = ReadText(errPath);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.Ended = true;
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.Out = ReadText(outPath);
    run.Err = ReadText(errPath);
    return run;
}

class BuildToolHostile : public ::testing::Test {
public:
    BuildToolHostile()
    {
        photos = root.path() / "photos";
        site = (root.path() / "site").string();
        fs::create_directories(photos / "a");
        fs::create_directories(photos / "b");
        for (const char *name : {"one.jpg", "two.jpg", "a/IMG_0001.JPG", "b/IMG_0001.JPG"}) {
            fixtures::JpegSpec spec{120, 90};
            spec.Seed = static_cast<uint32_t>(std::string(name).size());
            fixtures::WriteFile(photos / name, fixtures::MakeJpeg(spec));
        }
        templ = (root.path() / "t.html").string();
        WriteText(templ, "<p>%title%</p>\n%image%\n%nextprev%\n");
    }

    std::string Photo(const std::string &name) const { return (photos / name).string(); }

    TempDir root;
    fs::path photos;
    std::string site;
    std::string templ;
};

struct ToolCase {
    const char *Name;
    // "@T" stands for the custom template, "@P/" for the photos folder,
    // "@S" for the site folder, "@R/" for the test's folder; "--site-folder
    // @S" comes first unless the arguments name another.
    std::vector<std::string> Args;
    std::function<void(BuildToolHostile &)> Arrange; // may be empty
    int ExitCode;
    std::string Err; // exact, with the same stand-ins
};

void PrintTo(const ToolCase &c, std::ostream *os)
{
    *os << c.Name;
}

class BuildToolHostileCases : public BuildToolHostile,
                              public ::testing::WithParamInterface<ToolCase> {
protected:
    std::string Expand(std::string text) const
    {
        const std::pair<std::string, std::string> names[] = {
            {"@T", templ}, {"@P/", photos.string() + "/"}, {"@S", site}, {"@R/", root.str() + "/"}};
        for (const auto &[name, value] : names)
            for (size_t at = text.find(name); at != std::string::npos;
                 at = text.find(name, at + value.size()))
                text.replace(at, name.size(), value);
        return text;
    }
};

TEST_P(BuildToolHostileCases, EndsWithTheFileNamed)
{
    const ToolCase &c = GetParam();
    if (c.Arrange)
        c.Arrange(*this);
    std::vector<std::string> args;
    if (std::find(c.Args.begin(), c.Args.end(), "--site-folder") == c.Args.end())
        args = {"--site-folder", site};
    for (const std::string &a : c.Args)
        args.push_back(Expand(a));
    const ToolRun run = RunTool(args);
    ASSERT_TRUE(run.Ended) << "no end within " << kWatchdogSeconds << " s";
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err;
    EXPECT_EQ(run.Err, Expand(c.Err));
    if (c.ExitCode == 2) {
        EXPECT_FALSE(fs::exists(site)) << "a refused build wrote the site";
        EXPECT_EQ(run.Out, "");
    }
}

const std::string kOutside = "it may not start with \"/\" or hold \"..\"\n";

INSTANTIATE_TEST_SUITE_P(
    Attacks, BuildToolHostileCases,
    ::testing::Values(
        ToolCase{"PipeAsAPicture",
                 {"--custom-template", "@T", "@P/one.jpg", "@P/p.jpg"},
                 [](BuildToolHostile &t) { ::mkfifo(t.Photo("p.jpg").c_str(), 0600); },
                 2,
                 "Cannot open file \"@P/p.jpg\". Not a regular file\n"},
        ToolCase{"PipeAsTheTemplate",
                 {"--custom-template", "@R/pipe.html", "@P/one.jpg"},
                 [](BuildToolHostile &t) { ::mkfifo((t.root.path() / "pipe.html").c_str(), 0600); },
                 2,
                 "Cannot open file \"@R/pipe.html\". Not a regular file\n"},
        ToolCase{"EndlessTemplate",
                 {"--custom-template", "/dev/zero", "@P/one.jpg"},
                 nullptr,
                 2,
                 "Cannot open file \"/dev/zero\". Not a regular file\n"},
        ToolCase{"TemplateOverTheLimit",
                 {"--custom-template", "@R/big.html", "@P/one.jpg"},
                 [](BuildToolHostile &t) {
                     const fs::path big = t.root.path() / "big.html";
                     WriteText(big, "%image%");
                     fs::resize_file(big, (uint64_t(16) << 20) + 1);
                 },
                 2,
                 "The template \"@R/big.html\" is larger than 16 MiB\n"},
        ToolCase{"ImagesFolderUp",
                 {"--custom-template", "@T", "--images-folder", "..", "@P/one.jpg"},
                 nullptr,
                 2,
                 "The images folder name \"..\" leads outside the site folder: " + kOutside},
        ToolCase{"ImagesFolderClimbingOut",
                 {"--custom-template", "@T", "--images-folder", "a/../../other", "@P/one.jpg"},
                 nullptr,
                 2,
                 "The images folder name \"a/../../other\" leads outside the site folder: " +
                     kOutside},
        ToolCase{"ImagesFolderAbsolute",
                 {"--custom-template", "@T", "--images-folder", "@R/other", "@P/one.jpg"},
                 nullptr,
                 2,
                 "The images folder name \"@R/other\" leads outside the site folder: " + kOutside},
        ToolCase{"PrefixClimbingOut",
                 {"--custom-template", "@T", "--prefix", "../../", "@P/one.jpg"},
                 nullptr,
                 2,
                 "The thumbnail prefix \"../../\" leads outside the thumbnails folder: " +
                     kOutside},
        ToolCase{"SiteFolderAtTheRoot",
                 {"--site-folder", "/", "--custom-template", "@T", "@P/one.jpg"},
                 nullptr,
                 2,
                 "The site folder \"/\" is the root of the file system: the site would be written "
                 "at \"/\"\n"},
        ToolCase{
            "TwoPicturesOfOneName",
            {"--custom-template", "@T", "@P/a/IMG_0001.JPG", "@P/one.jpg", "@P/b/IMG_0001.JPG"},
            nullptr,
            2,
            "A file with this name is already added. Please select another name\n"
            "pixelnook-build: \"@P/b/IMG_0001.JPG\" has the same name as \"@P/a/IMG_0001.JPG\"\n"},
        // A picture's own failure: the picture, then the text, on one line.
        ToolCase{"PictureThatIsNoJpeg",
                 {"--custom-template", "@T", "@P/one.jpg", "@P/scan.jpg"},
                 [](BuildToolHostile &t) { WriteText(t.Photo("scan.jpg"), "GIF89a"); },
                 1,
                 "pixelnook-build: @P/scan.jpg: JPEG error #53.\n"},
        ToolCase{"EmptyPicture",
                 {"--custom-template", "@T", "@P/empty.jpg"},
                 [](BuildToolHostile &t) { WriteText(t.Photo("empty.jpg"), ""); },
                 1,
                 "pixelnook-build: @P/empty.jpg: Invalid floating point operation.\n"}),
    [](const ::testing::TestParamInfo<ToolCase> &info) { return info.param.Name; });

// A page written at a link's name replaces the link: the picture behind it
// keeps its bytes.
TEST_F(BuildToolHostile, PageAtALinkToAPictureLeavesThePicture)
{
    fs::create_directories(site);
    fs::create_symlink(Photo("one.jpg"), site + "/index1.html");
    const std::vector<unsigned char> before = ReadFile(Photo("one.jpg"));
    const ToolRun run = RunTool({"--site-folder", site, "--template", "1", Photo("one.jpg")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(ReadFile(Photo("one.jpg")), before);
    EXPECT_FALSE(fs::is_symlink(site + "/index1.html"));
    EXPECT_NE(ReadText(site + "/index1.html").find("<a href=\"images/one.jpg\">"),
              std::string::npos);
}

// Under a file-size limit a write fails and is reported: the tool is not
// ended by SIGXFSZ, and no copy cut short is left to pass for the picture.
TEST_F(BuildToolHostile, FileSizeLimitStopsTheBuildWithTheCreateError)
{
    fixtures::JpegSpec spec{1200, 900};
    spec.Quality = 100;
    fixtures::WriteFile(photos / "big.jpg", fixtures::MakeJpeg(spec));
    const rlim_t limit = 64 * 1024;
    ASSERT_GT(fs::file_size(photos / "big.jpg"), limit);
    // A good copy from an earlier run is there, as it was when this was
    // first seen.
    ASSERT_EQ(
        RunTool({"--site-folder", site, "--custom-template", templ, Photo("big.jpg")}).ExitCode, 0);

    const ToolRun run =
        RunTool({"--site-folder", site, "--custom-template", templ, Photo("big.jpg")}, limit);
    ASSERT_TRUE(run.Ended);
    EXPECT_EQ(run.Signal, 0) << "ended by signal " << run.Signal;
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, "Cannot create file \"" + site + "/images/big.jpg\". File too large.\n");
    EXPECT_FALSE(fs::exists(site + "/images/big.jpg")) << "a copy cut short was left";
}

} // namespace
