#include "filter/RenderLoop.h"
#include "filter/ToneDither.h"
#include "filter/ToneStatistics.h"

#include "support/PictureBuilder.h"
#include "support/RenderFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

using namespace lumacut;
using namespace lumacut::test;

namespace {

struct Job : RenderFixture {
    using RenderFixture::RenderFixture;
    // Stored rows 0..height - 1 without padding bytes.
    std::vector<std::uint8_t> Run(const FilterSettings& s, int bands = 0)
    {
        Apply(s, bands);
        return Bytes(target);
    }
    static std::vector<std::uint8_t> Bytes(const CPicture& p)
    {
        std::vector<std::uint8_t> out;
        const int rowBytes = (p.Width() * p.BitCount() + 7) / 8;
        for (int y = 0; y < p.Height(); ++y)
            out.insert(out.end(), p.Row(y), p.Row(y) + rowBytes);
        return out;
    }
    double WhiteShare() const
    {
        int white = 0;
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x)
                white += PixelAt(target, x, y).red == 255;
        return double(white) / (double(target.Width()) * target.Height());
    }
};

Rgb Busy(int x, int y)
{
    return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(x * 5 + y * 71),
            static_cast<std::uint8_t>((x ^ y) * 29)};
}

FilterSettings Dithered(int method, bool linear = false)
{
    FilterSettings s;
    s.dither = method;
    s.linearLight = linear;
    return s;
}

} // namespace

// A flat patch of tone t dithers to a white share of t / 255, or of the
// decoded value in linear light. An 8 x 8 map has only 64 levels: within
// half a level. Atkinson drops a quarter of the error, so only middle
// tones keep their share.
TEST(ToneDither, FlatPatchesKeepTheirBrightness)
{
    struct Case {
        int method;
        double tolerance;
        double lo, hi; // of the white share
    };
    const Case cases[] = {{kDitherFloydSteinberg, 0.005, 0, 1},
                          {kDitherJarvisJudiceNinke, 0.005, 0, 1},
                          {kDitherOrdered, 0.5 / 64 + 1e-9, 0, 1},
                          {kDitherBlueNoise, 0.005, 0, 1},
                          {kDitherAtkinson, 0.01, 0.45, 0.55}};
    for (const Case& c : cases)
        for (int linear = 0; linear < 2; ++linear)
            for (int t : {0, 9, 40, 96, 128, 160, 188, 203, 250, 255}) {
                const double want = linear ? LinearOf(t) / 65535.0 : t / 255.0;
                if (want < c.lo || want > c.hi)
                    continue;
                // Diffusion loses the error pushed beyond the edges: a large patch.
                Job job(MakeTrueColor(256, 256, [&](int, int) { return Grey(t); }), Output::TwoColor);
                job.Run(Dithered(c.method, linear));
                EXPECT_NEAR(job.WhiteShare(), want, c.tolerance) << "method " << c.method << " tone " << t
                                                                 << " linear " << linear;
            }
}

// The bits are those of the grey New Picture's bytes dithered (a grey render
// with the tone's settings fed to the same dithering), and they do not
// depend on the pass or its bands.
TEST(ToneDither, ToneIsTheGreyBytesWhateverTheBands)
{
    std::vector<FilterSettings> settings;
    for (int kind = 0; kind < 4; ++kind)
        for (int method = kDitherFloydSteinberg; method < kDitherMethodCount; ++method) {
            FilterSettings s = Dithered(method, method % 2 == 0);
            s.kind = kind;
            s.color = MakeColor(200, 40, 90);
            s.activeGreen = kind != 2;
            s.lightDark = kind * 13 - 20;
            s.gamma = 30 + kind * 10;
            s.contrast = 80 + kind * 20;
            s.negative = method % 3 == 0;
            s.sharpness = 40;
            settings.push_back(s);
        }
    FilterSettings adaptive;
    adaptive.adaptiveRadius = 4;
    adaptive.dither = kDitherFloydSteinberg; // the adaptive threshold wins
    settings.push_back(adaptive);
    adaptive.negative = 1;
    settings.push_back(adaptive);

    // Taller than the bands of rows the tone is rendered in.
    for (double scale : {1.0, 0.7, 1.9}) {
        Job job(MakeTrueColor(31, 301, Busy), Output::TwoColor);
        Job grey(MakeTrueColor(31, 301, Busy), Output::Grey);
        job.request.scale = grey.request.scale = scale;
        job.request.tilt = grey.request.tilt = scale > 1 ? 0.3 : 0;
        for (const FilterSettings& s : settings) {
            grey.Run(ToneSettings(s));
            CPicture expected = MakePicture(Output::TwoColor, grey.target.Width(), grey.target.Height());
            TonesToTwoColor(grey.target, s, expected);
            const std::vector<std::uint8_t> want = Job::Bytes(expected);
            EXPECT_EQ(job.Run(s, -1), want) << "kind " << s.kind << " dither " << s.dither;
            for (int bands : {1, 3, 17})
                EXPECT_EQ(job.Run(s, bands), want) << "bands " << bands;
        }
    }
}

// Floyd-Steinberg written out plainly: rows from the top, every other one
// right to left with the kernel mirrored, each share rounded down and the
// last tap taking the rest.
TEST(ToneDither, FloydSteinbergIsSerpentine)
{
    const int w = 37, h = 23;
    const auto tone = [](int x, int y) { return (x * 7 + y * 3) % 256; };
    Job job(MakeTrueColor(w, h, [&](int x, int y) { return Grey(tone(x, h - 1 - y)); }), Output::TwoColor);
    job.Run(Dithered(kDitherFloydSteinberg));
    std::vector<int> err(std::size_t((w + 2) * (h + 1)), 0);
    const auto at = [&](int x, int y) -> int& { return err[std::size_t(y * (w + 2) + x + 1)]; };
    for (int y = 0; y < h; ++y) {
        const int dir = y % 2 ? -1 : 1;
        for (int j = 0; j < w; ++j) {
            const int x = dir > 0 ? j : w - 1 - j;
            const int v = tone(x, y) * 257 + at(x, y);
            const bool white = v >= 32768;
            const int e = white ? v - 65535 : v;
            const int a = int(std::floor(e * 7 / 16.0)), b = int(std::floor(e * 3 / 16.0)),
                      c = int(std::floor(e * 5 / 16.0));
            at(x + dir, y) += a;
            at(x - dir, y + 1) += b;
            at(x, y + 1) += c;
            at(x + dir, y + 1) += e - a - b - c;
            ASSERT_EQ(PixelAt(job.target, x, h - 1 - y).red, white ? 255 : 0) << x << "," << y;
        }
    }
}

TEST(ToneDither, MapsHoldEveryLevelOnce)
{
    const auto& bayer = BayerMap();
    EXPECT_EQ(std::set<int>(bayer.begin(), bayer.end()).size(), 64u);
    EXPECT_EQ(*std::max_element(bayer.begin(), bayer.end()), 63);
    std::vector<int> noise(BlueNoiseMap().begin(), BlueNoiseMap().end());
    std::sort(noise.begin(), noise.end());
    for (int i = 0; i < 64 * 64; ++i)
        ASSERT_EQ(noise[std::size_t(i)], i);
    // Blue noise has no low frequencies: every 8 x 8 block of the map holds
    // thresholds from the whole range, none of them crowded at one end.
    for (int by = 0; by < 64; by += 8)
        for (int bx = 0; bx < 64; bx += 8) {
            int below = 0;
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x)
                    below += BlueNoiseMap()[std::size_t(y * 64 + x)] < 2048;
            EXPECT_NEAR(below, 32, 8) << bx << "," << by;
        }
}

TEST(ToneStatistics, OtsuSeparatesTwoPopulations)
{
    struct Case {
        std::vector<std::pair<int, int>> values; // value, count
        int lo, hi;                               // lo < t <= hi
    };
    const Case cases[] = {{{{20, 50}, {24, 70}, {30, 40}, {190, 30}, {210, 90}}, 30, 190},
                          {{{0, 1}, {255, 1000}}, 0, 255},
                          {{{100, 5}, {101, 5}}, 100, 101},
                          {{{77, 400}}, 76, 77}}; // one colour: that colour
    for (const Case& c : cases) {
        Histogram h{};
        for (auto [v, n] : c.values)
            h[std::size_t(v)] = std::uint64_t(n);
        const int t = OtsuThreshold(h);
        EXPECT_GT(t, c.lo);
        EXPECT_LE(t, c.hi);
    }
}

// SetThreshold(t) makes black exactly the pixels whose brightness is below
// t, and the brightness histogram counts what the render sampled.
TEST(ToneStatistics, SetThresholdBlackensExactlyTheDarkerPixels)
{
    Job job(MakeTrueColor(53, 29, Busy), Output::TwoColor);
    for (double scale : {1.0, 0.6})
        for (int t : {0, 1, 2, 85, 128, 200, 254, 255}) {
            job.request.scale = scale;
            FilterSettings s;
            s.negative = 1;
            s.lightDark = 40;
            SetThreshold(s, t);
            job.Run(s);
            Histogram h;
            {
                ScopedPrompt scope(job.prompt);
                h = BrightnessHistogram(job.request);
            }
            std::uint64_t below = 0, black = 0, total = 0;
            for (int v = 0; v < 256; ++v)
                (v < t ? below : total) += h[std::size_t(v)];
            for (int y = 0; y < job.target.Height(); ++y)
                for (int x = 0; x < job.target.Width(); ++x) {
                    black += PixelAt(job.target, x, y).red == 0;
                    if (scale == 1.0) {
                        const Rgb c = Busy(x, y);
                        ASSERT_EQ(PixelAt(job.target, x, y).red == 0, (c.red + c.green + c.blue) / 3 < t);
                    }
                }
            EXPECT_EQ(black, below) << "t " << t << " scale " << scale;
            EXPECT_EQ(below + total, std::uint64_t(job.target.Width()) * job.target.Height());
        }
}

// Dark strokes on a page whose light falls by half from left to right: the
// strokes on the left are lighter than the bare page on the right, so one
// threshold cannot split them; Sauvola's can.
TEST(ToneStatistics, AdaptiveThresholdReadsAnUnevenlyLitPage)
{
    const int w = 240, h = 80;
    const auto ink = [](int x, int y) { return (y % 16 < 2 && x % 24 < 18) || (x % 24 == 5 && y % 16 < 10); };
    const auto light = [&](int x) { return 240 - 120 * x / (w - 1); };
    Job job(MakeTrueColor(w, h, [&](int x, int y) { return Grey(ink(x, y) ? light(x) * 45 / 100 : light(x)); }),
            Output::TwoColor);
    const auto misses = [&] {
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                wrong += (PixelAt(job.target, x, y).red == 0) != ink(x, y);
        return wrong;
    };
    FilterSettings adaptive;
    adaptive.adaptiveRadius = 7;
    job.Run(adaptive);
    EXPECT_EQ(misses(), 0);
    FilterSettings otsu;
    {
        ScopedPrompt scope(job.prompt);
        SetThreshold(otsu, OtsuThreshold(BrightnessHistogram(job.request)));
    }
    job.Run(otsu);
    EXPECT_GT(misses(), w * h / 20);
}
