// Which picture a free thumbnail worker takes next. Each picture's need
// (measured from its headers before it is taken) is charged against a
// budget shared by all workers while it is decoded. Large pictures start
// first, largest first, so that they pair up where the budget allows while
// the other workers make the small ones, which go in list order. A picture
// that does not fit waits, and the workers go on with later pictures that
// leave it room; a picture larger than the whole budget is decoded alone.
//
// The needs are estimates; what holds for certain is the memory each
// decode is granted (its limit in the decoder): the grants of the pictures
// being decoded never add up to more than the cap. A picture that needs
// more than its grant is put back with Retry() and then decoded alone,
// with the whole cap.
// The class holds no lock and starts no thread: the stage calls it under
// its own mutex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pixelnook {

class DecodeScheduler {
public:
    struct Task {
        size_t Job = 0;
        // Measure the job's need and report it with Measured(); the job is
        // not started yet.
        bool Measure = false;
        // What the decode may hold (for a job that is started).
        uint64_t Grant = 0;
    };

    // after[k]: an earlier job whose output must be written before job k
    // may be measured or started, or -1. window: how far past the first
    // unwritten job the workers may run ahead. cap: what the decodes may
    // hold together, and a job alone; the budget is at most the cap (the
    // cap is the budget when 0 or smaller).
    DecodeScheduler(std::vector<long> after, unsigned workers, uint64_t budget, size_t window,
                    uint64_t cap = 0);

    // The next task for a free worker, or none for now.
    std::optional<Task> Next();
    void Measured(size_t job, uint64_t need);
    void Finished(size_t job);
    // A started job needed more than its grant: it goes back to be started
    // again alone, granted the whole cap.
    void Retry(size_t job);
    // Jobs [0, count) are written.
    void Written(size_t count);

    // Every job is started or finished: no task will come any more.
    bool AllTaken() const { return untaken_ == 0; }
    // What a job counts against the budget: its need, but never more than
    // the whole budget, so a job larger than the budget runs alone.
    uint64_t Charge(size_t job) const;
    // What a job may hold when started: its share of the cap in proportion
    // to its charge, so that the grants of jobs running together stay
    // within the cap as their charges stay within the budget; the whole cap
    // for a job charged the whole budget.
    uint64_t Grant(size_t job) const;

private:
    enum class State { Open, Measuring, Running, Done };

    bool Ready(size_t job) const;
    Task Start(size_t job);

    const std::vector<long> after_;
    const unsigned workers_;
    const uint64_t budget_;
    const uint64_t cap_;
    const size_t window_;
    std::vector<State> state_;
    std::vector<std::optional<uint64_t>> need_;
    size_t written_ = 0;
    size_t untaken_;
    uint64_t inFlight_ = 0;
};

} // namespace pixelnook
