#include "base/helper_threads.h"

#include <atomic>
#include <system_error>

struct HelperThreads::Job {
    Job(std::size_t count, const std::function<void(std::size_t)>& call) : n(count), work(call) {}
    const std::size_t n;
    const std::function<void(std::size_t)>& work;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    std::exception_ptr error;
};

HelperThreads::~HelperThreads() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

unsigned HelperThreads::Started() const { return static_cast<unsigned>(threads_.size()); }

void HelperThreads::Take(Job& job) {
    while (!job.failed.load()) {
        const std::size_t i = job.next.fetch_add(1);
        if (i >= job.n) return;
        try {
            job.work(i);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(job.errorMutex);
            if (!job.error) job.error = std::current_exception();
            job.failed = true;
        }
    }
}

void HelperThreads::Start(std::size_t wanted) {
    while (threads_.size() < most_ && threads_.size() < wanted) {
        try {
            threads_.emplace_back([this] { Serve(); });
        } catch (const std::system_error&) {
            return;  // no more threads to be had: those running share the work
        }
    }
}

void HelperThreads::Serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    unsigned long long joined = 0;
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || (job_ != nullptr && posted_ != joined); });
        if (stopping_) return;
        joined = posted_;
        Job& job = *job_;
        ++busy_;
        lock.unlock();
        Take(job);
        lock.lock();
        if (--busy_ == 0) idle_.notify_all();
    }
}

void HelperThreads::ForEach(std::size_t n, const std::function<void(std::size_t)>& work) {
    Job job(n, work);
    const bool shared = n > 1 && most_ > 0;
    if (shared) {
        Start(n - 1);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            job_ = &job;
            ++posted_;
        }
        wake_.notify_all();
    }
    Take(job);
    if (shared) {
        // The job lives on this thread's stack: no helper may still be in it when this returns.
        std::unique_lock<std::mutex> lock(mutex_);
        job_ = nullptr;
        idle_.wait(lock, [&] { return busy_ == 0; });
    }
    if (job.error) std::rethrow_exception(job.error);
}
