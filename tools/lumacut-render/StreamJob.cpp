#include "lumacut-render/StreamJob.h"

#include "document/CDibDoc.h"
#include "document/PictureInfo.h"
#include "filter/StreamRender.h"
#include "picture/Dib.h"
#include "picture/Helpers.h"
#include "picture/DibValidate.h"
#include "picture/RowStream.h"
#include "picture/PictureFile.h"
#include "picture/RowWriter.h"
#include "platform/Prompt.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace lumacut::render {

namespace {

// The bands into a file, as the save of the whole New Picture writes it.
class FileSink : public CBandSink {
public:
    // Standard output when `path` is "-".
    FileSink(const std::string& path, int type, int quality) : m_path(path), m_type(type), m_quality(quality) {}

    bool Begin(const CPicture& shape, int width, int height) override
    {
        // The header the whole New Picture would have: its size, table and
        // resolution.
        const std::size_t tableBytes = 4 * static_cast<std::size_t>(shape.Colors());
        std::vector<std::uint8_t> header(kInfoHeaderSize + tableBytes);
        WriteInfoHeader(header.data(), width, height, shape.BitCount());
        std::copy_n(shape.Block().Data() + kInfoHeaderSize, tableBytes, header.data() + kInfoHeaderSize);
        WriteResolution(header.data(), shape.GetResolution());
        m_writer = m_path == kStandardStream
                       ? OpenRowWriterToStream(stdout, "standard output", m_type, header.data(), header.size(),
                                               m_quality)
                       : OpenRowWriter(m_path, m_type, header.data(), header.size(), m_quality);
        m_width = width;
        m_height = height;
        m_bits = shape.BitCount();
        return m_writer != nullptr;
    }
    bool Band(const CPicture& band) override
    {
        return m_writer->WriteRows(band.Row(band.Height() - 1), -static_cast<std::ptrdiff_t>(band.Stride()),
                                   band.Height());
    }
    // Commits the file; without it the writer leaves none.
    bool Finish() { return m_writer && m_writer->Finish(); }

    int m_width = 0, m_height = 0, m_bits = 0;

private:
    std::string m_path;
    int m_type;
    int m_quality;
    std::unique_ptr<CRowWriter> m_writer;
};

// The type of the result: standard output's from --format.
int OutputType(const RenderOptions& options, const RenderJob& job)
{
    return FileTypeOf(job.output == kStandardStream ? "-." + options.format : job.output);
}

bool Streamable(const RenderOptions& options, const RenderJob& job)
{
    // Standard output takes the formats that are written front to back.
    const int type = OutputType(options, job);
    const bool writable = job.output == kStandardStream ? type == kFileTypePng || type == kFileTypeJpeg
                                                        : type != kFileTypeNone;
    return job.input != kStandardStream && writable && !options.autoThreshold;
}

PictureKind KindOf(const CPicture& picture)
{
    return picture.Colors() == 2 ? PictureKind::TwoColor
           : picture.Colors() == 256 ? PictureKind::Grey
                                     : PictureKind::TrueColor;
}

} // namespace

StreamOutcome StreamOneFile(const RenderOptions& options, const RenderJob& job, std::string& summary,
                            std::string* badOption)
{
    if (!Streamable(options, job))
        return StreamOutcome::NotTaken;
    std::unique_ptr<CRowStream> stream = MakeRowStream(FileTypeOf(job.input));
    if (!stream)
        return StreamOutcome::NotTaken;
    CMemBlock header;
    switch (stream->StartRows(job.input, header)) {
    case CRowStream::Opening::Started: break;
    case CRowStream::Opening::NotStreamable: return StreamOutcome::NotTaken;
    case CRowStream::Opening::Failed: return StreamOutcome::Failed;
    }

    // What an open shows and asks, with the document's answer to it.
    DibCheck check;
    check.ok = true;
    check.headerSize = kInfoHeaderSize;
    check.width = ReadLE32s(header.Data() + dib::kWidth);
    check.height = ReadLE32s(header.Data() + dib::kHeight);
    check.bitCount = 24;
    ShowMessage(PictureInformationText(header.Data(), check, 0), PromptIcon::Information);
    CDibDoc doc;
    StorePresetSettings(doc, options);
    doc.SetUpNewPictureKind(Prompt().ChooseOutput());

    RenderRequest request = doc.RenderRequestFor(doc.m_picNew);
    request.original = nullptr;
    request.target = nullptr;
    if (options.clipActive || options.clipFractionsActive) {
        if (!ClipOf(options, check.width, check.height, request.clip)) {
            stream->Finish();
            return StreamOutcome::Failed;
        }
        request.clipActive = true;
    }
    const Rect& c = request.clip;
    const bool fits = request.clipActive
                          ? AdaptiveRadiusFits(options, c.right - c.left, c.bottom - c.top, badOption)
                          : AdaptiveRadiusFits(options, RoundHalfUp(check.width * options.scale),
                                               RoundHalfUp(check.height * options.scale), badOption);
    if (!fits) {
        stream->Finish();
        return StreamOutcome::Failed;
    }
    FileSink sink(job.output, OutputType(options, job), doc.m_jpegQuality);
    const bool rendered = StreamRender(doc.m_filter, request, header.Data(), KindOf(doc.m_picNew), stream->Ring(), sink);
    // The decoder's warnings and failures are shown here; a file whose rows
    // gave out is not written.
    const bool decoded = stream->Finish() == 1;
    if (!rendered || !decoded || !sink.Finish())
        return StreamOutcome::Failed;
    summary = "-> " + job.output + " (" + std::to_string(sink.m_width) + "x" + std::to_string(sink.m_height) + ", " +
              std::to_string(sink.m_bits) + " bits, a band at a time)";
    return StreamOutcome::Done;
}

} // namespace lumacut::render
