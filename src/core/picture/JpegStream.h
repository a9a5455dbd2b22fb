#pragma once
// A JPEG file decoded on a thread of its own while the caller already works
// on the rows that are in (the renderer turns them into the New Picture on
// the other core). The same block, pixels and messages as ReadJpegFile.
#include "picture/MemBlock.h"
#include "picture/RowArrival.h"
#include "picture/RowStream.h"

#include <memory>
#include <string>

namespace lumacut {

class CJpegStream : public CRowStream {
public:
    CJpegStream();
    // Waits for the decoder: the block it writes must outlive this.
    ~CJpegStream() override;
    CJpegStream(const CJpegStream&) = delete;
    CJpegStream& operator=(const CJpegStream&) = delete;

    // Reads the header and makes the block, then goes on decoding. True
    // with the block (header and size final, rows arriving top first
    // through Rows()); false after the reader's message, nothing running.
    bool Start(const std::string& path, CMemBlock& block, int& width, int& height);
    const CRowArrival& Rows() const;
    // The same decode for a picture that is never whole in memory, up to
    // the streaming limits (Limits.h); a photo to turn upright is
    // NotStreamable.
    Opening StartRows(const std::string& path, CMemBlock& header) override;
    CRowRing& Ring() override;
    // The Exif orientation (JpegNotes), known once Start has returned true.
    int Orientation() const;
    // Waits for the last row and shows what ReadJpegFile would. 1 when the
    // picture was decoded (perhaps past damage); 0 when the library gave up
    // and some rows never came.
    int Finish() override;

private:
    bool StartWith(const std::string& path, bool streaming, CMemBlock& block);
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace lumacut
