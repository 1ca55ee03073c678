// pixelnook-build end to end: what it prints, writes and exits with.
#include "site/SiteSettings.h"
#include "site/TemplateCatalogue.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <pty.h>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char **environ;

using fixtures::ReadText;
using fixtures::TempDir;
using fixtures::WriteText;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// Runs the tool with the arguments exactly as given (empty ones included).
ToolRun RunTool(const std::vector<std::string> &args,
                const std::string &tool = PIXELNOOK_BUILD_TOOL,
                const std::string &home = std::string())
{
    TempDir io;
    const std::string outPath = io.str() + "/out", errPath = io.str() + "/err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);

    std::vector<std::string> argStore = {tool};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStore;
    for (char **e = environ; *e; ++e)
        if (home.empty() || std::string(*e).rfind("HOME=", 0) != 0)
            envStore.push_back(*e);
    if (!home.empty())
        envStore.push_back("HOME=" + home);
    std::vector<char *> envp;
    for (std::string &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    ToolRun run;
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        ADD_FAILURE() << "cannot start " << tool;
        return run;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = ReadText(outPath);
    run.Err = ReadText(errPath);
    return run;
}

// Runs the tool with its output on a terminal (a pseudo-terminal in raw
// mode, so that the bytes arrive as written) and its errors in a file.
ToolRun RunToolOnTerminal(const std::vector<std::string> &args)
{
    ToolRun run;
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return run;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);

    TempDir io;
    const std::string errPath = io.str() + "/err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, slave, 1);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addclose(&actions, master);
    posix_spawn_file_actions_addclose(&actions, slave);
    std::vector<std::string> argStore = {PIXELNOOK_BUILD_TOOL};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(slave);
    if (rc != 0) {
        close(master);
        ADD_FAILURE() << "cannot start the tool";
        return run;
    }
    // Read until the tool's end closes the terminal (EIO).
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        run.Out.append(buffer, static_cast<size_t>(n));
    }
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Err = ReadText(errPath);
    return run;
}

const std::string kBuiltTemplates = std::string(PIXELNOOK_BIN_DIR) + "/templates/";

const std::string kProgressWithoutImagePages = "Currenty: Building folders for files|10\n"
                                               "Currently: Making thumbnails of images|35\n"
                                               "Currently: Moving images to the images folder|50\n"
                                               "Currently: Making the gallery pages|80\n"
                                               "Currently:|0\n";

class BuildToolTest : public ::testing::Test {
protected:
    BuildToolTest()
    {
        site = (root.path() / "site").string();
        fs::create_directories(root.path() / "photos" / "other");
        for (const char *name : {"a.jpg", "b.jpg", "c.jpg", "other/a.jpg"}) {
            fixtures::JpegSpec spec;
            spec.Seed = static_cast<uint32_t>(std::string(name).size());
            fixtures::WriteFile(root.path() / "photos" / name, fixtures::MakeJpeg(spec));
        }
        templ = (root.path() / "t.html").string();
        WriteText(templ,
                  "<title>%title%</title>\n<meta %metadescrip%>\n%image%%image%\n%nextprev%");
    }

    std::string Photo(const std::string &name) const
    {
        return (root.path() / "photos" / name).string();
    }

    TempDir root;
    std::string site;
    std::string templ;
};

} // namespace

TEST_F(BuildToolTest, BuildsWithACustomTemplate)
{
    const ToolRun run =
        RunTool({"--site-folder", site, "--custom-template", templ, "--site-name", "Beach",
                 "--description", "one\ntwo", Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, kProgressWithoutImagePages + "Your site - Beach has been made sucessfully\n"
                                                    "It contains 3 pictures and is on 2 pages\n");
    EXPECT_EQ(ReadText(site + "/index2.html"),
              "<title>Beach</title>\r\n<meta one\r\ntwo>\r\n"
              "<a href=\"images/c.jpg\"><img src=\"thumbnails/tnc.jpg\" border=\"0\"></a>\r\n"
              "<a href=\"index1.html\">Previous</a>");
    EXPECT_EQ(fixtures::ReadFile(site + "/images/b.jpg"), fixtures::ReadFile(Photo("b.jpg")));
}

// --web-ready and --web-size make new copies and say so in a last line;
// --strip-location alone leaves the copies of untagged pictures as they are.
TEST_F(BuildToolTest, WebReadyCopiesAndTheirLine)
{
    const ToolRun run =
        RunTool({"--site-folder", site, "--custom-template", templ, "--web-ready", "--web-size",
                 "32", "--size", "16", Photo("a.jpg"), Photo("b.jpg")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string lines = "Your site - My Picture Site has been made sucessfully\n"
                              "It contains 2 pictures and is on 1 pages\nPictures ";
    ASSERT_NE(run.Out.find(lines), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find('\n', run.Out.find(lines) + lines.size()), run.Out.size() - 1)
        << run.Out;
    const fixtures::JpegInfo copy =
        fixtures::InspectJpeg(fixtures::ReadFile(site + "/images/a.jpg"));
    EXPECT_EQ(copy.Width, 32);
    EXPECT_EQ(copy.Height, 24);
    EXPECT_TRUE(fs::exists(site + "/index.html"));

    const std::string plain = site + "-stripped";
    const ToolRun stripped = RunTool(
        {"--site-folder", plain, "--custom-template", templ, "--strip-location", Photo("a.jpg")});
    EXPECT_EQ(stripped.ExitCode, 0) << stripped.Err;
    EXPECT_EQ(stripped.Out.substr(stripped.Out.size() - 41),
              "It contains 1 pictures and is on 1 pages\n");
    EXPECT_EQ(fixtures::ReadFile(plain + "/images/a.jpg"), fixtures::ReadFile(Photo("a.jpg")));
    EXPECT_FALSE(fs::exists(plain + "/index.html"));
}

TEST_F(BuildToolTest, BuildsWithEachBuiltInTemplateAndImagePages)
{
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE("template " + std::to_string(n));
        const std::string folder = site + std::to_string(n);
        const ToolRun run =
            RunTool({"--site-folder", folder, "--template", std::to_string(n), "--image-pages",
                     "--workers", "2", Photo("a.jpg"), Photo("b.jpg")});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_NE(run.Out.find("Currently: Creating images pages|65\n"), std::string::npos);
        EXPECT_NE(run.Out.find("It contains 2 pictures and is on 1 pages\n"), std::string::npos);
        const std::string page = ReadText(folder + "/index1.html");
        EXPECT_NE(
            page.find("<a href=\"imagepages/imagepage2.html\"><img src=\"thumbnails/tnb.jpg\""),
            std::string::npos);
        for (const char *placeholder :
             {"%title%", "%metakey%", "%metadescrip%", "%image%", "%nextprev%"})
            EXPECT_EQ(page.find(placeholder), std::string::npos) << placeholder << " was left";
        EXPECT_TRUE(fs::exists(folder + "/imagepages/imagepage2.html"));
    }
}

TEST_F(BuildToolTest, DefaultsAreTheStartSiteValues)
{
    const std::string home = (root.path() / "home").string();
    fs::create_directory(home);
    const ToolRun run =
        RunTool({"--custom-template", templ, Photo("a.jpg")}, PIXELNOOK_BUILD_TOOL, home);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(ReadText(home + "/mysite/index1.html"),
              "<title>My Picture Site</title>\r\n"
              "<meta My pictures of me and my family at the beach side - christmas last year.>\r\n"
              "<a href=\"images/a.jpg\"><img src=\"thumbnails/tna.jpg\" border=\"0\"></a>\r\n");
    EXPECT_FALSE(fs::exists(home + "/mysite/imagepages"));
}

struct DescriptionCase {
    const char *Name;
    std::string Given;
    std::string OnThePage;
};

class BuildToolDescriptionTest : public BuildToolTest,
                                 public ::testing::WithParamInterface<DescriptionCase> {};

// The description's line breaks reach the pages as the details page gives
// them: each CR LF pair, and every other CR or LF, as one CR LF.
TEST_P(BuildToolDescriptionTest, LineBreaksAreThoseOfTheDetailsPage)
{
    const DescriptionCase &c = GetParam();
    const ToolRun run = RunTool({"--site-folder", site, "--custom-template", templ, "--description",
                                 c.Given, Photo("a.jpg")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(ReadText(site + "/index1.html").find("\r\n<meta " + c.OnThePage + ">\r\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Breaks, BuildToolDescriptionTest,
                         ::testing::Values(DescriptionCase{"Lf", "a\nb", "a\r\nb"},
                                           DescriptionCase{"CrLf", "a\r\nb", "a\r\nb"},
                                           DescriptionCase{"LoneCr", "a\rb", "a\r\nb"},
                                           DescriptionCase{"LfCr", "a\n\rb", "a\r\n\r\nb"},
                                           DescriptionCase{"CrCrLf", "a\r\r\nb\r",
                                                           "a\r\n\r\nb\r\n"},
                                           DescriptionCase{"LeadingLf", "\nb", "\r\nb"}),
                         [](const auto &info) { return info.param.Name; });

// An empty folder name or site detail takes its default, as "Continue" on
// the wizard's pages gives it; a value of blanks is kept as it is.
TEST_F(BuildToolTest, EmptyValuesTakeTheirDefaults)
{
    WriteText(templ, "<title>%title%</title>\n<k %metakey%>\n<d %metadescrip%>\n%image%");
    const ToolRun run = RunTool({"--site-folder",
                                 site,
                                 "--custom-template",
                                 templ,
                                 "--image-pages",
                                 "--images-folder",
                                 "",
                                 "--thumbnails-folder",
                                 "",
                                 "--image-pages-folder",
                                 "",
                                 "--site-name",
                                 "",
                                 "--keywords",
                                 "",
                                 "--description",
                                 "",
                                 "--prefix",
                                 "",
                                 "--size",
                                 "",
                                 Photo("a.jpg")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(run.Out.find("Your site - My Picture Site has been made sucessfully\n"),
              std::string::npos);
    EXPECT_EQ(
        ReadText(site + "/index1.html"),
        "<title>My Picture Site</title>\r\n<k photos, family pics, holiday, christmas>\r\n"
        "<d My pictures of me and my family at the beach side - christmas last year.>\r\n"
        "<a href=\"imagepages/imagepage1.html\"><img src=\"thumbnails/tna.jpg\" border=\"0\"></a>");
    EXPECT_NE(ReadText(site + "/imagepages/imagepage1.html").find("<img src=\"../images/a.jpg\">"),
              std::string::npos);
    const std::string sized = (root.path() / "sized").string();
    ASSERT_EQ(RunTool({"--site-folder", sized, "--custom-template", templ, "--size", "85",
                       Photo("a.jpg")})
                  .ExitCode,
              0);
    EXPECT_EQ(fixtures::ReadFile(site + "/thumbnails/tna.jpg"),
              fixtures::ReadFile(sized + "/thumbnails/tna.jpg"));
    EXPECT_EQ(fixtures::ReadFile(site + "/images/a.jpg"), fixtures::ReadFile(Photo("a.jpg")));
    EXPECT_FALSE(fs::exists(site + "/a.jpg"));
}

TEST_F(BuildToolTest, BlankValuesAreNotEmpty)
{
    const ToolRun run = RunTool({"--site-folder", site, "--custom-template", templ, "--site-name",
                                 " ", "--prefix", " ", Photo("a.jpg")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(run.Out.find("Your site -   has been made sucessfully\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(site + "/thumbnails/ a.jpg"));
    EXPECT_EQ(ReadText(site + "/index1.html").substr(0, 18), "<title> </title>\r\n");
}

const std::string kNoPicturesWithHint =
    "You must select atlest 1 image\n"
    "Usage: pixelnook-build [options] PICTURE... (pixelnook-build --help for more)\n";

struct RefusalCase {
    const char *name;
    std::vector<std::string> args; // "@" stands for the custom template, "#" for a photo
    int exitCode;
    std::string err; // exact, or a prefix when it ends in "..."
};

class BuildToolRefusalTest : public BuildToolTest,
                             public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(BuildToolRefusalTest, ExitCodeAndMessage)
{
    const RefusalCase &c = GetParam();
    std::vector<std::string> args = {"--site-folder", site};
    for (const std::string &a : c.args)
        args.push_back(a == "@"   ? templ
                       : a == "#" ? Photo("a.jpg")
                       : a == "?" ? Photo("gone.jpg")
                                  : a);
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.ExitCode, c.exitCode) << run.Err;
    std::string expected = c.err;
    for (size_t at; (at = expected.find("$PHOTOS")) != std::string::npos;)
        expected.replace(at, 7, (root.path() / "photos").string());
    if (expected.size() > 3 && expected.compare(expected.size() - 3, 3, "...") == 0) {
        EXPECT_EQ(run.Err.substr(0, expected.size() - 3), expected.substr(0, expected.size() - 3));
    } else {
        EXPECT_EQ(run.Err, expected);
    }
    if (c.exitCode == 2) {
        EXPECT_FALSE(fs::exists(site));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, BuildToolRefusalTest,
    ::testing::Values(
        RefusalCase{"NoPictures", {"--custom-template", "@"}, 2, kNoPicturesWithHint},
        RefusalCase{
            "EmptySiteFolder",
            {"--custom-template", "@", "--site-folder", "", "#"},
            2,
            "pixelnook-build: --site-folder may not be empty: the site would be written at \"/\"\n"
            "\nUsage: pixelnook-build [options] PICTURE...\n..."},
        RefusalCase{"NoTemplate",
                    {"#"},
                    2,
                    "You didn't select a template, please select one then click Build\n"},
        RefusalCase{"CustomMissing",
                    {"--custom-template", "/nonexistent/t.html", "--template", "1", "#"},
                    2,
                    "You MUST select a template or use a custom one to continue\n"},
        RefusalCase{"CustomEmpty",
                    {"--custom-template", "", "#"},
                    2,
                    "You MUST select a template or use a custom one to continue\n"},
        RefusalCase{"MissingPicture",
                    {"--custom-template", "@", "?"},
                    1,
                    "Cannot open file \"$PHOTOS/gone.jpg\". No such file or directory.\n"},
        RefusalCase{"BadSize",
                    {"--custom-template", "@", "--size", "abc", "#"},
                    1,
                    "'abc' is not a valid integer value.\n"},
        RefusalCase{"UnknownOption",
                    {"--colour", "red", "#"},
                    2,
                    "pixelnook-build: unknown option '--colour'..."},
        RefusalCase{"MissingValue",
                    {"#", "--site-name"},
                    2,
                    "pixelnook-build: option '--site-name' needs a value..."},
        RefusalCase{"TemplateOutOfRange",
                    {"--template", "7", "#"},
                    2,
                    "pixelnook-build: --template takes a number from 1 to 6, not '7'..."},
        RefusalCase{"WorkersNotANumber",
                    {"--workers", "two", "#"},
                    2,
                    "pixelnook-build: --workers takes a number from 0 to 1024, not 'two'..."},
        RefusalCase{"WebSizeNotANumber",
                    {"--web-size", "2k", "#"},
                    2,
                    "pixelnook-build: --web-size takes a number from 16 to 65500, not '2k'..."},
        RefusalCase{"WebSizeTooSmall",
                    {"--web-size", "8", "#"},
                    2,
                    "pixelnook-build: --web-size takes a number from 16 to 65500, not '8'..."}),
    [](const auto &info) { return info.param.name; });

TEST_F(BuildToolTest, TemplateWithNoImagePlaceholderIsRefused)
{
    const std::string bare = (root.path() / "bare.html").string();
    WriteText(bare, "<html>%title%</html>");
    const ToolRun run = RunTool({"--site-folder", site, "--custom-template", bare, Photo("a.jpg")});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Err.find(bare), std::string::npos);
    EXPECT_NE(run.Err.find("%image%"), std::string::npos);
    EXPECT_EQ(run.Out, "");
    EXPECT_FALSE(fs::exists(site));
}

TEST_F(BuildToolTest, MissingBuiltInTemplateIsReportedLikeAPanelClick)
{
    // A copy of the tool with no templates folder beside it.
    const fs::path program = root.path() / "bin";
    fs::create_directory(program);
    fs::copy_file(PIXELNOOK_BUILD_TOOL, program / "pixelnook-build");
    fs::permissions(program / "pixelnook-build", fs::perms::owner_all);
    const ToolRun run = RunTool({"--site-folder", site, "--template", "3", Photo("a.jpg")},
                                (program / "pixelnook-build").string());
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err, "The file '" + program.string() +
                           "/templates/template3.html' could not be found. "
                           "Please re-install\n");
    EXPECT_FALSE(fs::exists(site));
}

// Run bare, the tool says why it did nothing and how to use it.
TEST_F(BuildToolTest, NoArgumentsGiveTheMessageAndAUsageHint)
{
    const ToolRun run = RunTool({});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err, kNoPicturesWithHint);
    EXPECT_EQ(run.Out, "");
}

TEST_F(BuildToolTest, HelpShowsUsageUnderBothNames)
{
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Out.rfind("Usage: pixelnook-build [options] PICTURE...\n", 0), 0u);
    // Wrapped lines read as one text, so a default may run over a line end.
    const std::string flowing = std::regex_replace(help.Out, std::regex("\n +"), " ");
    const std::vector<std::string> mentions = {
        "-h, --help",
        "--version",
        "the site's main folder (not empty, not /)",
        "[" + std::string(pixelnook::kDefaultImagesFolderName) + "]",
        "[" + std::string(pixelnook::kDefaultThumbnailsFolderName) + "]",
        "[" + std::string(pixelnook::kDefaultImagePagesFolderName) + "]",
        "[" + std::string(pixelnook::kDefaultSiteName) + "]",
        "[" + std::string(pixelnook::kDefaultSiteDescription) + "]",
        "[" + std::string(pixelnook::kDefaultSiteKeywords) + "]",
        "[" + std::string(pixelnook::kDefaultThumbnailPrefix) + "]",
        "[" + std::string(pixelnook::kDefaultThumbnailSize) + "]",
        "[" + std::to_string(pixelnook::kDefaultWebSize) + "]",
        "(1 to " + std::to_string(pixelnook::kBuiltInTemplateCount) + ")",
    };
    for (const std::string &mention : mentions)
        EXPECT_NE(flowing.find(mention), std::string::npos) << mention;
    // The help fits a terminal.
    std::istringstream lines(help.Out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 78u) << line;
    const ToolRun h = RunTool({"-h", "--colour"});
    EXPECT_EQ(h.ExitCode, 0);
    EXPECT_EQ(h.Out, help.Out);
    EXPECT_EQ(h.Err, "");
}

// The version is the project's, as the build files give it.
TEST_F(BuildToolTest, VersionIsTheProjectVersion)
{
    const std::string cmake = ReadText(std::string(PIXELNOOK_SOURCE_DIR) + "/CMakeLists.txt");
    const std::string mark = "project(Pixelnook VERSION ";
    const size_t at = cmake.find(mark);
    ASSERT_NE(at, std::string::npos);
    const std::string version = cmake.substr(
        at + mark.size(), cmake.find_first_of(" )", at + mark.size()) - at - mark.size());
    const ToolRun run = RunTool({"--version"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "pixelnook-build " + version + "\n");
    EXPECT_EQ(run.Err, "");
}

TEST_F(BuildToolTest, UpdateSaysWhatItReusedRewroteAndRemoved)
{
    const std::vector<std::string> answers = {"--update", "--site-folder", site,
                                              "--custom-template", templ};
    std::vector<std::string> first = answers;
    first.insert(first.end(), {Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg")});
    ToolRun run = RunTool(first);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(
        run.Out.find(
            "pages\n3 new, 0 unchanged, 0 removed\nFiles: 8 written, 0 unchanged, 0 removed\n"),
        std::string::npos)
        << run.Out;

    std::vector<std::string> second = answers;
    second.insert(second.end(), {Photo("a.jpg"), Photo("c.jpg")});
    WriteText(site + "/images/b.jpg", "retouched by hand");
    run = RunTool(second);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    // index1.html now holds a and c; index2.html is no longer made.
    EXPECT_NE(run.Out.find("pages\n0 new, 2 unchanged, 1 removed\n"
                           "Files: 1 written, 4 unchanged, 2 removed\n"
                           "Kept \"images/b.jpg\": changed since the last update wrote it\n"),
              std::string::npos)
        << run.Out;
    EXPECT_FALSE(fs::exists(site + "/thumbnails/tnb.jpg"));
    EXPECT_EQ(ReadText(site + "/images/b.jpg"), "retouched by hand");

    // A file of the user's where a new picture's copy goes refuses the update.
    WriteText(site + "/images/b.jpg", "still mine");
    std::vector<std::string> third = answers;
    third.insert(third.end(), {Photo("a.jpg"), Photo("b.jpg")});
    run = RunTool(third);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Err.find("images/b.jpg: not written by an update of this site"),
              std::string::npos)
        << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadText(site + "/images/b.jpg"), "still mine");
}

namespace {

struct TerminalCase {
    const char *name;
    bool secondMissing;
    int exitCode;
    const char *out; // a pattern: the counts between 1 and the last may be left out
};

class BuildToolTerminalTest : public BuildToolTest,
                              public ::testing::WithParamInterface<TerminalCase> {};

// On a terminal the thumbnail stage counts its pictures on one line that
// rewrites itself, which ends before the next stage or the error; the rest
// is what goes into a file.
TEST_P(BuildToolTerminalTest, CountsThumbnailsOnOneLine)
{
    const TerminalCase &c = GetParam();
    if (c.secondMissing)
        fs::remove(Photo("b.jpg"));
    const ToolRun run =
        RunToolOnTerminal({"--site-folder", site, "--custom-template", templ, "--workers", "1",
                           Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg")});
    EXPECT_EQ(run.ExitCode, c.exitCode) << run.Err;
    EXPECT_TRUE(std::regex_match(run.Out, std::regex(c.out))) << run.Out;
    if (c.secondMissing)
        EXPECT_EQ(run.Err,
                  "Cannot open file \"" + Photo("b.jpg") + "\". No such file or directory.\n");
    else
        EXPECT_EQ(run.Err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildToolTerminalTest,
    ::testing::Values(TerminalCase{"Built", false, 0,
                                   "Currenty: Building folders for files\\|10\n"
                                   "Currently: Making thumbnails of images\\|35\n"
                                   "\r1 / 3 pictures(\r2 / 3 pictures)?\r3 / 3 pictures\n"
                                   "Currently: Moving images to the images folder\\|50\n"
                                   "Currently: Making the gallery pages\\|80\n"
                                   "Currently:\\|0\n"
                                   "Your site - My Picture Site has been made sucessfully\n"
                                   "It contains 3 pictures and is on 2 pages\n"},
                      TerminalCase{"StopsAtAMissingPicture", true, 1,
                                   "Currenty: Building folders for files\\|10\n"
                                   "Currently: Making thumbnails of images\\|35\n"
                                   "\r1 / 3 pictures\n"}),
    [](const ::testing::TestParamInfo<TerminalCase> &info) {
        return std::string(info.param.name);
    });

} // namespace
