#include "site/ThumbnailStage.h"
#include "site/SiteError.h"
#include "site/Thumbnail.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pixelnook;
using fixtures::JpegSpec;
using fixtures::MakeJpeg;

namespace {

// A job making the thumbnail alone.
ThumbnailJob Job(std::string source, std::string target)
{
    ThumbnailJob job;
    job.SourcePath = std::move(source);
    job.TargetPath = std::move(target);
    return job;
}

// A picture folder and a thumbnails folder; each job k reads pictures/pk.jpg
// and writes thumbs/tn_pk.jpg.
class ThumbnailStage : public ::testing::Test {
public:
    void SetUp() override
    {
        std::filesystem::create_directories(pictures());
        std::filesystem::create_directories(thumbs());
    }
    std::filesystem::path pictures() const { return dir.path() / "pictures"; }
    std::filesystem::path thumbs() const { return dir.path() / "thumbs"; }

    void Add(const std::vector<unsigned char> &bytes)
    {
        const std::string name = "p" + std::to_string(jobs.size() + 1) + ".jpg";
        fixtures::WriteFile(pictures() / name, bytes);
        jobs.push_back(Job((pictures() / name).string(), (thumbs() / ("tn_" + name)).string()));
    }
    void AddMissing()
    {
        const std::string name = "p" + std::to_string(jobs.size() + 1) + ".jpg";
        jobs.push_back(Job((pictures() / name).string(), (thumbs() / ("tn_" + name)).string()));
    }

    // A mix of every kind of picture, so that workers finish out of order.
    void AddMixedPictures()
    {
        for (int k = 0; k < 10; ++k) {
            JpegSpec s{160 + 97 * (k % 4), 120 + 61 * (k % 3)};
            s.Progressive = k % 3 == 1;
            s.Components = k % 5 == 4 ? 1 : 3;
            s.HSamp = k % 2 ? 1 : 2;
            s.Seed = static_cast<uint32_t>(k + 1);
            Add(MakeJpeg(s));
        }
    }

    std::vector<std::vector<unsigned char>> Thumbnails() const
    {
        std::vector<std::vector<unsigned char>> result;
        for (const ThumbnailJob &job : jobs)
            result.push_back(std::filesystem::exists(job.TargetPath)
                                 ? fixtures::ReadFile(job.TargetPath)
                                 : std::vector<unsigned char>{});
        return result;
    }

    std::string Run(unsigned workers, const std::string &size = "40")
    {
        try {
            MakeThumbnails(jobs, size, workers);
        } catch (const SiteError &e) {
            return e.what();
        }
        return "";
    }

    fixtures::TempDir dir;
    std::vector<ThumbnailJob> jobs;
};

TEST_F(ThumbnailStage, EveryWorkerCountGivesTheSameFiles)
{
    AddMixedPictures();
    ASSERT_EQ(Run(1), "");
    const auto single = Thumbnails();
    for (const auto &t : single)
        ASSERT_FALSE(t.empty());
    for (const unsigned workers : {2u, 3u, 8u, 0u}) {
        std::filesystem::remove_all(thumbs());
        std::filesystem::create_directories(thumbs());
        ASSERT_EQ(Run(workers), "") << workers;
        EXPECT_TRUE(Thumbnails() == single) << workers << " workers";
    }
}

// The memory budget only changes which pictures are decoded side by side:
// with room for no two pictures at all, or room for every one, the files
// are those of one worker.
TEST_F(ThumbnailStage, MemoryBudgetDoesNotChangeTheFiles)
{
    AddMixedPictures();
    ASSERT_EQ(Run(1), "");
    const auto single = Thumbnails();
    for (const uint64_t budget : {uint64_t(1), uint64_t(40000), uint64_t(1) << 40}) {
        std::filesystem::remove_all(thumbs());
        std::filesystem::create_directories(thumbs());
        try {
            MakeThumbnails(jobs, "40", 3, budget);
        } catch (const SiteError &e) {
            FAIL() << e.what();
        }
        EXPECT_TRUE(Thumbnails() == single) << budget;
    }
}

TEST_F(ThumbnailStage, OneWorkerMatchesMakeThumbnail)
{
    AddMixedPictures();
    ASSERT_EQ(Run(1), "");
    const auto files = Thumbnails();
    for (size_t k = 0; k < jobs.size(); ++k) {
        const PreparedThumbnail expected = PrepareThumbnail(jobs[k].SourcePath, "40");
        EXPECT_TRUE(files[k] == expected.Jpeg) << k;
    }
}

// The first failing picture in list order is the one reported, whichever
// worker finishes first; earlier thumbnails are written, later ones are not
// touched (an older file of a later picture stays as it was).
TEST_F(ThumbnailStage, FirstFailureInListOrderStopsTheStage)
{
    struct Case {
        const char *Name;
        std::function<void(ThumbnailStage &)> Fail; // adds the failing picture
        std::function<std::string(const ThumbnailStage &)> Message;
    };
    const std::vector<Case> cases = {
        {"not a JPEG",
         [](ThumbnailStage &t) {
             t.Add({'n', 'o', 'p', 'e'});
         },
         [](const ThumbnailStage &) { return std::string("JPEG error #53"); }},
        {"missing", [](ThumbnailStage &t) { t.AddMissing(); },
         [](const ThumbnailStage &t) {
             return "Cannot open file \"" + t.jobs[3].SourcePath + "\". No such file or directory";
         }},
        {"empty", [](ThumbnailStage &t) { t.Add({}); },
         [](const ThumbnailStage &) { return std::string("Invalid floating point operation"); }},
        {"target cannot be created",
         [](ThumbnailStage &t) {
             t.Add(MakeJpeg({64, 48}));
             t.jobs.back().TargetPath = (t.dir.path() / "no-folder" / "tn_p4.jpg").string();
         },
         [](const ThumbnailStage &t) {
             return "Cannot create file \"" + t.jobs[3].TargetPath +
                    "\". No such file or directory";
         }},
    };
    for (const Case &c : cases) {
        for (const unsigned workers : {1u, 2u, 4u}) {
            SCOPED_TRACE(std::string(c.Name) + ", workers " + std::to_string(workers));
            jobs.clear();
            std::filesystem::remove_all(thumbs());
            std::filesystem::remove_all(pictures());
            SetUp();
            for (int k = 0; k < 3; ++k)
                Add(MakeJpeg({200 + 40 * k, 150}));
            c.Fail(*this);
            // Later pictures: one that fails differently, and quick good ones.
            AddMissing();
            for (int k = 0; k < 4; ++k)
                Add(MakeJpeg({64, 48}));
            for (size_t k = 4; k < jobs.size(); ++k)
                fixtures::WriteText(jobs[k].TargetPath, "older thumbnail");

            EXPECT_EQ(Run(workers), c.Message(*this));
            for (size_t k = 0; k < 3; ++k)
                EXPECT_EQ(fixtures::InspectJpeg(fixtures::ReadFile(jobs[k].TargetPath)).Width,
                          ThumbnailDimensions(200 + 40 * static_cast<int>(k), 150, 40).Width);
            for (size_t k = 4; k < jobs.size(); ++k)
                EXPECT_EQ(fixtures::ReadText(jobs[k].TargetPath), "older thumbnail") << k;
        }
    }
}

TEST_F(ThumbnailStage, BadSizeTextIsReportedAfterTheFirstPictureWasRead)
{
    AddMissing();
    Add(MakeJpeg({64, 48}));
    EXPECT_EQ(Run(2, "85 "),
              "Cannot open file \"" + jobs[0].SourcePath + "\". No such file or directory");
    jobs.erase(jobs.begin());
    EXPECT_EQ(Run(2, "85 "), "'85 ' is not a valid integer value");
}

// A picture chosen from the thumbnails folder may be the thumbnail an
// earlier picture of the same build writes: it must be read only after that
// thumbnail was written, as in a build that works one picture at a time.
TEST_F(ThumbnailStage, PictureMadeEarlierInTheBuildIsReadAfterItWasWritten)
{
    for (int k = 0; k < 4; ++k)
        Add(MakeJpeg({300 + 50 * k, 200}));
    // Job 5's source is job 1's thumbnail; an older file there would be read
    // by a worker running ahead.
    jobs.push_back(Job(jobs[0].TargetPath, (thumbs() / "tn_tn_p1.jpg").string()));
    fixtures::WriteFile(jobs[0].TargetPath, MakeJpeg({500, 500}));

    ASSERT_EQ(Run(1, "20"), "");
    const auto single = Thumbnails();
    for (const unsigned workers : {2u, 5u}) {
        fixtures::WriteFile(jobs[0].TargetPath, MakeJpeg({500, 500}));
        ASSERT_EQ(Run(workers, "20"), "");
        EXPECT_TRUE(Thumbnails() == single) << workers;
    }
    EXPECT_EQ(fixtures::InspectJpeg(single[4]).Width,
              30); // from the new 30 x 20 thumbnail, not the older 500 x 500 file
}

size_t ThreadsOfThisProcess()
{
    size_t n = 0;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++n;
    }
    return n;
}

// The first picture is a pipe: whoever opens it for reading blocks until the
// test thread opens the other end, and at that moment the test counts the
// process's threads. One worker means the calling thread does everything.
TEST_F(ThumbnailStage, ThreadsStartedForWorkers)
{
    for (const unsigned workers : {1u, 2u}) {
        SCOPED_TRACE(workers);
        jobs.clear();
        const std::string pipe =
            (pictures() / ("pipe" + std::to_string(workers) + ".jpg")).string();
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        jobs.push_back(Job(pipe, (thumbs() / "tn_pipe.jpg").string()));
        Add(MakeJpeg({64, 48}));
        Add(MakeJpeg({64, 48}));

        const size_t before = ThreadsOfThisProcess();
        size_t during = 0;
        std::thread feeder([&] {
            std::ofstream out(pipe, std::ios::binary); // returns once the stage opened it
            during = ThreadsOfThisProcess();
            const auto bytes = MakeJpeg({80, 60});
            out.write(reinterpret_cast<const char *>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        });
        const std::string error = Run(workers);
        feeder.join();
        EXPECT_EQ(error, "");
        // The feeder, plus the worker reading the pipe (its partner may
        // still be starting).
        if (workers == 1)
            EXPECT_EQ(during, before + 1);
        else
            EXPECT_GE(during, before + 2);
        EXPECT_EQ(fixtures::InspectJpeg(fixtures::ReadFile(jobs[0].TargetPath)).Width, 40);
    }
}

TEST_F(ThumbnailStage, NoPicturesWritesNothing)
{
    EXPECT_EQ(Run(0), "");
    EXPECT_TRUE(std::filesystem::is_empty(thumbs()));
}

constexpr uint64_t MiB = uint64_t(1) << 20;

// A picture read from a pipe says nothing of its size before it is read,
// so it is first given the share of the memory cap of a small picture. A
// large progressive picture there needs more: it is decoded again, alone,
// with the whole cap, and its thumbnail is the one its bytes give. With a
// cap below its need it is refused, the cap in the message.
TEST_F(ThumbnailStage, PictureNeedingMoreThanItsShareIsDecodedAgainWithTheCap)
{
    JpegSpec large{1600, 1200};
    large.Progressive = true; // 5.8 MB of coefficients
    const std::vector<unsigned char> bytes = MakeJpeg(large);
    // pipe.jpg is a link to a pipe; each reader gets the picture from the
    // start: as soon as one is connected, the link moves to a fresh pipe
    // for the next, so none can join a pipe that still holds the rest of a
    // picture (a reader that gives up early leaves the write failing with
    // EPIPE).
    const std::string pipe = (pictures() / "pipe.jpg").string();
    const auto fifo = [&](int k) { return (dir.path() / ("fifo" + std::to_string(k))).string(); };
    ASSERT_EQ(::mkfifo(fifo(0).c_str(), 0600), 0);
    ASSERT_EQ(::symlink(fifo(0).c_str(), pipe.c_str()), 0);
    jobs.push_back(Job(pipe, (thumbs() / "tn_pipe.jpg").string()));
    Add(MakeJpeg({64, 48}));
    Add(MakeJpeg({64, 48}));

    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::atomic<bool> done{false};
    std::thread feeder([&] {
        for (int k = 0; !done;) {
            const int fd = ::open(fifo(k).c_str(), O_WRONLY | O_NONBLOCK);
            if (fd < 0) { // no reader yet
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            ++k;
            const std::string link = pipe + ".new";
            if (::mkfifo(fifo(k).c_str(), 0600) != 0 ||
                ::symlink(fifo(k).c_str(), link.c_str()) != 0 ||
                ::rename(link.c_str(), pipe.c_str()) != 0)
                ADD_FAILURE() << "cannot move the link to a fresh pipe";
            ::fcntl(fd, F_SETFL, 0);
            for (size_t at = 0; at < bytes.size();) {
                const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
                if (n <= 0)
                    break;
                at += static_cast<size_t>(n);
            }
            ::close(fd);
        }
    });
    std::string made, refused;
    try {
        MakeThumbnails(jobs, "40", 2, 0, 16 * MiB);
    } catch (const SiteError &e) {
        made = e.what();
    }
    try {
        MakeThumbnails(jobs, "40", 2, 0, 4 * MiB);
    } catch (const SiteError &e) {
        refused = e.what();
    }
    done = true;
    feeder.join();
    std::signal(SIGPIPE, previous);

    EXPECT_EQ(made, "");
    EXPECT_EQ(refused, "Cannot make a thumbnail of \"" + pipe +
                           "\": decoding it would need more than 4 MiB of memory");
    // The thumbnail of the first build, which the refused one left alone.
    EXPECT_TRUE(fixtures::ReadFile(jobs[0].TargetPath) ==
                PrepareThumbnailFromBytes(bytes, pipe, "40", 16 * MiB).Jpeg);
}

} // namespace
