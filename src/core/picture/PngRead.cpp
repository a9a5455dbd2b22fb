#include "picture/PngFile.h"

#include "picture/Dib.h"
#include "picture/Limits.h"
#include "picture/PngSpng.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumacut {

namespace {

// Ancillary chunks (text, profiles, Exif) are kept by the library while it
// reads, compressed text inflated; these caps bound the memory they take.
// A file beyond them (a 200 MB text, a zTXt bomb) is refused like any other
// damage, with the library's "reached chunk/cache limits".
constexpr std::size_t kChunkSizeLimit = std::size_t{16} << 20;
constexpr std::size_t kChunkCacheLimit = std::size_t{64} << 20;

enum class Outcome { Decoded, LibraryError, TooLarge, NoMemory };

// round(v * 255 / 65535)
inline unsigned Reduce16(unsigned v) { return (v * 255 + 32767) / 65535; }

// A channel laid over white: round((c * a + 255 * (255 - a)) / 255).
inline std::uint8_t OverWhite(unsigned c, unsigned a)
{
    return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

// Bytes of a 24-bit colour, blue first.
using Colour = std::uint8_t[3];

// How the rows come from the library and reach the block.
enum class Mode {
    Samples, // grey or palette of up to 8 bits: the file's own samples, through a table of colours
    Rgb,     // 8-bit colour without transparency: straight into the block, red and blue exchanged there
    Rgba8,   // 8-bit with alpha or tRNS: laid over white
    Rgba16,  // any 16-bit file: reduced to 8 bits, laid over white
};

// One row of samples of `bits` each, most significant first, to colours.
void StoreSamples(const std::uint8_t* in, std::uint8_t* out, std::uint32_t width, int bits, const Colour* colours)
{
    const unsigned mask = (1u << bits) - 1, perByte = 8u / static_cast<unsigned>(bits);
    for (std::uint32_t x = 0; x < width; ++x, out += 3) {
        const unsigned shift = 8u - static_cast<unsigned>(bits) * (1 + x % perByte);
        const std::uint8_t* c = colours[(in[x / perByte] >> shift) & mask];
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
    }
}

void SwapRedBlue(std::uint8_t* row, std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x, row += 3) {
        const std::uint8_t red = row[0];
        row[0] = row[2];
        row[2] = red;
    }
}

void StoreRgba8(const std::uint8_t* in, std::uint8_t* out, std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned a = in[3];
        out[0] = OverWhite(in[2], a);
        out[1] = OverWhite(in[1], a);
        out[2] = OverWhite(in[0], a);
    }
}

void StoreRgba16(const std::uint16_t* in, std::uint8_t* out, std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned a = Reduce16(in[3]);
        out[0] = OverWhite(Reduce16(in[2]), a);
        out[1] = OverWhite(Reduce16(in[1]), a);
        out[2] = OverWhite(Reduce16(in[0]), a);
    }
}

// The colour of every grey level or palette index, transparency laid over
// white. Indices past the palette are black.
void SampleColours(spng_ctx* ctx, const spng_ihdr& ihdr, Colour* colours)
{
    spng_trns trns{};
    const bool transparent = spng_get_trns(ctx, &trns) == 0;
    if (ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE) {
        const unsigned top = (1u << ihdr.bit_depth) - 1;
        for (unsigned v = 0; v <= top; ++v) {
            const std::uint8_t level = transparent && v == trns.gray ? 255 : static_cast<std::uint8_t>(v * 255 / top);
            colours[v][0] = colours[v][1] = colours[v][2] = level;
        }
        return;
    }
    spng_plte plte{};
    spng_get_plte(ctx, &plte);
    for (std::uint32_t i = 0; i < plte.n_entries && i < 256; ++i) {
        const unsigned a = transparent && i < trns.n_type3_entries ? trns.type3_alpha[i] : 255;
        colours[i][0] = OverWhite(plte.entries[i].blue, a);
        colours[i][1] = OverWhite(plte.entries[i].green, a);
        colours[i][2] = OverWhite(plte.entries[i].red, a);
    }
}

// Reads the header, refuses what is too large, then decodes row by row into
// the block. Rows that need work after decoding go through a buffer: one
// row, or the whole picture when it is interlaced, since each of the seven
// passes fills only part of every row.
Outcome Decode(spng_ctx* ctx, CMemBlock& block, int& error)
{
    spng_set_image_limits(ctx, static_cast<std::uint32_t>(kMaxSide), static_cast<std::uint32_t>(kMaxSide));
    spng_set_chunk_limits(ctx, kChunkSizeLimit, kChunkCacheLimit);
    spng_ihdr ihdr{};
    error = spng_get_ihdr(ctx, &ihdr);
    if (error == SPNG_EUSER_WIDTH || error == SPNG_EUSER_HEIGHT)
        return Outcome::TooLarge;
    if (error)
        return Outcome::LibraryError;
    if (!SizeWithinLimits(ihdr.width, ihdr.height))
        return Outcome::TooLarge;
    // The chunks before the picture data: palette and tRNS.
    error = spng_decode_chunks(ctx);
    if (error)
        return Outcome::LibraryError;

    spng_trns trns{};
    Mode mode = Mode::Rgba8;
    if (ihdr.bit_depth == 16)
        mode = Mode::Rgba16; // the library's 8-bit output would cut the low byte off
    else if (ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE || ihdr.color_type == SPNG_COLOR_TYPE_INDEXED)
        mode = Mode::Samples; // the library expands fewer than 8 bits a pixel at a time, slowly
    else if (ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR && spng_get_trns(ctx, &trns) != 0)
        mode = Mode::Rgb;
    static constexpr int kFormats[] = {SPNG_FMT_PNG, SPNG_FMT_RGB8, SPNG_FMT_RGBA8, SPNG_FMT_RGBA16};
    const int format = kFormats[static_cast<int>(mode)];
    const int flags = mode == Mode::Rgba8 || mode == Mode::Rgba16 ? SPNG_DECODE_TRNS : 0;
    error = spng_decode_image(ctx, nullptr, 0, format, flags | SPNG_DECODE_PROGRESSIVE);
    if (error)
        return Outcome::LibraryError;
    Colour colours[256] = {};
    if (mode == Mode::Samples)
        SampleColours(ctx, ihdr, colours);

    const std::uint32_t width = ihdr.width, height = ihdr.height;
    const std::size_t rowBytes = mode == Mode::Samples ? (std::size_t{width} * ihdr.bit_depth + 7) / 8
                                                       : std::size_t{width} * (mode == Mode::Rgba16 ? 8 : mode == Mode::Rgba8 ? 4 : 3);
    const bool interlaced = ihdr.interlace_method != SPNG_INTERLACE_NONE;
    CMemBlock rows;
    if (mode != Mode::Rgb) {
        rows = CMemBlock::Allocate(interlaced ? rowBytes * height : rowBytes);
        if (!rows)
            return Outcome::NoMemory;
    }
    const std::size_t stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{width}));
    block = CMemBlock::Allocate(kInfoHeaderSize + stride * height);
    if (!block)
        return Outcome::NoMemory;
    WriteInfoHeader(block.Data(), static_cast<int>(width), static_cast<int>(height), 24);
    auto dibRow = [&](std::uint32_t top) { return block.Data() + kInfoHeaderSize + stride * (height - 1 - top); };
    auto rowFor = [&](std::uint32_t top) {
        return mode == Mode::Rgb ? dibRow(top) : rows.Data() + (interlaced ? rowBytes * top : 0);
    };
    auto finish = [&](std::uint32_t top) {
        switch (mode) {
        case Mode::Samples: StoreSamples(rowFor(top), dibRow(top), width, ihdr.bit_depth, colours); break;
        case Mode::Rgb: SwapRedBlue(dibRow(top), width); break;
        case Mode::Rgba8: StoreRgba8(rowFor(top), dibRow(top), width); break;
        case Mode::Rgba16: StoreRgba16(reinterpret_cast<const std::uint16_t*>(rowFor(top)), dibRow(top), width); break;
        }
    };
    do {
        spng_row_info info{};
        error = spng_get_row_info(ctx, &info);
        if (error)
            break;
        error = spng_decode_row(ctx, rowFor(info.row_num), rowBytes);
        if (!interlaced && (error == 0 || error == SPNG_EOI))
            finish(info.row_num);
    } while (error == 0);
    // The library returns with the last row before it has checked the last
    // picture chunk's CRC; reading on to the end marker checks it, and
    // refuses a file that ends early.
    if (error == SPNG_EOI)
        error = spng_decode_chunks(ctx);
    if (error)
        return Outcome::LibraryError;
    if (interlaced)
        for (std::uint32_t top = 0; top < height; ++top)
            finish(top);

    spng_phys phys{};
    if (spng_get_phys(ctx, &phys) == 0 && phys.unit_specifier == 1) {
        WriteLE32(block.Data() + dib::kXPelsPerMeter, phys.ppu_x);
        WriteLE32(block.Data() + dib::kYPelsPerMeter, phys.ppu_y);
    }
    return Outcome::Decoded;
}

// Where the file's bytes come from: an open file or memory.
struct Source {
    std::FILE* file = nullptr;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

int ReadFrom(const Source& source, const std::string& path, CMemBlock& block, int& width, int& height)
{
    width = 0;
    height = 0;
    block.Free();
    png::Context ctx(spng_ctx_new(0));
    int error = SPNG_EMEM;
    Outcome outcome = Outcome::NoMemory;
    if (ctx) {
        error = source.file ? spng_set_png_file(ctx.get(), source.file)
                            : spng_set_png_buffer(ctx.get(), source.data, source.size);
        outcome = error ? Outcome::LibraryError : Decode(ctx.get(), block, error);
    }
    if (outcome == Outcome::Decoded) {
        width = ReadLE32s(block.Data() + dib::kWidth);
        height = ReadLE32s(block.Data() + dib::kHeight);
        return 1;
    }
    block.Free();
    switch (outcome) {
    case Outcome::LibraryError:
        ShowMessage(std::string(msg::kPngReadFailed) + path + ": " + spng_strerror(error));
        break;
    case Outcome::TooLarge: ShowMessage(path + std::string(msg::kPictureTooLarge)); break;
    case Outcome::NoMemory: ShowMessage(std::string(msg::kNoMemAllocated)); break;
    case Outcome::Decoded: break;
    }
    return 0;
}

} // namespace

int ReadPngFile(const std::string& path, CMemBlock& block, int& width, int& height)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        width = 0;
        height = 0;
        block.Free();
        ShowMessage(png::CantOpenText(path));
        return 0;
    }
    // A larger buffer than stdio's own: a big file is read in far fewer calls.
    std::vector<char> buffer(std::size_t{1} << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    Source source;
    source.file = file;
    const int result = ReadFrom(source, path, block, width, height);
    std::fclose(file);
    return result;
}

int ReadPngBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                 int& height)
{
    Source source;
    source.data = data;
    source.size = size;
    return ReadFrom(source, path, block, width, height);
}

} // namespace lumacut
