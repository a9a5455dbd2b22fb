// The PNG adapter: every file of the PNG test suite against libpng's own
// decoding, the damaged files of the suite and mutations of a good one
// refused, oversized headers refused, the New Picture's three kinds
// written and read back, and the rows a render streams equal to the reader's.
#include "platform/Messages.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/PngFile.h"
#include "picture/PngStream.h"
#include "picture/RowRing.h"
#include "support/BlockPixels.h"
#include "support/Files.h"
#include "support/PictureBuilder.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <png.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

struct ReadResult {
    int ok = 0;
    CMemBlock block;
    int width = -1, height = -1;
    std::vector<std::string> messages;
};

ReadResult ReadPng(const Bytes& bytes, const std::string& name)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    ReadResult r;
    r.ok = ReadPngBytes(bytes.data(), bytes.size(), name, r.block, r.width, r.height);
    r.messages = prompt.Texts();
    return r;
}

// A channel over white, rounded: round((c * a + 255 * (255 - a)) / 255).
int OverWhite(int c, int a) { return (c * a + 255 * (255 - a) + 127) / 255; }

// The same file through libpng: palette and low bit depths expanded, tRNS
// made alpha, 16 bits reduced with rounding, grey made RGB, no gamma; then
// laid over white. Pixels as 0xRRGGBB, top row first.
struct Decoded {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    png_uint_32 xPerMetre = 0, yPerMetre = 0;
};

Decoded DecodeWithLibpng(const std::string& path)
{
    Decoded d;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return d;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, [](png_structp, png_const_charp) {});
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> image;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_read_info(png, info);
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
        const int channels = png_get_channels(png, info);
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        image.resize(rowBytes * height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows.push_back(image.data() + rowBytes * y);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        int unit = 0;
        if (png_get_pHYs(png, info, &d.xPerMetre, &d.yPerMetre, &unit) == 0 || unit != PNG_RESOLUTION_METER)
            d.xPerMetre = d.yPerMetre = 0;
        for (std::size_t i = 0; i < image.size(); i += static_cast<std::size_t>(channels)) {
            const int a = channels == 4 ? image[i + 3] : 255;
            d.pixels.push_back(std::uint32_t(OverWhite(image[i], a)) << 16 | std::uint32_t(OverWhite(image[i + 1], a)) << 8 |
                               std::uint32_t(OverWhite(image[i + 2], a)));
        }
        d.width = static_cast<int>(width);
        d.height = static_cast<int>(height);
        d.ok = channels == 3 || channels == 4;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return d;
}

std::vector<std::string> SuiteFiles(bool damaged)
{
    std::vector<std::string> names;
    for (const std::string& name : ListFolder(DataPath("pngsuite")))
        if (name.size() > 4 && name.substr(name.size() - 4) == ".png" && (name[0] == 'x') == damaged)
            names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

std::uint32_t Crc(const std::uint8_t* p, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void PutBE32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// The colour a 1-, 8- or 24-bit block shows at (x, top), through its table.
std::uint32_t DibColour(const CMemBlock& block, int x, int top)
{
    const std::uint8_t* dib = block.Data();
    const int width = ReadLE32s(dib + dib::kWidth), height = ReadLE32s(dib + dib::kHeight);
    const int bits = ReadLE16(dib + dib::kBitCount);
    const int colors = bits == 24 ? 0 : 1 << bits;
    const std::uint8_t* row = dib + kInfoHeaderSize + 4 * colors + RowStride(width, bits) * (height - 1 - top);
    const std::uint8_t* e = row + 3 * x;
    if (bits == 1)
        e = dib + kInfoHeaderSize + 4 * ((row[x / 8] >> (7 - x % 8)) & 1);
    else if (bits == 8)
        e = dib + kInfoHeaderSize + 4 * row[x];
    return std::uint32_t{e[2]} << 16 | std::uint32_t{e[1]} << 8 | e[0];
}

// What a render gets from the stream: the header, the rows top first as
// they leave the ring (of `slots` rows, so the decoder waits for room),
// Finish's answer and the messages. `stopAfter` rows: the reader leaves.
struct Streamed {
    CRowStream::Opening opening = CRowStream::Opening::Failed;
    CMemBlock header;
    Bytes rows;
    int finished = -1;
    std::vector<std::string> messages;
};

Streamed StreamPng(const std::string& path, int slots = 3, int stopAfter = -1)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    Streamed s;
    CPngStream stream(slots);
    s.opening = stream.StartRows(path, s.header);
    if (s.opening == CRowStream::Opening::Started) {
        const int width = ReadLE32s(s.header.Data() + dib::kWidth), height = ReadLE32s(s.header.Data() + dib::kHeight);
        const std::size_t stride = static_cast<std::size_t>(RowStride(width, 24));
        for (int top = 0; top < height && top != stopAfter; ++top) {
            const std::uint8_t* row = stream.Ring().Take(top);
            if (!row)
                break;
            s.rows.insert(s.rows.end(), row, row + stride);
            stream.Ring().Release(top + 1);
        }
        s.finished = stream.Finish();
    }
    s.messages = prompt.Texts();
    return s;
}

} // namespace

TEST(Png, EverySuiteFileDecodesAsLibpngDecodesIt)
{
    const std::vector<std::string> names = SuiteFiles(false);
    ASSERT_GT(names.size(), 150u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = DataPath("pngsuite/" + name);
        const Decoded want = DecodeWithLibpng(path);
        ASSERT_TRUE(want.ok);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        CMemBlock block;
        int width = -1, height = -1;
        ASSERT_EQ(ReadPngFile(path, block, width, height), 1) << ::testing::PrintToString(prompt.Texts());
        EXPECT_TRUE(prompt.messages.empty());
        ASSERT_EQ(width, want.width);
        ASSERT_EQ(height, want.height);
        ASSERT_EQ(block.Size(), TrueColorBlockSize(width, height));
        EXPECT_EQ(ReadLE16(block.Data() + dib::kBitCount), 24);
        EXPECT_EQ(ReadLE32(block.Data() + dib::kXPelsPerMeter), want.xPerMetre);
        EXPECT_EQ(ReadLE32(block.Data() + dib::kYPelsPerMeter), want.yPerMetre);
        int wrong = 0;
        for (int top = 0; top < height; ++top)
            for (int x = 0; x < width; ++x)
                if (BlockPixel(block, x, top) != want.pixels[static_cast<std::size_t>(top * width + x)] && wrong++ == 0)
                    ADD_FAILURE() << "first difference at " << x << ", " << top;
        EXPECT_EQ(wrong, 0);
    }
}

TEST(Png, DamagedSuiteFilesAndOversizedHeadersAreRefused)
{
    std::vector<std::pair<std::string, Bytes>> files;
    for (const std::string& name : SuiteFiles(true))
        files.emplace_back(name, ReadFileBytes(DataPath("pngsuite/" + name)));
    ASSERT_GE(files.size(), 14u);
    // A good file's header claiming more pixels than the store holds, or a
    // side longer than allowed: refused from the header alone.
    const Bytes good = ReadFileBytes(DataPath("pngsuite/basn2c08.png"));
    for (auto [w, h] : {std::pair{20000u, 20000u}, std::pair{(1u << 20) + 1, 1u}, std::pair{1u, (1u << 20) + 1}}) {
        Bytes big = good;
        PutBE32(&big[16], w);
        PutBE32(&big[20], h);
        PutBE32(&big[29], Crc(&big[12], 17));
        files.emplace_back("big.png", big);
    }
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const ReadResult r = ReadPng(bytes, name);
        EXPECT_EQ(r.ok, 0);
        EXPECT_FALSE(r.block);
        EXPECT_EQ(r.width, 0);
        ASSERT_EQ(r.messages.size(), 1u);
        if (name == "big.png")
            EXPECT_EQ(r.messages[0], "big.png" + std::string(msg::kPictureTooLarge));
        else
            EXPECT_EQ(r.messages[0].rfind("PNG read failed: " + name + ": ", 0), 0u) << r.messages[0];
    }
}

TEST(Png, StreamedRowsAndHeaderAreTheReaders)
{
    for (const std::string& name : SuiteFiles(false)) {
        SCOPED_TRACE(name);
        const std::string path = DataPath("pngsuite/" + name);
        const Streamed s = StreamPng(path);
        EXPECT_TRUE(s.messages.empty()) << ::testing::PrintToString(s.messages);
        // Interlaced (IHDR's last byte): no row is whole before the last pass.
        if (ReadFileBytes(path).at(28) != 0) {
            EXPECT_EQ(s.opening, CRowStream::Opening::NotStreamable);
            EXPECT_FALSE(s.header);
            continue;
        }
        ASSERT_EQ(s.opening, CRowStream::Opening::Started);
        EXPECT_EQ(s.finished, 1);
        const ReadResult r = ReadPng(ReadFileBytes(path), name);
        ASSERT_EQ(r.ok, 1);
        ASSERT_EQ(s.header.Size(), kInfoHeaderSize);
        EXPECT_EQ(Bytes(s.header.Data(), s.header.Data() + kInfoHeaderSize),
                  Bytes(r.block.Data(), r.block.Data() + kInfoHeaderSize));
        const std::size_t stride = static_cast<std::size_t>(RowStride(r.width, 24));
        Bytes want;
        for (int top = 0; top < r.height; ++top) {
            const std::uint8_t* row =
                r.block.Data() + kInfoHeaderSize + stride * static_cast<std::size_t>(r.height - 1 - top);
            want.insert(want.end(), row, row + stride);
        }
        EXPECT_TRUE(s.rows == want);
    }
}

TEST(Png, DamagedStreamsFailWithTheReadersMessages)
{
    TempDir dir;
    std::vector<std::string> paths;
    for (const std::string& name : SuiteFiles(true))
        paths.push_back(DataPath("pngsuite/" + name));
    // Cut inside the picture data (1-byte chunks: some rows come first), and
    // after every row but before the end marker; a side over the limit.
    const Bytes good = ReadFileBytes(DataPath("pngsuite/oi9n2c16.png"));
    for (const std::size_t keep : {good.size() / 2, good.size() - 13}) {
        paths.push_back(dir.Path("cut" + std::to_string(keep) + ".png"));
        WriteFileBytes(paths.back(), Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep)));
    }
    Bytes wide = good;
    PutBE32(&wide[16], (1u << 20) + 1);
    PutBE32(&wide[29], Crc(&wide[12], 17));
    paths.push_back(dir.Path("wide.png"));
    WriteFileBytes(paths.back(), wide);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const ReadResult r = ReadPng(ReadFileBytes(path), path);
        ASSERT_EQ(r.ok, 0);
        const Streamed s = StreamPng(path);
        if (s.opening == CRowStream::Opening::NotStreamable) {
            EXPECT_TRUE(s.messages.empty());
            continue;
        }
        EXPECT_TRUE(s.opening == CRowStream::Opening::Failed || s.finished == 0);
        EXPECT_EQ(s.messages, r.messages);
    }
    // A reader that leaves early lets the decoder go; nothing is shown.
    const Streamed early = StreamPng(DataPath("pngsuite/basn2c16.png"), 1, 2);
    EXPECT_EQ(early.finished, 0);
    EXPECT_TRUE(early.messages.empty());
}

TEST(Png, FlippedZeroedAndCutFilesGiveAPictureOrARefusal)
{
    const Bytes seed = ReadFileBytes(DataPath("pngsuite/basi6a16.png"));
    ASSERT_GT(seed.size(), 1000u);
    // A file cut before its end marker is refused; the marker's own CRC
    // is not read.
    const std::size_t end = seed.size() - 4;
    auto check = [](const Bytes& file, bool mustRefuse, const char* how, std::size_t at) {
        const ReadResult r = ReadPng(file, "m.png");
        if (r.ok == 1) {
            ASSERT_FALSE(mustRefuse) << how << " at " << at;
            ASSERT_EQ(r.block.Size(), TrueColorBlockSize(r.width, r.height)) << how << " at " << at;
            ASSERT_TRUE(r.messages.empty()) << how << " at " << at;
        } else {
            ASSERT_EQ(r.ok, 0);
            ASSERT_FALSE(r.block) << how << " at " << at;
            ASSERT_EQ(r.width, 0);
            ASSERT_EQ(r.messages.size(), 1u) << how << " at " << at;
        }
    };
    for (std::size_t at = 0; at < seed.size(); ++at) {
        for (std::uint8_t value : {static_cast<std::uint8_t>(seed[at] ^ 0xFF), std::uint8_t{0}, std::uint8_t{0xFF}}) {
            Bytes mutated = seed;
            mutated[at] = value;
            check(mutated, false, "changed byte", at);
        }
        check(Bytes(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(at)), at < end, "cut", at);
    }
}

TEST(Png, NewPicturesRoundTripInTheirOwnKind)
{
    struct Case {
        Output kind;
        bool swappedTable; // a two-colour table with white first
        std::int32_t xPerMetre, yPerMetre;
        int fileBits, fileColourType;
    };
    const Case cases[] = {
        {Output::TwoColor, false, 3780, 2835, 1, 0},
        {Output::TwoColor, true, 0, 0, 1, 0},
        {Output::Grey, false, 0, 0, 8, 0},
        {Output::TrueColor, false, 11811, 11811, 8, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind) * 10 + c.swappedTable);
        // 37 columns: rows whose bits end inside a byte.
        const int width = 37, height = 11;
        CPicture pic = MakePicture(c.kind, width, height, [&](int x, int y) -> std::uint32_t {
            switch (c.kind) {
            case Output::TwoColor: return static_cast<std::uint32_t>((x * 7 + y * 3) % 5 < 2);
            case Output::Grey: return static_cast<std::uint32_t>((x * 29 + y * 53) & 255);
            default: return static_cast<std::uint32_t>(x * 0x070B0D + y * 0x1D0305);
            }
        });
        CMemBlock dib = pic.TakeBlock();
        if (c.swappedTable)
            for (int i = 0; i < 3; ++i)
                std::swap(dib.Data()[kInfoHeaderSize + i], dib.Data()[kInfoHeaderSize + 4 + i]);
        WriteLE32(dib.Data() + dib::kXPelsPerMeter, static_cast<std::uint32_t>(c.xPerMetre));
        WriteLE32(dib.Data() + dib::kYPelsPerMeter, static_cast<std::uint32_t>(c.yPerMetre));

        TempDir dir;
        const std::string path = dir.Path("p.png");
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        ASSERT_EQ(WritePngFile(path, dib), 1) << ::testing::PrintToString(prompt.Texts());
        const Bytes file = ReadFileBytes(path);
        ASSERT_GT(file.size(), 26u);
        EXPECT_EQ(file[24], c.fileBits);
        EXPECT_EQ(file[25], c.fileColourType);
        CMemBlock back;
        int w = 0, h = 0;
        ASSERT_EQ(ReadPngFile(path, back, w, h), 1);
        EXPECT_TRUE(prompt.messages.empty());
        ASSERT_EQ(w, width);
        ASSERT_EQ(h, height);
        EXPECT_EQ(ReadLE32s(back.Data() + dib::kXPelsPerMeter), c.xPerMetre);
        EXPECT_EQ(ReadLE32s(back.Data() + dib::kYPelsPerMeter), c.yPerMetre);
        for (int top = 0; top < height; ++top)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(BlockPixel(back, x, top), DibColour(dib, x, top)) << x << ", " << top;
    }
}

TEST(Png, WriterRefusesWhatItCannotWriteAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.Path("old.png");
    WriteFileBytes(path, Bytes{1, 2, 3});
    const CPicture fourBits = MakePaletted(4, 4, 4, [](int i) { return Grey(i * 17); }, [](int x, int) { return x; });
    const CPicture grey = MakePicture(Output::Grey, 2, 2);
    struct Case {
        std::string path;
        const CMemBlock* block;
        std::string message;
    };
    const CMemBlock none;
    const Case cases[] = {
        {path, &fourBits.Block(), path + " cannot be written as PNG: the picture is not of 1, 8 or 24 bits per pixel."},
        {path, &none, path + " no bitmap connected to it."},
        {dir.Path("missing/new.png"), &grey.Block(), "can't open " + dir.Path("missing/new.png") + "\n"},
    };
    for (const Case& c : cases) {
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        EXPECT_EQ(WritePngFile(c.path, *c.block), 0);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message});
    }
    EXPECT_EQ(ReadFileBytes(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(ListFolder(dir.Path()).size(), 1u);
}
