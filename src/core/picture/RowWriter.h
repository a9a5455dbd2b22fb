#pragma once
// Picture files written as their rows come, top row first, so that a picture
// need not be whole in memory to be saved. A picture held whole goes through
// the same writers, all its rows in one call, so both ways give the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace lumacut {

class CRowWriter {
public:
    virtual ~CRowWriter() = default;
    // `count` rows in the DIB's row layout, top row first: row i starts at
    // top + i * step (a bottom-up picture's rows: top = Row(last), step = -stride).
    // False once the writer has failed or more rows came than the picture has;
    // Finish then says why.
    virtual bool WriteRows(const std::uint8_t* top, std::ptrdiff_t step, int count) = 0;
    // After the last row: completes and commits the file. False after the writer's message
    // (also when more or fewer rows came than the picture has); the target is then as it was.
    virtual bool Finish() = 0;
};

// A writer of `type` (FileType of PictureFile.h) for the picture that `header` describes:
// a packed DIB's 40-byte info header and colour table, of the whole picture
// (height positive = bottom-up; the rows themselves need not follow). Null after the writer's message.
// A writer destroyed before a successful Finish leaves no file and an existing file untouched.
// JPEG takes 1, 4 and 8 bits too, each row turned into true colour as it comes,
// as CPicture's colour reader sees it (two colours: a set bit is white).
std::unique_ptr<CRowWriter> OpenRowWriter(const std::string& path, int type, const std::uint8_t* header,
                                          std::size_t headerSize, int jpegQuality);

// The same into a stream that is written front to back only (standard
// output): PNG and JPEG, which are; null for the other types, whose files
// are patched after their rows. `name` stands for the stream in messages.
std::unique_ptr<CRowWriter> OpenRowWriterToStream(std::FILE* stream, const std::string& name, int type,
                                                  const std::uint8_t* header, std::size_t headerSize,
                                                  int jpegQuality);

// ---- for the formats' writers ------------------------------------------------------

// The picture a writer is opened for: `size` bytes at `dib` from the info
// header on; only header and table when the rows come separately, the whole
// block (checked to hold every row) when `withRows`.
struct RowWriterSource {
    const std::uint8_t* dib = nullptr;
    std::size_t size = 0;
    bool withRows = false;
    // When set, the file goes front to back into this stream (standard
    // output) instead of a file at the path, which then only names it.
    std::FILE* stream = nullptr;
};

// The row count and the failure bookkeeping all formats share.
class CDibRowWriter : public CRowWriter {
public:
    bool WriteRows(const std::uint8_t* top, std::ptrdiff_t step, int count) final;
    bool Finish() final;

    // Where the rows of a whole DIB lie, from the start of its header.
    std::size_t RowsOffset() const { return m_rowsOffset; }
    std::size_t RowLength() const { return m_rowLength; }
    int Rows() const { return m_rows; }

protected:
    CDibRowWriter(const std::string& path, int rows, std::size_t rowLength, std::size_t rowsOffset)
        : m_path(path), m_rows(rows), m_rowLength(rowLength), m_rowsOffset(rowsOffset)
    {
    }
    // Rows `first`.. of the file (0 = top); false when the library or the
    // file failed, the reason kept for ShowFailure.
    virtual bool Put(const std::uint8_t* top, std::ptrdiff_t step, int count, int first) = 0;
    // After the last row; false after the format's message.
    virtual bool Complete() = 0;
    // The format's message for a failed Put.
    virtual void ShowFailure() = 0;
    // Drops the unfinished file.
    virtual void Discard() = 0;

    const std::string m_path;

private:
    int m_rows;
    std::size_t m_rowLength;
    std::size_t m_rowsOffset;
    int m_written = 0;
    bool m_putFailed = false;
    bool m_countWrong = false;
    bool m_finished = false;
};

// True when `source` has the 40-byte header the writers write from;
// otherwise the writer's message for `path` is shown.
bool HeaderWritable(const std::string& path, const RowWriterSource& source);

// Each format's writer; null after its message. BMP takes the colour table's
// size apart from the header (a table of -1 or past the block is refused);
// JPEG turns 1, 4 and 8 bits into true colour only when `convert`.
std::unique_ptr<CDibRowWriter> OpenBmpRowWriter(const std::string& path, const RowWriterSource& source,
                                                int tableBytes);
std::unique_ptr<CDibRowWriter> OpenJpegRowWriter(const std::string& path, const RowWriterSource& source,
                                                 int quality, bool convert);
std::unique_ptr<CDibRowWriter> OpenPngRowWriter(const std::string& path, const RowWriterSource& source);
std::unique_ptr<CDibRowWriter> OpenTiffRowWriter(const std::string& path, const RowWriterSource& source);

// A picture whole in memory (`dib`, the source the writer was opened with)
// through its writer: all rows in one call, then Finish. 1, or 0 after the
// writer's message (also when `writer` is null).
int WriteWholeDib(std::unique_ptr<CDibRowWriter> writer, const std::uint8_t* dib);

} // namespace lumacut
