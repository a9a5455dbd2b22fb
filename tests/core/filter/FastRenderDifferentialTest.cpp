// The fast render against the plain one on random pictures and settings:
// every byte of the New Picture's block (header, table, pixels and the
// padding the passes must leave alone), its fields and the messages agree.
#include "filter/Kernels.h"
#include "filter/RenderLoop.h"

#include "support/PictureBuilder.h"
#include "picture/Dib.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace lumacut;
using namespace lumacut::test;

namespace {

struct Case {
    CPicture original;
    CPicture target;
    FilterSettings settings;
    std::vector<std::uint32_t> list;
    RenderRequest request;
    std::string description;
};

template <class T>
T Pick(std::mt19937& rng, std::initializer_list<T> values)
{
    return values.begin()[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng)];
}

int Int(std::mt19937& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

double Real(std::mt19937& rng, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(rng);
}

std::uint8_t Byte(std::mt19937& rng)
{
    return static_cast<std::uint8_t>(Int(rng, 0, 255));
}

// A picture with a few flat areas, gradients and noise, so that matches,
// edges and exact ties all happen.
CPicture RandomOriginal(std::mt19937& rng, int width, int height, int bits)
{
    Rgb flat{Byte(rng), Byte(rng), Byte(rng)};
    int style = Int(rng, 0, 3);
    auto near = [&](std::uint8_t v) { return static_cast<std::uint8_t>(std::clamp(v + Int(rng, -9, 9), 0, 255)); };
    std::vector<Rgb> pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c;
            if (style == 0 || Int(rng, 0, 3) == 0)
                c = {Byte(rng), Byte(rng), Byte(rng)};
            else if (style == 3) // close to one colour: distances around every limit
                c = {near(flat.red), near(flat.green), near(flat.blue)};
            else if (style == 1)
                c = (x + y) % 3 ? flat : Rgb{static_cast<std::uint8_t>(x * 9), static_cast<std::uint8_t>(y * 13), 0};
            else
                c = Grey(Int(rng, 0, 1) ? 0 : 255);
            pixels[std::size_t(y) * width + x] = c;
        }
    if (bits == 24 || bits == 32)
        return MakeTrueColor(width, height, [&](int x, int y) { return pixels[std::size_t(y) * width + x]; }, bits);
    std::vector<Rgb> palette(256);
    for (Rgb& c : palette)
        c = {Byte(rng), Byte(rng), Byte(rng)};
    palette[0] = flat;
    int entries = 1 << bits;
    return MakePaletted(
        width, height, bits, [&](int i) { return palette[i]; },
        [&](int x, int y) { return static_cast<int>((pixels[std::size_t(y) * width + x].red * 7 + x) % entries); });
}

// A New Picture of the kind with a block left over from an earlier render
// full of noise, so that bytes a pass must not touch are seen.
CPicture RandomTarget(std::mt19937& rng, Output kind)
{
    CPicture p = MakeTarget(kind);
    const int width = Int(rng, 1, 60);
    p.MakeEmpty(width, Int(rng, 1, 60));
    std::uint8_t* rows = p.MutableRow(0);
    for (std::size_t i = 0; i < p.Block().Size() - p.PixelOffset(); ++i)
        rows[i] = Byte(rng);
    return p;
}

CPicture Clone(const CPicture& p)
{
    return p.Duplicate();
}

std::uint32_t ColourFrom(std::mt19937& rng, CPicture& original)
{
    if (Int(rng, 0, 2) == 0 || original.Width() == 0)
        return MakeColor(Byte(rng), Byte(rng), Byte(rng));
    Rgb c = PixelAt(original, Int(rng, 0, original.Width() - 1), Int(rng, 0, original.Height() - 1));
    return MakeColor(c.red, c.green, c.blue);
}

Case RandomCase(std::mt19937& rng, int maxSide)
{
    Case c;
    int bits = Pick(rng, {24, 24, 32, 8, 4, 1});
    int width = Int(rng, 1, maxSide), height = Int(rng, 1, maxSide);
    c.original = RandomOriginal(rng, width, height, bits);
    Output kind = Pick(rng, {Output::TwoColor, Output::Grey, Output::TrueColor});
    c.target = RandomTarget(rng, kind);

    FilterSettings& s = c.settings;
    s.kind = Int(rng, 0, 40) == 0 ? Pick(rng, {-1, 4}) : Int(rng, 0, 3);
    s.lightDark = Pick(rng, {0, 0, -100, 100, Int(rng, -100, 100)});
    s.contrast = Pick(rng, {100, 100, 0, 200, Int(rng, 0, 200)});
    s.gamma = Pick(rng, {50, 50, 0, 100, 1, 99, Int(rng, 0, 100)});
    s.sharpness = Pick(rng, {0, -100, 100, Int(rng, -100, 100)});
    s.activeRed = Int(rng, 0, 3) != 0;
    s.activeGreen = Int(rng, 0, 3) != 0;
    s.activeBlue = Int(rng, 0, 3) != 0;
    s.negative = Int(rng, 0, 1);
    s.color = ColourFrom(rng, c.original);
    int listCount = Pick(rng, {0, 1, 2, Int(rng, 0, 10)});
    for (int i = 0; i < listCount; ++i)
        c.list.push_back(ColourFrom(rng, c.original));

    RenderRequest& r = c.request;
    r.scale = Pick(rng, {1.0, 1.0, 1.0005, 0.9995, 0.5, 2.0, 0.37, 1.7, 3.3, 4.5, 0.03, Real(rng, 0.05, 4)});
    r.footprint = Pick(rng, {1.0, 1.0, 1.005, 0.3, 0.5, 1.5, 3.0, 0.001, Real(rng, 0.001, 4)});
    r.tilt = Pick(rng, {0.0, 0.0, 0.0005, 0.05, -0.3, M_PI / 2, 3 * M_PI / 180, Real(rng, -M_PI, M_PI)});
    r.clipActive = Int(rng, 0, 3) == 0;
    if (r.clipActive) {
        int w = static_cast<int>(std::floor(width * r.scale + 0.5));
        int h = static_cast<int>(std::floor(height * r.scale + 0.5));
        r.clip.left = Int(rng, -3, w);
        r.clip.top = Int(rng, -3, h);
        r.clip.right = Int(rng, r.clip.left - 1, w + 3);
        r.clip.bottom = Int(rng, r.clip.top - 1, h + 3);
    }
    r.colorList = c.list.data();
    r.colorListCount = listCount;

    std::ostringstream d;
    d << "original " << width << "x" << height << "@" << bits << " output " << c.target.Colors() << " kind "
      << s.kind << " L " << s.lightDark << " contrast " << s.contrast << " gamma " << s.gamma << " sharpness "
      << s.sharpness << " active " << int(s.activeRed) << int(s.activeGreen) << int(s.activeBlue) << " negative "
      << int(s.negative) << " list " << listCount << " scale " << r.scale << " footprint " << r.footprint
      << " tilt " << r.tilt << " clip " << r.clipActive << " (" << r.clip.left << "," << r.clip.top << ","
      << r.clip.right << "," << r.clip.bottom << ")";
    c.description = d.str();
    return c;
}

// Empty when the pictures agree, else where they first differ.
std::string Difference(const CPicture& a, const CPicture& b)
{
    std::ostringstream d;
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Stride() != b.Stride())
        d << "size " << a.Width() << "x" << a.Height() << "/" << a.Stride() << " against " << b.Width() << "x"
          << b.Height() << "/" << b.Stride();
    else if (a.Block().Size() != b.Block().Size())
        d << "block size " << a.Block().Size() << " against " << b.Block().Size();
    else
        for (std::size_t i = 0; i < a.Block().Size(); ++i)
            if (a.Block().Data()[i] != b.Block().Data()[i]) {
                std::size_t rows = kInfoHeaderSize + 4 * std::size_t(a.Colors());
                d << "byte " << i;
                if (i >= rows && a.Stride() > 0)
                    d << " (stored row " << (i - rows) / a.Stride() << ", row byte " << (i - rows) % a.Stride() << ")";
                d << ": " << int(a.Block().Data()[i]) << " against " << int(b.Block().Data()[i]);
                break;
            }
    return d.str();
}

void CheckCase(Case& c, int bands)
{
    CPicture fastTarget = Clone(c.target);
    RecordingPrompt plainPrompt, fastPrompt;
    {
        ScopedPrompt scope(plainPrompt);
        c.request.original = &c.original;
        c.request.target = &c.target;
        RenderNewPictureReference(c.settings, c.request);
    }
    {
        ScopedPrompt scope(fastPrompt);
        c.request.target = &fastTarget;
        RenderNewPictureInBands(c.settings, c.request, bands);
    }
    ASSERT_EQ(plainPrompt.Texts(), fastPrompt.Texts()) << c.description;
    ASSERT_EQ(Difference(c.target, fastTarget), "") << c.description << " bands " << bands;
}

// Footprints near 1 with a tilt give mostly 4 x 4 windows, which 24- and
// 32-bit pictures sum in vectors or mix in single precision; edges and
// corners give smaller windows. Quarter and half turns at scale 2 put
// samples next to half-way points, where the single-precision mix must give
// way to the full sum.
void CheckTiltedTrueColour(unsigned seed, int cases)
{
    std::mt19937 rng(seed);
    for (int i = 0; i < cases; ++i) {
        Case c = RandomCase(rng, 40);
        const int bits = Pick(rng, {24, 32});
        c.original = RandomOriginal(rng, Int(rng, 1, 40), Int(rng, 1, 40), bits);
        c.request.footprint = Pick(rng, {1.0, 1.0, 0.999, 1.4, 0.5});
        c.request.tilt = Pick(rng, {3 * M_PI / 180, -0.01, 0.2, M_PI / 2, M_PI, Real(rng, -M_PI, M_PI)});
        c.request.scale = Pick(rng, {1.0, 1.0, 0.999, 1.3, 0.7, 2.0});
        c.request.clipActive = false;
        std::ostringstream d;
        d << c.description << "; then original " << c.original.Width() << "x" << c.original.Height() << "@" << bits
          << " scale " << c.request.scale << " footprint " << c.request.footprint << " tilt " << c.request.tilt
          << " no clip";
        c.description = d.str();
        CheckCase(c, Pick(rng, {0, 1, 3}));
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

// "Emphasize Color" and "De-emphasize Color" in true colour go four pixels
// at a time through vector lanes, with the rest of a row on its own: widths
// 1 to 40 around every multiple of four, rows read directly or through the
// sampler, and settings beyond the dialog's ranges where the curve is huge,
// not finite, or falls instead of rising (the lanes then clamp differently).
void CheckTrueColourMix(unsigned seed, int cases)
{
    std::mt19937 rng(seed);
    for (int i = 0; i < cases; ++i) {
        Case c = RandomCase(rng, 8);
        const int bits = Pick(rng, {24, 32});
        const int width = i % 40 + 1;
        c.original = RandomOriginal(rng, width, Int(rng, 1, 12), bits);
        c.target = RandomTarget(rng, Output::TrueColor);
        FilterSettings& s = c.settings;
        s.kind = Pick(rng, {1, 2});
        s.gamma = Pick(rng, {50, 50, 60, 0, 100, 1, 99, 101, -7, 1000, Int(rng, 0, 100)});
        s.contrast = Pick(rng, {100, 100, 0, 200, -100, 40000000, 2000000000, Int(rng, 0, 200)});
        s.lightDark = Pick(rng, {0, 12, -100, 100, 300, -300, Int(rng, -100, 100)});
        s.sharpness = Pick(rng, {0, -100, 100, 20000, -20000, Int(rng, -100, 100)});
        s.color = ColourFrom(rng, c.original);
        c.request.original = &c.original;
        c.request.scale = Pick(rng, {1.0, 1.0, 1.0, 0.999});
        c.request.footprint = 1;
        c.request.tilt = Pick(rng, {0.0, 0.0, 0.0, 0.01});
        c.request.clipActive = false;
        std::ostringstream d;
        d << "original " << width << "x" << c.original.Height() << "@" << bits << " kind " << s.kind << " L "
          << s.lightDark << " contrast " << s.contrast << " gamma " << s.gamma << " sharpness " << s.sharpness
          << " active " << int(s.activeRed) << int(s.activeGreen) << int(s.activeBlue) << " negative "
          << int(s.negative) << " colour " << s.color << " scale " << c.request.scale << " tilt " << c.request.tilt;
        c.description = d.str();
        CheckCase(c, Pick(rng, {0, 1, 3}));
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

// Switches the render's AVX2 paths off for one test.
struct WithoutVectorPaths {
    WithoutVectorPaths() { fast::AllowVectorPaths(false); }
    ~WithoutVectorPaths() { fast::AllowVectorPaths(true); }
};

} // namespace

TEST(FastRender, MatchesThePlainRenderOnTiltedTrueColourPictures)
{
    CheckTiltedTrueColour(1208, 400);
}

// What a processor without AVX2 runs.
TEST(FastRender, MatchesThePlainRenderOnTiltedTrueColourPicturesWithoutVectors)
{
    WithoutVectorPaths plain;
    CheckTiltedTrueColour(1209, 300);
    std::mt19937 rng(5);
    for (int i = 0; i < 600 && !HasFatalFailure(); ++i) {
        Case c = RandomCase(rng, 24);
        CheckCase(c, Pick(rng, {0, 1, 2}));
    }
}

TEST(FastRender, MatchesThePlainRenderOnRandomSmallPictures)
{
    std::mt19937 rng(20261208);
    for (int i = 0; i < 3000; ++i) {
        Case c = RandomCase(rng, 24);
        CheckCase(c, Pick(rng, {0, 1, 2, 3, 7, 1000}));
        if (HasFatalFailure())
            return;
    }
}

TEST(FastRender, MatchesThePlainRenderOnPicturesLargeEnoughForThreads)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 40; ++i) {
        Case c = RandomCase(rng, 300);
        CheckCase(c, 0);
        if (HasFatalFailure())
            return;
    }
}

TEST(FastRender, MatchesThePlainRenderForTheTrueColourMix)
{
    CheckTrueColourMix(4121, 600);
}

TEST(FastRender, MatchesThePlainRenderForTheTrueColourMixWithoutVectors)
{
    WithoutVectorPaths plain;
    CheckTrueColourMix(4122, 300);
}

TEST(FastRender, ResultDoesNotDependOnTheBands)
{
    std::mt19937 rng(99);
    for (int i = 0; i < 200; ++i) {
        Case c = RandomCase(rng, 40);
        CPicture first = Clone(c.target);
        CPicture second = Clone(c.target);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        c.request.original = &c.original;
        c.request.target = &first;
        RenderNewPictureInBands(c.settings, c.request, 1);
        c.request.target = &second;
        RenderNewPictureInBands(c.settings, c.request, Int(rng, 2, 50));
        ASSERT_EQ(Difference(first, second), "") << c.description;
    }
}

