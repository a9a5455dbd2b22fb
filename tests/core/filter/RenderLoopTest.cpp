#include "filter/RenderLoop.h"
#include "filter/RenderPass.h"

#include "support/PictureBuilder.h"
#include "picture/Dib.h"
#include "picture/Helpers.h"
#include "platform/Messages.h"
#include "support/PictureBytes.h"
#include "support/RenderFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace lumacut;
using namespace lumacut::test;

namespace {

// Every pixel distinct enough that a resampled read differs from a direct one.
Rgb Pattern(int x, int y)
{
    return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(x * 5 + y * 71),
            static_cast<std::uint8_t>((x ^ y) * 29)};
}

using Render = RenderFixture;

std::vector<std::uint8_t> Rows(const CPicture& p)
{
    const std::uint8_t* start = p.Block().Data() + kInfoHeaderSize + 4 * p.Colors();
    return {start, start + std::size_t(p.Stride()) * p.Height()};
}

} // namespace

// ---- sizes and reads -------------------------------------------------------------------

struct SizeCase {
    std::string name;
    int width, height;
    double scale;
    int newWidth, newHeight;
};

class ResultSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ResultSizes, FollowTheDocumentScaleRoundingHalvesUp)
{
    const SizeCase& c = GetParam();
    Render r(MakeTrueColor(c.width, c.height, Pattern), Output::TrueColor);
    // 300 by 150 dots per inch: the result keeps the printed size.
    r.original.SetResolution({11811, 5906});
    r.request.scale = c.scale;
    r.Apply();
    EXPECT_EQ(r.target.Width(), c.newWidth);
    EXPECT_EQ(r.target.Height(), c.newHeight);
    EXPECT_EQ(r.target.GetResolution(), (Resolution{RoundHalfUp(11811 * c.scale), RoundHalfUp(5906 * c.scale)}));
    EXPECT_TRUE(r.prompt.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ResultSizes,
                         ::testing::Values(SizeCase{"Unscaled", 10, 7, 1, 10, 7},
                                           SizeCase{"HalfRoundsUp", 101, 51, 0.5, 51, 26},
                                           SizeCase{"AlmostOneAddsAColumn", 1000, 3, 1.0005, 1001, 3},
                                           SizeCase{"ScaleBeyondTheSamplerClamp", 3, 2, 5, 15, 10},
                                           SizeCase{"ShrinksToNothing", 3, 3, 0.1, 0, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(RenderReads, UnscaledTrueColourCopiesEveryPixel)
{
    Render r(MakeTrueColor(9, 5, Pattern), Output::TrueColor);
    r.Apply();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(PixelAt(r.target, x, y), Pattern(x, y)) << x << "," << y;
}

TEST(RenderReads, DirectReadBeyondTheOriginalIsBlack)
{
    // 1.0005 reads directly but adds a column: that column lies outside.
    Render r(MakeTrueColor(1000, 2, Pattern), Output::TrueColor);
    r.request.scale = 1.0005;
    r.Apply();
    ASSERT_EQ(r.target.Width(), 1001);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(PixelAt(r.target, 999, y), Pattern(999, y));
        EXPECT_EQ(PixelAt(r.target, 1000, y), (Rgb{0, 0, 0}));
    }
}

struct ReadChoiceCase {
    std::string name;
    double scale, footprint, tilt;
    bool clip;
    bool samples;
};

class ReadChoice : public ::testing::TestWithParam<ReadChoiceCase> {};

TEST_P(ReadChoice, SamplesOnlyWhenTheSettingsDepartFromOne)
{
    const ReadChoiceCase& c = GetParam();
    // A checkerboard: any averaging with the neighbours changes a pixel.
    auto board = [](int x, int y) { return (x + y) % 2 ? Rgb{255, 255, 255} : Rgb{0, 0, 0}; };
    Render r(MakeTrueColor(40, 30, board), Output::TrueColor);
    r.request.scale = c.scale;
    r.request.footprint = c.footprint;
    r.request.tilt = c.tilt;
    r.request.clipActive = c.clip;
    r.request.clip = {0, 0, int(std::floor(40 * c.scale + 0.5)), int(std::floor(30 * c.scale + 0.5))};
    r.Apply();
    bool same = true;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            same = same && PixelAt(r.target, x, y) == board(x, y);
    EXPECT_EQ(!same, c.samples);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadChoice,
                         ::testing::Values(ReadChoiceCase{"Plain", 1, 1, 0, false, false},
                                           ReadChoiceCase{"ScaleWithinAThousandth", 1.0005, 1, 0, false, false},
                                           ReadChoiceCase{"ScaleBeyond", 1.002, 1, 0, false, true},
                                           ReadChoiceCase{"FootprintWithinAHundredth", 1, 1.009, 0, false, false},
                                           ReadChoiceCase{"FootprintBeyond", 1, 1.02, 0, false, true},
                                           ReadChoiceCase{"TiltWithinAThousandth", 1, 1, 0.0009, false, false},
                                           ReadChoiceCase{"TiltBeyond", 1, 1, 0.01, false, true},
                                           ReadChoiceCase{"ClipSamplesTheAlmostOneScale", 1.0005, 1, 0, true, true}),
                         [](const auto& info) { return info.param.name; });

// ---- clip region -------------------------------------------------------------------------

TEST(RenderClip, TakesTopDownRowsOfTheFullSizeResult)
{
    Render r(MakeTrueColor(200, 100, Pattern), Output::TrueColor);
    r.request.clipActive = true;
    r.request.clip = {10, 20, 110, 70};
    r.Apply();
    ASSERT_EQ(r.target.Width(), 100);
    ASSERT_EQ(r.target.Height(), 50);
    // Stored rows 30..79 of the result (100 - 70 up to 100 - 20).
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(PixelAt(r.target, x, y), Pattern(x + 10, y + 30)) << x << "," << y;
}

TEST(RenderClip, ClipOfAScaledResultUsesItsCoordinates)
{
    Render r(MakeTrueColor(20, 10, Pattern), Output::TrueColor);
    r.request.scale = 2;
    r.request.clipActive = true;
    r.request.clip = {4, 0, 8, 20}; // result is 40 x 20
    r.Apply();
    ASSERT_EQ(r.target.Width(), 4);
    ASSERT_EQ(r.target.Height(), 20);
    Render whole(MakeTrueColor(20, 10, Pattern), Output::TrueColor);
    whole.request.scale = 2;
    whole.Apply();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(r.target, x, y), PixelAt(whole.target, x + 4, y));
}

TEST(RenderClip, RegionBeyondTheResultIsBlack)
{
    Render r(MakeTrueColor(10, 10, [](int, int) { return Rgb{90, 90, 90}; }), Output::TrueColor);
    r.request.clipActive = true;
    r.request.clip = {5, 0, 15, 10};
    r.Apply();
    ASSERT_EQ(r.target.Width(), 10);
    EXPECT_EQ(PixelAt(r.target, 4, 3), (Rgb{90, 90, 90}));
    EXPECT_EQ(PixelAt(r.target, 6, 3), (Rgb{0, 0, 0}));
}

// ---- passes --------------------------------------------------------------------------------

TEST(PassChoice, FollowsThePairOfColourCounts)
{
    struct Row {
        int original, target;
        PassType pass;
    };
    const Row rows[] = {
        {0, 2, PassType::TwoColor},   {256, 2, PassType::TwoColor}, {16, 2, PassType::TwoColor},
        {0, 256, PassType::Grey},     {256, 256, PassType::Grey},   {16, 256, PassType::Grey},
        {0, 0, PassType::TrueColor},  {256, 0, PassType::None},     {16, 0, PassType::None},
        {2, 2, PassType::None},       {2, 256, PassType::None},     {2, 0, PassType::None},
        {17, 256, PassType::None},    {0, 16, PassType::None},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ChoosePass(r.original, r.target), r.pass) << r.original << " -> " << r.target;
}

TEST(RenderPasses, PaletteOriginalsFeedTwoColourAndGrey)
{
    auto palette = [](int i) { return Grey(i * 17); };
    auto index = [](int x, int y) { return (x + 3 * y) % 16; };
    for (int bits : {4, 8}) {
        Render two(MakePaletted(7, 3, bits, palette, index), Output::TwoColor);
        two.Apply(); // Define Black at 128: grey 0..128 black, 136.. white
        Render grey(MakePaletted(7, 3, bits, palette, index), Output::Grey);
        grey.Apply();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) {
                int v = index(x, y) * 17;
                EXPECT_EQ(PixelAt(two.target, x, y), v <= 128 ? Grey(0) : Grey(255)) << bits;
                EXPECT_EQ(PixelAt(grey.target, x, y), Grey(v)) << bits;
            }
    }
}

TEST(RenderPasses, WritesTheFormulaOfTheKind)
{
    FilterSettings s;
    s.kind = 3;
    s.color = MakeColor(10, 200, 30);
    Render two(MakeTrueColor(5, 4, Pattern), Output::TwoColor);
    Render grey(MakeTrueColor(5, 4, Pattern), Output::Grey);
    Render rgb(MakeTrueColor(5, 4, Pattern), Output::TrueColor);
    two.Apply(s);
    grey.Apply(s);
    rgb.Apply(s);
    FilterConstants k = DeriveConstants(s);
    ReferenceColors refs = ChooseReferenceColors(s, nullptr, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            Rgb p = Pattern(x, y);
            int bit = TwoColorIndex(TwoColorDecision(p.red, p.green, p.blue, s, k), s);
            EXPECT_EQ(PixelAt(two.target, x, y), Grey(bit ? 255 : 0));
            EXPECT_EQ(PixelAt(grey.target, x, y), Grey(GreyPixel(p.red, p.green, p.blue, s, k)));
            EXPECT_EQ(PixelAt(rgb.target, x, y), TrueColorPixel(p.red, p.green, p.blue, s, k, refs));
        }
}

TEST(RenderPasses, GreyKindsOneAndTwoRenderAsSharp)
{
    FilterSettings sharp;
    sharp.kind = 3;
    sharp.color = MakeColor(100, 50, 200);
    Render reference(MakeTrueColor(16, 16, Pattern), Output::Grey);
    reference.Apply(sharp);
    for (int kind : {1, 2}) {
        FilterSettings s = sharp;
        s.kind = kind;
        Render r(MakeTrueColor(16, 16, Pattern), Output::Grey);
        r.Apply(s);
        EXPECT_EQ(Rows(r.target), Rows(reference.target)) << kind;
    }
}

TEST(RenderPasses, TrueColourKindThreeReadsTheColourList)
{
    FilterSettings s;
    s.kind = 3;
    s.color = 0; // black is far from everything in the pattern below
    std::uint32_t list[2] = {MakeColor(90, 90, 90), MakeColor(10, 10, 10)};
    Render r(MakeTrueColor(2, 1, [](int x, int) { return Grey(x ? 10 : 90); }), Output::TrueColor);
    r.request.colorList = list;
    r.request.colorListCount = 2;
    r.Apply(s);
    EXPECT_EQ(PixelAt(r.target, 0, 0), Grey(255));
    EXPECT_EQ(PixelAt(r.target, 1, 0), Grey(255));
    r.request.colorListCount = 1;
    r.Apply(s);
    EXPECT_EQ(PixelAt(r.target, 0, 0), Grey(90));
}

struct NoPassCase {
    std::string name;
    int bits;
    Output kind;
};

class NoPass : public ::testing::TestWithParam<NoPassCase> {};

TEST_P(NoPass, RemakesTheBlockButLeavesItsPixels)
{
    const NoPassCase& c = GetParam();
    Render r(MakePaletted(6, 4, c.bits, [](int i) { return Grey(i); }, [](int, int) { return 1; }), c.kind);
    // A larger block from an earlier render is reused as it is.
    r.target.MakeEmpty(40, 40);
    std::uint8_t* last = r.target.MutableRow(0) + (r.target.Block().Size() - r.target.PixelOffset() - 1);
    *last = 0x5A;
    r.Apply();
    EXPECT_EQ(r.target.Width(), 6);
    EXPECT_EQ(r.target.Height(), 4);
    EXPECT_EQ(r.target.Stride(), RowStride(6, r.target.BitCount()));
    EXPECT_EQ(*last, 0x5A);
    EXPECT_TRUE(r.prompt.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, NoPass,
                         ::testing::Values(NoPassCase{"TwoColourToTwoColour", 1, Output::TwoColor},
                                           NoPassCase{"TwoColourToGrey", 1, Output::Grey},
                                           NoPassCase{"GreyToTrueColour", 8, Output::TrueColor},
                                           NoPassCase{"NibblesToTrueColour", 4, Output::TrueColor}),
                         [](const auto& info) { return info.param.name; });

// ---- failures ------------------------------------------------------------------------------

TEST(RenderFailures, KindOutsideTheRangeIsRefused)
{
    for (int kind : {-1, 4}) {
        Render r(MakeTrueColor(4, 4, Pattern), Output::Grey);
        r.Apply();
        std::vector<std::uint8_t> before = Rows(r.target);
        FilterSettings s;
        s.kind = kind;
        r.request.scale = 2;
        r.Apply(s);
        EXPECT_EQ(r.prompt.Texts(), std::vector<std::string>{std::string(msg::kWrongChoise)});
        // The picture keeps the size of the block it holds.
        EXPECT_EQ(r.target.Width(), 4);
        EXPECT_EQ(r.target.Height(), 4);
        EXPECT_EQ(Rows(r.target), before);
    }
}

TEST(RenderFailures, OriginalWithoutBlockIsReportedAfterTheRemake)
{
    CPicture empty = CPicture::Empty(PictureKind::TrueColor, 5, 3);
    empty.TakeBlock();
    Render r(std::move(empty), Output::TrueColor);
    r.Apply();
    EXPECT_EQ(r.prompt.Texts(), std::vector<std::string>{std::string(msg::kDraxXError2)});
    EXPECT_FALSE(r.target.Block().IsNull());
    EXPECT_EQ(r.target.Width(), 5);
}

struct BadSizeCase {
    std::string name;
    double scale;
    bool clip;
    Rect rect;
};

class BadSizes : public ::testing::TestWithParam<BadSizeCase> {};

TEST_P(BadSizes, AreAFailedRemake)
{
    const BadSizeCase& c = GetParam();
    Render r(MakeTrueColor(8, 8, Pattern), Output::TrueColor);
    r.Apply();
    r.request.scale = c.scale;
    r.request.clipActive = c.clip;
    r.request.clip = c.rect;
    r.Apply();
    EXPECT_EQ(r.prompt.Texts(), std::vector<std::string>{std::string(msg::kMakeEmptyFailed)});
    // No block and no size: nothing can read beyond what is there.
    EXPECT_TRUE(r.target.Block().IsNull());
    EXPECT_EQ(r.target.Width(), 0);
    EXPECT_EQ(r.target.Height(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadSizes,
                         ::testing::Values(BadSizeCase{"NegativeScale", -1, false, {}},
                                           BadSizeCase{"ScaleNotANumber", NAN, false, {}},
                                           BadSizeCase{"ScaleBeyondAnySide", 1e12, false, {}},
                                           BadSizeCase{"ClipTurnedInsideOut", 1, true, {6, 0, 2, 8}},
                                           BadSizeCase{"ClipBeyondTheLimits", 1, true, {0, 0, 1 << 30, 8}}),
                         [](const auto& info) { return info.param.name; });

TEST(NeedsResampleTest, ThresholdsOfScaleAndFootprint)
{
    EXPECT_FALSE(NeedsResample(1.0, 1.0));
    EXPECT_FALSE(NeedsResample(1.0009, 1.0));
    EXPECT_TRUE(NeedsResample(1.0011, 1.0));
    EXPECT_TRUE(NeedsResample(0.998, 1.0));
    EXPECT_FALSE(NeedsResample(1.0, 1.009));
    EXPECT_TRUE(NeedsResample(1.0, 1.011));
    EXPECT_TRUE(NeedsResample(1.0, 0.5));
}

// ---- rows that arrive while the render runs ---------------------------------------------

// The Original is filled row by row from the top while the render runs, every
// row poisoned until it is in: a render that read a row too early, or waited
// for the wrong row, differs from the render of the finished Original.
TEST(RenderWhileRowsArrive, ReadsEachRowOnlyOnceItIsIn)
{
    const int w = 300, h = 211;
    const CPicture finished = MakeTrueColor(w, h, [](int x, int y) {
        return Rgb{std::uint8_t(x * 5 + y), std::uint8_t(x ^ (y * 3)), std::uint8_t(y * 7 - x)};
    });
    struct Case {
        Output kind;
        FilterSettings settings;
        double tilt;
    };
    FilterSettings dither, adaptive, negative;
    dither.dither = kDitherFloydSteinberg;
    adaptive.adaptiveRadius = 6;
    negative.negative = true;
    const Case cases[] = {{Output::TwoColor, {}, 0},       {Output::Grey, negative, 0},
                          {Output::TrueColor, {}, 0.04},   {Output::TwoColor, dither, 0},
                          {Output::TwoColor, adaptive, 0}, {Output::TwoColor, adaptive, 0.02}};
    for (const Case& c : cases) {
        RenderFixture expected(finished.Duplicate(), c.kind);
        expected.request.tilt = c.tilt;
        expected.Apply(c.settings);

        CPicture arriving = finished.Duplicate();
        for (int y = 0; y < h; ++y)
            std::memset(arriving.MutableRow(y), 0xA5, std::size_t(3) * w);
        RenderFixture fixture(std::move(arriving), c.kind);
        CRowArrival rows;
        fixture.request.tilt = c.tilt;
        fixture.request.arrival = &rows;
        std::thread decoder([&] {
            for (int top = 0; top < h;) {
                const int next = std::min(h, top + 7);
                for (int y = top; y < next; ++y)
                    std::memcpy(fixture.original.MutableRow(h - 1 - y), finished.Row(h - 1 - y), std::size_t(3) * w);
                rows.Arrived(next);
                top = next;
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
        });
        fixture.Apply(c.settings);
        decoder.join();
        EXPECT_EQ(BlockBytes(fixture.target), BlockBytes(expected.target))
            << "kind " << int(c.kind) << " tilt " << c.tilt << " dither " << c.settings.dither << " radius "
            << c.settings.adaptiveRadius;
    }
}
