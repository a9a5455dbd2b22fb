#include "picture/JpegFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "picture/JpegError.h"
#include "picture/Limits.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lumacut {

namespace {

struct Picture {
    const std::uint8_t* rows = nullptr; // bottom-up, blue-green-red
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    Resolution resolution;
};

// Every library call of the writer between the setjmp and a possible jump.
// Plain data only: a jump out of here destroys nothing.
void EncodeSteps(jpeg_compress_struct* cinfo, std::FILE* file, const Picture* picture, int quality)
{
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
    while (cinfo->next_scanline < cinfo->image_height) {
        const std::size_t stored = static_cast<std::size_t>(picture->height) - 1 - cinfo->next_scanline;
        // libjpeg takes non-const rows but only reads them.
        JSAMPROW row = const_cast<JSAMPROW>(picture->rows + stored * picture->stride);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
}

// The writer's one exit: whatever happened, the compressor is destroyed.
bool Encode(jpeg_compress_struct* cinfo, jpeg::ErrorManager* errors, std::FILE* file, const Picture* picture,
            int quality)
{
    jpeg::InstallErrorManager(*errors, *reinterpret_cast<jpeg_common_struct*>(cinfo));
    volatile bool done = false;
    if (setjmp(errors->jump) == 0) {
        jpeg_create_compress(cinfo);
        EncodeSteps(cinfo, file, picture, quality);
        done = true;
    }
    jpeg_destroy_compress(cinfo);
    return done;
}

} // namespace

int WriteJpegFile(const std::string& path, const CMemBlock& block, int quality)
{
    if (!WritableHeader(path, block))
        return 0;
    const std::uint8_t* dib = block.Data();
    Picture picture;
    picture.width = ReadLE32s(dib + dib::kWidth);
    picture.height = ReadLE32s(dib + dib::kHeight);
    if (ReadLE16(dib + dib::kBitCount) != 24 || ReadLE32(dib + dib::kCompression) != 0) {
        ShowMessage(path + std::string(msg::kJpegNot24Bits));
        return 0;
    }
    if (!SizeWithinLimits(picture.width, picture.height)) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }
    picture.stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{picture.width}));
    if (block.Size() - kInfoHeaderSize < picture.stride * static_cast<std::size_t>(picture.height)) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }
    picture.rows = dib + kInfoHeaderSize;
    picture.resolution = ReadResolution(dib);

    CAtomicFile file;
    if (!file.Open(path)) {
        ShowMessage(jpeg::CantOpenText(path));
        return 0;
    }
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    jpeg::ErrorManager errors;
    if (!Encode(&cinfo, &errors, file.Stream(), &picture, quality)) {
        file.Discard();
        ShowMessage(std::string(msg::kJpegWriteFailed) + path + ": " + errors.text);
        return 0;
    }
    if (!file.Commit()) {
        ShowMessage(std::string(msg::kJpegWriteFailed) + path + ": " + std::strerror(errno));
        return 0;
    }
    return 1;
}

} // namespace lumacut
