#include "picture/JpegFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/JpegError.h"
#include "picture/Limits.h"
#include "picture/RowWriter.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace lumacut {

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    Resolution resolution;
};

// The library calls that open the file, between the setjmp and a possible
// jump. Plain data only: a jump out of here destroys nothing.
void StartSteps(jpeg_compress_struct* cinfo, std::FILE* file, const Picture* picture, int quality)
{
    jpeg_create_compress(cinfo);
    jpeg_stdio_dest(cinfo, file);
    cinfo->image_width = static_cast<JDIMENSION>(picture->width);
    cinfo->image_height = static_cast<JDIMENSION>(picture->height);
    cinfo->input_components = 3;
    // The block's own byte order: no swapping, and the block is never written to.
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    if (picture->resolution.Known()) {
        // JFIF keeps dots per inch in 16 bits.
        cinfo->density_unit = 1;
        cinfo->X_density = static_cast<UINT16>(std::clamp(DotsPerInch(picture->resolution.x), 1, 65535));
        cinfo->Y_density = static_cast<UINT16>(std::clamp(DotsPerInch(picture->resolution.y), 1, 65535));
    }
    jpeg_start_compress(cinfo, TRUE);
}

// One of the three steps run where a library error comes back: false with
// the library's text in `errors`.
enum class Step { Start, Row, Finish };
bool Run(Step step, jpeg_compress_struct* cinfo, jpeg::ErrorManager* errors, std::FILE* file,
         const Picture* picture, int quality, JSAMPROW row)
{
    if (setjmp(errors->jump) != 0)
        return false;
    switch (step) {
    case Step::Start: StartSteps(cinfo, file, picture, quality); break;
    case Step::Row: jpeg_write_scanlines(cinfo, &row, 1); break;
    case Step::Finish: jpeg_finish_compress(cinfo); break;
    }
    return true;
}

class CJpegRowWriter final : public CDibRowWriter {
public:
    std::FILE* m_stream = nullptr; // the file goes here instead of to the path

    CJpegRowWriter(const std::string& path, const Picture& picture, std::size_t rowLength, std::size_t rowsOffset)
        : CDibRowWriter(path, picture.height, rowLength, rowsOffset), m_picture(picture)
    {
        std::memset(&m_cinfo, 0, sizeof m_cinfo);
    }
    ~CJpegRowWriter() override { Close(); }

    // Opens the file and starts the compressor; false after the message.
    bool Start(int quality)
    {
        if (!(m_stream ? m_file.OpenStream(m_stream) : m_file.Open(m_path))) {
            ShowMessage(jpeg::CantOpenText(m_path));
            return false;
        }
        jpeg::InstallErrorManager(m_errors, *reinterpret_cast<jpeg_common_struct*>(&m_cinfo));
        m_created = true;
        if (!Run(Step::Start, &m_cinfo, &m_errors, m_file.Stream(), &m_picture, quality, nullptr)) {
            Discard();
            ShowFailure();
            return false;
        }
        return true;
    }

    // For 1, 4 and 8 bits: each index's blue, green and red, as the
    // picture's own colour reader gives them (two colours: a set bit is white).
    bool m_convert = false;
    std::uint8_t m_colors[256][3] = {};
    std::vector<std::uint8_t> m_line; // one row turned into true colour

private:
    bool Put(const std::uint8_t* top, std::ptrdiff_t step, int count, int) override
    {
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* source = top + i * step;
            // libjpeg takes non-const rows but only reads them.
            JSAMPROW row = m_convert ? TrueColorRow(source) : const_cast<JSAMPROW>(source);
            if (!Run(Step::Row, &m_cinfo, &m_errors, nullptr, nullptr, 0, row))
                return false;
        }
        return true;
    }
    JSAMPROW TrueColorRow(const std::uint8_t* source)
    {
        std::uint8_t* out = m_line.data();
        for (int x = 0; x < m_picture.width; ++x, out += 3) {
            int index;
            switch (m_picture.bitCount) {
            case 1: index = (source[x / 8] >> (7 - x % 8)) & 1; break;
            case 4: index = x % 2 ? source[x / 2] & 15 : source[x / 2] >> 4; break;
            default: index = source[x]; break;
            }
            std::memcpy(out, m_colors[index], 3);
        }
        return m_line.data();
    }
    bool Complete() override
    {
        if (!Run(Step::Finish, &m_cinfo, &m_errors, nullptr, nullptr, 0, nullptr)) {
            Discard();
            ShowFailure();
            return false;
        }
        Close();
        if (!m_file.Commit()) {
            ShowMessage(std::string(msg::kJpegWriteFailed) + m_path + ": " + std::strerror(errno));
            return false;
        }
        return true;
    }
    void ShowFailure() override { ShowMessage(std::string(msg::kJpegWriteFailed) + m_path + ": " + m_errors.text); }
    void Discard() override
    {
        Close();
        m_file.Discard();
    }
    void Close()
    {
        if (m_created)
            jpeg_destroy_compress(&m_cinfo);
        m_created = false;
    }

    Picture m_picture;
    CAtomicFile m_file;
    jpeg_compress_struct m_cinfo;
    jpeg::ErrorManager m_errors;
    bool m_created = false;
};

} // namespace

std::unique_ptr<CDibRowWriter> OpenJpegRowWriter(const std::string& path, const RowWriterSource& source,
                                                 int quality, bool convert)
{
    if (!HeaderWritable(path, source))
        return nullptr;
    const std::uint8_t* dib = source.dib;
    Picture picture;
    picture.width = ReadLE32s(dib + dib::kWidth);
    picture.height = ReadLE32s(dib + dib::kHeight);
    picture.bitCount = ReadLE16(dib + dib::kBitCount);
    const bool indexed = picture.bitCount == 1 || picture.bitCount == 4 || picture.bitCount == 8;
    if ((picture.bitCount != 24 && !(convert && indexed)) || ReadLE32(dib + dib::kCompression) != 0) {
        ShowMessage(path + std::string(msg::kJpegNot24Bits));
        return nullptr;
    }
    // The rows may be streamed: a picture of any size the renderer makes.
    if (!SizeWithinStreamLimits(picture.width, picture.height)) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return nullptr;
    }
    const std::uint32_t used = ReadLE32(dib + dib::kClrUsed);
    const std::uint32_t colors = !indexed ? 0 : used != 0 ? used : 1u << picture.bitCount;
    const std::size_t stride =
        static_cast<std::size_t>(RowBytes(std::int64_t{picture.bitCount} * picture.width));
    const std::size_t start = kInfoHeaderSize + 4 * std::size_t{colors};
    const std::size_t need = source.withRows ? stride * static_cast<std::size_t>(picture.height) : 0;
    if (colors > 256 || source.size < start || source.size - start < need) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return nullptr;
    }
    picture.resolution = ReadResolution(dib);

    auto writer = std::make_unique<CJpegRowWriter>(path, picture, stride, start);
    writer->m_stream = source.stream;
    if (indexed) {
        writer->m_convert = true;
        writer->m_line.resize(3 * static_cast<std::size_t>(picture.width));
        for (std::uint32_t i = 0; i < colors; ++i) {
            const std::uint8_t* e = dib + kInfoHeaderSize + 4 * i;
            std::memcpy(writer->m_colors[i], e, 3);
        }
        if (picture.bitCount == 1) {
            std::memset(writer->m_colors[0], 0, 3);
            std::memset(writer->m_colors[1], 255, 3);
        }
    }
    if (!writer->Start(quality))
        return nullptr;
    return writer;
}

int WriteJpegFile(const std::string& path, const CMemBlock& block, int quality)
{
    const RowWriterSource source{block ? block.Data() : nullptr, block.Size(), true};
    return WriteWholeDib(OpenJpegRowWriter(path, source, quality, false), block.Data());
}

} // namespace lumacut
