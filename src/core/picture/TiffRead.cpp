#include "picture/TiffFile.h"

#include "picture/Dib.h"
#include "picture/JpegFile.h"
#include "picture/Limits.h"
#include "picture/TiffSupport.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace lumacut {

namespace {

// What one sample of a pixel does to the blue-green-red pixel.
enum class Role { Skip, Grey, GreyInverted, Index, Red, Green, Blue, AssociatedAlpha, UnassociatedAlpha };

struct Layout {
    int width = 0;
    int height = 0;
    int bits = 0;    // per sample
    int samples = 0; // per pixel
    bool separate = false;
    std::vector<Role> roles; // one per sample
    std::array<std::array<std::uint8_t, 256>, 3> palette{}; // red, green, blue
};

enum class Outcome { Decoded, LibraryError, TooLarge, NoBlock };

// Samples first, first + step, ... of a decoded row as 8-bit values: 16-bit
// ones rounded, fewer bits scaled to 0..255 (or kept as they are for
// palette indexes).
void Unpack(const std::uint8_t* row, int bits, std::size_t first, std::size_t step, int count, bool scale,
            std::uint8_t* out)
{
    if (bits == 8) {
        for (int i = 0; i < count; ++i)
            out[i] = row[first + step * static_cast<std::size_t>(i)];
    } else if (bits == 16) {
        for (int i = 0; i < count; ++i) {
            std::uint16_t v;
            std::memcpy(&v, row + 2 * (first + step * static_cast<std::size_t>(i)), 2);
            out[i] = static_cast<std::uint8_t>((std::uint32_t{v} * 255 + 32767) / 65535);
        }
    } else {
        const unsigned mask = (1u << bits) - 1;
        const unsigned factor = scale ? 255 / mask : 1;
        for (int i = 0; i < count; ++i) {
            const std::size_t bit = (first + step * static_cast<std::size_t>(i)) * static_cast<std::size_t>(bits);
            const unsigned v = (row[bit >> 3] >> (8 - bits - static_cast<int>(bit & 7))) & mask;
            out[i] = static_cast<std::uint8_t>(v * factor);
        }
    }
}

// Applies `count` 8-bit sample values of one role to blue-green-red pixels.
// Alpha comes after the colour samples and lays the pixel over white.
void Apply(Role role, const std::uint8_t* v, int count, std::uint8_t* bgr, const Layout& layout)
{
    switch (role) {
    case Role::Skip: break;
    case Role::Grey:
    case Role::GreyInverted: {
        const std::uint8_t flip = role == Role::GreyInverted ? 255 : 0;
        for (int i = 0; i < count; ++i, bgr += 3)
            bgr[0] = bgr[1] = bgr[2] = static_cast<std::uint8_t>(v[i] ^ flip);
        break;
    }
    case Role::Index:
        for (int i = 0; i < count; ++i, bgr += 3) {
            bgr[0] = layout.palette[2][v[i]];
            bgr[1] = layout.palette[1][v[i]];
            bgr[2] = layout.palette[0][v[i]];
        }
        break;
    case Role::Red:
    case Role::Green:
    case Role::Blue: {
        const int at = role == Role::Red ? 2 : role == Role::Green ? 1 : 0;
        for (int i = 0; i < count; ++i)
            bgr[3 * i + at] = v[i];
        break;
    }
    case Role::AssociatedAlpha:
        for (int i = 0; i < count * 3; ++i)
            bgr[i] = static_cast<std::uint8_t>(std::min(255, bgr[i] + 255 - v[i / 3]));
        break;
    case Role::UnassociatedAlpha:
        for (int i = 0; i < count * 3; ++i) {
            const unsigned a = v[i / 3];
            bgr[i] = static_cast<std::uint8_t>((bgr[i] * a + 255 * (255 - a) + 127) / 255);
        }
        break;
    }
}

// Fills `layout` for the pictures decoded here; false sends the page to
// libtiff's RGBA reader.
bool DecodedHere(TIFF* tif, Layout& layout)
{
    std::uint16_t bits = 1, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) || format != SAMPLEFORMAT_UINT || samples > 8)
        return false;
    int colours = 0;
    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        colours = 1;
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
            return false;
        layout.roles.assign(samples, Role::Skip);
        layout.roles[0] = photometric == PHOTOMETRIC_MINISWHITE ? Role::GreyInverted : Role::Grey;
        break;
    case PHOTOMETRIC_PALETTE: {
        colours = 1;
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if ((bits != 1 && bits != 2 && bits != 4 && bits != 8) ||
            !TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
            return false;
        // Old writers stored 8-bit colour maps; a map with no entry above
        // 255 is taken as one.
        const int entries = 1 << bits;
        bool eightBit = true;
        for (int i = 0; i < entries; ++i)
            eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        const std::uint16_t* maps[3] = {red, green, blue};
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < entries; ++i)
                layout.palette[c][i] = static_cast<std::uint8_t>(
                    eightBit ? maps[c][i] : (std::uint32_t{maps[c][i]} * 255 + 32767) / 65535);
        layout.roles.assign(samples, Role::Skip);
        layout.roles[0] = Role::Index;
        break;
    }
    case PHOTOMETRIC_RGB:
        colours = 3;
        if ((bits != 8 && bits != 16) || samples < 3)
            return false;
        layout.roles.assign(samples, Role::Skip);
        layout.roles[0] = Role::Red;
        layout.roles[1] = Role::Green;
        layout.roles[2] = Role::Blue;
        break;
    default: return false;
    }
    std::uint16_t extras = 0;
    std::uint16_t* kinds = nullptr;
    if (samples > colours && TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extras, &kinds) && extras > 0) {
        if (kinds[0] == EXTRASAMPLE_ASSOCALPHA)
            layout.roles[colours] = Role::AssociatedAlpha;
        else if (kinds[0] == EXTRASAMPLE_UNASSALPHA)
            layout.roles[colours] = Role::UnassociatedAlpha;
    }
    layout.bits = bits;
    layout.samples = samples;
    layout.separate = planar == PLANARCONFIG_SEPARATE && samples > 1;
    return true;
}

struct Target {
    std::uint8_t* rows = nullptr; // bottom-up
    std::size_t stride = 0;
    int height = 0;
    std::uint8_t* Row(int top) const { return rows + stride * static_cast<std::size_t>(height - 1 - top); }
};

bool DecodeStrips(TIFF* tif, const Layout& layout, const Target& target)
{
    const tmsize_t lineSize = TIFFScanlineSize(tif);
    if (lineSize <= 0)
        return false;
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
    std::vector<std::uint8_t> values(static_cast<std::size_t>(layout.width));
    const auto width = static_cast<std::uint32_t>(layout.width);
    if (!layout.separate) {
        for (int top = 0; top < layout.height; ++top) {
            if (TIFFReadScanline(tif, line.data(), static_cast<std::uint32_t>(top), 0) < 0)
                return false;
            for (int s = 0; s < layout.samples; ++s) {
                if (layout.roles[s] == Role::Skip)
                    continue;
                const bool scale = layout.roles[s] != Role::Index;
                Unpack(line.data(), layout.bits, s, layout.samples, layout.width, scale, values.data());
                Apply(layout.roles[s], values.data(), layout.width, target.Row(top), layout);
            }
        }
        return true;
    }
    // One plane after the other: a reader that hops between planes row by
    // row would decode each strip again from its start.
    for (int s = 0; s < layout.samples; ++s) {
        if (layout.roles[s] == Role::Skip)
            continue;
        for (int top = 0; top < layout.height; ++top) {
            if (TIFFReadScanline(tif, line.data(), static_cast<std::uint32_t>(top), static_cast<std::uint16_t>(s)) < 0)
                return false;
            Unpack(line.data(), layout.bits, 0, 1, static_cast<int>(width), layout.roles[s] != Role::Index,
                   values.data());
            Apply(layout.roles[s], values.data(), layout.width, target.Row(top), layout);
        }
    }
    return true;
}

// A tile may be larger than the picture, but not by much: a small file must
// not make us allocate a huge tile buffer, nor a large one a buffer beyond
// what the library itself may take. Checked before the picture's block is
// made; on false `errors` says why.
bool TilesWithinBounds(TIFF* tif, std::uint32_t width, std::uint32_t height, tiff::Errors& errors)
{
    std::uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
    const std::uint64_t pixels = std::uint64_t{width} * height;
    if (tileWidth > 0 && tileHeight > 0 && tileWidth <= std::uint64_t(kMaxSide) &&
        tileHeight <= std::uint64_t(kMaxSide) &&
        std::uint64_t{tileWidth} * tileHeight <= std::max<std::uint64_t>(4 * pixels, 1 << 22) &&
        TIFFTileSize64(tif) <= std::uint64_t(tiff::kMaxSingleAlloc))
        return true;
    char text[128];
    std::snprintf(text, sizeof text, msg::kTiffTilesTooLargeFormat.data(), tileWidth, tileHeight);
    errors.text = text;
    return false;
}

bool DecodeTiles(TIFF* tif, const Layout& layout, const Target& target)
{
    std::uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
    const tmsize_t tileSize = TIFFTileSize(tif);
    const tmsize_t rowSize = TIFFTileRowSize(tif);
    if (tileSize <= 0 || rowSize <= 0)
        return false;
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileSize));
    std::vector<std::uint8_t> values(tileWidth);
    const int planes = layout.separate ? layout.samples : 1;
    for (int plane = 0; plane < planes; ++plane) {
        if (layout.separate && layout.roles[plane] == Role::Skip)
            continue;
        for (std::uint32_t y = 0; y < std::uint32_t(layout.height); y += tileHeight)
            for (std::uint32_t x = 0; x < std::uint32_t(layout.width); x += tileWidth) {
                if (TIFFReadTile(tif, tile.data(), x, y, 0, static_cast<std::uint16_t>(plane)) < 0)
                    return false;
                const int rows = static_cast<int>(std::min<std::uint32_t>(tileHeight, layout.height - y));
                const int columns = static_cast<int>(std::min<std::uint32_t>(tileWidth, layout.width - x));
                for (int r = 0; r < rows; ++r) {
                    const std::uint8_t* source = tile.data() + static_cast<std::size_t>(rowSize) * r;
                    std::uint8_t* bgr = target.Row(static_cast<int>(y) + r) + 3 * std::size_t{x};
                    if (layout.separate) {
                        Unpack(source, layout.bits, 0, 1, columns, layout.roles[plane] != Role::Index, values.data());
                        Apply(layout.roles[plane], values.data(), columns, bgr, layout);
                        continue;
                    }
                    for (int s = 0; s < layout.samples; ++s) {
                        if (layout.roles[s] == Role::Skip)
                            continue;
                        Unpack(source, layout.bits, s, layout.samples, columns, layout.roles[s] != Role::Index,
                               values.data());
                        Apply(layout.roles[s], values.data(), columns, bgr, layout);
                    }
                }
            }
    }
    return true;
}

// Everything else libtiff can turn into colours, in bands of whole strips or
// tile rows, laid over white (its alpha is premultiplied).
bool DecodeRgba(TIFF* tif, const Target& target, int width, int height, tiff::Errors& errors)
{
    char text[1024] = "";
    TIFFRGBAImage image;
    if (!TIFFRGBAImageOK(tif, text) || !TIFFRGBAImageBegin(&image, tif, 0, text)) {
        if (errors.text.empty())
            errors.text = text;
        return false;
    }
    // Stored row order, like the pictures decoded here: the caller turns it.
    image.req_orientation = ORIENTATION_TOPLEFT;
    image.orientation = ORIENTATION_TOPLEFT;
    std::uint32_t band = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &band);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &band);
    band = std::clamp<std::uint32_t>(band, 1, static_cast<std::uint32_t>(height));
    if (band < 64) // fewer, larger calls
        band = std::min<std::uint32_t>(static_cast<std::uint32_t>(height), (64 + band - 1) / band * band);
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * band);
    bool ok = true;
    for (std::uint32_t top = 0; ok && top < static_cast<std::uint32_t>(height); top += band) {
        const std::uint32_t rows = std::min<std::uint32_t>(band, static_cast<std::uint32_t>(height) - top);
        image.row_offset = static_cast<int>(top);
        image.col_offset = 0;
        ok = TIFFRGBAImageGet(&image, raster.data(), static_cast<std::uint32_t>(width), rows) != 0;
        for (std::uint32_t r = 0; ok && r < rows; ++r) {
            const std::uint32_t* pixel = raster.data() + static_cast<std::size_t>(width) * r;
            std::uint8_t* bgr = target.Row(static_cast<int>(top + r));
            for (int x = 0; x < width; ++x, bgr += 3) {
                const unsigned white = 255 - TIFFGetA(pixel[x]);
                bgr[0] = static_cast<std::uint8_t>(std::min(255u, TIFFGetB(pixel[x]) + white));
                bgr[1] = static_cast<std::uint8_t>(std::min(255u, TIFFGetG(pixel[x]) + white));
                bgr[2] = static_cast<std::uint8_t>(std::min(255u, TIFFGetR(pixel[x]) + white));
            }
        }
    }
    TIFFRGBAImageEnd(&image);
    return ok;
}

// Pixels per metre from a resolution tag, 0 when there is none or no unit.
std::int32_t PelsPerMeter(TIFF* tif, ttag_t tag)
{
    float value = 0;
    std::uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tif, tag, &value))
        return 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    double perMeter = 0;
    if (unit == RESUNIT_INCH)
        perMeter = value / 0.0254;
    else if (unit == RESUNIT_CENTIMETER)
        perMeter = value * 100.0;
    if (!(perMeter > 0) || perMeter > 2147483647.0)
        return 0;
    return static_cast<std::int32_t>(std::lround(perMeter));
}

Outcome Decode(TIFF* tif, tiff::Errors& errors, CMemBlock& block, TiffPageInfo& info)
{
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    if (!SizeWithinLimits(width, height))
        return Outcome::TooLarge;
    info.morePages = !TIFFLastDirectory(tif);
    std::uint16_t orientation = 0;
    if (TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation) && orientation >= 1 && orientation <= 8)
        info.orientation = orientation;

    Layout layout;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    const bool here = DecodedHere(tif, layout);
    // Errors libtiff met in the directory but read past do not matter now.
    errors.Clear();
    if (TIFFIsTiled(tif) && !TilesWithinBounds(tif, width, height, errors))
        return Outcome::LibraryError;
    if (!MakeBitmapColors0(block, 3, layout.width, layout.height))
        return Outcome::NoBlock;
    Target target;
    target.rows = block.Data() + kInfoHeaderSize;
    target.stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{width}));
    target.height = layout.height;
    // Buffers of a strip, tile or band are ours; libtiff only calls back
    // into the read procedures, which do not allocate.
    try {
        const bool decoded = !here                ? DecodeRgba(tif, target, layout.width, layout.height, errors)
                             : TIFFIsTiled(tif) ? DecodeTiles(tif, layout, target)
                                                : DecodeStrips(tif, layout, target);
        if (!decoded)
            return Outcome::LibraryError;
    } catch (const std::bad_alloc&) {
        return Outcome::NoBlock;
    }
    WriteLE32(block.Data() + dib::kXPelsPerMeter, static_cast<std::uint32_t>(PelsPerMeter(tif, TIFFTAG_XRESOLUTION)));
    WriteLE32(block.Data() + dib::kYPelsPerMeter, static_cast<std::uint32_t>(PelsPerMeter(tif, TIFFTAG_YRESOLUTION)));
    return Outcome::Decoded;
}

// Whole files in memory, handed to libtiff as a mapped file; reads and seeks
// stay inside the bytes.
struct Memory {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
};

tmsize_t MemoryRead(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* m = static_cast<Memory*>(handle);
    if (count <= 0 || m->at >= m->size)
        return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(count), m->size - m->at);
    std::memcpy(buffer, m->data + m->at, n);
    m->at += n;
    return static_cast<tmsize_t>(n);
}
tmsize_t MemoryWrite(thandle_t, void*, tmsize_t) { return -1; }
toff_t MemorySeek(thandle_t handle, toff_t offset, int whence)
{
    auto* m = static_cast<Memory*>(handle);
    std::uint64_t base = whence == SEEK_CUR ? m->at : whence == SEEK_END ? m->size : 0;
    // Offsets are unsigned: a backward seek from the end arrives as a huge value.
    const std::uint64_t to = base + offset;
    if (to > m->size)
        return static_cast<toff_t>(-1);
    m->at = static_cast<std::size_t>(to);
    return to;
}
int MemoryClose(thandle_t) { return 0; }
toff_t MemorySize(thandle_t handle) { return static_cast<Memory*>(handle)->size; }
int MemoryMap(thandle_t handle, void** base, toff_t* size)
{
    auto* m = static_cast<Memory*>(handle);
    *base = const_cast<std::uint8_t*>(m->data);
    *size = m->size;
    return 1;
}
void MemoryUnmap(thandle_t, void*, toff_t) {}

// The reader's one path after the file is open (or was not).
int Finish(TIFF* opened, tiff::Errors& errors, const std::string& path, CMemBlock& block, int& width, int& height,
           TiffPageInfo* info)
{
    tiff::Handle tif(opened);
    TiffPageInfo seen;
    Outcome outcome = Outcome::LibraryError;
    if (tif)
        outcome = Decode(tif.get(), errors, block, seen);
    tif.reset();
    if (info)
        *info = seen;
    if (outcome == Outcome::Decoded) {
        width = ReadLE32s(block.Data() + dib::kWidth);
        height = ReadLE32s(block.Data() + dib::kHeight);
        return 1;
    }
    block.Free();
    switch (outcome) {
    case Outcome::LibraryError:
        ShowMessage(std::string(msg::kTiffReadFailed) + path + ": " +
                    (errors.text.empty() ? std::string(msg::kTiffUnreadable) : errors.text));
        break;
    case Outcome::TooLarge: ShowMessage(path + std::string(msg::kPictureTooLarge)); break;
    case Outcome::NoBlock: ShowMessage(std::string(msg::kNoMemAllocated)); break;
    case Outcome::Decoded: break;
    }
    return 0;
}

} // namespace

int ReadTiffFile(const std::string& path, CMemBlock& block, int& width, int& height, TiffPageInfo* info)
{
    width = 0;
    height = 0;
    block.Free();
    if (info)
        *info = TiffPageInfo();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ShowMessage(tiff::CantOpenText(path));
        return 0;
    }
    tiff::Errors errors;
    tiff::Options options = tiff::MakeOptions(errors);
    // The descriptor is the handle's from here on; TIFFClose closes it.
    TIFF* tif = options ? TIFFFdOpenExt(fd, path.c_str(), "r", options.get()) : nullptr;
    if (!tif)
        ::close(fd);
    return Finish(tif, errors, path, block, width, height, info);
}

int ReadTiffBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                  int& height, TiffPageInfo* info)
{
    width = 0;
    height = 0;
    block.Free();
    if (info)
        *info = TiffPageInfo();
    Memory memory;
    memory.data = data;
    memory.size = size;
    tiff::Errors errors;
    tiff::Options options = tiff::MakeOptions(errors);
    TIFF* tif = options ? TIFFClientOpenExt(path.c_str(), "r", &memory, MemoryRead, MemoryWrite, MemorySeek,
                                            MemoryClose, MemorySize, MemoryMap, MemoryUnmap, options.get())
                        : nullptr;
    return Finish(tif, errors, path, block, width, height, info);
}

} // namespace lumacut
