#pragma once
// A PNG file decoded on a thread of its own into a ring of rows, for a
// render that never holds the whole picture: the same rows, header fields
// and messages as ReadPngFile, up to the streaming limits (Limits.h).
#include "picture/MemBlock.h"
#include "picture/RowStream.h"

#include <memory>
#include <string>

namespace lumacut {

class CPngStream : public CRowStream {
public:
    // `ringSlots` 0: a ring of a few megabytes.
    explicit CPngStream(int ringSlots = 0);
    // Lets a waiting decoder go and waits for it.
    ~CPngStream() override;
    CPngStream(const CPngStream&) = delete;
    CPngStream& operator=(const CPngStream&) = delete;

    // An interlaced file is NotStreamable: each pass fills only part of
    // every row, so no row is whole before the last pass.
    Opening StartRows(const std::string& path, CMemBlock& header) override;
    CRowRing& Ring() override;
    int Finish() override;

private:
    struct State;
    std::unique_ptr<State> m_state;
    int m_ringSlots;
};

} // namespace lumacut
