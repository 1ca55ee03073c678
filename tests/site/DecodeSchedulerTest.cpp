// The choice of which picture a free worker decodes next, run against a
// simulated clock: workers take tasks, pictures take their time, the writer
// writes in list order behind them.

#include "site/DecodeScheduler.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <random>
#include <sstream>

using pixelnook::DecodeScheduler;

namespace {

constexpr uint64_t MiB = uint64_t(1) << 20;

struct SimJob {
    uint64_t Need;
    double Duration;
    long After = -1;
    // What the decode really takes when more than its headers said: a
    // start granted less fails at once and must be retried.
    uint64_t Takes = 0;
};

struct Simulation {
    std::vector<double> Start, End;
    std::vector<size_t> StartOrder;
    std::vector<std::string> Violations;
    bool Deadlock = false;

    bool Overlap(size_t a, size_t b) const { return Start[a] < End[b] && Start[b] < End[a]; }
};

// cap 0: the cap is the budget.
Simulation Simulate(const std::vector<SimJob> &jobs, unsigned workers, uint64_t budget,
                    size_t window, uint64_t cap = 0)
{
    const size_t n = jobs.size();
    std::vector<long> after;
    for (const SimJob &job : jobs)
        after.push_back(job.After);
    DecodeScheduler scheduler(after, workers, budget, window, cap);
    const uint64_t memory = std::max(cap, budget); // what the grants may add up to

    Simulation sim;
    sim.Start.assign(n, -1);
    sim.End.assign(n, -1);
    std::vector<bool> measured(n), done(n);
    std::multimap<double, size_t> running; // end time -> job
    std::map<size_t, uint64_t> granted;    // running job -> its grant
    std::vector<int> starts(n);
    size_t written = 0;
    double now = 0;
    auto violation = [&](const std::string &what, size_t job) {
        std::ostringstream s;
        s << what << " (job " << job << " at " << now << ")";
        sim.Violations.push_back(s.str());
    };

    for (;;) {
        while (running.size() < workers) {
            const std::optional<DecodeScheduler::Task> task = scheduler.Next();
            if (!task)
                break;
            const size_t k = task->Job;
            if (k >= n || k >= written + window)
                violation("outside the window", k);
            if (jobs[k].After >= 0 && static_cast<size_t>(jobs[k].After) >= written)
                violation("before its source was written", k);
            if (task->Measure) {
                if (measured[k])
                    violation("measured twice", k);
                measured[k] = true;
                scheduler.Measured(k, jobs[k].Need);
                continue;
            }
            if (!measured[k] || sim.Start[k] >= 0)
                violation("started unmeasured or twice", k);
            uint64_t grants = task->Grant;
            for (const auto &g : granted)
                grants += g.second;
            if (grants > memory)
                violation("granted more than the cap", k);
            if (task->Grant < std::min(jobs[k].Need, memory) && jobs[k].Need <= budget)
                violation("granted less than its need", k);
            if (++starts[k] > 2)
                violation("started more than twice", k);
            // Granted less than it takes, it fails as soon as it starts and
            // goes back; with the whole cap it fails for good (and counts
            // as run).
            if (task->Grant < jobs[k].Takes && task->Grant < memory) {
                scheduler.Retry(k);
                continue;
            }
            if (starts[k] == 2 && !running.empty())
                violation("a retried job not alone", k);
            granted[k] = task->Grant;
            sim.Start[k] = now;
            sim.StartOrder.push_back(k);
            running.emplace(now + jobs[k].Duration, k);
            uint64_t held = 0;
            bool oversized = false;
            for (const auto &r : running) {
                held += jobs[r.second].Need;
                oversized = oversized || jobs[r.second].Need > budget;
            }
            if (oversized ? running.size() > 1 : held > budget)
                violation("over the budget", k);
        }
        if (scheduler.AllTaken() && running.empty())
            break;
        if (running.empty()) {
            sim.Deadlock = true;
            break;
        }
        const auto first = running.begin();
        now = first->first;
        const size_t k = first->second;
        running.erase(first);
        granted.erase(k);
        scheduler.Finished(k);
        sim.End[k] = now;
        done[k] = true;
        while (written < n && done[written])
            ++written;
        scheduler.Written(written);
    }
    for (size_t k = 0; k < n; ++k)
        if (!done[k] && !sim.Deadlock)
            violation("never run", k);
    return sim;
}

TEST(DecodeScheduler, SmallPicturesStartInListOrder)
{
    std::vector<SimJob> jobs;
    for (int k = 0; k < 20; ++k)
        jobs.push_back({1 * MiB, 1.0 + (k * 7 % 5)});
    const Simulation sim = Simulate(jobs, 3, 128 * MiB, 64);
    EXPECT_TRUE(sim.Violations.empty()) << sim.Violations.front();
    std::vector<size_t> inOrder(jobs.size());
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(sim.StartOrder, inOrder);
}

// A list like the benchmark's: two pairs of large progressive pictures
// among small ones, on two workers.
std::vector<SimJob> LargePictureList()
{
    std::vector<SimJob> jobs;
    for (int k = 0; k < 24; ++k)
        jobs.push_back({2 * MiB, 0.05});
    jobs[3] = {68 * MiB, 0.6};
    jobs[9] = {68 * MiB, 0.6};
    jobs[15] = {84 * MiB, 0.4};
    jobs[22] = {84 * MiB, 0.4};
    jobs[5] = {32 * MiB, 0.3};
    return jobs;
}

TEST(DecodeScheduler, LargePicturesShareTheBudget)
{
    const std::vector<size_t> large{3, 9, 15, 22};
    {
        SCOPED_TRACE("128 MiB: no two large pictures at once");
        const Simulation sim = Simulate(LargePictureList(), 2, 128 * MiB, 128);
        ASSERT_FALSE(sim.Deadlock);
        EXPECT_TRUE(sim.Violations.empty()) << sim.Violations.front();
        for (size_t a : large)
            for (size_t b : large)
                EXPECT_TRUE(a == b || !sim.Overlap(a, b)) << a << " and " << b;
        // The largest starts first; small ones run beside the large ones.
        EXPECT_EQ(sim.StartOrder.front(), 15u);
        EXPECT_TRUE(sim.Overlap(15, 0));
        bool besideLarge = false;
        for (size_t a : large)
            besideLarge = besideLarge || sim.Overlap(a, 5);
        EXPECT_TRUE(besideLarge) << "the 32 MiB picture fits beside any large one";
    }
    {
        SCOPED_TRACE("144 MiB: the two 68 MiB pictures pair up");
        const Simulation sim = Simulate(LargePictureList(), 2, 144 * MiB, 128);
        ASSERT_FALSE(sim.Deadlock);
        EXPECT_TRUE(sim.Violations.empty()) << sim.Violations.front();
        EXPECT_TRUE(sim.Overlap(3, 9));
        EXPECT_FALSE(sim.Overlap(15, 22));
    }
}

TEST(DecodeScheduler, PictureLargerThanTheBudgetRunsAlone)
{
    std::vector<SimJob> jobs;
    for (int k = 0; k < 12; ++k)
        jobs.push_back({10 * MiB, 1.0 + k % 3});
    jobs[6] = {900 * MiB, 2.0};
    const Simulation sim = Simulate(jobs, 4, 100 * MiB, 64);
    ASSERT_FALSE(sim.Deadlock);
    EXPECT_TRUE(sim.Violations.empty()) << sim.Violations.front();
    for (size_t k = 0; k < jobs.size(); ++k)
        EXPECT_TRUE(k == 6 || !sim.Overlap(k, 6)) << k;
}

// What the decodes may hold is shared out in proportion to the budget: with
// a cap four times the budget, pictures running side by side get four
// times their need (room for a poor estimate), one larger than the budget
// gets the whole cap, and a picture that still needs more than its grant
// is started again alone with the whole cap.
TEST(DecodeScheduler, GrantsShareTheCap)
{
    {
        DecodeScheduler scheduler({-1, -1, -1}, 2, 100 * MiB, 8, 400 * MiB);
        const uint64_t needs[] = {30 * MiB, 50 * MiB, 900 * MiB};
        for (int k = 0; k < 3; ++k) {
            const auto task = scheduler.Next();
            ASSERT_TRUE(task && task->Measure);
            scheduler.Measured(task->Job, needs[task->Job]);
        }
        std::map<size_t, uint64_t> grants;
        for (auto task = scheduler.Next(); task; task = scheduler.Next())
            grants[task->Job] = task->Grant;
        // The largest comes first and alone.
        ASSERT_EQ(grants.size(), 1u);
        EXPECT_EQ(grants[2], 400 * MiB);
        scheduler.Finished(2);
        grants.clear();
        for (auto task = scheduler.Next(); task; task = scheduler.Next())
            grants[task->Job] = task->Grant;
        EXPECT_EQ(grants[0], 120 * MiB);
        EXPECT_EQ(grants[1], 200 * MiB);

        // Job 1 needed more: it waits for job 0, then runs with the cap.
        scheduler.Retry(1);
        EXPECT_FALSE(scheduler.Next());
        scheduler.Finished(0);
        const auto again = scheduler.Next();
        ASSERT_TRUE(again);
        EXPECT_EQ(again->Job, 1u);
        EXPECT_EQ(again->Grant, 400 * MiB);
        scheduler.Finished(1);
        EXPECT_TRUE(scheduler.AllTaken());
    }
    {
        SCOPED_TRACE("a cap below the budget is the budget");
        DecodeScheduler scheduler({-1, -1}, 2, 100 * MiB, 8, 60 * MiB);
        for (int k = 0; k < 2; ++k)
            scheduler.Measured(scheduler.Next()->Job, 40 * MiB);
        const auto first = scheduler.Next();
        ASSERT_TRUE(first);
        EXPECT_EQ(first->Grant, 40 * MiB);
        EXPECT_FALSE(scheduler.Next()) << "two of 40 MiB do not fit in 60";
    }
}

// A picture that does not fit is not passed over for ever by a stream of
// pictures that each leave it too little room.
TEST(DecodeScheduler, WaitingPictureIsNotStarved)
{
    // Budget 100 MiB on two workers. Job 1 (60) reads job 0's output, so it
    // comes into view at 0.5, beside a 45; every later 45 would fit beside
    // the other one and keep it out until the list was done.
    std::vector<SimJob> jobs{{45 * MiB, 0.5}, {60 * MiB, 1.0, 0}};
    for (int k = 0; k < 30; ++k)
        jobs.push_back({45 * MiB, 0.3 + 0.1 * (k % 4)});
    const Simulation sim = Simulate(jobs, 2, 100 * MiB, 64);
    ASSERT_FALSE(sim.Deadlock);
    EXPECT_TRUE(sim.Violations.empty()) << sim.Violations.front();
    // It starts as soon as what ran when it came into view is done.
    double running = sim.End[0];
    for (size_t k = 2; k < jobs.size(); ++k)
        if (sim.Start[k] <= sim.End[0] && sim.End[k] > sim.End[0])
            running = std::max(running, sim.End[k]);
    EXPECT_EQ(sim.Start[1], running);
}

// Random lists, budgets, caps, windows and dependencies, some pictures
// taking more than their headers say: every job runs once (after at most
// one retry, alone), never before its source is written, never outside the
// window, never over the budget (a picture larger than the budget alone),
// the grants never over the cap, and the workers never all wait while jobs
// remain.
TEST(DecodeScheduler, RandomListsKeepEveryRule)
{
    std::mt19937 random(20261210);
    for (int round = 0; round < 400; ++round) {
        const size_t n = 1 + random() % 60;
        const unsigned workers = 1 + random() % 6;
        const uint64_t budget = (16 + random() % 240) * MiB;
        const size_t window = 1 + random() % 24;
        std::vector<SimJob> jobs;
        for (size_t k = 0; k < n; ++k) {
            const unsigned kind = random() % 10;
            const uint64_t need = kind < 6   ? (random() % 8 + 1) * MiB
                                  : kind < 9 ? (random() % (budget / MiB) + 1) * MiB
                                             : budget + (random() % 64 + 1) * MiB;
            SimJob job{need, 0.01 * (1 + random() % 100)};
            if (k > 0 && random() % 8 == 0)
                job.After = static_cast<long>(random() % k);
            jobs.push_back(job);
        }
        // Some pictures take more than their headers said, and the cap is
        // the budget or well above it.
        for (SimJob &job : jobs)
            if (random() % 10 == 0)
                job.Takes = job.Need + (random() % 64 + 1) * MiB;
        const uint64_t cap = random() % 2 ? 0 : budget * (1 + random() % 8);
        const Simulation sim = Simulate(jobs, workers, budget, window, cap);
        ASSERT_FALSE(sim.Deadlock) << "round " << round;
        ASSERT_TRUE(sim.Violations.empty()) << "round " << round << ": " << sim.Violations.front();
    }
}

} // namespace
