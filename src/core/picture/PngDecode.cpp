#include "picture/PngDecode.h"

#include "picture/Dib.h"
#include "picture/Limits.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

namespace lumacut::png {

namespace {

// Ancillary chunks (text, profiles, Exif) are kept by the library while it
// reads, compressed text inflated; these caps bound the memory they take.
// A file beyond them (a 200 MB text, a zTXt bomb) is refused like any other
// damage, with the library's "reached chunk/cache limits".
constexpr std::size_t kChunkSizeLimit = std::size_t{16} << 20;
constexpr std::size_t kChunkCacheLimit = std::size_t{64} << 20;

// round(v * 255 / 65535)
inline unsigned Reduce16(unsigned v) { return (v * 255 + 32767) / 65535; }

// A channel laid over white: round((c * a + 255 * (255 - a)) / 255).
inline std::uint8_t OverWhite(unsigned c, unsigned a)
{
    return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

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

} // namespace

void RowDecoder::Store(const std::uint8_t* in, std::uint8_t* out) const
{
    const std::uint32_t width = ihdr.width;
    switch (mode) {
    case Mode::Samples: StoreSamples(in, out, width, ihdr.bit_depth, colours); break;
    case Mode::Rgb: SwapRedBlue(out, width); break;
    case Mode::Rgba8: StoreRgba8(in, out, width); break;
    case Mode::Rgba16: StoreRgba16(reinterpret_cast<const std::uint16_t*>(in), out, width); break;
    }
}

Outcome ReadHeader(spng_ctx* ctx, spng_ihdr& ihdr, int& error)
{
    spng_set_image_limits(ctx, static_cast<std::uint32_t>(kMaxSide), static_cast<std::uint32_t>(kMaxSide));
    spng_set_chunk_limits(ctx, kChunkSizeLimit, kChunkCacheLimit);
    error = spng_get_ihdr(ctx, &ihdr);
    if (error == SPNG_EUSER_WIDTH || error == SPNG_EUSER_HEIGHT)
        return Outcome::TooLarge;
    return error ? Outcome::LibraryError : Outcome::Decoded;
}

Outcome StartDecode(spng_ctx* ctx, const spng_ihdr& ihdr, RowDecoder& decoder, int& error)
{
    decoder.ihdr = ihdr;
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
    decoder.mode = mode;
    static constexpr int kFormats[] = {SPNG_FMT_PNG, SPNG_FMT_RGB8, SPNG_FMT_RGBA8, SPNG_FMT_RGBA16};
    const int format = kFormats[static_cast<int>(mode)];
    const int flags = mode == Mode::Rgba8 || mode == Mode::Rgba16 ? SPNG_DECODE_TRNS : 0;
    error = spng_decode_image(ctx, nullptr, 0, format, flags | SPNG_DECODE_PROGRESSIVE);
    if (error)
        return Outcome::LibraryError;
    if (mode == Mode::Samples)
        SampleColours(ctx, ihdr, decoder.colours);
    const std::size_t width = ihdr.width;
    decoder.rowBytes = mode == Mode::Samples ? (width * ihdr.bit_depth + 7) / 8
                                             : width * (mode == Mode::Rgba16 ? 8 : mode == Mode::Rgba8 ? 4 : 3);
    return Outcome::Decoded;
}

int ReadToEnd(spng_ctx* ctx, int error)
{
    // The library returns with the last row before it has checked the last
    // picture chunk's CRC.
    return error == SPNG_EOI ? spng_decode_chunks(ctx) : error;
}

void WritePhys(spng_ctx* ctx, std::uint8_t* header)
{
    spng_phys phys{};
    if (spng_get_phys(ctx, &phys) == 0 && phys.unit_specifier == 1) {
        WriteLE32(header + dib::kXPelsPerMeter, phys.ppu_x);
        WriteLE32(header + dib::kYPelsPerMeter, phys.ppu_y);
    }
}

void ShowFailure(Outcome outcome, int error, const std::string& path)
{
    switch (outcome) {
    case Outcome::LibraryError:
        ShowMessage(std::string(msg::kPngReadFailed) + path + ": " + spng_strerror(error));
        break;
    case Outcome::TooLarge: ShowMessage(path + std::string(msg::kPictureTooLarge)); break;
    case Outcome::NoMemory: ShowMessage(std::string(msg::kNoMemAllocated)); break;
    case Outcome::Decoded:
    case Outcome::Stopped: break; // the reader stopped it and has said why
    }
}

} // namespace lumacut::png
