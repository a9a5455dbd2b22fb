#include "picture/TiffFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "picture/Limits.h"
#include "picture/TiffSupport.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace lumacut {

namespace {

// Deflate for grey and colour at level 1 with horizontal differencing: on a
// 24-megapixel photo that is the fastest setting tried and no larger than
// level 6 (the differencing gains some 8 %, higher levels nothing).
constexpr int kDeflateLevel = 1;
// Strips of about this many bytes: each goes to the compressor in one call,
// and a reader never needs much memory for one.
constexpr std::size_t kStripBytes = std::size_t{1} << 18;

struct Picture {
    const std::uint8_t* dib = nullptr;
    const std::uint8_t* rows = nullptr; // bottom-up
    int width = 0;
    int height = 0;
    int bits = 0;
    int colors = 0; // entries of the table
    std::size_t stride = 0;
};

// The file is built in memory (libtiff seeks back to patch offsets) and
// written out in one piece.
struct Sink {
    std::vector<std::uint8_t> bytes;
    std::size_t at = 0;
};

tmsize_t SinkRead(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* s = static_cast<Sink*>(handle);
    if (count <= 0 || s->at >= s->bytes.size())
        return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(count), s->bytes.size() - s->at);
    std::memcpy(buffer, s->bytes.data() + s->at, n);
    s->at += n;
    return static_cast<tmsize_t>(n);
}
tmsize_t SinkWrite(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* s = static_cast<Sink*>(handle);
    if (count < 0)
        return -1;
    const std::size_t n = static_cast<std::size_t>(count);
    // No exception may cross libtiff's frames: a failed growth is a failed write.
    try {
        if (s->bytes.size() < s->at + n)
            s->bytes.resize(s->at + n);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    std::memcpy(s->bytes.data() + s->at, buffer, n);
    s->at += n;
    return count;
}
toff_t SinkSeek(thandle_t handle, toff_t offset, int whence)
{
    auto* s = static_cast<Sink*>(handle);
    const std::uint64_t base = whence == SEEK_CUR ? s->at : whence == SEEK_END ? s->bytes.size() : 0;
    const std::uint64_t to = base + offset;
    if (to > (std::uint64_t{1} << 40))
        return static_cast<toff_t>(-1);
    // Seeking past the end leaves a gap that the next write fills.
    try {
        if (to > s->bytes.size())
            s->bytes.resize(static_cast<std::size_t>(to));
    } catch (const std::bad_alloc&) {
        return static_cast<toff_t>(-1);
    }
    s->at = static_cast<std::size_t>(to);
    return to;
}
int SinkClose(thandle_t) { return 0; }
toff_t SinkSize(thandle_t handle) { return static_cast<Sink*>(handle)->bytes.size(); }
int NoMap(thandle_t, void**, toff_t*) { return 0; }
void NoUnmap(thandle_t, void*, toff_t) {}

bool IsGreyRamp(const Picture& picture)
{
    if (picture.colors != 256)
        return false;
    const std::uint8_t* table = picture.dib + kInfoHeaderSize;
    for (int i = 0; i < 256; ++i)
        if (table[4 * i] != i || table[4 * i + 1] != i || table[4 * i + 2] != i)
            return false;
    return true;
}

// A two-colour file has white as 0: a DIB whose darker entry is index 0
// has its bits inverted on the way.
bool IndexZeroIsBlack(const Picture& picture)
{
    const std::uint8_t* table = picture.dib + kInfoHeaderSize;
    if (picture.colors < 2)
        return true;
    return table[0] + table[1] + table[2] <= table[4] + table[5] + table[6];
}

void SetResolution(TIFF* tif, const std::uint8_t* dib)
{
    const std::int32_t x = ReadLE32s(dib + dib::kXPelsPerMeter);
    const std::int32_t y = ReadLE32s(dib + dib::kYPelsPerMeter);
    if (x <= 0 || y <= 0)
        return;
    // Dots per inch, whole when a whole number reads back as the same
    // pixels per metre (300 dpi is 11811 per metre).
    auto dpi = [](std::int32_t perMeter) {
        const double exact = perMeter * 0.0254;
        const double whole = std::round(exact);
        return static_cast<float>(std::lround(whole / 0.0254) == perMeter ? whole : exact);
    };
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, dpi(x));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, dpi(y));
}

bool Encode(TIFF* tif, const Picture& picture)
{
    const auto width = static_cast<std::uint32_t>(picture.width);
    const auto height = static_cast<std::uint32_t>(picture.height);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    std::size_t lineBytes = 0;
    bool invert = false;
    std::uint32_t rowsPerStrip = height;
    if (picture.bits == 1) {
        // Group 4 codes the whole picture as one run of rows.
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        lineBytes = (std::size_t{width} + 7) / 8;
        invert = IndexZeroIsBlack(picture);
    } else {
        const bool colour = picture.bits == 24;
        const bool grey = !colour && IsGreyRamp(picture);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, colour ? 3 : 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     colour ? PHOTOMETRIC_RGB : grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
        TIFFSetField(tif, TIFFTAG_ZIPQUALITY, kDeflateLevel);
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        lineBytes = std::size_t{width} * (colour ? 3 : 1);
        rowsPerStrip = static_cast<std::uint32_t>(std::clamp<std::size_t>(kStripBytes / lineBytes, 1, height));
        if (!colour && !grey) {
            std::vector<std::uint16_t> maps(3 * 256, 0);
            const std::uint8_t* table = picture.dib + kInfoHeaderSize;
            for (int i = 0; i < picture.colors; ++i)
                for (int c = 0; c < 3; ++c)
                    maps[256 * c + i] = static_cast<std::uint16_t>(table[4 * i + 2 - c] * 257);
            TIFFSetField(tif, TIFFTAG_COLORMAP, maps.data(), maps.data() + 256, maps.data() + 512);
        }
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    SetResolution(tif, picture.dib);

    std::vector<std::uint8_t> strip(lineBytes * rowsPerStrip);
    for (std::uint32_t top = 0, index = 0; top < height; top += rowsPerStrip, ++index) {
        const std::uint32_t rows = std::min(rowsPerStrip, height - top);
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint8_t* source = picture.rows + picture.stride * (height - 1 - (top + r));
            std::uint8_t* line = strip.data() + lineBytes * r;
            if (picture.bits == 24) {
                for (std::size_t i = 0; i < lineBytes; i += 3) {
                    line[i] = source[i + 2];
                    line[i + 1] = source[i + 1];
                    line[i + 2] = source[i];
                }
            } else if (invert) {
                for (std::size_t i = 0; i < lineBytes; ++i)
                    line[i] = static_cast<std::uint8_t>(~source[i]);
            } else {
                std::memcpy(line, source, lineBytes);
            }
        }
        if (TIFFWriteEncodedStrip(tif, index, strip.data(), static_cast<tmsize_t>(lineBytes * rows)) < 0)
            return false;
    }
    return TIFFWriteDirectory(tif) != 0;
}

} // namespace

int WriteTiffFile(const std::string& path, const CMemBlock& block)
{
    if (!WritableHeader(path, block))
        return 0;
    const std::uint8_t* dib = block.Data();
    Picture picture;
    picture.dib = dib;
    picture.width = ReadLE32s(dib + dib::kWidth);
    picture.height = ReadLE32s(dib + dib::kHeight);
    picture.bits = ReadLE16(dib + dib::kBitCount);
    if ((picture.bits != 1 && picture.bits != 8 && picture.bits != 24) || ReadLE32(dib + dib::kCompression) != 0) {
        ShowMessage(path + std::string(msg::kTiffNotWritableDepth));
        return 0;
    }
    if (!SizeWithinLimits(picture.width, picture.height)) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }
    if (picture.bits != 24) {
        const std::uint32_t used = ReadLE32(dib + dib::kClrUsed);
        picture.colors = used == 0 || used > (1u << picture.bits) ? 1 << picture.bits : static_cast<int>(used);
    }
    picture.stride = static_cast<std::size_t>(RowBytes(std::int64_t{picture.bits} * picture.width));
    const std::size_t start = kInfoHeaderSize + 4 * static_cast<std::size_t>(picture.colors);
    if (block.Size() < start || block.Size() - start < picture.stride * static_cast<std::size_t>(picture.height)) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }
    picture.rows = dib + start;

    tiff::Errors errors;
    tiff::Options options = tiff::MakeOptions(errors);
    Sink sink;
    bool encoded = false;
    if (options) {
        tiff::Handle tif(TIFFClientOpenExt(path.c_str(), "w", &sink, SinkRead, SinkWrite, SinkSeek, SinkClose,
                                           SinkSize, NoMap, NoUnmap, options.get()));
        try {
            encoded = tif && Encode(tif.get(), picture);
        } catch (const std::bad_alloc&) {
            errors.text = msg::kNoMemAllocated;
        }
    }
    if (!encoded) {
        ShowMessage(std::string(msg::kTiffWriteFailed) + path + ": " + errors.text);
        return 0;
    }
    CAtomicFile file;
    if (!file.Open(path)) {
        ShowMessage(tiff::CantOpenText(path));
        return 0;
    }
    if (!file.Write(sink.bytes.data(), sink.bytes.size()) || !file.Commit()) {
        ShowMessage(std::string(msg::kTiffWriteFailed) + path + ": " + std::strerror(errno));
        return 0;
    }
    return 1;
}

} // namespace lumacut
