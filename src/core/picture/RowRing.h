#pragma once
// Rows handed from a decoder on a thread of its own to the one reader that
// takes them, top row first, through a ring of a fixed number of rows: the
// decoder waits while the ring is full and the reader while the row it asks
// for is not in yet, so a picture of any height passes through a few
// megabytes.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace lumacut {

class CRowRing {
public:
    // Room for `slots` rows of `rowBytes` bytes; no room (Ready() false)
    // when that cannot be allocated.
    CRowRing(std::size_t rowBytes, int slots);
    bool Ready() const { return m_rows != nullptr; }

    // Decoder: where row `row` goes, once the reader has let go of the row
    // that held its slot before; null when the reader has stopped.
    std::uint8_t* Slot(int row);
    // Decoder: the top `rows` rows are in.
    void Put(int rows);
    // Decoder: no more rows will come.
    void Finish();

    // Reader: row `row`, once it is in; null when the decoder finished
    // without it.
    const std::uint8_t* Take(int row);
    // Reader: rows above `rows` (the top `rows` rows) are no longer read.
    void Release(int rows);
    // Reader: no more rows are wanted; a waiting decoder is let go.
    void Stop();

private:
    std::unique_ptr<std::uint8_t[]> m_rows;
    std::size_t m_rowBytes;
    int m_slots;
    int m_in = 0;       // rows put
    int m_released = 0; // rows let go of
    bool m_finished = false;
    bool m_stopped = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

} // namespace lumacut
