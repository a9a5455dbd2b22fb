#pragma once
// The PNG reader's decoding steps, shared by the whole-picture reader and
// the stream that hands a render its rows one at a time: both take the same
// steps and the same conversion, so a row holds the same bytes either way.
#include "picture/PngSpng.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut::png {

enum class Outcome { Decoded, LibraryError, TooLarge, NoMemory, Stopped };

// Bytes of a 24-bit colour, blue first.
using Colour = std::uint8_t[3];

// How the rows come from the library and reach a 24-bit row.
enum class Mode {
    Samples, // grey or palette of up to 8 bits: the file's own samples, through a table of colours
    Rgb,     // 8-bit colour without transparency: straight into the row, red and blue exchanged there
    Rgba8,   // 8-bit with alpha or tRNS: laid over white
    Rgba16,  // any 16-bit file: reduced to 8 bits, laid over white
};

// A file whose header has been read and whose picture data the library is
// ready to give row by row.
struct RowDecoder {
    spng_ihdr ihdr{};
    Mode mode = Mode::Rgba8;
    std::size_t rowBytes = 0; // of one row as the library gives it
    Colour colours[256] = {};

    bool Interlaced() const { return ihdr.interlace_method != SPNG_INTERLACE_NONE; }
    // The library's row `in` as a 24-bit blue-green-red row `out`; in Rgb
    // mode the library decoded into `out` itself, and `in` is not read.
    void Store(const std::uint8_t* in, std::uint8_t* out) const;
};

// Sets the reader's limits and reads the header; a side over the limit is
// TooLarge. The caller checks the size against its own limits.
Outcome ReadHeader(spng_ctx* ctx, spng_ihdr& ihdr, int& error);
// Reads the chunks before the picture data (palette, tRNS, pHYs), chooses
// the mode and starts the library's row by row decoding.
Outcome StartDecode(spng_ctx* ctx, const spng_ihdr& ihdr, RowDecoder& decoder, int& error);
// After the last row: the error of reading on to the end marker, which
// checks the last picture chunk's CRC and refuses a file that ends early.
int ReadToEnd(spng_ctx* ctx, int error);
// A pHYs resolution in pixels per metre into a 40-byte info header.
void WritePhys(spng_ctx* ctx, std::uint8_t* header);
// The message of a read that failed.
void ShowFailure(Outcome outcome, int error, const std::string& path);

} // namespace lumacut::png
