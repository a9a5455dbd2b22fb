#include "picture/PngStream.h"

#include "picture/Dib.h"
#include "picture/Limits.h"
#include "picture/PngDecode.h"
#include "picture/RowRing.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace lumacut {

using png::Outcome;

namespace {

// About 16 MB of rows. The library gives them one at a time, so a very
// wide picture's few slots still keep the decoder going.
int RingSlots(std::size_t stride)
{
    return static_cast<int>(std::clamp<std::size_t>((std::size_t{16} << 20) / stride, 8, 1024));
}

} // namespace

struct CPngStream::State {
    std::string path;
    std::FILE* file = nullptr;
    std::vector<char> buffer;
    png::Context ctx;
    png::RowDecoder decoder;
    CMemBlock row; // the library's row, when it needs converting
    std::unique_ptr<CRowRing> ring;
    Outcome outcome = Outcome::LibraryError;
    int error = 0;
    std::thread thread;

    ~State()
    {
        // A reader that left early must not keep the decoder waiting for room.
        if (thread.joinable()) {
            ring->Stop();
            thread.join();
        }
        ctx.reset();
        if (file)
            std::fclose(file);
    }

    // Every row, top first, into its slot of the ring.
    Outcome DecodeRows()
    {
        const std::uint32_t width = decoder.ihdr.width;
        const std::size_t stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{width}));
        const bool direct = decoder.mode == png::Mode::Rgb;
        do {
            spng_row_info info{};
            error = spng_get_row_info(ctx.get(), &info);
            if (error)
                break;
            std::uint8_t* slot = ring->Slot(static_cast<int>(info.row_num));
            if (!slot)
                return Outcome::Stopped;
            error = spng_decode_row(ctx.get(), direct ? slot : row.Data(), decoder.rowBytes);
            if (error == 0 || error == SPNG_EOI) {
                decoder.Store(row.Data(), slot);
                // The whole-picture block's padding is zero.
                std::memset(slot + std::size_t{width} * 3, 0, stride - std::size_t{width} * 3);
                ring->Put(static_cast<int>(info.row_num) + 1);
            }
        } while (error == 0);
        error = png::ReadToEnd(ctx.get(), error);
        return error ? Outcome::LibraryError : Outcome::Decoded;
    }

    // Header to ring: what the whole-picture reader does before its first row.
    Opening Open(CMemBlock& header, int ringSlots)
    {
        file = std::fopen(path.c_str(), "rb");
        if (!file) {
            ShowMessage(png::CantOpenText(path));
            return Opening::Failed;
        }
        buffer.resize(std::size_t{1} << 20);
        std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
        ctx.reset(spng_ctx_new(0));
        error = SPNG_EMEM;
        outcome = Outcome::NoMemory;
        if (ctx) {
            error = spng_set_png_file(ctx.get(), file);
            outcome = error ? Outcome::LibraryError : Outcome::Decoded;
        }
        spng_ihdr ihdr{};
        if (outcome == Outcome::Decoded)
            outcome = png::ReadHeader(ctx.get(), ihdr, error);
        if (outcome == Outcome::Decoded && ihdr.interlace_method != SPNG_INTERLACE_NONE)
            return Opening::NotStreamable;
        if (outcome == Outcome::Decoded && !SizeWithinStreamLimits(ihdr.width, ihdr.height))
            outcome = Outcome::TooLarge;
        if (outcome == Outcome::Decoded)
            outcome = png::StartDecode(ctx.get(), ihdr, decoder, error);
        if (outcome == Outcome::Decoded) {
            const std::size_t stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{ihdr.width}));
            if (decoder.mode != png::Mode::Rgb)
                row = CMemBlock::Allocate(decoder.rowBytes);
            ring = std::make_unique<CRowRing>(stride, ringSlots > 0 ? ringSlots : RingSlots(stride));
            header = CMemBlock::Allocate(kInfoHeaderSize);
            if (!header || !ring->Ready() || (decoder.mode != png::Mode::Rgb && !row))
                outcome = Outcome::NoMemory;
        }
        if (outcome != Outcome::Decoded) {
            header.Free();
            png::ShowFailure(outcome, error, path);
            return Opening::Failed;
        }
        WriteInfoHeader(header.Data(), static_cast<int>(ihdr.width), static_cast<int>(ihdr.height), 24);
        // pHYs comes before the picture data: already read.
        png::WritePhys(ctx.get(), header.Data());
        thread = std::thread([this] {
            outcome = DecodeRows();
            ring->Finish();
        });
        return Opening::Started;
    }
};

CPngStream::CPngStream(int ringSlots) : m_ringSlots(ringSlots) {}

CPngStream::~CPngStream() = default;

CRowStream::Opening CPngStream::StartRows(const std::string& path, CMemBlock& header)
{
    header.Free();
    m_state = std::make_unique<State>();
    m_state->path = path;
    const Opening opening = m_state->Open(header, m_ringSlots);
    if (opening != Opening::Started)
        m_state.reset();
    return opening;
}

CRowRing& CPngStream::Ring()
{
    return *m_state->ring;
}

int CPngStream::Finish()
{
    if (!m_state)
        return 0;
    State& s = *m_state;
    // A reader that stops before the last row lets the decoder go.
    if (s.thread.joinable()) {
        s.ring->Stop();
        s.thread.join();
    }
    if (s.outcome == Outcome::Decoded)
        return 1;
    png::ShowFailure(s.outcome, s.error, s.path);
    return 0;
}

} // namespace lumacut
