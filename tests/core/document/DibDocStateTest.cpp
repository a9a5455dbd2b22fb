// The document's state before any picture: defaults, accessors, the colour
// pick, and the naming rule.
#include "document/CDibDoc.h"
#include "document/DocNaming.h"
#include "platform/Messages.h"
#include "support/RecordingPrompt.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

TEST(DibDocDefaults, FreshDocumentHoldsEveryDefault)
{
    CDibDoc doc;
    EXPECT_TRUE(doc.m_picOriginal.Block().IsNull());
    EXPECT_EQ(doc.m_picOriginal.Palette(), nullptr);
    EXPECT_EQ(doc.m_picOriginal.Colors(), 16);
    EXPECT_EQ(doc.m_picNew.Colors(), 16);
    EXPECT_TRUE(doc.m_picNew.Block().IsNull());
    EXPECT_EQ(doc.GetPictureSize(true).width, 0);
    EXPECT_EQ(doc.GetPictureSize(false).height, 0);
    EXPECT_TRUE(doc.m_canUndoColor);
    EXPECT_FALSE(doc.m_clipActive);
    EXPECT_EQ(doc.m_clipRect, (Rect{0, 0, 0, 0}));
    EXPECT_FALSE(doc.m_pictureReady);

    FilterSettings expected;
    expected.lightDark = 0;
    expected.contrast = 100;
    expected.gamma = 50;
    expected.activeRed = expected.activeGreen = expected.activeBlue = 1;
    expected.color = 0x808080;
    expected.negative = 0;
    expected.kind = 0;
    expected.sharpness = 0;
    EXPECT_EQ(doc.m_filter, expected);
    EXPECT_EQ(doc.m_filterUndo, doc.m_filter);

    EXPECT_EQ(doc.m_scale, 1.0);
    EXPECT_EQ(doc.m_footprint, 1.0);
    EXPECT_EQ(doc.m_tilt, 0.0);
    EXPECT_EQ(doc.m_baseName, "");
    EXPECT_EQ(doc.m_jpegQuality, 90);
    EXPECT_EQ(doc.m_saveExt, ".jpg");
    EXPECT_EQ(doc.m_colorListCount, 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.NeedsResample());
}

TEST(DibDocDefaults, NewDocumentStaysEmpty)
{
    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    CDibDoc doc;
    doc.SetModifiedFlag(true);
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(doc.m_pictureReady);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetPictureBlock(true).IsNull());
    EXPECT_TRUE(doc.GetPictureBlock(false).IsNull());
    EXPECT_FALSE(doc.m_clipActive);
    EXPECT_EQ(prompt.outputQuestions, 0);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(DibDocOriginalPixel, WithoutABlockShowsDraxError)
{
    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    CDibDoc doc;
    std::uint32_t color = 0x123456;
    EXPECT_FALSE(doc.GetOriginalPixel(0, 0, color));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Drax X error 2"});
    EXPECT_EQ(color, 0x123456u);
}

TEST(DibDocOriginalPixel, ReadsStoredRowsAsBlueGreenRedValues)
{
    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    CDibDoc doc;
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    // Top row: red, green; bottom row: blue, (1, 2, 3).
    const std::uint32_t top[2] = {0xFF0000, 0x00FF00};
    const std::uint32_t bottom[2] = {0x0000FF, 0x010203};
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(MakeDib(layout, [&](int x, int y) { return y == 0 ? top[x] : bottom[x]; }))));
    prompt.Clear();

    std::uint32_t c = 0xFFFFFFFF;
    ASSERT_TRUE(doc.GetOriginalPixel(0, 1, c)); // stored row 1 is the top row
    EXPECT_EQ(c, 0x000000FFu);                  // red in the low byte
    ASSERT_TRUE(doc.GetOriginalPixel(1, 1, c));
    EXPECT_EQ(c, 0x0000FF00u);
    ASSERT_TRUE(doc.GetOriginalPixel(0, 0, c));
    EXPECT_EQ(c, 0x00FF0000u);
    ASSERT_TRUE(doc.GetOriginalPixel(1, 0, c));
    EXPECT_EQ(c, 0x00030201u);
    // Outside the picture: black, and still a success.
    ASSERT_TRUE(doc.GetOriginalPixel(2, 0, c));
    EXPECT_EQ(c, 0u);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(DibDocAccessors, GiveEachPicturesBlockPaletteAndSize)
{
    RecordingPrompt prompt;
    prompt.outputChoices = {kOutputGrey};
    ScopedPrompt scoped(prompt);
    CDibDoc doc;
    BmpLayout layout;
    layout.width = 5;
    layout.height = 3;
    ASSERT_TRUE(doc.AdoptOriginal(ToBlock(MakeDib(layout, [](int, int) { return 0u; }))));
    EXPECT_EQ(doc.GetPictureBlock(true).Data(), doc.m_picOriginal.Block().Data());
    EXPECT_EQ(doc.GetPictureBlock(false).Data(), doc.m_picNew.Block().Data());
    ASSERT_NE(doc.GetPicturePalette(true), nullptr);
    EXPECT_FALSE(doc.GetPicturePalette(true)->HasPalette()); // true colour: an empty palette object
    ASSERT_NE(doc.GetPicturePalette(false), nullptr);
    EXPECT_EQ(doc.GetPicturePalette(false)->Entries().size(), 256u);
    EXPECT_EQ(doc.GetPictureSize(true).width, 5);
    EXPECT_EQ(doc.GetPictureSize(true).height, 3);
}

struct NamingCase {
    const char* name;
    const char* path;
    const char* base;
};
inline void PrintTo(const NamingCase& c, std::ostream* os)
{
    *os << c.name;
}

class BaseNameRule : public ::testing::TestWithParam<NamingCase> {};

TEST_P(BaseNameRule, CutsAtTheFirstDotOfTheFileName)
{
    EXPECT_EQ(BaseNameOf(GetParam().path), GetParam().base);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BaseNameRule,
    ::testing::Values(NamingCase{"plain", "photo.jpg", "photo"}, NamingCase{"two_dots", "photo.old.bmp", "photo"},
                      NamingCase{"dotted_folder", "a.b/photo.jpg", "a.b/photo"},
                      NamingCase{"dotted_folders_and_name", "/x.y/a.b/photo.old.bmp", "/x.y/a.b/photo"},
                      NamingCase{"no_dot", "dir/photo", "dir/photo"},
                      NamingCase{"dotted_folder_no_dot_in_name", "a.b/photo", "a.b/photo"},
                      NamingCase{"hidden_file", "dir/.photo.jpg", "dir/.photo"},
                      NamingCase{"relative_dots", "../pics/photo.jpg", "../pics/photo"},
                      NamingCase{"upper_case", "PHOTO.JPG", "PHOTO"}),
    [](const auto& info) { return info.param.name; });
