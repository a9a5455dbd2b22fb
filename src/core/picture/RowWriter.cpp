#include "picture/RowWriter.h"

#include "picture/Dib.h"
#include "picture/PictureFile.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

namespace lumacut {

bool CDibRowWriter::WriteRows(const std::uint8_t* top, std::ptrdiff_t step, int count)
{
    if (m_putFailed || m_countWrong || m_finished)
        return false;
    if (count < 0 || count > m_rows - m_written) {
        m_countWrong = true;
        return false;
    }
    if (count == 0)
        return true;
    if (!Put(top, step, count, m_written)) {
        m_putFailed = true;
        return false;
    }
    m_written += count;
    return true;
}

bool CDibRowWriter::Finish()
{
    if (m_finished)
        return false;
    m_finished = true;
    if (m_putFailed) {
        Discard();
        ShowFailure();
        return false;
    }
    if (m_countWrong || m_written != m_rows) {
        Discard();
        ShowMessage(m_path + std::string(msg::kFailedToProcess));
        return false;
    }
    return Complete();
}

bool HeaderWritable(const std::string& path, const RowWriterSource& source)
{
    if (!source.dib) {
        ShowMessage(path + std::string(msg::kNoBitmapConnected));
        return false;
    }
    if (source.size < kInfoHeaderSize || ReadLE32(source.dib) != kInfoHeaderSize) {
        ShowMessage(path + std::string(msg::kNotWritableHeader));
        return false;
    }
    return true;
}

int WriteWholeDib(std::unique_ptr<CDibRowWriter> writer, const std::uint8_t* dib)
{
    if (!writer)
        return 0;
    const auto length = static_cast<std::ptrdiff_t>(writer->RowLength());
    const std::uint8_t* last = dib + writer->RowsOffset() + (writer->Rows() - 1) * length;
    writer->WriteRows(last, -length, writer->Rows());
    return writer->Finish() ? 1 : 0;
}

std::unique_ptr<CRowWriter> OpenRowWriterToStream(std::FILE* stream, const std::string& name, int type,
                                                  const std::uint8_t* header, std::size_t headerSize,
                                                  int jpegQuality)
{
    RowWriterSource source{header, headerSize, false};
    source.stream = stream;
    switch (type) {
    case kFileTypeJpeg: return OpenJpegRowWriter(name, source, jpegQuality, true);
    case kFileTypePng: return OpenPngRowWriter(name, source);
    default: return nullptr;
    }
}

std::unique_ptr<CRowWriter> OpenRowWriter(const std::string& path, int type, const std::uint8_t* header,
                                          std::size_t headerSize, int jpegQuality)
{
    const RowWriterSource source{header, headerSize, false};
    switch (type) {
    case kFileTypeBmp: {
        if (!HeaderWritable(path, source))
            return nullptr;
        const std::size_t table = headerSize - kInfoHeaderSize;
        return OpenBmpRowWriter(path, source, table > 0x7FFFFFFF ? -1 : static_cast<int>(table));
    }
    case kFileTypeJpeg: return OpenJpegRowWriter(path, source, jpegQuality, true);
    case kFileTypePng: return OpenPngRowWriter(path, source);
    case kFileTypeTiff: return OpenTiffRowWriter(path, source);
    default: ShowMessage(msg::Join(msg::kUnknownFileType, path)); return nullptr;
    }
}

} // namespace lumacut
