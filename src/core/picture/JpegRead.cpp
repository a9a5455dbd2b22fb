#include "picture/JpegFile.h"

#include "picture/Dib.h"
#include "picture/ExifOrientation.h"
#include "picture/JpegError.h"
#include "picture/JpegStream.h"
#include "picture/Limits.h"
#include "picture/RowRing.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

namespace lumacut {

namespace {

// Messages are shown after the library's frame has been left, never inside it.
enum class Outcome { Decoded, LibraryError, TooLarge, NotThreeComponents, NoBlock, Stopped };

// Where the compressed bytes come from: a file or memory.
struct Source {
    std::FILE* file = nullptr;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// What a decoder on a thread of its own tells the thread that waits for it:
// first that the block is made (after which it writes only the block's
// rows, never the block object), then how many rows are in.
// When `streaming`, the block is a header only and the rows go through
// `ring`, which the decoder makes once it knows the width.
struct Announcement {
    std::promise<bool> blockMade;
    bool made = false;
    CRowArrival rows;
    bool streaming = false;
    std::unique_ptr<CRowRing> ring;
};

// A ring of about 16 MB: some hundred rows of a photo, never fewer than a
// few groups of the library's rows.
int RingSlots(std::size_t stride)
{
    return static_cast<int>(std::clamp<std::size_t>((std::size_t{16} << 20) / stride, 64, 1024));
}

// The rows of a streaming decode, each into its slot of the ring.
Outcome DecodeIntoRing(jpeg_decompress_struct* cinfo, CRowRing& ring)
{
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = ring.Slot(static_cast<int>(cinfo->output_scanline));
        if (!row)
            return Outcome::Stopped;
        jpeg_read_scanlines(cinfo, &row, 1);
        if (cinfo->output_scanline % 16 == 0 || cinfo->output_scanline == cinfo->output_height)
            ring.Put(static_cast<int>(cinfo->output_scanline));
    }
    return Outcome::Decoded;
}

// The Exif block of an APP1 marker, when the file has one.
ExifTags ExifOf(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return ReadExifTags(m->data, m->data_length);
    return {};
}

// The JFIF density in pixels per metre; none when it gives only the aspect
// ratio (unit 0) or no JFIF marker was seen.
Resolution JfifResolution(const jpeg_decompress_struct& cinfo)
{
    if (!cinfo.saw_JFIF_marker || cinfo.X_density == 0 || cinfo.Y_density == 0)
        return {};
    if (cinfo.density_unit == 1)
        return {PixelsPerMetre(cinfo.X_density), PixelsPerMetre(cinfo.Y_density)};
    if (cinfo.density_unit == 2)
        return {100 * cinfo.X_density, 100 * cinfo.Y_density};
    return {};
}

// Every library call of the reader between the setjmp and a possible jump.
// Plain data only: a jump out of here destroys nothing.
Outcome DecodeSteps(jpeg_decompress_struct* cinfo, const Source* source, CMemBlock* block, JpegNotes* notes,
                    Announcement* announce)
{
    if (source->file)
        jpeg_stdio_src(cinfo, source->file);
    else
        jpeg_mem_src(cinfo, source->data, static_cast<unsigned long>(source->size));
    jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);
    const bool streaming = announce && announce->streaming;
    const auto withinLimits = [&](std::int64_t w, std::int64_t h) {
        return streaming ? SizeWithinStreamLimits(w, h) : SizeWithinLimits(w, h);
    };
    if (!withinLimits(cinfo->image_width, cinfo->image_height))
        return Outcome::TooLarge;
    // Colour files decode straight into the block's blue-green-red order;
    // greyscale and CMYK keep their own and are refused by the block maker.
    if (cinfo->out_color_space == JCS_RGB)
        cinfo->out_color_space = JCS_EXT_BGR;
    jpeg_calc_output_dimensions(cinfo);
    const int width = static_cast<int>(cinfo->output_width);
    const int height = static_cast<int>(cinfo->output_height);
    if (!withinLimits(width, height))
        return Outcome::TooLarge;
    if (cinfo->output_components != 3)
        return Outcome::NotThreeComponents;
    const std::size_t stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{width}));
    if (streaming) {
        *block = CMemBlock::Allocate(kInfoHeaderSize);
        announce->ring = std::make_unique<CRowRing>(stride, RingSlots(stride));
        if (!*block || !announce->ring->Ready())
            return Outcome::NoBlock;
        WriteInfoHeader(block->Data(), width, height, 24);
    } else if (!MakeBitmapColors0(*block, cinfo->output_components, width, height)) {
        return Outcome::NoBlock;
    }
    const ExifTags exif = ExifOf(*cinfo);
    notes->orientation = exif.orientation;
    const Resolution jfif = JfifResolution(*cinfo);
    WriteResolution(block->Data(), jfif.Known() ? jfif : Resolution{exif.xPelsPerMeter, exif.yPelsPerMeter});

    jpeg_start_decompress(cinfo);
    // The first scanline is the top of the picture: the last stored row.
    // Taken before the announcement, after which the block object is the
    // reader's.
    std::uint8_t* rows = streaming ? nullptr : block->Data() + kInfoHeaderSize;
    if (announce) {
        announce->made = true;
        announce->blockMade.set_value(true);
    }
    if (streaming) {
        const Outcome outcome = DecodeIntoRing(cinfo, *announce->ring);
        if (outcome != Outcome::Decoded)
            return outcome;
        jpeg_finish_decompress(cinfo);
        return Outcome::Decoded;
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = rows + stride * (static_cast<std::size_t>(height) - 1 - cinfo->output_scanline);
        jpeg_read_scanlines(cinfo, &row, 1);
        // The library decodes 8 or 16 rows at a time: tell them as a group.
        if (announce && (cinfo->output_scanline % 16 == 0 || cinfo->output_scanline == cinfo->output_height))
            announce->rows.Arrived(static_cast<int>(cinfo->output_scanline));
    }
    jpeg_finish_decompress(cinfo);
    return Outcome::Decoded;
}

// The reader's one exit: whatever happened, the decompressor is destroyed.
Outcome Decode(jpeg_decompress_struct* cinfo, jpeg::ErrorManager* errors, const Source* source, CMemBlock* block,
               JpegNotes* notes, Announcement* announce = nullptr)
{
    jpeg::InstallErrorManager(*errors, *reinterpret_cast<jpeg_common_struct*>(cinfo));
    jpeg::CollectWarnings(*errors);
    volatile Outcome outcome = Outcome::LibraryError;
    if (setjmp(errors->jump) == 0) {
        jpeg_create_decompress(cinfo);
        outcome = DecodeSteps(cinfo, source, block, notes, announce);
    }
    jpeg_destroy_decompress(cinfo);
    return outcome;
}

int ShowOutcome(Outcome outcome, const jpeg::ErrorManager& errors, const std::string& path);

int ReadFrom(const Source& source, const std::string& path, CMemBlock& block, int& width, int& height,
             JpegNotes* notes)
{
    JpegNotes ignored;
    if (!notes)
        notes = &ignored;
    *notes = {};
    width = 0;
    height = 0;
    block.Free();
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    jpeg::ErrorManager errors;
    const Outcome outcome = Decode(&cinfo, &errors, &source, &block, notes);
    if (outcome == Outcome::Decoded) {
        width = ReadLE32s(block.Data() + dib::kWidth);
        height = ReadLE32s(block.Data() + dib::kHeight);
    } else {
        block.Free();
    }
    return ShowOutcome(outcome, errors, path);
}

// The messages of a read that has ended; 1 when it decoded the picture.
int ShowOutcome(Outcome outcome, const jpeg::ErrorManager& errors, const std::string& path)
{
    if (outcome == Outcome::Decoded) {
        // Damaged data the library decoded past: the picture opens, and the
        // user learns why part of it is grey or garbled.
        if (errors.warning[0] != '\0')
            ShowMessage(std::string(msg::kJpegReadWarning) + path + ": " + errors.warning +
                            std::string(msg::kJpegPartlyRead),
                        PromptIcon::Warning);
        return 1;
    }
    switch (outcome) {
    case Outcome::LibraryError:
        ShowMessage(std::string(msg::kJpegReadFailed) + path + ": " + errors.text);
        break;
    case Outcome::TooLarge: ShowMessage(path + std::string(msg::kPictureTooLarge)); break;
    case Outcome::NotThreeComponents:
        ShowMessage(std::string(msg::kComponentsNeed3));
        ShowMessage(std::string(msg::kNoMemAllocated));
        break;
    case Outcome::NoBlock: ShowMessage(std::string(msg::kNoMemAllocated)); break;
    case Outcome::Decoded:
    case Outcome::Stopped: break; // the reader stopped it and has said why
    }
    return 0;
}

} // namespace

bool MakeBitmapColors0(CMemBlock& block, int components, int width, int height)
{
    if (components != 3) {
        ShowMessage(std::string(msg::kComponentsNeed3));
        return false;
    }
    if (!SizeWithinLimits(width, height))
        return false;
    const std::size_t stride = static_cast<std::size_t>(RowBytes(std::int64_t{components} * 8 * width));
    const std::size_t size = static_cast<std::size_t>(height) * stride + kInfoHeaderSize;
    if (block && block.Size() < size)
        block.Free();
    if (!block)
        block = CMemBlock::Allocate(size);
    if (!block)
        return false;
    WriteInfoHeader(block.Data(), width, height, components * 8);
    return true;
}

void SwapRedBlue(std::uint8_t* row, int count)
{
    for (int i = 0; i < count; ++i, row += 3) {
        const std::uint8_t red = row[0];
        row[0] = row[2];
        row[2] = red;
    }
}

int ReadJpegFile(const std::string& path, CMemBlock& block, int& width, int& height, JpegNotes* notes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        width = 0;
        height = 0;
        block.Free();
        ShowMessage(jpeg::CantOpenText(path));
        return 0;
    }
    // The library asks for 4 KB at a time; with a larger buffer of our own
    // a photo is read in far fewer calls. It outlives the stream.
    std::vector<char> buffer(std::size_t{1} << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    Source source;
    source.file = file;
    const int result = ReadFrom(source, path, block, width, height, notes);
    std::fclose(file);
    return result;
}

int ReadJpegBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                  int& height, JpegNotes* notes)
{
    Source source;
    source.data = data;
    source.size = size;
    return ReadFrom(source, path, block, width, height, notes);
}

// ---- decoding alongside -----------------------------------------------------------

struct CJpegStream::State {
    std::string path;
    std::FILE* file = nullptr;
    std::vector<char> buffer;
    jpeg_decompress_struct cinfo{};
    jpeg::ErrorManager errors;
    CMemBlock block;
    JpegNotes notes;
    Announcement announce;
    Outcome outcome = Outcome::LibraryError;
    std::thread decoder;
};

CJpegStream::CJpegStream() = default;

CJpegStream::~CJpegStream()
{
    // A reader that left early must not keep the decoder waiting for room.
    if (m_state && m_state->decoder.joinable() && m_state->announce.ring)
        m_state->announce.ring->Stop();
    if (m_state && m_state->decoder.joinable())
        m_state->decoder.join();
    if (m_state && m_state->file)
        std::fclose(m_state->file);
}

const CRowArrival& CJpegStream::Rows() const
{
    return m_state->announce.rows;
}

int CJpegStream::Orientation() const
{
    return m_state ? m_state->notes.orientation : 0;
}

bool CJpegStream::Start(const std::string& path, CMemBlock& block, int& width, int& height)
{
    width = 0;
    height = 0;
    if (!StartWith(path, false, block))
        return false;
    width = ReadLE32s(block.Data() + dib::kWidth);
    height = ReadLE32s(block.Data() + dib::kHeight);
    return true;
}

CRowStream::Opening CJpegStream::StartRows(const std::string& path, CMemBlock& header)
{
    if (!StartWith(path, true, header))
        return Opening::Failed;
    const int orientation = Orientation();
    if (orientation >= 2 && orientation <= 8) {
        // A photo to turn is turned whole, by the whole-picture reader.
        Finish();
        header.Free();
        return Opening::NotStreamable;
    }
    return Opening::Started;
}

CRowRing& CJpegStream::Ring()
{
    return *m_state->announce.ring;
}

bool CJpegStream::StartWith(const std::string& path, bool streaming, CMemBlock& block)
{
    block.Free();
    m_state = std::make_unique<State>();
    State& s = *m_state;
    s.path = path;
    s.announce.streaming = streaming;
    s.file = std::fopen(path.c_str(), "rb");
    if (!s.file) {
        ShowMessage(jpeg::CantOpenText(path));
        return false;
    }
    s.buffer.resize(std::size_t{1} << 20);
    std::setvbuf(s.file, s.buffer.data(), _IOFBF, s.buffer.size());
    std::future<bool> made = s.announce.blockMade.get_future();
    s.decoder = std::thread([&s] {
        Source source;
        source.file = s.file;
        s.outcome = Decode(&s.cinfo, &s.errors, &source, &s.block, &s.notes, &s.announce);
        if (!s.announce.made)
            s.announce.blockMade.set_value(false);
        s.announce.rows.Finished();
        if (s.announce.ring)
            s.announce.ring->Finish();
    });
    if (!made.get()) {
        Finish();
        return false;
    }
    // The decoder no longer touches the block object, only its rows.
    block = std::move(s.block);
    return true;
}

int CJpegStream::Finish()
{
    State& s = *m_state;
    // Streaming: a reader that stops before the last row lets the decoder go.
    if (s.decoder.joinable() && s.announce.ring)
        s.announce.ring->Stop();
    if (s.decoder.joinable())
        s.decoder.join();
    if (s.file) {
        std::fclose(s.file);
        s.file = nullptr;
    }
    return ShowOutcome(s.outcome, s.errors, s.path);
}

} // namespace lumacut
