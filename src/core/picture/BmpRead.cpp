#include "picture/BmpFile.h"

#include "picture/Dib.h"
#include "picture/DibConvert.h"
#include "picture/DibValidate.h"
#include "picture/Limits.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace lumacut {

namespace {

// The largest file worth reading: a 32-bit picture at the pixel limit plus
// generous room for headers, tables and trailing profiles.
constexpr std::int64_t kMaxBmpFileBytes = kMaxPixels * 4 + (std::int64_t{1} << 24);

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string TooLargeText()
{
    char text[160];
    std::snprintf(text, sizeof text, std::string(msg::kBmpTooLargeFormat).c_str(), static_cast<long long>(kMaxPixels),
                  static_cast<long long>(kMaxSide));
    return text;
}

std::string ReasonText(DibProblem problem)
{
    switch (problem) {
    case DibProblem::CutShort: return std::string(msg::kBmpCutShort);
    case DibProblem::UnsupportedDepth: return std::string(msg::kBmpUnsupportedDepth);
    case DibProblem::UnsupportedCompression: return std::string(msg::kBmpUnsupportedCompression);
    case DibProblem::NoPixels: return std::string(msg::kBmpNoPixels);
    case DibProblem::TooLarge: return TooLargeText();
    case DibProblem::DamagedHeader:
    case DibProblem::None: break;
    }
    return std::string(msg::kBmpDamagedHeader);
}

// "Failed to read 2: " and the path, then what is wrong with the file.
int Refuse(const std::string& path, CMemBlock& block, const std::string& reason)
{
    block.Free();
    ShowMessage(msg::Join(msg::kFailedToRead2, path) + ": " + reason);
    return 0;
}

} // namespace

int ReadBmpBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                 int& height)
{
    width = 0;
    height = 0;
    if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') {
        // Not a BMP file at all: a picture the caller already holds stays.
        if (block)
            return 0;
        return Refuse(path, block, std::string(msg::kBmpNotBmp));
    }
    const std::uint32_t offBits = ReadLE32(data + 10);
    const std::size_t pixelOffset = offBits > kFileHeaderSize ? offBits - kFileHeaderSize : 0;
    DibCheck check = ValidateDib(data + kFileHeaderSize, size - kFileHeaderSize, pixelOffset);
    if (!check.ok)
        return Refuse(path, block, ReasonText(check.problem));
    CMemBlock picture = DibToTrueColor(data + kFileHeaderSize, check);
    if (!picture)
        return Refuse(path, block, std::string(msg::kBmpNoMemory));
    block = std::move(picture);
    width = check.width;
    height = check.height;
    return 1;
}

int ReadBmpFile(const std::string& path, CMemBlock& block, int& width, int& height)
{
    width = 0;
    height = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        block.Free();
        ShowMessage(msg::Join(msg::kFailedToOpen, path));
        return 0;
    }
    struct stat st {};
    if (::fstat(::fileno(file.get()), &st) != 0 || S_ISDIR(st.st_mode)) {
        block.Free();
        ShowMessage(msg::Join(msg::kFailedToRead, path));
        return 0;
    }
    if (st.st_size > kMaxBmpFileBytes)
        return Refuse(path, block, TooLargeText());

    const auto length = static_cast<std::size_t>(st.st_size);
    CMemBlock bytes = CMemBlock::Allocate(length);
    if (!bytes && length != 0)
        return Refuse(path, block, std::string(msg::kBmpNoMemory));
    const std::size_t got = length ? std::fread(bytes.Data(), 1, length, file.get()) : 0;
    if (std::ferror(file.get())) {
        block.Free();
        ShowMessage(msg::Join(msg::kFailedToRead, path));
        return 0;
    }
    // A file that shrank while being read is judged by the bytes that came.
    return ReadBmpBytes(bytes.Data(), got, path, block, width, height);
}

} // namespace lumacut
