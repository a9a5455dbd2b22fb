#include "picture/BmpFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/RowWriter.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cstdio>

namespace lumacut {

namespace {

std::string FileErrorText(int number)
{
    char text[64];
    std::snprintf(text, sizeof text, std::string(msg::kFileErrorFormat).c_str(), number);
    return text;
}

// Bytes of the DIB part to write (header, table, rows), or -1 when the
// source is smaller than its own header says (header and table only when
// the rows come apart). `infoHeader` gets the header to write, its image
// size set; `pixelBytes` the bytes of the rows.
std::int64_t DibPartSize(const RowWriterSource& source, int tableBytes, std::uint8_t (&infoHeader)[kInfoHeaderSize],
                         std::int64_t& pixelBytes)
{
    const std::uint8_t* dib = source.dib;
    const std::int64_t width = ReadLE32s(dib + dib::kWidth);
    const std::int64_t height = ReadLE32s(dib + dib::kHeight);
    const int bitCount = ReadLE16(dib + dib::kBitCount);
    const std::uint32_t compression = ReadLE32(dib + dib::kCompression);
    if (tableBytes < 0 || width <= 0 || height <= 0 || bitCount <= 0)
        return -1;
    if (compression == 1 || compression == 2) {
        pixelBytes = ReadLE32(dib + dib::kSizeImage);
    } else {
        pixelBytes = std::int64_t{RowBytes(bitCount * width)} * height;
        if (pixelBytes > 0xFFFFFFFFll)
            return -1;
    }
    const std::int64_t size = kInfoHeaderSize + std::int64_t{tableBytes} + pixelBytes;
    const std::int64_t present = source.withRows ? size : kInfoHeaderSize + std::int64_t{tableBytes};
    if (present > static_cast<std::int64_t>(source.size) || size + kFileHeaderSize > 0xFFFFFFFFll)
        return -1;
    std::copy(dib, dib + kInfoHeaderSize, infoHeader);
    if (compression != 1 && compression != 2)
        WriteLE32(infoHeader + dib::kSizeImage, static_cast<std::uint32_t>(pixelBytes));
    return size;
}

// Headers and table go out first; each call's rows then land at their own
// place in the bottom-up file.
class CBmpRowWriter final : public CDibRowWriter {
public:
    CBmpRowWriter(const std::string& path, int rows, std::size_t rowLength, std::size_t rowsOffset)
        : CDibRowWriter(path, rows, rowLength, rowsOffset)
    {
    }
    CAtomicFile m_file;
    std::int64_t m_pixelStart = 0; // in the file

private:
    bool Put(const std::uint8_t* top, std::ptrdiff_t step, int count, int first) override
    {
        const auto length = static_cast<std::int64_t>(RowLength());
        // The file row below the last of this call's rows.
        const std::int64_t below = Rows() - first - count;
        if (step == -length) // bottom-up rows: one run in memory and in the file
            return WriteAt(m_pixelStart + below * length, top + (count - 1) * step,
                           static_cast<std::size_t>(length) * count);
        for (int i = 0; i < count; ++i)
            if (!WriteAt(m_pixelStart + (below + count - 1 - i) * length, top + i * step,
                         static_cast<std::size_t>(length)))
                return false;
        return true;
    }
    bool WriteAt(std::int64_t at, const std::uint8_t* bytes, std::size_t size)
    {
        return ::fseeko(m_file.Stream(), static_cast<off_t>(at), SEEK_SET) == 0 && m_file.Write(bytes, size);
    }
    bool Complete() override
    {
        if (!m_file.Commit()) {
            ShowMessage(m_path + std::string(msg::kFailedToProcess));
            return false;
        }
        return true;
    }
    void ShowFailure() override { ShowMessage(m_path + std::string(msg::kFailedToProcess)); }
    void Discard() override { m_file.Discard(); }
};

} // namespace

std::unique_ptr<CDibRowWriter> OpenBmpRowWriter(const std::string& path, const RowWriterSource& source,
                                                int tableBytes)
{
    std::uint8_t infoHeader[kInfoHeaderSize];
    std::int64_t pixelBytes = 0;
    const std::int64_t size = DibPartSize(source, tableBytes, infoHeader, pixelBytes);
    if (size < 0) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return nullptr;
    }
    const std::uint8_t* dib = source.dib;
    const std::uint32_t compression = ReadLE32(dib + dib::kCompression);
    // Run-length data is no rows: it goes as one.
    const bool packed = compression == 1 || compression == 2;
    const int rows = packed ? 1 : ReadLE32s(dib + dib::kHeight);
    const auto rowLength = static_cast<std::size_t>(
        packed ? pixelBytes : RowBytes(ReadLE16(dib + dib::kBitCount) * std::int64_t{ReadLE32s(dib + dib::kWidth)}));
    auto writer = std::make_unique<CBmpRowWriter>(path, rows, rowLength,
                                                  static_cast<std::size_t>(kInfoHeaderSize + tableBytes));
    if (!writer->m_file.Open(path)) {
        ShowMessage(path + std::string(msg::kFailedToOpen1a) + FileErrorText(0));
        return nullptr;
    }
    std::uint8_t header[kFileHeaderSize] = {'B', 'M'};
    WriteLE32(header + 2, static_cast<std::uint32_t>(size + kFileHeaderSize));
    WriteLE32(header + 10, static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + tableBytes));
    writer->m_file.Write(header, sizeof header);
    writer->m_file.Write(infoHeader, sizeof infoHeader);
    writer->m_file.Write(dib + kInfoHeaderSize, static_cast<std::size_t>(tableBytes));
    writer->m_pixelStart = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    return writer;
}

int WriteBmpFile(const std::string& path, const CMemBlock& block, int tableBytes)
{
    const RowWriterSource source{block ? block.Data() : nullptr, block.Size(), true};
    if (!HeaderWritable(path, source))
        return 0;
    return WriteWholeDib(OpenBmpRowWriter(path, source, tableBytes), block.Data());
}

} // namespace lumacut
