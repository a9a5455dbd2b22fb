#include "filter/RenderThreads.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace lumacut {

namespace {

struct Job {
    const std::function<void(int)>* task = nullptr;
    int count = 0;
    std::atomic<int> next{0};
    int running = 0; // workers inside Work(); guarded by the pool's mutex
    std::condition_variable finished;
};

void Work(Job& job)
{
    for (;;) {
        int i = job.next.fetch_add(1, std::memory_order_relaxed);
        if (i >= job.count)
            return;
        (*job.task)(i);
    }
}

class Pool {
public:
    Pool()
    {
        unsigned cores = std::thread::hardware_concurrency();
        int workers = cores > 1 ? static_cast<int>(std::min(cores, 64u)) - 1 : 0;
        for (int i = 0; i < workers; ++i)
            m_threads.emplace_back([this] { Serve(); });
    }
    ~Pool()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        for (std::thread& t : m_threads)
            t.join();
    }

    int Workers() const { return static_cast<int>(m_threads.size()); }

    void Run(int count, const std::function<void(int)>& task)
    {
        int helpers = std::min(Workers(), count - 1);
        if (helpers <= 0) {
            for (int i = 0; i < count; ++i)
                task(i);
            return;
        }
        Job job;
        job.task = &task;
        job.count = count;
        {
            std::lock_guard lock(m_mutex);
            for (int i = 0; i < helpers; ++i)
                m_tickets.push_back(&job);
        }
        m_wake.notify_all();
        Work(job);
        // Tickets no worker took are withdrawn; the job lives on this stack,
        // so wait only for the workers already inside it.
        std::unique_lock lock(m_mutex);
        m_tickets.erase(std::remove(m_tickets.begin(), m_tickets.end(), &job), m_tickets.end());
        job.finished.wait(lock, [&] { return job.running == 0; });
    }

private:
    void Serve()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_stop || !m_tickets.empty(); });
            if (m_tickets.empty())
                return; // stopping
            Job* job = m_tickets.front();
            m_tickets.pop_front();
            ++job->running;
            lock.unlock();
            Work(*job);
            lock.lock();
            if (--job->running == 0)
                job->finished.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job*> m_tickets;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};

Pool& ThePool()
{
    static Pool pool;
    return pool;
}

} // namespace

void ParallelFor(int count, const std::function<void(int)>& task)
{
    if (count <= 0)
        return;
    if (count == 1) {
        task(0);
        return;
    }
    ThePool().Run(count, task);
}

int RenderThreadCount()
{
    return ThePool().Workers() + 1;
}

} // namespace lumacut
