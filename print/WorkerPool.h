#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace papyrant {

// The threads that compress and write the PDFs of the whole process, however many documents are open at once:
// a batch of 256 documents still takes only a few threads. Threads are started as work comes, up to the
// bound, and stopped when the process ends.
class WorkerPool
{
public:
    explicit WorkerPool(std::size_t maxThreads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The process's pool: as many threads as cores, at least two.
    static WorkerPool& shared();

    // Runs `task` on one of the threads, in the order posted; false when no thread could be started (the
    // system's limit on threads), and then the task is not run. A task must not throw.
    bool post(std::function<void()> task);

    // Whether tasks posted are waiting for a thread.
    bool hasWaitingTasks();

private:
    void work();
    void forgetThreadsAfterFork();

    const std::size_t m_maxThreads;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_tasks;
    std::size_t m_idle = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace papyrant
