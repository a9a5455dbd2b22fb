#include "picture/PngFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/Limits.h"
#include "picture/PngSpng.h"
#include "picture/RowWriter.h"
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
    int width = 0;
    int height = 0;
    int bitCount = 0;
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

// Everything the library does before the rows; 0 or the library's error.
int Start(spng_ctx* ctx, std::FILE* file, const Picture& picture, std::uint32_t xPerMetre, std::uint32_t yPerMetre)
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
    return spng_encode_image(ctx, nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
}

class CPngRowWriter final : public CDibRowWriter {
public:
    std::FILE* m_stream = nullptr; // the file goes here instead of to the path

    CPngRowWriter(const std::string& path, const Picture& picture, std::size_t stride, std::size_t rowsOffset)
        : CDibRowWriter(path, picture.height, stride, rowsOffset), m_picture(picture),
          m_row((static_cast<std::size_t>(picture.width) * picture.bitCount + 7) / 8)
    {
    }

    // Opens the file and writes all before the rows; false after the message.
    bool Begin(std::uint32_t xPerMetre, std::uint32_t yPerMetre)
    {
        if (!(m_stream ? m_file.OpenStream(m_stream) : m_file.Open(m_path))) {
            ShowMessage(png::CantOpenText(m_path));
            return false;
        }
        m_ctx.reset(spng_ctx_new(SPNG_CTX_ENCODER));
        m_error = m_ctx ? Start(m_ctx.get(), m_file.Stream(), m_picture, xPerMetre, yPerMetre) : SPNG_EMEM;
        if (m_error) {
            Discard();
            ShowFailure();
            return false;
        }
        return true;
    }

private:
    bool Put(const std::uint8_t* top, std::ptrdiff_t step, int count, int) override
    {
        for (int i = 0; i < count; ++i) {
            FileRow(m_picture, top + i * step, m_row.data(), m_row.size());
            // The last row ends the picture: the library then says so.
            m_error = spng_encode_row(m_ctx.get(), m_row.data(), m_row.size());
            if (m_error == SPNG_EOI)
                m_error = 0;
            else if (m_error)
                return false;
        }
        return true;
    }
    bool Complete() override
    {
        m_ctx.reset();
        if (!m_file.Commit()) {
            ShowMessage(std::string(msg::kPngWriteFailed) + m_path + ": " + std::strerror(errno));
            return false;
        }
        return true;
    }
    void ShowFailure() override
    {
        ShowMessage(std::string(msg::kPngWriteFailed) + m_path + ": " + spng_strerror(m_error));
    }
    void Discard() override
    {
        m_ctx.reset();
        m_file.Discard();
    }

    Picture m_picture;
    CAtomicFile m_file;
    png::Context m_ctx;
    std::vector<std::uint8_t> m_row;
    int m_error = 0;
};

} // namespace

std::unique_ptr<CDibRowWriter> OpenPngRowWriter(const std::string& path, const RowWriterSource& source)
{
    if (!HeaderWritable(path, source))
        return nullptr;
    const std::uint8_t* dib = source.dib;
    Picture picture;
    picture.width = ReadLE32s(dib + dib::kWidth);
    picture.height = ReadLE32s(dib + dib::kHeight);
    picture.bitCount = ReadLE16(dib + dib::kBitCount);
    if ((picture.bitCount != 1 && picture.bitCount != 8 && picture.bitCount != 24) ||
        ReadLE32(dib + dib::kCompression) != 0) {
        ShowMessage(path + std::string(msg::kPngNotWritable));
        return nullptr;
    }
    const std::uint32_t used = ReadLE32(dib + dib::kClrUsed);
    const std::uint32_t colors = picture.bitCount == 24 ? 0 : used != 0 ? used : 1u << picture.bitCount;
    // The rows may be streamed: a picture of any size the renderer makes.
    if (!SizeWithinStreamLimits(picture.width, picture.height) || colors > 256) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return nullptr;
    }
    const auto stride = static_cast<std::size_t>(RowBytes(std::int64_t{picture.bitCount} * picture.width));
    const std::size_t tableBytes = 4 * std::size_t{colors};
    const std::size_t rowBytes = source.withRows ? stride * static_cast<std::size_t>(picture.height) : 0;
    if (source.size - kInfoHeaderSize < tableBytes || source.size - kInfoHeaderSize - tableBytes < rowBytes) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return nullptr;
    }
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
    auto writer = std::make_unique<CPngRowWriter>(path, picture, stride, kInfoHeaderSize + tableBytes);
    writer->m_stream = source.stream;
    if (!writer->Begin(resolution(dib::kXPelsPerMeter), resolution(dib::kYPelsPerMeter)))
        return nullptr;
    return writer;
}

int WritePngFile(const std::string& path, const CMemBlock& block)
{
    const RowWriterSource source{block ? block.Data() : nullptr, block.Size(), true};
    return WriteWholeDib(OpenPngRowWriter(path, source), block.Data());
}

} // namespace lumacut
