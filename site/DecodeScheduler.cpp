#include "DecodeScheduler.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace pixelnook {

DecodeScheduler::DecodeScheduler(std::vector<long> after, unsigned workers, uint64_t budget,
                                 size_t window, uint64_t cap)
    : after_(std::move(after)), workers_(std::max(1u, workers)),
      budget_(std::max<uint64_t>(1, cap == 0 ? budget : std::min(budget, cap))),
      cap_(std::max(cap, budget_)), window_(std::max<size_t>(1, window)),
      state_(after_.size(), State::Open), need_(after_.size()), untaken_(after_.size())
{
}

bool DecodeScheduler::Ready(size_t job) const
{
    return after_[job] < 0 || static_cast<size_t>(after_[job]) < written_;
}

uint64_t DecodeScheduler::Charge(size_t job) const
{
    return std::min(need_[job].value_or(0), budget_);
}

uint64_t DecodeScheduler::Grant(size_t job) const
{
    const uint64_t charge = Charge(job);
    if (charge >= budget_)
        return cap_;
    return static_cast<uint64_t>(static_cast<unsigned __int128>(charge) * cap_ / budget_);
}

DecodeScheduler::Task DecodeScheduler::Start(size_t job)
{
    state_[job] = State::Running;
    inFlight_ += Charge(job);
    --untaken_;
    return Task{job, false, Grant(job)};
}

std::optional<DecodeScheduler::Task> DecodeScheduler::Next()
{
    const size_t end = std::min(state_.size(), written_ + std::min(window_, state_.size()));
    // Every job in the window is measured first: a header is read in a
    // moment, and the choice below looks ahead.
    for (size_t k = written_; k < end; ++k) {
        if (state_[k] == State::Open && Ready(k) && !need_[k]) {
            state_[k] = State::Measuring;
            return Task{k, true};
        }
    }

    // The first job in list order that does not fit now. Later jobs may
    // pass it only if they are small enough that, once the jobs already
    // running have finished, the others' workers can never hold so much
    // that it still would not fit: it cannot be passed over for ever.
    std::optional<uint64_t> waiting;
    // Large pictures take longest, so they start first, largest first:
    // they then pair up where the budget allows while the other workers
    // make the small ones, and the stage does not end with one large
    // picture decoded on one core while the others are idle. Small ones
    // go in list order.
    const uint64_t large = budget_ / (uint64_t(2) * workers_);
    std::optional<size_t> first, largest;
    for (size_t k = written_; k < end; ++k) {
        if (state_[k] != State::Open || !Ready(k))
            continue;
        const uint64_t charge = Charge(k);
        const bool fits = inFlight_ + charge <= budget_;
        if (!waiting && !fits) {
            waiting = charge;
            continue;
        }
        if (!fits || (waiting && charge > (budget_ - *waiting) / std::max(1u, workers_ - 1)))
            continue;
        if (!first)
            first = k;
        if (charge > large && (!largest || charge > Charge(*largest)))
            largest = k;
    }
    if (largest)
        return Start(*largest);
    if (first)
        return Start(*first);
    return std::nullopt;
}

void DecodeScheduler::Measured(size_t job, uint64_t need)
{
    if (state_.at(job) != State::Measuring)
        throw std::logic_error("DecodeScheduler::Measured: the job is not being measured");
    need_[job] = need;
    state_[job] = State::Open;
}

void DecodeScheduler::Finished(size_t job)
{
    if (state_.at(job) != State::Running)
        throw std::logic_error("DecodeScheduler::Finished: the job is not running");
    inFlight_ -= Charge(job);
    state_[job] = State::Done;
}

void DecodeScheduler::Retry(size_t job)
{
    if (state_.at(job) != State::Running)
        throw std::logic_error("DecodeScheduler::Retry: the job is not running");
    inFlight_ -= Charge(job);
    need_[job] = budget_;
    state_[job] = State::Open;
    ++untaken_;
}

void DecodeScheduler::Written(size_t count)
{
    written_ = std::max(written_, std::min(count, state_.size()));
}

} // namespace pixelnook
