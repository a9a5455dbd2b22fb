// Exif orientation: the tag reader over crafted APP1 payloads (both byte
// orders, damaged and cut-short ones), and turning a picture upright against
// the per-pixel definition of each orientation.
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/ExifOrientation.h"
#include "picture/Orientation.h"
#include "support/BlockPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

using namespace lumacut;
using namespace lumacut::test;

namespace {

// ---- payloads ------------------------------------------------------------------

struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count, value; // a SHORT of count 1 goes in the first two bytes
};

struct Payload {
    Payload(bool big, std::vector<Entry> e, std::vector<std::uint32_t> r = {}, int delta = 0, std::uint32_t ifd = 8,
            const char* sig = "Exif")
        : bigEndian(big), entries(std::move(e)), rationals(std::move(r)), countDelta(delta), ifdOffset(ifd), signature(sig)
    {
    }
    bool bigEndian;
    std::vector<Entry> entries;
    std::vector<std::uint32_t> rationals; // numerator, denominator pairs after the IFD
    int countDelta;                       // a count that lies about the entries
    std::uint32_t ifdOffset;
    const char* signature;
};

constexpr std::uint16_t kOrientation = 0x0112, kXRes = 0x011A, kYRes = 0x011B, kUnit = 0x0128;
constexpr std::uint16_t kShort = 3, kLong = 4, kRational = 5;

// Offset in the TIFF block of the i-th rational after a directory of n entries.
std::uint32_t RationalAt(std::size_t n, std::size_t i) { return static_cast<std::uint32_t>(8 + 2 + 12 * n + 4 + 8 * i); }

std::vector<std::uint8_t> Build(const Payload& p)
{
    std::vector<std::uint8_t> out(p.signature, p.signature + std::strlen(p.signature));
    out.resize(6, 0);
    auto u16 = [&](std::uint32_t v) {
        if (p.bigEndian)
            out.insert(out.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
        else
            out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    };
    auto u32 = [&](std::uint32_t v) {
        if (p.bigEndian) {
            u16(v >> 16);
            u16(v & 0xFFFF);
        } else {
            u16(v & 0xFFFF);
            u16(v >> 16);
        }
    };
    out.push_back(p.bigEndian ? 'M' : 'I');
    out.push_back(p.bigEndian ? 'M' : 'I');
    u16(42);
    u32(p.ifdOffset);
    u16(static_cast<std::uint32_t>(static_cast<int>(p.entries.size()) + p.countDelta));
    for (const Entry& e : p.entries) {
        u16(e.tag);
        u16(e.type);
        u32(e.count);
        if (e.type == kShort && e.count == 1) {
            u16(e.value);
            u16(0);
        } else {
            u32(e.value);
        }
    }
    u32(0); // no next directory
    for (std::uint32_t r : p.rationals)
        u32(r);
    return out;
}

ExifTags Read(const std::vector<std::uint8_t>& bytes) { return ReadExifTags(bytes.data(), bytes.size()); }

std::int32_t Ppm(double perUnit, double metresPerUnit) { return static_cast<std::int32_t>(std::lround(perUnit / metresPerUnit)); }

TEST(ExifTags, OrientationFromCraftedPayloads)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "MM" : "II");
        const Entry other{0x010F, 2, 4, 0}; // Make, ASCII
        for (std::uint32_t value = 0; value <= 9; ++value)
            EXPECT_EQ(Read(Build({big, {other, {kOrientation, kShort, 1, value}}})).orientation,
                      value >= 1 && value <= 8 ? int(value) : 0)
                << value;
        struct Case {
            const char* what;
            Payload payload;
        } cases[] = {
            {"absent", {big, {other}}},
            {"no entries", {big, {}}},
            {"LONG type", {big, {{kOrientation, kLong, 1, 6}}}},
            {"count 2", {big, {{kOrientation, kShort, 2, 6}}}},
            {"count 0", {big, {{kOrientation, kShort, 0, 6}}}},
            {"given twice", {big, {{kOrientation, kShort, 1, 6}, {kOrientation, kShort, 1, 6}}}},
            {"entry count runs past the end", {big, {{kOrientation, kShort, 1, 6}}, {}, 1}},
            {"entry count 0xFFFF", {big, {{kOrientation, kShort, 1, 6}}, {}, 0xFFFE}},
            {"IFD past the end", {big, {{kOrientation, kShort, 1, 6}}, {}, 0, 0x7FFFFFF0u}},
            {"IFD inside the header", {big, {{kOrientation, kShort, 1, 6}}, {}, 0, 4}},
            {"not Exif", {big, {{kOrientation, kShort, 1, 6}}, {}, 0, 8, "Exiv"}},
        };
        for (const Case& c : cases)
            EXPECT_EQ(Read(Build(c.payload)).orientation, 0) << c.what;
    }
    std::vector<std::uint8_t> mixed = Build({false, {{kOrientation, kShort, 1, 6}}});
    mixed[7] = 'M'; // "IM"
    EXPECT_EQ(Read(mixed).orientation, 0);
    std::vector<std::uint8_t> not42 = Build({false, {{kOrientation, kShort, 1, 6}}});
    not42[8] = 43;
    EXPECT_EQ(Read(not42).orientation, 0);
    EXPECT_EQ(ReadExifTags(nullptr, 100).orientation, 0);
}

TEST(ExifTags, ResolutionFromCraftedPayloads)
{
    const std::size_t n = 3;
    struct Case {
        const char* what;
        std::vector<Entry> extra;           // besides X and Y at rationals 0 and 1
        std::vector<std::uint32_t> ratios;  // x num, x den, y num, y den
        std::int32_t x, y;
    } cases[] = {
        {"inch by default", {{0x010F, 2, 4, 0}}, {300, 1, 144, 2}, Ppm(300, 0.0254), Ppm(72, 0.0254)},
        {"inch", {{kUnit, kShort, 1, 2}}, {600, 1, 600, 1}, Ppm(600, 0.0254), Ppm(600, 0.0254)},
        {"centimetre", {{kUnit, kShort, 1, 3}}, {118, 1, 59, 1}, 11800, 5900},
        {"no unit", {{kUnit, kShort, 1, 1}}, {300, 1, 300, 1}, 0, 0},
        {"unit of wrong type", {{kUnit, kLong, 1, 3}}, {300, 1, 300, 1}, 0, 0},
        {"zero denominator", {{0x010F, 2, 4, 0}}, {300, 0, 300, 1}, 0, 0},
        {"too large for the header", {{0x010F, 2, 4, 0}}, {0xFFFFFFFF, 1, 300, 1}, 0, 0},
    };
    for (bool big : {false, true})
        for (const Case& c : cases) {
            Payload p{big, {{kXRes, kRational, 1, RationalAt(n, 0)}, {kYRes, kRational, 1, RationalAt(n, 1)}}};
            p.entries.insert(p.entries.end(), c.extra.begin(), c.extra.end());
            p.rationals = c.ratios;
            const ExifTags tags = Read(Build(p));
            EXPECT_EQ(tags.xPelsPerMeter, c.x) << c.what << (big ? " MM" : " II");
            EXPECT_EQ(tags.yPelsPerMeter, c.y) << c.what << (big ? " MM" : " II");
        }
    // Damaged rationals: each leaves no resolution, orientation still read.
    const Payload damaged[] = {
        {false, {{kXRes, kRational, 1, RationalAt(n, 0)}, {kYRes, kRational, 1, 0xFFFFFFF0u}, {kOrientation, kShort, 1, 3}}, {300, 1, 300, 1}},
        {false, {{kXRes, kRational, 2, RationalAt(n, 0)}, {kYRes, kRational, 1, RationalAt(n, 1)}, {kOrientation, kShort, 1, 3}}, {300, 1, 300, 1}},
        {false, {{kXRes, kRational, 1, RationalAt(n, 0)}, {0x0131, 2, 4, 0}, {kOrientation, kShort, 1, 3}}, {300, 1, 300, 1}},
    };
    for (const Payload& p : damaged) {
        const ExifTags tags = Read(Build(p));
        EXPECT_EQ(tags.xPelsPerMeter, 0);
        EXPECT_EQ(tags.yPelsPerMeter, 0);
        EXPECT_EQ(tags.orientation, 3);
    }
}

// Every prefix of a valid payload, each in a buffer of exactly its length:
// nothing is read past the end, and a tag is either found as it is or not
// at all — found exactly when its directory (and value) is all there.
TEST(ExifTags, EveryPrefixGivesTheTagOrNothing)
{
    for (bool big : {false, true}) {
        const Payload p{big,
                        {{kOrientation, kShort, 1, 8}, {kXRes, kRational, 1, RationalAt(3, 0)}, {kYRes, kRational, 1, RationalAt(3, 1)}},
                        {72, 1, 96, 1}};
        const std::vector<std::uint8_t> whole = Build(p);
        const std::size_t directoryEnd = 6 + 8 + 2 + 12 * 3;
        for (std::size_t size = 0; size <= whole.size(); ++size) {
            const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            const ExifTags tags = ReadExifTags(cut.data(), cut.size());
            EXPECT_EQ(tags.orientation, size >= directoryEnd ? 8 : 0) << size;
            EXPECT_EQ(tags.xPelsPerMeter, size == whole.size() ? Ppm(72, 0.0254) : 0) << size;
        }
    }
}

// ---- turning -------------------------------------------------------------------

// Every pixel distinct: red the column, green the row (from the top), blue
// a mix so that no two pictures of the test share a pattern.
CMemBlock Asymmetric(int width, int height)
{
    CMemBlock block = AllocTrueColorDib(width, height);
    const std::size_t stride = TrueColorStride(width);
    for (int top = 0; top < height; ++top)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = block.Data() + 40 + stride * static_cast<std::size_t>(height - 1 - top) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 5 + top * 3);
            p[1] = static_cast<std::uint8_t>(top);
            p[2] = static_cast<std::uint8_t>(x);
        }
    WriteLE32(block.Data() + dib::kXPelsPerMeter, 2835);
    WriteLE32(block.Data() + dib::kYPelsPerMeter, 5670);
    return block;
}

// Source pixel (x, y from the top) of output pixel (u, v) of a w x h picture.
struct Source {
    int x, y;
};
Source SourceOf(int orientation, int u, int v, int w, int h)
{
    switch (orientation) {
    case 2: return {w - 1 - u, v};
    case 3: return {w - 1 - u, h - 1 - v};
    case 4: return {u, h - 1 - v};
    case 5: return {v, u};
    case 6: return {v, h - 1 - u};
    case 7: return {w - 1 - v, h - 1 - u};
    case 8: return {w - 1 - v, u};
    default: return {u, v};
    }
}

int Inverse(int orientation) { return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation; }

TEST(TurnUpright, MatchesThePerPixelDefinitionAndItsInverseUndoesIt)
{
    // Odd sizes within one tile and across several, each with a remainder.
    for (auto [w, h] : {std::pair{7, 5}, std::pair{37, 19}, std::pair{300, 131}})
        for (int o = 1; o <= 8; ++o) {
            SCOPED_TRACE(::testing::Message() << w << " x " << h << ", orientation " << o);
            const CMemBlock original = Asymmetric(w, h);
            CMemBlock turned = DuplicateBlock(original);
            ASSERT_TRUE(TurnUpright(turned, o));
            const bool swap = o >= 5;
            const int tw = swap ? h : w, th = swap ? w : h;
            ASSERT_EQ(ReadLE32s(turned.Data() + dib::kWidth), tw);
            ASSERT_EQ(ReadLE32s(turned.Data() + dib::kHeight), th);
            ASSERT_EQ(turned.Size(), TrueColorBlockSize(tw, th));
            EXPECT_EQ(ReadLE32(turned.Data() + dib::kSizeImage), TrueColorStride(tw) * th);
            EXPECT_EQ(ReadLE32(turned.Data() + dib::kXPelsPerMeter), swap ? 5670u : 2835u);
            EXPECT_EQ(ReadLE32(turned.Data() + dib::kYPelsPerMeter), swap ? 2835u : 5670u);
            int wrong = 0;
            for (int v = 0; v < th; ++v)
                for (int u = 0; u < tw; ++u) {
                    const Source s = SourceOf(o, u, v, w, h);
                    wrong += BlockPixel(turned, u, v) != BlockPixel(original, s.x, s.y);
                }
            EXPECT_EQ(wrong, 0);

            ASSERT_TRUE(TurnUpright(turned, Inverse(o)));
            ASSERT_EQ(turned.Size(), original.Size());
            EXPECT_EQ(std::memcmp(turned.Data(), original.Data(), original.Size()), 0);
        }
}

TEST(TurnUpright, LeavesBlocksItCannotTurnAlone)
{
    const CMemBlock original = Asymmetric(7, 5);
    for (int o : {0, 1, 9, -6}) {
        CMemBlock block = DuplicateBlock(original);
        EXPECT_TRUE(TurnUpright(block, o));
        EXPECT_EQ(std::memcmp(block.Data(), original.Data(), original.Size()), 0) << o;
        EXPECT_TRUE(OrientationPhrase(o).empty()) << o;
    }
    // Not 24-bit, top-down, cut short, empty: refused, untouched.
    auto changed = [&](auto edit) {
        CMemBlock block = DuplicateBlock(original);
        edit(block);
        CMemBlock before = DuplicateBlock(block);
        EXPECT_FALSE(TurnUpright(block, 6));
        return block.Size() != before.Size() || (block && std::memcmp(block.Data(), before.Data(), block.Size()) != 0);
    };
    EXPECT_FALSE(changed([](CMemBlock& b) { WriteLE16(b.Data() + dib::kBitCount, 8); }));
    EXPECT_FALSE(changed([](CMemBlock& b) { WriteLE32(b.Data() + dib::kHeight, static_cast<std::uint32_t>(-5)); }));
    EXPECT_FALSE(changed([](CMemBlock& b) { WriteLE32(b.Data() + dib::kHeight, 6); }));
    EXPECT_FALSE(changed([](CMemBlock& b) { b.Free(); }));

    std::vector<std::string_view> phrases;
    for (int o = 2; o <= 8; ++o) {
        EXPECT_FALSE(OrientationPhrase(o).empty()) << o;
        phrases.push_back(OrientationPhrase(o));
    }
    std::sort(phrases.begin(), phrases.end());
    EXPECT_EQ(std::unique(phrases.begin(), phrases.end()), phrases.end());
}

} // namespace
