// A new Original arriving (opened or pasted): checks, the picture
// information text, every header form, "Choose Output" and the New
// Picture's kind, and refusals that leave the document as it was.
#include "document/CDibDoc.h"
#include "picture/Dib.h"
#include "support/RecordingPrompt.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

Bytes Plain24(int width, int height)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    return MakeDib(layout, [](int x, int y) { return static_cast<std::uint32_t>(0x102030 + x * 0x10101 + y * 7); });
}

// 0xRRGGBB entries.
std::vector<std::uint32_t> Ramp(int n)
{
    std::vector<std::uint32_t> table;
    for (int i = 0; i < n; ++i)
        table.push_back(static_cast<std::uint32_t>((i * 3 + 1) & 0xFF) << 16 | static_cast<std::uint32_t>(255 - i) << 8 |
                        static_cast<std::uint32_t>(i * 7 % 256));
    return table;
}

// A colour as the document gives it: red in the low byte.
std::uint32_t ValueOf(std::uint32_t rgb)
{
    return (rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace

class OriginalSetUp : public ::testing::Test {
protected:
    OriginalSetUp() : m_scoped(prompt) {}
    RecordingPrompt prompt;
    CDibDoc doc;

private:
    ScopedPrompt m_scoped;
};

TEST_F(OriginalSetUp, InformationTextHasItsFourLinesAndTheResolutionExactly)
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.xPelsPerMeter = 2835;
    layout.yPelsPerMeter = 2836;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(MakeDib(layout, [](int, int) { return 0u; }))));
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.messages[0].text, "biWidth: 3, biHeight: 2, Colors: 0\n"
                                       "Bit count 24,  Header 40, planes 1\n"
                                       "biCompression 0, biSize 40\n"
                                       "biSizeImage 24,  biXPelsPerMeter 2835 biYPelsPerMeter 2836\n"
                                       "Resolution 72 x 72 dots per inch\n");
}

TEST_F(OriginalSetUp, InformationOfACoreHeaderShowsZerosForFieldsItLacks)
{
    BmpLayout layout;
    layout.headerSize = 12;
    layout.width = 3;
    layout.height = 2;
    layout.bitCount = 8;
    layout.table = Ramp(256);
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(MakeDib(layout, [](int, int) { return 0u; }))));
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages[0].text, "biWidth: 3, biHeight: 2, Colors: 256\n"
                                       "Bit count 8,  Header 12, planes 1\n"
                                       "biCompression 0, biSize 12\n"
                                       "biSizeImage 0,  biXPelsPerMeter 0 biYPelsPerMeter 0\n");
}

TEST_F(OriginalSetUp, ResetsClipAndAsksForTheOutputAfterTheInformation)
{
    doc.m_clipActive = true;
    doc.m_clipRect = Rect{1, 1, 2, 2};
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(7, 4))));
    EXPECT_FALSE(doc.m_clipActive);
    EXPECT_EQ(doc.m_clipRect, (Rect{0, 0, 7, 4}));
    EXPECT_EQ(prompt.outputQuestions, 1);
    EXPECT_EQ(prompt.Texts(false), std::vector<std::string>{}); // nothing but the information
    // Derived fields of the Original.
    EXPECT_EQ(doc.m_picOriginal.Width(), 7);
    EXPECT_EQ(doc.m_picOriginal.Height(), 4);
    EXPECT_EQ(doc.m_picOriginal.Colors(), 0);
    EXPECT_EQ(doc.m_picOriginal.BitCount(), 24);
    EXPECT_EQ(doc.m_picOriginal.BytesPerPixel(), 3);
    EXPECT_EQ(doc.m_picOriginal.Stride(), 24);
    // Naming and the ready flag belong to the caller.
    EXPECT_FALSE(doc.m_pictureReady);
}

TEST_F(OriginalSetUp, TakesAReadersBlockWithoutCopyingIt)
{
    CMemBlock block = ToBlock(Plain24(4, 4));
    const std::uint8_t* data = block.Data();
    ASSERT_TRUE(doc.AdoptOriginal(std::move(block)));
    EXPECT_EQ(doc.GetPictureBlock(true).Data(), data);
}

struct KindCase {
    const char* name;
    int choice;
    int colors;
    int bitCount;
    int bytesPerPixel;
};
inline void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.name;
}

class NewPictureKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(NewPictureKind, FollowsTheOutputChoice)
{
    const KindCase& k = GetParam();
    RecordingPrompt prompt;
    prompt.outputChoices = {k.choice};
    ScopedPrompt scoped(prompt);
    CDibDoc doc;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(9, 5))));
    const CPicture& p = doc.m_picNew;
    EXPECT_EQ(p.Colors(), k.colors);
    EXPECT_EQ(p.BitCount(), k.bitCount);
    EXPECT_EQ(p.BytesPerPixel(), k.bytesPerPixel);
    EXPECT_EQ(p.LogPal().palVersion, 0x300);
    EXPECT_EQ(p.LogPal().palNumEntries, k.colors);
    EXPECT_EQ(p.Width(), 9);
    EXPECT_EQ(p.Height(), 5);
    ASSERT_FALSE(p.Block().IsNull());
    const std::uint8_t* dib = p.Block().Data();
    EXPECT_EQ(ReadLE32(dib), 40u);
    EXPECT_EQ(ReadLE16(dib + dib::kBitCount), k.bitCount);
    EXPECT_GE(p.Block().Size(), static_cast<std::size_t>(DibSize(9, 5, k.bitCount, k.colors)));
    // The colour table in the block: black and white, or the grey ramp.
    for (int i = 0; i < k.colors; ++i) {
        const int v = k.colors == 2 ? i * 255 : i;
        ASSERT_EQ(dib[40 + 4 * i], v) << i;
        ASSERT_EQ(dib[40 + 4 * i + 1], v) << i;
        ASSERT_EQ(dib[40 + 4 * i + 2], v) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, NewPictureKind,
                         ::testing::Values(KindCase{"two_color", kOutputTwoColor, 2, 1, 0},
                                           KindCase{"grey", kOutputGrey, 256, 8, 1},
                                           KindCase{"true_color", kOutputTrueColor, 0, 24, 3},
                                           // Not an answer the dialog gives: a fresh
                                           // document takes the dialog's default.
                                           KindCase{"other_answer_on_fresh_document", 7, 2, 1, 0}),
                         [](const auto& info) { return info.param.name; });

TEST_F(OriginalSetUp, AnotherAnswerKeepsTheKindAlreadyChosen)
{
    prompt.outputChoices = {kOutputGrey, -1};
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(2, 2))));
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(3, 3))));
    EXPECT_EQ(doc.m_picNew.Colors(), 256);
    EXPECT_EQ(doc.m_picNew.BitCount(), 8);
}

TEST_F(OriginalSetUp, ASecondPictureKeepsTheSettings)
{
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(2, 2))));
    doc.m_filter.negative = 1;
    doc.m_filter.lightDark = -20;
    doc.m_scale = 0.5;
    doc.m_footprint = 2;
    doc.m_tilt = 0.1;
    doc.m_colorListCount = 1;
    doc.m_jpegQuality = 40;
    const FilterSettings filter = doc.m_filter;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(3, 3))));
    EXPECT_EQ(doc.m_filter, filter);
    EXPECT_EQ(doc.m_scale, 0.5);
    EXPECT_EQ(doc.m_footprint, 2);
    EXPECT_EQ(doc.m_tilt, 0.1);
    EXPECT_EQ(doc.m_colorListCount, 1);
    EXPECT_EQ(doc.m_jpegQuality, 40);
    EXPECT_EQ(prompt.outputQuestions, 2);
}

// ---- every header form that validates is read right -------------------------------

struct FormCase {
    const char* name;
    BmpLayout layout;
    int colors;
    int bitCount;
    int bytesPerPixel;
};
inline void PrintTo(const FormCase& c, std::ostream* os)
{
    *os << c.name;
}

class HeaderForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(HeaderForms, GiveTheSamePixelsThroughTheReaders)
{
    const FormCase& f = GetParam();
    const BmpLayout& s = f.layout;
    const int width = s.width, height = s.height;
    // Indices cycle through the table (and, for the short table, one past it).
    auto value = [&](int x, int y) -> std::uint32_t {
        if (s.bitCount <= 8) {
            const int limit = s.clrUsed ? s.clrUsed + 1 : static_cast<int>(s.table.size());
            return static_cast<std::uint32_t>((x + y * width) % limit);
        }
        return static_cast<std::uint32_t>(0x010203 * (x + 1) + 0x100000 * y);
    };
    auto expected = [&](int x, int y) -> std::uint32_t {
        const std::uint32_t v = value(x, y);
        if (s.bitCount == 1)
            return v ? 0xFFFFFFu : 0u; // a two-colour picture reads black and white
        if (s.bitCount <= 8)
            return v < s.table.size() ? ValueOf(s.table[v]) : 0u; // past the table: black
        return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
    };

    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    CDibDoc doc;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(MakeDib(s, value))));
    EXPECT_EQ(prompt.Texts(false), std::vector<std::string>{});
    const CPicture& p = doc.m_picOriginal;
    EXPECT_EQ(p.Colors(), f.colors);
    EXPECT_EQ(p.BitCount(), f.bitCount);
    EXPECT_EQ(p.BytesPerPixel(), f.bytesPerPixel);
    EXPECT_EQ(p.Stride(), RowStride(width, f.bitCount));
    EXPECT_EQ(ReadLE32(doc.GetPictureBlock(true).Data()), 40u); // kept in one form
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = 0xDEADBEEF;
            ASSERT_TRUE(doc.GetOriginalPixel(x, height - 1 - y, c));
            ASSERT_EQ(c, expected(x, y)) << "at " << x << "," << y;
        }
}

namespace {

BmpLayout Layout(int headerSize, int bitCount, std::vector<std::uint32_t> table, int clrUsed = 0, int compression = 0)
{
    BmpLayout s;
    s.headerSize = headerSize;
    s.width = 5;
    s.height = 3;
    s.bitCount = bitCount;
    s.table = std::move(table);
    s.clrUsed = clrUsed;
    s.compression = compression;
    if (compression == 3)
        s.masks = kUsualMasks;
    return s;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Forms, HeaderForms,
    ::testing::Values(FormCase{"windows_24", Layout(40, 24, {}), 0, 24, 3},
                      FormCase{"windows_24_with_palette_hint", Layout(40, 24, Ramp(4), 4), 0, 24, 3},
                      FormCase{"windows_32", Layout(40, 32, {}), 0, 32, 4},
                      FormCase{"windows_32_with_masks", Layout(40, 32, {}, 0, 3), 0, 32, 4},
                      FormCase{"v4_header_24", Layout(108, 24, {}), 0, 24, 3},
                      FormCase{"v5_header_8", Layout(124, 8, Ramp(256)), 256, 8, 1},
                      FormCase{"core_24", Layout(12, 24, {}), 0, 24, 3},
                      FormCase{"core_8", Layout(12, 8, Ramp(256)), 256, 8, 1},
                      FormCase{"core_4", Layout(12, 4, Ramp(16)), 16, 4, 0},
                      FormCase{"windows_8_short_table", Layout(40, 8, Ramp(3), 3), 256, 8, 1},
                      FormCase{"windows_4_short_table", Layout(40, 4, Ramp(5), 5), 16, 4, 0},
                      FormCase{"windows_4", Layout(40, 4, Ramp(16)), 16, 4, 0},
                      FormCase{"windows_1_coloured", Layout(40, 1, {0xC80000, 0x0000C8}), 2, 1, 0}),
    [](const auto& info) { return info.param.name; });

// ---- refusals leave the document exactly as it was -----------------------------------

struct RefusalCase {
    const char* name;
    std::function<Bytes()> make;
};
inline void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, FailWithBmpIsTooLargeAndChangeNothing)
{
    RecordingPrompt prompt;
    prompt.outputChoices = {kOutputGrey};
    ScopedPrompt scoped(prompt);
    CDibDoc doc;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(6, 4))));
    doc.m_clipActive = true;
    doc.m_clipRect = Rect{1, 1, 3, 3};
    doc.m_pictureReady = true;
    const std::uint8_t* original = doc.GetPictureBlock(true).Data();
    const std::uint8_t* result = doc.GetPictureBlock(false).Data();
    const CPalette* palette = doc.GetPicturePalette(true);
    prompt.Clear();
    const int questions = prompt.outputQuestions;

    EXPECT_FALSE(doc.AdoptOriginal(ToBlock(GetParam().make())));

    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "BMP is too large");
    EXPECT_EQ(prompt.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.outputQuestions, questions);
    EXPECT_EQ(doc.GetPictureBlock(true).Data(), original);
    EXPECT_EQ(doc.GetPictureBlock(false).Data(), result);
    EXPECT_EQ(doc.GetPicturePalette(true), palette);
    EXPECT_EQ(doc.GetPictureSize(true).width, 6);
    EXPECT_EQ(doc.GetPictureSize(false).width, 6);
    EXPECT_EQ(doc.m_picNew.Colors(), 256);
    EXPECT_TRUE(doc.m_clipActive);
    EXPECT_EQ(doc.m_clipRect, (Rect{1, 1, 3, 3}));
    EXPECT_TRUE(doc.m_pictureReady);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, Refusals,
    ::testing::Values(RefusalCase{"top_down",
                                  [] {
                                      BmpLayout s;
                                      s.width = 2;
                                      s.height = 2;
                                      s.topDown = true;
                                      return MakeDib(s, [](int, int) { return 0u; });
                                  }},
                      RefusalCase{"unknown_header_size",
                                  [] {
                                      auto d = Plain24(2, 2);
                                      Put32(d, 0, 64);
                                      return d;
                                  }},
                      RefusalCase{"pixels_cut_short",
                                  [] {
                                      auto d = Plain24(4, 4);
                                      d.resize(d.size() - 1);
                                      return d;
                                  }},
                      RefusalCase{"zero_width",
                                  [] {
                                      auto d = Plain24(2, 2);
                                      Put32(d, 4, 0);
                                      return d;
                                  }},
                      RefusalCase{"beyond_the_size_limit",
                                  [] {
                                      auto d = Plain24(2, 2);
                                      Put32(d, 4, 1u << 21);
                                      Put32(d, 8, 1u << 21);
                                      return d;
                                  }},
                      RefusalCase{"bit_count_16",
                                  [] {
                                      auto d = Plain24(2, 2);
                                      Put16(d, 14, 16);
                                      return d;
                                  }},
                      RefusalCase{"rle_compressed",
                                  [] {
                                      BmpLayout s = Layout(40, 8, Ramp(256));
                                      auto d = MakeDib(s, [](int, int) { return 0u; });
                                      Put32(d, 16, 1);
                                      return d;
                                  }},
                      RefusalCase{"more_than_256_colours",
                                  [] {
                                      BmpLayout s = Layout(40, 8, Ramp(256));
                                      auto d = MakeDib(s, [](int, int) { return 0u; });
                                      Put32(d, 32, 300);
                                      return d;
                                  }},
                      RefusalCase{"header_cut_short",
                                  [] {
                                      auto d = Plain24(1, 1);
                                      d.resize(20);
                                      return d;
                                  }}),
    [](const auto& info) { return info.param.name; });

TEST_F(OriginalSetUp, AnEmptyBlockIsNoPictureAndSaysNothing)
{
    EXPECT_FALSE(doc.AdoptOriginal(CMemBlock()));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(prompt.outputQuestions, 0);
}

TEST_F(OriginalSetUp, PrepareOriginalSetsUpTheBlockAlreadyHeld)
{
    EXPECT_FALSE(doc.PrepareOriginal()); // no block: nothing to do
    EXPECT_EQ(prompt.outputQuestions, 0);

    doc.m_picOriginal = CPicture::FromDib(ToBlock(Plain24(3, 2)));
    EXPECT_TRUE(doc.PrepareOriginal());
    EXPECT_EQ(doc.GetPictureSize(true).width, 3);
    EXPECT_EQ(doc.GetPictureSize(false).height, 2);
    EXPECT_EQ(prompt.outputQuestions, 1);
}

TEST_F(OriginalSetUp, AnOriginalNeverHoldsABlockOutsideTheKeptLayout)
{
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(3, 2))));
    const std::uint8_t* result = doc.GetPictureBlock(false).Data();
    auto bad = Plain24(2, 2);
    Put32(bad, 8, static_cast<std::uint32_t>(-2)); // top-down
    doc.m_picOriginal = CPicture::FromDib(ToBlock(bad));
    prompt.Clear();
    EXPECT_TRUE(doc.GetPictureBlock(true).IsNull());
    EXPECT_EQ(doc.GetPictureSize(true).width, 0);
    EXPECT_FALSE(doc.PrepareOriginal());
    EXPECT_TRUE(prompt.Texts().empty());
    EXPECT_EQ(doc.GetPictureBlock(false).Data(), result);
}

// ---- the first render ------------------------------------------------------------------

TEST_F(OriginalSetUp, FirstRenderUsesTheDocumentsSettings)
{
    prompt.outputChoices = {kOutputTrueColor, kOutputTrueColor};
    doc.m_filter.negative = 1;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(3, 2))));
    ASSERT_TRUE(doc.m_picNew.HasBlock());
    ASSERT_TRUE(doc.m_picOriginal.HasBlock());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            std::uint8_t r = 1, g = 1, b = 1, nr = 0, ng = 0, nb = 0;
            doc.m_picOriginal.GetRGB(x, y, 0, 0, r, g, b);
            doc.m_picNew.GetRGB(x, y, 0, 0, nr, ng, nb);
            EXPECT_EQ(nr, 255 - r);
            EXPECT_EQ(ng, 255 - g);
            EXPECT_EQ(nb, 255 - b);
        }

    // A second picture is rendered at once with the scale already set.
    doc.m_scale = 0.5;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(Plain24(5, 3))));
    EXPECT_EQ(doc.GetPictureSize(false).width, 3);
    EXPECT_EQ(doc.GetPictureSize(false).height, 2);
    EXPECT_EQ(doc.GetPictureSize(true).width, 5);
    EXPECT_EQ(prompt.Texts(false), std::vector<std::string>{});
}
