#include "picture/PngFile.h"

#include "picture/Dib.h"
#include "picture/Limits.h"
#include "picture/PngDecode.h"
#include "picture/PngSpng.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumacut {

namespace {

using png::Outcome;

// Reads the header, refuses what is too large, then decodes row by row into
// the block. Rows that need work after decoding go through a buffer: one
// row, or the whole picture when it is interlaced, since each of the seven
// passes fills only part of every row.
Outcome Decode(spng_ctx* ctx, CMemBlock& block, int& error)
{
    spng_ihdr ihdr{};
    Outcome outcome = png::ReadHeader(ctx, ihdr, error);
    if (outcome != Outcome::Decoded)
        return outcome;
    if (!SizeWithinLimits(ihdr.width, ihdr.height))
        return Outcome::TooLarge;
    png::RowDecoder decoder;
    outcome = png::StartDecode(ctx, ihdr, decoder, error);
    if (outcome != Outcome::Decoded)
        return outcome;

    const std::uint32_t width = ihdr.width, height = ihdr.height;
    const std::size_t rowBytes = decoder.rowBytes;
    const bool interlaced = decoder.Interlaced();
    const bool direct = decoder.mode == png::Mode::Rgb;
    CMemBlock rows;
    if (!direct) {
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
        return direct ? dibRow(top) : rows.Data() + (interlaced ? rowBytes * top : 0);
    };
    do {
        spng_row_info info{};
        error = spng_get_row_info(ctx, &info);
        if (error)
            break;
        error = spng_decode_row(ctx, rowFor(info.row_num), rowBytes);
        if (!interlaced && (error == 0 || error == SPNG_EOI))
            decoder.Store(rowFor(info.row_num), dibRow(info.row_num));
    } while (error == 0);
    error = png::ReadToEnd(ctx, error);
    if (error)
        return Outcome::LibraryError;
    if (interlaced)
        for (std::uint32_t top = 0; top < height; ++top)
            decoder.Store(rowFor(top), dibRow(top));
    png::WritePhys(ctx, block.Data());
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
    png::ShowFailure(outcome, error, path);
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
