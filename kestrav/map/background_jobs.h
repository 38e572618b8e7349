// Work beside the window: each job runs on a thread of its own and hands
// back what is to be done with its result, which then runs on the window's
// thread. The window's thread never waits for a job, except a moment at the
// end: jobs still running then are told to cancel and given up on after
// kJobGrace.
#pragma once

#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrava {

constexpr std::chrono::milliseconds kJobGrace{400};

class BackgroundJobs {
public:
    // Results are committed on `owner`'s thread.
    explicit BackgroundJobs(QObject* owner);
    ~BackgroundJobs();
    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    // `work` runs beside the window; the function it returns (if any) runs
    // on the owner's thread afterwards.
    void Run(std::function<std::function<void()>()> work);
    // From a job: `step` runs on the owner's thread soon (a status text, a
    // frame); nothing happens once the owner is gone.
    void Post(std::function<void()> step);
    // Cancels every transfer that watches Cancelled(); new commits are
    // dropped. The window calls it as it closes.
    void CancelAll();
    const std::atomic<bool>* Cancelled() const { return &shared_->cancelled; }
    bool Busy() const;

private:
    struct Shared {
        std::mutex mutex;
        QObject* owner = nullptr;  // null once the owner is going
        std::atomic<bool> cancelled{false};
        std::atomic<int> running{0};
    };
    static void PostTo(const std::shared_ptr<Shared>& shared, std::function<void()> step);

    std::shared_ptr<Shared> shared_;
    std::vector<std::thread> threads_;
};

}  // namespace kestrava
