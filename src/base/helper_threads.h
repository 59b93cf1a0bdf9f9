// Threads that share a job's items with the thread that asks, kept from one job to the next.
// Starting a thread is dear on some systems (under Wine, thousands of times one call to another
// program's window), so the helpers start with the first job that can use them and then wait
// for the next one.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class HelperThreads {
   public:
    // At most `count` helpers besides the asking thread.
    explicit HelperThreads(unsigned count) : most_(count) {}
    ~HelperThreads();
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

    // Calls work(i) once for every i from 0 to n - 1, on this thread and the helpers, items
    // taken in order as each thread comes free; returns once every call has returned. A helper
    // that cannot be started leaves its share to the others (this thread does all of it when no
    // helper can be had). The first exception a call throws is thrown here, after the others
    // have returned; calls not yet begun by then are not made.
    void ForEach(std::size_t n, const std::function<void(std::size_t)>& work);

    // How many helpers are running.
    unsigned Started() const;

   private:
    struct Job;
    void Start(std::size_t wanted);
    void Serve();
    static void Take(Job& job);

    const unsigned most_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // a job was posted, or the helpers are to stop
    std::condition_variable idle_;  // the last helper left the job
    std::vector<std::thread> threads_;
    Job* job_ = nullptr;
    unsigned long long posted_ = 0;  // jobs posted so far: a helper joins each job once
    unsigned busy_ = 0;              // helpers inside the job now
    bool stopping_ = false;
};
