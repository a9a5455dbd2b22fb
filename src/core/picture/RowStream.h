#pragma once
// A picture file decoded on a thread of its own into a ring of rows, top
// row first, for a render that never holds the whole picture (the
// renderer's streaming jobs). Rows are 24-bit, blue-green-red, in the
// layout of a bottom-up DIB's rows, as the file's whole-picture reader
// would leave them in its block.
#include "picture/MemBlock.h"
#include "picture/RowRing.h"

#include <memory>
#include <string>

namespace lumacut {

class CRowStream {
public:
    enum class Opening { Started, NotStreamable, Failed };

    virtual ~CRowStream() = default;
    // Reads the header and starts decoding. Started: `header` holds the
    // 40-byte info header (size, resolution) and the rows come through
    // Ring(). NotStreamable: nothing shown, nothing running (the file needs
    // the whole-picture reader, for example to turn it upright). Failed:
    // after the reader's message.
    virtual Opening StartRows(const std::string& path, CMemBlock& header) = 0;
    virtual CRowRing& Ring() = 0;
    // Waits for the decoder (a reader that stopped early lets it go) and
    // shows what the whole-picture reader would: 1 when every row was
    // decoded (perhaps past damage), else 0.
    virtual int Finish() = 0;
};

} // namespace lumacut
