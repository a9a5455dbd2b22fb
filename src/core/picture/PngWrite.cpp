#include "picture/PngFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "picture/Limits.h"
#include "picture/PngSpng.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace lumacut {

namespace {

// zlib's fastest level with run-length matching only, and for 8-bit rows
// the Up filter alone (two-colour rows keep the library's choice: none).
// Measured on a 24-megapixel photo against the library's defaults (level 6,
// a filter chosen per row): colour saves 5 times faster, grey 4 times, two
// colours 8 times; colour and grey files are 3 to 4 % larger, two-colour
// files smaller. What the filter leaves of a photo has few long matches for
// deflate to find, and trying every filter on every row costs more than the
// few percent it gains.
constexpr int kCompressionLevel = 1;
constexpr int kCompressionStrategy = Z_RLE;

struct Picture {
    const std::uint8_t* rows = nullptr; // bottom-up
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::size_t stride = 0;
    // Each 1-bit or 8-bit index's grey level in the file; for 1 bit, 0 or 1.
    std::uint8_t level[256] = {};
};

// One stored row in the file's layout: PNG packs 1-bit pixels most
// significant bit first as the DIB does, so only their meaning may change.
void FileRow(const Picture& picture, const std::uint8_t* in, std::uint8_t* out, std::size_t bytes)
{
    switch (picture.bitCount) {
    case 1: {
        const std::uint8_t ones = picture.level[1] ? 0xFF : 0x00, zeros = picture.level[0] ? 0xFF : 0x00;
        for (std::size_t i = 0; i < bytes; ++i)
            out[i] = static_cast<std::uint8_t>((in[i] & ones) | (~in[i] & zeros));
        break;
    }
    case 8:
        for (std::size_t i = 0; i < bytes; ++i)
            out[i] = picture.level[in[i]];
        break;
    default:
        for (std::size_t i = 0; i < bytes; i += 3) {
            out[i] = in[i + 2];
            out[i + 1] = in[i + 1];
            out[i + 2] = in[i];
        }
        break;
    }
}

// Everything the library does; 0 or the library's error.
int Encode(spng_ctx* ctx, std::FILE* file, const Picture& picture, std::uint32_t xPerMetre, std::uint32_t yPerMetre)
{
    int error = spng_set_png_file(ctx, file);
    if (error)
        return error;
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(picture.width);
    ihdr.height = static_cast<std::uint32_t>(picture.height);
    ihdr.bit_depth = picture.bitCount == 1 ? 1 : 8;
    ihdr.color_type = picture.bitCount == 24 ? SPNG_COLOR_TYPE_TRUECOLOR : SPNG_COLOR_TYPE_GRAYSCALE;
    if ((error = spng_set_ihdr(ctx, &ihdr)) != 0)
        return error;
    if (xPerMetre != 0 || yPerMetre != 0) {
        // A header with one resolution only has square pixels.
        spng_phys phys{xPerMetre ? xPerMetre : yPerMetre, yPerMetre ? yPerMetre : xPerMetre, 1};
        if ((error = spng_set_phys(ctx, &phys)) != 0)
            return error;
    }
    spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, kCompressionLevel);
    spng_set_option(ctx, SPNG_IMG_COMPRESSION_STRATEGY, kCompressionStrategy);
    if (picture.bitCount != 1)
        spng_set_option(ctx, SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_UP);
    error = spng_encode_image(ctx, nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    if (error)
        return error;
    const std::size_t bytes = (static_cast<std::size_t>(picture.width) * picture.bitCount + 7) / 8;
    std::vector<std::uint8_t> row(bytes);
    for (int top = 0; top < picture.height; ++top) {
        FileRow(picture, picture.rows + picture.stride * static_cast<std::size_t>(picture.height - 1 - top),
                row.data(), bytes);
        error = spng_encode_row(ctx, row.data(), bytes);
        if (error)
            break;
    }
    return error == SPNG_EOI ? 0 : error;
}

} // namespace

int WritePngFile(const std::string& path, const CMemBlock& block)
{
    if (!WritableHeader(path, block))
        return 0;
    const std::uint8_t* dib = block.Data();
    Picture picture;
    picture.width = ReadLE32s(dib + dib::kWidth);
    picture.height = ReadLE32s(dib + dib::kHeight);
    picture.bitCount = ReadLE16(dib + dib::kBitCount);
    if ((picture.bitCount != 1 && picture.bitCount != 8 && picture.bitCount != 24) ||
        ReadLE32(dib + dib::kCompression) != 0) {
        ShowMessage(path + std::string(msg::kPngNotWritable));
        return 0;
    }
    const std::uint32_t used = ReadLE32(dib + dib::kClrUsed);
    const std::uint32_t colors = picture.bitCount == 24 ? 0 : used != 0 ? used : 1u << picture.bitCount;
    if (!SizeWithinLimits(picture.width, picture.height) || colors > 256) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }
    picture.stride = static_cast<std::size_t>(RowBytes(std::int64_t{picture.bitCount} * picture.width));
    const std::size_t tableBytes = 4 * std::size_t{colors};
    if (block.Size() - kInfoHeaderSize < tableBytes ||
        block.Size() - kInfoHeaderSize - tableBytes < picture.stride * static_cast<std::size_t>(picture.height)) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }
    picture.rows = dib + kInfoHeaderSize + tableBytes;
    // Indices past the table are black.
    for (std::uint32_t i = 0; i < colors; ++i) {
        const std::uint8_t* e = dib + kInfoHeaderSize + 4 * i; // blue, green, red
        if (picture.bitCount == 1)
            picture.level[i] = e[0] + e[1] + e[2] >= 383 ? 1 : 0;
        else
            picture.level[i] = static_cast<std::uint8_t>((299 * e[2] + 587 * e[1] + 114 * e[0] + 500) / 1000);
    }
    const auto resolution = [&](int at) {
        const std::int32_t v = ReadLE32s(dib + at);
        return v > 0 ? static_cast<std::uint32_t>(v) : 0u;
    };

    CAtomicFile file;
    if (!file.Open(path)) {
        ShowMessage(png::CantOpenText(path));
        return 0;
    }
    png::Context ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    const int error = ctx ? Encode(ctx.get(), file.Stream(), picture, resolution(dib::kXPelsPerMeter),
                                   resolution(dib::kYPelsPerMeter))
                          : SPNG_EMEM;
    ctx.reset();
    if (error) {
        file.Discard();
        ShowMessage(std::string(msg::kPngWriteFailed) + path + ": " + spng_strerror(error));
        return 0;
    }
    if (!file.Commit()) {
        ShowMessage(std::string(msg::kPngWriteFailed) + path + ": " + std::strerror(errno));
        return 0;
    }
    return 1;
}

} // namespace lumacut
