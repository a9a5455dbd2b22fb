#include "picture/TiffFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/Limits.h"
#include "picture/RowWriter.h"
#include "picture/TiffSupport.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <sys/stat.h>

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
    const std::uint8_t* dib = nullptr; // header and table
    int width = 0;
    int height = 0;
    int bits = 0;
    int colors = 0; // entries of the table
};

// libtiff writes straight into the temporary file's stream (it seeks back
// to patch offsets; it never reads back what it wrote).
tmsize_t FileRead(thandle_t handle, void* buffer, tmsize_t count)
{
    if (count <= 0)
        return 0;
    return static_cast<tmsize_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), static_cast<std::FILE*>(handle)));
}
tmsize_t FileWrite(thandle_t handle, void* buffer, tmsize_t count)
{
    if (count < 0)
        return -1;
    const std::size_t n = static_cast<std::size_t>(count);
    return std::fwrite(buffer, 1, n, static_cast<std::FILE*>(handle)) == n ? count : -1;
}
toff_t FileSeek(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<std::FILE*>(handle);
    // A seek past the end leaves a gap of zeros that a later write fills.
    if (::fseeko(file, static_cast<off_t>(offset), whence) != 0)
        return static_cast<toff_t>(-1);
    const off_t at = ::ftello(file);
    return at < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(at);
}
int FileClose(thandle_t) { return 0; } // the atomic file closes it
toff_t FileSize(thandle_t handle)
{
    auto* file = static_cast<std::FILE*>(handle);
    struct stat st {};
    if (std::fflush(file) != 0 || ::fstat(::fileno(file), &st) != 0)
        return 0;
    return static_cast<toff_t>(st.st_size);
}
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

// The tags of the picture, and how its rows go to the library.
void SetTags(TIFF* tif, const Picture& picture, std::size_t& lineBytes, bool& invert, std::uint32_t& rowsPerStrip)
{
    const auto width = static_cast<std::uint32_t>(picture.width);
    const auto height = static_cast<std::uint32_t>(picture.height);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    invert = false;
    rowsPerStrip = height;
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
}

// Grey and colour go out a strip at a time, gathered from the rows as they
// come, each strip compressed in one call; two colours go row by row into
// their one Group 4 strip.
class CTiffRowWriter final : public CDibRowWriter {
public:
    CTiffRowWriter(const std::string& path, const Picture& picture, std::size_t stride, std::size_t rowsOffset)
        : CDibRowWriter(path, picture.height, stride, rowsOffset), m_bits(picture.bits)
    {
    }
    ~CTiffRowWriter() override { m_tif.reset(); }

    // Opens the file and sets the tags; false after the message.
    bool Begin(const Picture& picture)
    {
        if (!m_file.Open(m_path)) {
            ShowMessage(tiff::CantOpenText(m_path));
            return false;
        }
        m_options = tiff::MakeOptions(m_errors);
        bool begun = false;
        if (m_options) {
            m_tif.reset(TIFFClientOpenExt(m_path.c_str(), "w", m_file.Stream(), FileRead, FileWrite, FileSeek,
                                          FileClose, FileSize, NoMap, NoUnmap, m_options.get()));
            try {
                if (m_tif) {
                    SetTags(m_tif.get(), picture, m_lineBytes, m_invert, m_rowsPerStrip);
                    m_strip.resize(m_lineBytes * (m_bits == 1 ? 1 : m_rowsPerStrip));
                    begun = true;
                }
            } catch (const std::bad_alloc&) {
                m_errors.text = msg::kNoMemAllocated;
            }
        }
        if (!begun) {
            Discard();
            ShowFailure();
        }
        return begun;
    }

private:
    bool Put(const std::uint8_t* top, std::ptrdiff_t step, int count, int first) override
    {
        const auto height = static_cast<std::uint32_t>(Rows());
        for (int i = 0; i < count; ++i) {
            const auto row = static_cast<std::uint32_t>(first + i);
            if (m_bits == 1) {
                FileLine(top + i * step, m_strip.data());
                if (TIFFWriteScanline(m_tif.get(), m_strip.data(), row, 0) < 0)
                    return false;
                continue;
            }
            const std::uint32_t inStrip = row % m_rowsPerStrip;
            FileLine(top + i * step, m_strip.data() + m_lineBytes * inStrip);
            if (inStrip + 1 == m_rowsPerStrip || row + 1 == height) {
                if (TIFFWriteEncodedStrip(m_tif.get(), row / m_rowsPerStrip, m_strip.data(),
                                          static_cast<tmsize_t>(m_lineBytes * (inStrip + 1))) < 0)
                    return false;
            }
        }
        return true;
    }
    void FileLine(const std::uint8_t* source, std::uint8_t* line) const
    {
        if (m_bits == 24) {
            for (std::size_t i = 0; i < m_lineBytes; i += 3) {
                line[i] = source[i + 2];
                line[i + 1] = source[i + 1];
                line[i + 2] = source[i];
            }
        } else if (m_invert) {
            for (std::size_t i = 0; i < m_lineBytes; ++i)
                line[i] = static_cast<std::uint8_t>(~source[i]);
        } else {
            std::memcpy(line, source, m_lineBytes);
        }
    }
    bool Complete() override
    {
        const bool written = TIFFWriteDirectory(m_tif.get()) != 0;
        m_tif.reset();
        if (!written) {
            Discard();
            ShowFailure();
            return false;
        }
        if (!m_file.Commit()) {
            ShowMessage(std::string(msg::kTiffWriteFailed) + m_path + ": " + std::strerror(errno));
            return false;
        }
        return true;
    }
    void ShowFailure() override { ShowMessage(std::string(msg::kTiffWriteFailed) + m_path + ": " + m_errors.text); }
    void Discard() override
    {
        m_tif.reset();
        m_file.Discard();
    }

    int m_bits;
    std::size_t m_lineBytes = 0;
    bool m_invert = false;
    std::uint32_t m_rowsPerStrip = 0;
    std::vector<std::uint8_t> m_strip; // one strip's rows; for two colours one row
    // Closed in this order: the library's handle, then its options, then the file.
    CAtomicFile m_file;
    tiff::Errors m_errors;
    tiff::Options m_options;
    tiff::Handle m_tif;
};

} // namespace

std::unique_ptr<CDibRowWriter> OpenTiffRowWriter(const std::string& path, const RowWriterSource& source)
{
    if (!HeaderWritable(path, source))
        return nullptr;
    const std::uint8_t* dib = source.dib;
    Picture picture;
    picture.dib = dib;
    picture.width = ReadLE32s(dib + dib::kWidth);
    picture.height = ReadLE32s(dib + dib::kHeight);
    picture.bits = ReadLE16(dib + dib::kBitCount);
    if ((picture.bits != 1 && picture.bits != 8 && picture.bits != 24) || ReadLE32(dib + dib::kCompression) != 0) {
        ShowMessage(path + std::string(msg::kTiffNotWritableDepth));
        return nullptr;
    }
    // The rows may be streamed: a picture of any size the renderer makes.
    if (!SizeWithinStreamLimits(picture.width, picture.height)) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return nullptr;
    }
    if (picture.bits != 24) {
        const std::uint32_t used = ReadLE32(dib + dib::kClrUsed);
        picture.colors = used == 0 || used > (1u << picture.bits) ? 1 << picture.bits : static_cast<int>(used);
    }
    const auto stride = static_cast<std::size_t>(RowBytes(std::int64_t{picture.bits} * picture.width));
    const std::size_t start = kInfoHeaderSize + 4 * static_cast<std::size_t>(picture.colors);
    const std::size_t rowBytes = source.withRows ? stride * static_cast<std::size_t>(picture.height) : 0;
    if (source.size < start || source.size - start < rowBytes) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return nullptr;
    }
    auto writer = std::make_unique<CTiffRowWriter>(path, picture, stride, start);
    if (!writer->Begin(picture))
        return nullptr;
    return writer;
}

int WriteTiffFile(const std::string& path, const CMemBlock& block)
{
    const RowWriterSource source{block ? block.Data() : nullptr, block.Size(), true};
    return WriteWholeDib(OpenTiffRowWriter(path, source), block.Data());
}

} // namespace lumacut
