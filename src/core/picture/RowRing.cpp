#include "picture/RowRing.h"

#include <new>

namespace lumacut {

CRowRing::CRowRing(std::size_t rowBytes, int slots) : m_rowBytes(rowBytes), m_slots(slots)
{
    if (slots <= 0 || rowBytes == 0)
        return;
    try {
        // Every slot is written before it is read.
        m_rows = std::make_unique_for_overwrite<std::uint8_t[]>(rowBytes * static_cast<std::size_t>(slots));
    } catch (const std::bad_alloc&) {
    }
}

std::uint8_t* CRowRing::Slot(int row)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_stopped || row - m_released < m_slots; });
    if (m_stopped)
        return nullptr;
    return m_rows.get() + m_rowBytes * static_cast<std::size_t>(row % m_slots);
}

void CRowRing::Put(int rows)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_in = rows;
    }
    m_changed.notify_all();
}

void CRowRing::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

const std::uint8_t* CRowRing::Take(int row)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_finished || row < m_in; });
    if (row >= m_in || row < m_released)
        return nullptr;
    return m_rows.get() + m_rowBytes * static_cast<std::size_t>(row % m_slots);
}

void CRowRing::Release(int rows)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (rows > m_released)
            m_released = rows;
    }
    m_changed.notify_all();
}

void CRowRing::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
}

} // namespace lumacut
