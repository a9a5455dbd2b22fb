#include "picture/RowArrival.h"

namespace lumacut {

void CRowArrival::Arrived(int rows)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_arrived.store(rows, std::memory_order_release);
    }
    m_changed.notify_all();
}

void CRowArrival::Finished()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

int CRowArrival::WaitFor(int rows) const
{
    // Most calls find their rows in already: no lock for them.
    const int now = m_arrived.load(std::memory_order_acquire);
    if (now >= rows)
        return now;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_finished || m_arrived.load(std::memory_order_relaxed) >= rows; });
    return m_arrived.load(std::memory_order_relaxed);
}

} // namespace lumacut
