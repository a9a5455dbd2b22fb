#pragma once
// Rows of a picture that a decoder is still filling, top row first: the
// render reads the rows that are in while the decoder makes the rest, each
// on a core of its own.
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace lumacut {

class CRowArrival {
public:
    // Decoder: the top `rows` rows are in; they are not written again.
    void Arrived(int rows);
    // Decoder: no more rows will come (all are in, or decoding stopped).
    void Finished();

    // Blocks until the top `rows` rows are in or the decoder has finished.
    // The number of rows that are in: fewer than asked when decoding
    // stopped early.
    int WaitFor(int rows) const;

private:
    std::atomic<int> m_arrived{0};
    bool m_finished = false;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
};

// The number of top rows of a picture of `height` rows that stored row `y`
// (bottom-up, as in a DIB) needs.
inline int TopRowsFor(int height, int y)
{
    return height - y;
}

} // namespace lumacut
