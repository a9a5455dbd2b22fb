#include "filter/FilterFormulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace lumacut;

namespace {

FilterSettings WithCurve(int lightDark, int contrast, int gamma)
{
    FilterSettings s;
    s.lightDark = lightDark;
    s.contrast = contrast;
    s.gamma = gamma;
    return s;
}

int Curve(double v, const FilterSettings& s)
{
    return ToneCurve(v, s.lightDark, DeriveConstants(s));
}

} // namespace

// ---- derived constants ---------------------------------------------------------------

TEST(DerivedConstants, NeutralSettingsGiveExactOnes)
{
    FilterConstants k = DeriveConstants(FilterSettings{});
    EXPECT_EQ(k.c, 1.0);
    EXPECT_EQ(k.k, 1.0);
    EXPECT_EQ(k.x, 0.001);
}

TEST(DerivedConstants, SharpnessSpansTheMatchWidth)
{
    FilterSettings s;
    s.sharpness = -100;
    EXPECT_NEAR(DeriveConstants(s).x, 6.74e-6, 0.01e-6);
    s.sharpness = 100;
    EXPECT_NEAR(DeriveConstants(s).x, 0.1484, 0.0001);
}

TEST(DerivedConstants, GammaZeroIsAnInfiniteBias)
{
    EXPECT_TRUE(std::isinf(DeriveConstants(WithCurve(0, 100, 0)).k));
    EXPECT_EQ(DeriveConstants(WithCurve(0, 100, 100)).k, 0.0);
    EXPECT_EQ(DeriveConstants(WithCurve(0, 100, 75)).k, 25.0 / 75.0);
}

// ---- tone curve -------------------------------------------------------------------------

TEST(ToneCurve, DefaultsAreTheIdentity)
{
    for (int v = 0; v <= 255; ++v)
        EXPECT_EQ(Curve(v, FilterSettings{}), v) << "v " << v;
}

TEST(ToneCurve, ContrastZeroGivesOneLevel)
{
    for (int gamma : {1, 30, 50, 99})
        for (int L : {-100, 0, 100})
            for (int v : {0, 1, 127, 128, 254, 255})
                EXPECT_EQ(Curve(v, WithCurve(L, 0, gamma)), 128 + L) << "gamma " << gamma << " L " << L << " v " << v;
}

struct CurveCase {
    std::string name;
    FilterSettings settings;
    double v;
    int expected;
};

class ToneCurveValues : public ::testing::TestWithParam<CurveCase> {};

TEST_P(ToneCurveValues, Match)
{
    EXPECT_EQ(Curve(GetParam().v, GetParam().settings), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToneCurveValues,
    ::testing::Values(CurveCase{"Gamma75Lifts128", WithCurve(0, 100, 75), 128, 191},
                      CurveCase{"Gamma75Lifts64", WithCurve(0, 100, 75), 64, 127},
                      CurveCase{"Gamma25Darkens128", WithCurve(0, 100, 25), 128, 64},
                      CurveCase{"Gamma25Darkens64", WithCurve(0, 100, 25), 64, 25},
                      CurveCase{"Contrast200Spreads100", WithCurve(0, 200, 50), 100, 72},
                      CurveCase{"Contrast200Keeps128", WithCurve(0, 200, 50), 128, 128},
                      CurveCase{"TruncatesTowardZero", WithCurve(0, 100, 50), 63.9, 63},
                      CurveCase{"SmallNegativeTruncatesToZero", WithCurve(0, 100, 50), -0.5, 0},
                      CurveCase{"LightClampsAt255", WithCurve(100, 100, 50), 200, 255},
                      CurveCase{"DarkClampsAt0", WithCurve(-100, 100, 50), 50, 0},
                      CurveCase{"JustBelow255Truncates", WithCurve(0, 100, 50), 254.99, 254},
                      CurveCase{"LightAddsAfterContrast", WithCurve(10, 50, 50), 28, 88},
                      CurveCase{"Gamma0IsBlack", WithCurve(0, 100, 0), 200, 0},
                      CurveCase{"Gamma0IsBlackAtZero", WithCurve(0, 100, 0), 0, 0},
                      CurveCase{"Gamma0IgnoresLight", WithCurve(100, 100, 0), 100, 0},
                      CurveCase{"Gamma100AtZeroIsNotANumber", WithCurve(50, 100, 100), 0, 0}),
    [](const auto& info) { return info.param.name; });

TEST(ToneCurve, Gamma100LiftsEveryValueAboveZeroToTheTop)
{
    for (int v = 1; v <= 255; ++v) {
        int t = Curve(v, WithCurve(0, 100, 100));
        EXPECT_TRUE(t == 254 || t == 255) << "v " << v << " gives " << t;
    }
}

TEST(ToneCurve, HugeAndNonFiniteInputsStayDefined)
{
    EXPECT_EQ(Curve(1e300, WithCurve(0, 100, 50)), 255);
    EXPECT_EQ(Curve(-1e300, WithCurve(0, 100, 50)), 0);
    EXPECT_EQ(Curve(NAN, WithCurve(0, 100, 50)), 0);
    EXPECT_EQ(Curve(INFINITY, WithCurve(0, 100, 50)), 0);
}

// ---- two colour ---------------------------------------------------------------------------

struct TwoColorCase {
    std::string name;
    int kind;
    Rgb pixel;
    std::uint32_t color = 0x808080;
    int lightDark = 0;
    bool active[3] = {true, true, true};
    int sharpness = 0;
    int expectedIndex; // 1 white, 0 black (without Negative)
};

class TwoColorDecisions : public ::testing::TestWithParam<TwoColorCase> {};

TEST_P(TwoColorDecisions, WithAndWithoutNegative)
{
    const TwoColorCase& c = GetParam();
    FilterSettings s;
    s.kind = c.kind;
    s.color = c.color;
    s.lightDark = c.lightDark;
    s.activeRed = c.active[0];
    s.activeGreen = c.active[1];
    s.activeBlue = c.active[2];
    s.sharpness = c.sharpness;
    FilterConstants k = DeriveConstants(s);
    int d = TwoColorDecision(c.pixel.red, c.pixel.green, c.pixel.blue, s, k);
    EXPECT_EQ(TwoColorIndex(d, s), c.expectedIndex);
    s.negative = 1;
    EXPECT_EQ(TwoColorIndex(d, s), 1 - c.expectedIndex);
}

constexpr int kBlack = 0, kWhite = 1;

INSTANTIATE_TEST_SUITE_P(
    Cases, TwoColorDecisions,
    ::testing::Values(
        // Define Black: every active channel p + L <= q.
        TwoColorCase{"BlackAtTheColour", 0, {128, 128, 128}, 0x808080, 0, {true, true, true}, 0, kBlack},
        TwoColorCase{"BlackOneAboveIsWhite", 0, {129, 0, 0}, 0x808080, 0, {true, true, true}, 0, kWhite},
        TwoColorCase{"BlackLightPushesOver", 0, {128, 128, 128}, 0x808080, 1, {true, true, true}, 0, kWhite},
        TwoColorCase{"BlackInactiveChannelIgnored", 0, {255, 0, 0}, 0x808080, 0, {false, true, true}, 0, kBlack},
        TwoColorCase{"BlackNoActiveChannel", 0, {255, 255, 255}, 0x808080, 0, {false, false, false}, 0, kBlack},
        // Define White: white exactly when every active channel p + L >= q.
        TwoColorCase{"WhiteAtTheColour", 1, {128, 128, 128}, 0x808080, 0, {true, true, true}, 0, kWhite},
        TwoColorCase{"WhiteOneBelowIsBlack", 1, {127, 255, 255}, 0x808080, 0, {true, true, true}, 0, kBlack},
        TwoColorCase{"WhiteDarkPullsUnder", 1, {128, 128, 128}, 0x808080, -1, {true, true, true}, 0, kBlack},
        TwoColorCase{"WhiteNoActiveChannel", 1, {0, 0, 0}, 0x808080, 0, {false, false, false}, 0, kWhite},
        // Define Filter: sum (p + L) q < sum q^2.
        TwoColorCase{"FilterEqualIsWhite", 2, {128, 128, 128}, 0x808080, 0, {true, true, true}, 0, kWhite},
        TwoColorCase{"FilterOneDarkerIsBlack", 2, {128, 128, 127}, 0x808080, 0, {true, true, true}, 0, kBlack},
        TwoColorCase{"FilterWeighsByColour", 2, {199, 102, 0}, 0x0064C8, 0, {true, true, true}, 0, kWhite},
        TwoColorCase{"FilterWeighsByColourBelow", 2, {199, 101, 0}, 0x0064C8, 0, {true, true, true}, 0, kBlack},
        TwoColorCase{"FilterLightAddsPerChannel", 2, {199, 101, 0}, 0x0064C8, 1, {true, true, true}, 0, kWhite},
        TwoColorCase{"FilterNoActiveChannel", 2, {0, 0, 0}, 0x808080, 0, {false, false, false}, 0, kWhite},
        // Define Sharp: sum (p + L - q)^2 x x + 1 > 2; at sharpness 0 the edge is 1000.
        TwoColorCase{"SharpAtTheColourIsWhite", 3, {128, 128, 128}, 0x808080, 0, {true, true, true}, 0, kWhite},
        TwoColorCase{"SharpDistance1000IsWhite", 3, {158, 138, 128}, 0x808080, 0, {true, true, true}, 0, kWhite},
        TwoColorCase{"SharpDistance1001IsBlack", 3, {148, 152, 133}, 0x808080, 0, {true, true, true}, 0, kBlack},
        TwoColorCase{"SharpLightMovesThePixel", 3, {98, 98, 98}, 0x808080, 30, {true, true, true}, 0, kWhite},
        TwoColorCase{"SharpNarrowerWithSharpness", 3, {130, 128, 128}, 0x808080, 0, {true, true, true}, 100, kWhite},
        TwoColorCase{"SharpNarrowerWithSharpnessFar", 3, {131, 128, 128}, 0x808080, 0, {true, true, true}, 100, kBlack},
        TwoColorCase{"SharpNoActiveChannel", 3, {0, 255, 0}, 0x808080, 0, {false, false, false}, 0, kWhite}),
    [](const auto& info) { return info.param.name; });

// ---- grey ------------------------------------------------------------------------------------

TEST(GreyFormula, NormalFilterIsTheMeanForTheDefaultColour)
{
    FilterSettings s;
    FilterConstants k = DeriveConstants(s);
    EXPECT_EQ(GreyInput(10, 20, 31, s, k), 20);
    EXPECT_EQ(GreyInput(255, 255, 254, s, k), 254);
    EXPECT_EQ(GreyPixel(10, 20, 31, s, k), 20);
}

TEST(GreyFormula, NormalFilterWeighsByTheColourWithIntegerDivision)
{
    FilterSettings s;
    s.color = MakeColor(200, 100, 0);
    FilterConstants k = DeriveConstants(s);
    // (100 x 200 + 200 x 100) / 300 = 133.33
    EXPECT_EQ(GreyInput(100, 200, 50, s, k), 133);
    s.activeGreen = 0; // 20000 / 200
    EXPECT_EQ(GreyInput(100, 200, 50, s, k), 100);
}

TEST(GreyFormula, NormalFilterWithoutWeightGivesTheCurveOfZero)
{
    FilterSettings s;
    s.color = MakeColor(0, 200, 200);
    s.activeGreen = s.activeBlue = 0;
    s.lightDark = 50;
    FilterConstants k = DeriveConstants(s);
    EXPECT_EQ(GreyInput(255, 255, 255, s, k), 0);
    EXPECT_EQ(GreyPixel(255, 255, 255, s, k), 50);
    s.activeRed = 0;
    EXPECT_EQ(GreyPixel(17, 99, 3, s, k), 50);
}

TEST(GreyFormula, SharpFilterFallsWithDistance)
{
    FilterSettings s;
    s.kind = 3;
    s.color = MakeColor(100, 100, 100);
    FilterConstants k = DeriveConstants(s);
    EXPECT_EQ(GreyInput(100, 100, 100, s, k), 255);
    // D = 1000 at sharpness 0: 255 / 2 truncated.
    EXPECT_EQ(GreyInput(130, 110, 100, s, k), 127);
    s.contrast = 50;
    k = DeriveConstants(s);
    EXPECT_EQ(GreyPixel(100, 100, 100, s, k), 191); // T(255)
}

TEST(GreyFormula, KindsNotOfferedInGreyUseTheSharpFilter)
{
    for (int kind : {1, 2}) {
        FilterSettings s, sharp;
        s.kind = kind;
        sharp.kind = 3;
        FilterConstants k = DeriveConstants(s);
        for (Rgb p : {Rgb{0, 0, 0}, Rgb{128, 128, 128}, Rgb{130, 110, 100}, Rgb{255, 0, 17}})
            EXPECT_EQ(GreyPixel(p.red, p.green, p.blue, s, k), GreyPixel(p.red, p.green, p.blue, sharp, k))
                << "kind " << kind;
    }
}

TEST(GreyFormula, NegativeInvertsAfterTheCurve)
{
    FilterSettings s;
    s.lightDark = 10;
    s.negative = 1;
    FilterConstants k = DeriveConstants(s);
    EXPECT_EQ(GreyPixel(10, 20, 31, s, k), 255 - 30);
    s.gamma = 0;
    k = DeriveConstants(s);
    EXPECT_EQ(GreyPixel(10, 20, 31, s, k), 255);
}

// ---- true colour ---------------------------------------------------------------------------

namespace {
Rgb True(const FilterSettings& s, Rgb p, const std::vector<std::uint32_t>& list = {})
{
    ReferenceColors refs = ChooseReferenceColors(s, list.data(), static_cast<int>(list.size()));
    return TrueColorPixel(p.red, p.green, p.blue, s, DeriveConstants(s), refs);
}
} // namespace

TEST(TrueColorFormula, NoFilterIsTheCurvePerChannel)
{
    FilterSettings s;
    EXPECT_EQ(True(s, {1, 128, 255}), (Rgb{1, 128, 255}));
    s.lightDark = 100;
    EXPECT_EQ(True(s, {1, 128, 255}), (Rgb{101, 228, 255}));
    s.negative = 1;
    EXPECT_EQ(True(s, {1, 128, 255}), (Rgb{154, 27, 0}));
}

TEST(TrueColorFormula, EmphasizeKeepsTheColourAndFadesTheRest)
{
    FilterSettings s;
    s.kind = 1;
    s.color = MakeColor(200, 50, 50);
    EXPECT_EQ(True(s, {200, 50, 50}), (Rgb{200, 50, 50}));
    s.color = MakeColor(255, 0, 0);
    s.sharpness = 100;
    // Far away: u is about 5.2e-5, so every channel goes to the mean 85.
    EXPECT_EQ(True(s, {0, 0, 255}), (Rgb{84, 84, 85}));
}

TEST(TrueColorFormula, DeEmphasizeGreysTheColourWithTheStoredThird)
{
    FilterSettings s;
    s.kind = 2;
    s.color = MakeColor(200, 50, 50);
    // u = 1: the mean, 300 x 0.333333333333 = 99.9999999999, truncated.
    EXPECT_EQ(True(s, {200, 50, 50}), (Rgb{99, 99, 99}));
    s.sharpness = 100;
    EXPECT_EQ(True(s, {0, 0, 255}), (Rgb{0, 0, 254}));
}

TEST(TrueColorFormula, ActiveChannelsDecideTheDistance)
{
    FilterSettings s;
    s.kind = 2;
    s.color = MakeColor(200, 0, 0);
    s.activeGreen = s.activeBlue = 0;
    // Only red counts: green and blue differences are ignored, u = 1.
    EXPECT_EQ(True(s, {200, 90, 10}), (Rgb{99, 99, 99}));
}

TEST(TrueColorFormula, SharpUsesTheListOnlyFromTwoEntries)
{
    FilterSettings s;
    s.kind = 3;
    s.color = MakeColor(10, 10, 10);
    const Rgb white{255, 255, 255};
    // One listed colour: `color` alone is used.
    EXPECT_EQ(True(s, {200, 0, 0}, {MakeColor(200, 0, 0)}), (Rgb{200, 0, 0}));
    EXPECT_EQ(True(s, {10, 10, 10}, {MakeColor(200, 0, 0)}), white);
    // Two listed colours: both are tried, `color` is ignored.
    std::vector<std::uint32_t> two{MakeColor(200, 0, 0), MakeColor(0, 200, 0)};
    EXPECT_EQ(True(s, {200, 0, 0}, two), white);
    EXPECT_EQ(True(s, {0, 200, 0}, two), white);
    EXPECT_EQ(True(s, {10, 10, 10}, two), (Rgb{10, 10, 10}));
}

TEST(TrueColorFormula, SharpNearMeansDistanceBelowTheEdge)
{
    FilterSettings s;
    s.kind = 3;
    s.color = MakeColor(100, 100, 100);
    // D x 0.001 < 0.05: D = 49 is near, D = 50 is not.
    EXPECT_EQ(True(s, {107, 100, 100}), (Rgb{255, 255, 255}));
    EXPECT_EQ(True(s, {105, 105, 100}), (Rgb{105, 105, 100}));
    s.negative = 1;
    EXPECT_EQ(True(s, {107, 100, 100}), (Rgb{0, 0, 0}));
    EXPECT_EQ(True(s, {105, 105, 100}), (Rgb{150, 150, 155}));
}

TEST(TrueColorFormula, GammaZeroIsBlackExceptNearSharpPixels)
{
    for (int kind = 0; kind <= 3; ++kind) {
        FilterSettings s;
        s.kind = kind;
        s.gamma = 0;
        s.color = MakeColor(100, 100, 100);
        EXPECT_EQ(True(s, {250, 3, 77}), (Rgb{0, 0, 0})) << "kind " << kind;
        Rgb expected = kind == 3 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
        EXPECT_EQ(True(s, {100, 100, 100}), expected) << "kind " << kind;
        s.negative = 1;
        EXPECT_EQ(True(s, {250, 3, 77}), (Rgb{255, 255, 255})) << "kind " << kind;
    }
}

TEST(ColorList, ChoiceFollowsTheCount)
{
    FilterSettings s;
    s.color = 0x123456;
    std::uint32_t list[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(ChooseReferenceColors(s, list, 0).count, 1);
    EXPECT_EQ(ChooseReferenceColors(s, list, 1).colors[0], 0x123456u);
    EXPECT_EQ(ChooseReferenceColors(s, list, 2).count, 2);
    EXPECT_EQ(ChooseReferenceColors(s, list, 2).colors[1], 2u);
    // A count beyond the list's room is cut to 10 entries.
    EXPECT_EQ(ChooseReferenceColors(s, list, 12).count, 10);
    EXPECT_EQ(ChooseReferenceColors(s, nullptr, 5).colors[0], 0x123456u);
}
