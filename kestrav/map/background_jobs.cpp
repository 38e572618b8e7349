#include "kestrav/map/background_jobs.h"

#include <QMetaObject>

namespace kestrava {

BackgroundJobs::BackgroundJobs(QObject* owner) : shared_(std::make_shared<Shared>()) { shared_->owner = owner; }

BackgroundJobs::~BackgroundJobs() {
    CancelAll();
    {
        std::lock_guard lock(shared_->mutex);
        shared_->owner = nullptr;
    }
    // A transfer notices the cancel within its next progress call; one that
    // does not end in time is left to end on its own: it holds only what it
    // was handed and the shared part.
    const auto until = std::chrono::steady_clock::now() + kJobGrace;
    while (shared_->running.load() > 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    for (std::thread& thread : threads_) {
        if (shared_->running.load() == 0)
            thread.join();
        else
            thread.detach();
    }
}

void BackgroundJobs::PostTo(const std::shared_ptr<Shared>& shared, std::function<void()> step) {
    std::lock_guard lock(shared->mutex);
    if (!shared->owner || shared->cancelled) return;
    QMetaObject::invokeMethod(shared->owner, std::move(step), Qt::QueuedConnection);
}

void BackgroundJobs::Post(std::function<void()> step) { PostTo(shared_, std::move(step)); }

void BackgroundJobs::CancelAll() { shared_->cancelled = true; }

bool BackgroundJobs::Busy() const { return shared_->running.load() > 0; }

void BackgroundJobs::Run(std::function<std::function<void()>()> work) {
    // Threads of jobs that ended are joined as new ones start.
    if (shared_->running.load() == 0) {
        for (std::thread& thread : threads_) thread.join();
        threads_.clear();
    }
    ++shared_->running;
    threads_.emplace_back([shared = shared_, work = std::move(work)] {
        std::function<void()> commit;
        try {
            commit = work();
        } catch (...) {
            commit = nullptr;  // a job reports its own failures; nothing escapes the thread
        }
        if (commit) PostTo(shared, std::move(commit));
        --shared->running;
    });
}

}  // namespace kestrava
