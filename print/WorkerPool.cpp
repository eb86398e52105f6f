#include "print/WorkerPool.h"

#include <algorithm>
#include <new>
#include <pthread.h>
#include <system_error>

namespace papyrant {

WorkerPool::WorkerPool(std::size_t maxThreads)
    : m_maxThreads(std::max<std::size_t>(1, maxThreads))
{
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

WorkerPool& WorkerPool::shared()
{
    static WorkerPool* const pool = [] {
        static WorkerPool instance(std::max(2u, std::thread::hardware_concurrency()));
        ::pthread_atfork(nullptr, nullptr, [] { shared().forgetThreadsAfterFork(); });
        return &instance;
    }();
    return *pool;
}

void WorkerPool::forgetThreadsAfterFork()
{
    // A forked child has none of its parent's threads, and its copy of the lock may be held by one of them: it
    // starts afresh. The parent's thread objects can be neither joined nor destroyed here; they are kept aside.
    static std::vector<std::thread>* const orphans = new std::vector<std::thread>();
    new (&m_mutex) std::mutex();
    new (&m_changed) std::condition_variable();
    for (std::thread& thread : m_threads)
        orphans->push_back(std::move(thread));
    m_threads.clear();
    m_tasks.clear();
    m_idle = 0;
}

bool WorkerPool::post(std::function<void()> task)
{
    std::unique_lock lock(m_mutex);
    if (m_idle <= m_tasks.size() && m_threads.size() < m_maxThreads) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // Out of threads: the ones there are will do, if there are any.
        }
    }
    if (m_threads.empty())
        return false;
    m_tasks.push_back(std::move(task));
    lock.unlock();
    m_changed.notify_one();
    return true;
}

bool WorkerPool::hasWaitingTasks()
{
    std::lock_guard lock(m_mutex);
    return !m_tasks.empty();
}

void WorkerPool::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        m_changed.wait(lock, [this] { return !m_tasks.empty() || m_stopping; });
        --m_idle;
        if (m_tasks.empty())
            return;
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        lock.unlock();
        task();
        lock.lock();
    }
}

} // namespace papyrant
