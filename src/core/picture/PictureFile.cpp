#include "picture/PictureFile.h"

#include "picture/BmpFile.h"
#include "picture/Dib.h"
#include "picture/JpegFile.h"
#include "picture/JpegStream.h"
#include "picture/Orientation.h"
#include "picture/PngFile.h"
#include "picture/PngStream.h"
#include "picture/RowWriter.h"
#include "picture/TiffFile.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <cctype>
#include <cstring>

namespace lumacut {

int FileTypeOf(const std::string& path)
{
    const std::string::size_type dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.')
        return kFileTypeNone;
    std::string ending = path.substr(dot + 1);
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // A bare ending is no file name.
    if (dot == 0 || path[dot - 1] == '/')
        return kFileTypeNone;
    if (ending == "bmp")
        return kFileTypeBmp;
    if (ending == "jpg" || ending == "jpeg")
        return kFileTypeJpeg;
    if (ending == "png")
        return kFileTypePng;
    if (ending == "tif" || ending == "tiff")
        return kFileTypeTiff;
    return kFileTypeNone;
}

int FileTypeOfContent(const std::uint8_t* data, std::size_t size)
{
    const auto startsWith = [&](const char* magic, std::size_t n) {
        return size >= n && std::memcmp(data, magic, n) == 0;
    };
    if (startsWith("BM", 2))
        return kFileTypeBmp;
    if (startsWith("\xFF\xD8\xFF", 3))
        return kFileTypeJpeg;
    if (startsWith("\x89PNG\r\n\x1A\n", 8))
        return kFileTypePng;
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4))
        return kFileTypeTiff;
    return kFileTypeNone;
}

const char* EndingOf(int type)
{
    switch (type) {
    case kFileTypeBmp: return ".bmp";
    case kFileTypeJpeg: return ".jpg";
    case kFileTypePng: return ".png";
    case kFileTypeTiff: return ".tif";
    default: return "";
    }
}

namespace {

// What the readers said beyond the pixels, for the information box.
std::string NoteOf(int orientation, bool turned, bool morePages)
{
    std::string note;
    if (morePages)
        note += std::string(msg::kFirstPageOnly);
    if (orientation >= 2 && orientation <= 8) {
        if (turned)
            note += std::string(msg::kPictureWas) + std::string(OrientationPhrase(orientation)) + ".\n";
        else
            ShowMessage(std::string(msg::kNotTurned), PromptIcon::Warning);
    }
    return note;
}

// A source of a file's bytes: its path or memory.
struct Source {
    const std::string& name;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool inMemory() const { return data != nullptr; }
};

int Read(const Source& s, int type, CMemBlock& block, std::string& note)
{
    note.clear();
    int width = 0, height = 0, orientation = 0;
    int read = 0;
    switch (type) {
    case kFileTypeBmp:
        read = s.inMemory() ? ReadBmpBytes(s.data, s.size, s.name, block, width, height)
                            : ReadBmpFile(s.name, block, width, height);
        break;
    case kFileTypeJpeg: {
        JpegNotes jpeg;
        read = s.inMemory() ? ReadJpegBytes(s.data, s.size, s.name, block, width, height, &jpeg)
                            : ReadJpegFile(s.name, block, width, height, &jpeg);
        orientation = jpeg.orientation;
        break;
    }
    case kFileTypePng:
        read = s.inMemory() ? ReadPngBytes(s.data, s.size, s.name, block, width, height)
                            : ReadPngFile(s.name, block, width, height);
        break;
    case kFileTypeTiff: {
        TiffPageInfo tiff;
        read = s.inMemory() ? ReadTiffBytes(s.data, s.size, s.name, block, width, height, &tiff)
                            : ReadTiffFile(s.name, block, width, height, &tiff);
        orientation = tiff.orientation;
        if (read)
            note = NoteOf(0, false, tiff.morePages);
        break;
    }
    default: ShowMessage(msg::Join(msg::kUnknownFileType, s.name)); return 0;
    }
    if (!read)
        return 0;
    if (orientation >= 2 && orientation <= 8)
        note += NoteOf(orientation, TurnUpright(block, orientation), false);
    return 1;
}

} // namespace

int ReadPictureFile(const std::string& path, int type, CMemBlock& block, std::string& note)
{
    return Read(Source{path}, type, block, note);
}

int ReadPictureBytes(const std::uint8_t* data, std::size_t size, int type, const std::string& name,
                     CMemBlock& block, std::string& note)
{
    // An empty buffer is still memory, not a path.
    static const std::uint8_t kNothing = 0;
    return Read(Source{name, data ? data : &kNothing, size}, type, block, note);
}

int WritePictureFile(const std::string& path, int type, const CPicture& picture, int jpegQuality)
{
    switch (type) {
    case kFileTypeBmp: return WriteBmpFile(path, picture.Block(), 4 * picture.Colors());
    case kFileTypePng: return WritePngFile(path, picture.Block());
    case kFileTypeTiff: return WriteTiffFile(path, picture.Block());
    case kFileTypeJpeg: {
        if (picture.BitCount() == 24)
            return WriteJpegFile(path, picture.Block(), jpegQuality);
        if (!picture.HasBlock()) {
            ShowMessage(std::string(msg::kConversionFailed));
            return 0;
        }
        // Each row becomes true colour on its way to the encoder: no second picture in memory.
        const CMemBlock& block = picture.Block();
        return WriteWholeDib(OpenJpegRowWriter(path, RowWriterSource{block.Data(), block.Size(), true}, jpegQuality,
                                               true),
                             block.Data());
    }
    default: ShowMessage(msg::Join(msg::kUnknownFileType, path)); return 0;
    }
}

std::unique_ptr<CRowStream> MakeRowStream(int type)
{
    if (type == kFileTypeJpeg)
        return std::make_unique<CJpegStream>();
    if (type == kFileTypePng)
        return std::make_unique<CPngStream>();
    return nullptr;
}

} // namespace lumacut
