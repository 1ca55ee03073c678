// Pictures made to hurt: a few hundred bytes that claim 65500 x 65500
// pixels, scans repeated until decoding would take hours, thumbnails as
// large as the picture. Each case runs in a child process that reports how
// long it took and how much memory it grew by; outside AddressSanitizer its
// address space is capped too. Every case must end with a thumbnail or a
// clear error naming the picture, within 1 GiB.
#include "site/SiteError.h"
#include "site/Thumbnail.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pixelnook;
using fixtures::JpegSpec;
using fixtures::MakeJpeg;
using fixtures::WithFrameSize;
using Bytes = std::vector<unsigned char>;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr long kGiBKb = 1024 * 1024;
// A case that has not ended by then is taken for a hang; far above the
// 30 seconds a hostile picture may take, to allow for a busy machine and
// the sanitizers.
constexpr int kWatchdogSeconds = 240;

long StatusKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

struct Outcome {
    bool Ended = false; // by itself, before the watchdog
    std::string Result; // the error text, or "thumbnail W x H"
    long GrowthKb = 0;  // peak resident memory above where it started
};

// Runs `work` in a child process. Its resident peak at the start is the
// parent's size, so the growth is what the work itself needed.
Outcome RunInChild(const std::function<std::string()> &work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        // The sanitizer's shadow memory is reserved address space, so the
        // cap can only apply outside it; there the growth is measured.
        if (!kAddressSanitizer) {
            const rlim_t limit =
                static_cast<rlim_t>(StatusKb("VmSize") + kGiBKb + kGiBKb / 2) * 1024;
            const rlimit as{limit, limit};
            ::setrlimit(RLIMIT_AS, &as);
        }
        const rlimit cpu{kWatchdogSeconds, kWatchdogSeconds};
        ::setrlimit(RLIMIT_CPU, &cpu);
        const long before = StatusKb("VmHWM");
        std::string result;
        try {
            result = work();
        } catch (const std::exception &e) {
            result = e.what();
        }
        std::ostringstream out;
        out << StatusKb("VmHWM") - before << '\n' << result;
        const std::string text = out.str();
        ssize_t ignored = ::write(fds[1], text.data(), text.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(fds[1]);
    Outcome outcome;
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kWatchdogSeconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            outcome.Ended = true;
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (!outcome.Ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::istringstream in(text);
    if (!(in >> outcome.GrowthKb)) {
        outcome.Ended = false;
        outcome.Result = "(the child died: status " + std::to_string(status) + ")";
        return outcome;
    }
    in.get();
    std::getline(in, outcome.Result, '\0');
    return outcome;
}

std::string MakeThumbnailOf(const Bytes &bytes, const std::string &sizeText)
{
    // The cap of a machine with 4 GiB, whatever this one has.
    const PreparedThumbnail t =
        PrepareThumbnailFromBytes(bytes, "huge.jpg", sizeText, uint64_t(1) << 30);
    if (!t.EncodeError.empty())
        return t.EncodeError;
    const fixtures::JpegInfo info = fixtures::InspectJpeg(t.Jpeg);
    return "thumbnail " + std::to_string(info.Width) + " x " + std::to_string(info.Height);
}

// The stream with its last scan repeated: each copy is another pass over
// every block of the picture, for a dozen bytes.
Bytes WithRepeatedLastScan(const Bytes &jpeg, int copies)
{
    size_t last = 0;
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
            last = i;
    const size_t end = jpeg.size() - 2; // the end-of-image marker
    Bytes out(jpeg.begin(), jpeg.begin() + static_cast<long>(end));
    for (int i = 0; i < copies; ++i)
        out.insert(out.end(), jpeg.begin() + static_cast<long>(last),
                   jpeg.begin() + static_cast<long>(end));
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

Bytes Claiming(int width, int height, int components, bool progressive, int restartRows = 0,
               std::vector<fixtures::ScanSpec> scans = {})
{
    JpegSpec spec{16, 16};
    spec.Components = components;
    spec.Progressive = progressive;
    spec.RestartRows = restartRows;
    spec.Scans = std::move(scans);
    return WithFrameSize(MakeJpeg(spec), width, height);
}

// Spectral selection alone: every scan a first scan, so a repeated one is
// no fault of order the library would notice.
const std::vector<fixtures::ScanSpec> kSpectralOnly = {
    {{0, 1, 2}, 0, 0, 0, 0}, {{0}, 1, 63, 0, 0}, {{1}, 1, 63, 0, 0}, {{2}, 1, 63, 0, 0}};

// A successive-approximation script that sends every coefficient bit by bit
// from the eighth down, in two bands: 18 passes over every block, three
// times libjpeg's standard progression.
std::vector<fixtures::ScanSpec> BitByBit()
{
    std::vector<fixtures::ScanSpec> scans{{{0, 1, 2}, 0, 0, 0, 1}, {{0, 1, 2}, 0, 0, 1, 0}};
    for (int c = 0; c < 3; ++c)
        for (const auto &band : {std::pair<int, int>{1, 5}, {6, 63}})
            for (int al = 7; al >= 0; --al)
                scans.push_back({{c}, band.first, band.second, al == 7 ? 0 : al + 1, al});
    return scans;
}

struct HostileCase {
    const char *Name;
    std::function<Bytes()> Picture;
    const char *Size;
    std::string Expected; // "thumbnail W x H" or the error
};

void PrintTo(const HostileCase &c, std::ostream *os)
{
    *os << c.Name;
}

const std::string kCannot = "Cannot make a thumbnail of \"huge.jpg\": ";
const std::string kTooMuchMemory = kCannot + "decoding it would need more than 1 GiB of memory";
const std::string kTooManyScans = kCannot + "it has more scans than a picture of its size may have";

class HostilePicture : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostilePicture, EndsWithinTheMemoryCap)
{
    const HostileCase c = GetParam();
    const Bytes picture = c.Picture();
    const Outcome outcome = RunInChild([&] { return MakeThumbnailOf(picture, c.Size); });
    ASSERT_TRUE(outcome.Ended) << "no end within " << kWatchdogSeconds << " s " << outcome.Result;
    EXPECT_EQ(outcome.Result, c.Expected);
    EXPECT_LE(outcome.GrowthKb, kGiBKb) << "grew by " << outcome.GrowthKb / 1024 << " MiB";
}

INSTANTIATE_TEST_SUITE_P(
    Claims, HostilePicture,
    ::testing::Values(
        // Baseline colour decodes only the rows it keeps: the missing data is
        // filled in and a thumbnail is made, as for any picture cut short.
        HostileCase{"HugeBaseline", [] { return Claiming(65500, 65500, 3, false); }, "85",
                    "thumbnail 85 x 85"},
        HostileCase{"HugeBaselineRestarts", [] { return Claiming(65500, 65500, 3, false, 1); },
                    "85", "thumbnail 85 x 85"},
        HostileCase{"HugeBaselineLargeThumbnail", [] { return Claiming(65500, 65500, 3, false); },
                    "8000", "thumbnail 8000 x 8188"},
        HostileCase{"HugeProgressive", [] { return Claiming(65500, 65500, 3, true); }, "85",
                    kTooMuchMemory},
        HostileCase{"HugeGray", [] { return Claiming(65500, 65500, 1, false); }, "85",
                    kCannot + "at 65500 x 65500 pixels the grayscale picture is too large (at most "
                              "1073741824 pixels)"},
        HostileCase{"HugeGrayProgressive", [] { return Claiming(65500, 65500, 1, true); }, "85",
                    kCannot + "at 65500 x 65500 pixels the grayscale picture is too large (at most "
                              "1073741824 pixels)"},
        HostileCase{"GrayOnePixelRowOverTheLimit", [] { return Claiming(32768, 32769, 1, false); },
                    "85",
                    kCannot + "at 32768 x 32769 pixels the grayscale picture is too large (at most "
                              "1073741824 pixels)"},
        HostileCase{"HugeCmyk", [] { return Claiming(65500, 65500, 4, false); }, "85",
                    kCannot +
                        "pictures with four colour components (CMYK or YCCK) are not supported"},
        // Within the cap a large progressive picture is decoded in full.
        HostileCase{"LargeProgressiveWithinTheCap", [] { return Claiming(14000, 14000, 3, true); },
                    "85", "thumbnail 85 x 85"},
        // The encoder of a progressive thumbnail holds all of it as well.
        HostileCase{"ProgressiveWithHugeThumbnail", [] { return Claiming(18000, 18000, 3, true); },
                    "18000", kTooMuchMemory},
        HostileCase{"RepeatedScans",
                    [] { return WithRepeatedLastScan(Claiming(14000, 14000, 3, true), 200); }, "85",
                    kTooManyScans},
        HostileCase{"BitByBitLayout", [] { return Claiming(9000, 9000, 3, true, 0, BitByBit()); },
                    "85", "thumbnail 85 x 85"},
        HostileCase{"RepeatedFirstScans",
                    [] {
                        return WithRepeatedLastScan(
                            Claiming(14000, 14000, 3, true, 0, kSpectralOnly), 200);
                    },
                    "85", kTooManyScans},
        // A genuine picture of that size with libjpeg's standard progression
        // (ten scans), every pixel coded, at 4:4:4: 864 MB of coefficients.
        HostileCase{"GenuineLarge444Progressive",
                    [] {
                        JpegSpec spec{12000, 12000};
                        spec.HSamp = spec.VSamp = 1;
                        spec.Progressive = true;
                        spec.Quality = 20; // few coefficients to code: the fixture is made quicker
                        return MakeJpeg(spec);
                    },
                    "85", "thumbnail 85 x 85"},
        // The picture fails only at its end, once the encoder has grown its
        // output past its first buffer: the abandoned thumbnail must be freed
        // once, not twice.
        HostileCase{"FailsAfterTheThumbnailGrew",
                    [] {
                        return WithRepeatedLastScan(MakeJpeg({640, 480}), 1);
                    },
                    "400", "JPEG error #" + std::to_string(JERR_EOI_EXPECTED)},
        // A small picture may have many scans: each one costs little.
        HostileCase{"RepeatedScansSmallPicture",
                    [] { return WithRepeatedLastScan(Claiming(1000, 1000, 3, true), 300); }, "85",
                    "thumbnail 85 x 83"}),
    [](const ::testing::TestParamInfo<HostileCase> &info) { return info.param.Name; });

// Inputs the thumbnail fuzzer once crashed on, kept as it wrote them: one
// byte n, n % 16 bytes of size text, then the picture. Each must now end
// with a thumbnail or an error.
TEST(HostileRegressions, FuzzerFindingsEndCleanly)
{
    const std::filesystem::path folder =
        std::filesystem::path(PIXELNOOK_SOURCE_DIR) / "tests/site/regressions/thumbnail";
    int count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        const Bytes input = fixtures::ReadFile(entry.path());
        ASSERT_FALSE(input.empty()) << entry.path();
        const size_t textLength = std::min<size_t>(input[0] % 16, input.size() - 1);
        const std::string sizeText(input.begin() + 1,
                                   input.begin() + 1 + static_cast<long>(textLength));
        const Bytes picture(input.begin() + 1 + static_cast<long>(textLength), input.end());
        const Outcome outcome = RunInChild([&] { return MakeThumbnailOf(picture, sizeText); });
        EXPECT_TRUE(outcome.Ended) << entry.path() << ": " << outcome.Result;
        EXPECT_FALSE(outcome.Result.empty()) << entry.path();
        ++count;
    }
    EXPECT_GT(count, 0);
}

// A genuine large baseline picture, every row of it coded, is streamed: it
// never needs its full-size raster in memory.
TEST(HostileLargePicture, GenuineLargeBaselineIsStreamed)
{
    JpegSpec spec{8000, 6000};
    spec.Quality = 75;
    const Bytes picture = MakeJpeg(spec);
    const long rasterKb = 8000L * 6000 * 3 / 1024;
    const Outcome outcome = RunInChild([&] { return MakeThumbnailOf(picture, "85"); });
    ASSERT_TRUE(outcome.Ended) << outcome.Result;
    EXPECT_EQ(outcome.Result, "thumbnail 113 x 85");
    EXPECT_LT(outcome.GrowthKb, rasterKb / 3)
        << "grew by " << outcome.GrowthKb / 1024 << " MiB; the raster would be " << rasterKb / 1024
        << " MiB";
}

} // namespace
