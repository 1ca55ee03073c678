#include "ThumbnailStage.h"

#include "DecodeScheduler.h"
#include "FileSystem.h"
#include "Thumbnail.h"
#include "WebCopy.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <thread>

namespace pixelnook {

namespace {

// What the pictures being decoded may hold at once, per worker. A picture
// coded in several scans (progressive) holds all its coefficients while it
// is decoded, 3 bytes a pixel in 4:2:0 and 6 in 4:4:4: on two cores two
// 12-megapixel 4:2:0 pictures (34 MiB each) are decoded side by side, two
// 18-megapixel 4:2:2 ones (68 MiB each) one after the other, and a build
// stays well under 160 MiB. Baseline pictures are decoded a row at a time
// and need little. What really bounds the memory is the cap, which the
// decodes in flight share (see DecodeScheduler).
constexpr uint64_t kMemoryPerWorker = uint64_t(64) << 20;

// A finished picture waiting for its turn to be written.
struct Outcome {
    PreparedThumbnail Thumbnail;
    std::vector<unsigned char> WebCopy;
    WebCopyMade Made;
    std::exception_ptr Error;
};

uint64_t FileBytes(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// Everything of one job, in memory. The web copy is made from the rows the
// thumbnail's decode goes through; a picture whose rows that decode cannot
// show (a grayscale one) is decoded again for its copy. Throws SiteError.
Outcome PrepareJob(const ThumbnailJob &job, const std::string &sizeText, uint64_t memoryLimit)
{
    Outcome outcome;
    std::optional<WebCopyMaker> maker;
    if (!job.WebCopyPath.empty())
        maker.emplace(job.SourcePath, job.WebSize);
    bool rowsShown = false;
    if (!job.TargetPath.empty()) {
        outcome.Thumbnail =
            PrepareThumbnail(job.SourcePath, sizeText, memoryLimit, maker ? &*maker : nullptr);
        rowsShown = outcome.Thumbnail.EveryRowShown;
    }
    if (maker) {
        PictureTags tags;
        if (rowsShown) {
            tags = WebCopyTags(job.SourcePath);
            outcome.WebCopy = maker->Finish(tags);
        } else {
            outcome.WebCopy = MakeWebCopy(job.SourcePath, job.WebSize, &tags);
        }
        outcome.Made = {true, tags.HasLocation, FileBytes(job.SourcePath), outcome.WebCopy.size()};
    }
    return outcome;
}

// What a job holds at its peak, from the picture's headers.
uint64_t JobMemoryNeed(const ThumbnailJob &job, const std::string &sizeText, uint64_t memoryCap)
{
    uint64_t need = 0;
    if (!job.TargetPath.empty())
        need += ThumbnailMemoryNeed(job.SourcePath, sizeText, memoryCap);
    if (!job.WebCopyPath.empty())
        need += WebCopyMemoryNeed(job.SourcePath, job.WebSize, job.TargetPath.empty());
    return std::min(need, memoryCap);
}

void WriteJob(const ThumbnailJob &job, const Outcome &outcome)
{
    if (!job.TargetPath.empty())
        WriteThumbnail(job.TargetPath, outcome.Thumbnail);
    if (!job.WebCopyPath.empty())
        WriteWholeFile(job.WebCopyPath, outcome.WebCopy.data(), outcome.WebCopy.size());
}

std::string ComparablePath(const std::string &path)
{
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(path, ec);
    return ec ? std::filesystem::path(path).lexically_normal().string() : p.string();
}

// For each job, the last earlier job whose thumbnail is this job's source
// (a picture chosen from the thumbnails folder), or -1. Such a job must read
// its source only after that thumbnail has been written, as one thread
// working in list order would.
std::vector<long> SourceDependencies(const std::vector<ThumbnailJob> &jobs)
{
    std::vector<std::string> targets;
    targets.reserve(jobs.size());
    for (const ThumbnailJob &job : jobs)
        targets.push_back(job.TargetPath.empty() ? std::string() : ComparablePath(job.TargetPath));
    std::vector<long> after(jobs.size(), -1);
    for (size_t k = 0; k < jobs.size(); ++k) {
        const std::string source = ComparablePath(jobs[k].SourcePath);
        for (size_t i = 0; i < k; ++i)
            if (!targets[i].empty() && targets[i] == source)
                after[k] = static_cast<long>(i);
    }
    return after;
}

class ParallelStage {
public:
    ParallelStage(const std::vector<ThumbnailJob> &jobs, const std::string &sizeText,
                  unsigned workers, uint64_t memoryBudget, uint64_t memoryCap)
        : jobs_(jobs), sizeText_(sizeText), memoryCap_(memoryCap), outcomes_(jobs.size()),
          // Finished thumbnails are a few kilobytes, so the workers may run
          // well ahead of the writer: one slow picture then does not leave
          // the other cores idle. The bound only keeps memory in check on
          // lists of thousands.
          scheduler_(SourceDependencies(jobs), workers, memoryBudget,
                     static_cast<size_t>(workers) * 64, memoryCap)
    {
        threads_.reserve(workers);
        try {
            for (unsigned i = 0; i < workers; ++i)
                threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error &) {
            // Fewer threads than asked for still finish the stage; with none,
            // the calling thread prepares the pictures itself (see Take()).
        }
    }

    ~ParallelStage()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread &t : threads_)
            t.join();
    }

    std::vector<WebCopyMade> Run(const std::function<void(size_t)> &written)
    {
        std::vector<WebCopyMade> made(jobs_.size());
        for (size_t k = 0; k < jobs_.size(); ++k) {
            Outcome outcome = Take(k);
            if (outcome.Error)
                std::rethrow_exception(outcome.Error);
            WriteJob(jobs_[k], outcome);
            made[k] = outcome.Made;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                scheduler_.Written(k + 1);
            }
            changed_.notify_all();
            if (written)
                written(k + 1);
        }
        return made;
    }

private:
    void Work()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            std::optional<DecodeScheduler::Task> task;
            changed_.wait(
                lock, [&] { return stop_ || scheduler_.AllTaken() || (task = scheduler_.Next()); });
            if (!task)
                return;
            const size_t k = task->Job;
            lock.unlock();
            if (task->Measure) {
                const uint64_t need = JobMemoryNeed(jobs_[k], sizeText_, memoryCap_);
                lock.lock();
                scheduler_.Measured(k, need);
                changed_.notify_all();
                continue;
            }
            bool tooLittle = false;
            Outcome outcome = Prepare(k, task->Grant, tooLittle);
            lock.lock();
            if (tooLittle && task->Grant < memoryCap_) {
                // The headers promised less than the picture took: decode
                // it again with the whole cap, alone.
                scheduler_.Retry(k);
                changed_.notify_all();
                continue;
            }
            scheduler_.Finished(k);
            outcomes_[k] = std::move(outcome);
            changed_.notify_all();
        }
    }

    // Never lets an exception out of a worker: it travels with the outcome.
    // tooLittle: the picture needed more memory than memoryLimit.
    Outcome Prepare(size_t k, uint64_t memoryLimit, bool &tooLittle) const
    {
        Outcome outcome;
        try {
            outcome = PrepareJob(jobs_[k], sizeText_, memoryLimit);
        } catch (const ThumbnailMemoryError &) {
            tooLittle = true;
            outcome.Error = std::current_exception();
        } catch (...) {
            outcome.Error = std::current_exception();
        }
        return outcome;
    }

    Outcome Take(size_t k)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (threads_.empty()) {
            lock.unlock();
            bool tooLittle = false;
            return Prepare(k, memoryCap_, tooLittle);
        }
        changed_.wait(lock, [&] { return outcomes_[k].has_value(); });
        Outcome outcome = std::move(*outcomes_[k]);
        outcomes_[k].reset();
        return outcome;
    }

    const std::vector<ThumbnailJob> &jobs_;
    const std::string &sizeText_;
    const uint64_t memoryCap_;
    std::vector<std::optional<Outcome>> outcomes_;

    std::mutex mutex_;
    std::condition_variable changed_;
    DecodeScheduler scheduler_;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

} // namespace

std::vector<WebCopyMade> MakeThumbnails(const std::vector<ThumbnailJob> &jobs,
                                        const std::string &sizeText, unsigned workers,
                                        uint64_t memoryBudget, uint64_t memoryCap,
                                        const std::function<void(size_t written)> &written)
{
    if (memoryCap == 0)
        memoryCap = DecodeMemoryCap();
    if (workers == 0)
        workers = std::max(1u, std::thread::hardware_concurrency());
    workers = static_cast<unsigned>(std::min<size_t>(workers, jobs.size()));
    if (workers <= 1) {
        std::vector<WebCopyMade> made(jobs.size());
        for (size_t k = 0; k < jobs.size(); ++k) {
            const Outcome outcome = PrepareJob(jobs[k], sizeText, memoryCap);
            WriteJob(jobs[k], outcome);
            made[k] = outcome.Made;
            if (written)
                written(k + 1);
        }
        return made;
    }
    if (memoryBudget == 0)
        memoryBudget = kMemoryPerWorker * workers;
    ParallelStage stage(jobs, sizeText, workers, std::min(memoryBudget, memoryCap), memoryCap);
    return stage.Run(written);
}

} // namespace pixelnook
