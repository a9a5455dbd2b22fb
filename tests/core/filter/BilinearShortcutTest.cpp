// The single-precision shortcut for tilted samples with footprint 1 against
// the plain sample: whatever it writes must be the plain sample's bytes, and
// it must leave alone the samples that sit on a rounding step.
#include "filter/Kernels.h"

#include "support/PictureBuilder.h"
#include "picture/CSampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace lumacut;
using namespace lumacut::fast;
using namespace lumacut::test;

namespace {

struct Tally {
    long written = 0;
    long refused = 0;
};

// The kernels of both builds, the AVX2 one where the processor has it.
std::vector<std::pair<const Kernels*, std::string>> BothBuilds()
{
    if (__builtin_cpu_supports("avx2"))
        return {{&plain::kKernels, "plain"}, {&avx2::kKernels, "AVX2"}};
    return {{&plain::kKernels, "plain"}};
}

// Runs the shortcut of both builds over every row of a width x height
// result and checks each written sample against the plain one. Bytes the
// shortcut leaves alone must stay as they were.
void Check(CPicture& original, double scale, double footprint, double tilt, int width, int height,
           const std::string& what, Tally& tally)
{
    CSampler sampler(original.Width(), original.Height(), scale, footprint, tilt);
    const SourceImage source = SourceOf(original);
    for (const auto& [kernels, build] : BothBuilds()) {
        for (int y = 0; y < height; ++y) {
            std::vector<std::uint8_t> out(std::size_t(3) * width, 77);
            std::vector<int> left(width, -1);
            const int count = kernels->bilinearRow(source, sampler, 0, y, width, out.data(), left.data());
            ASSERT_TRUE(count >= 0 && count <= width && std::is_sorted(left.begin(), left.begin() + count));
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* got = out.data() + 3 * x;
                const std::string at = what + ", " + build + " at " + std::to_string(x) + "," + std::to_string(y);
                if (std::binary_search(left.begin(), left.begin() + count, x)) {
                    ++tally.refused;
                    ASSERT_TRUE(got[0] == 77 && got[1] == 77 && got[2] == 77) << at;
                    continue;
                }
                ++tally.written;
                std::uint8_t r, g, b;
                original.GetFootprintColor(x, y, sampler, 0, 0, r, g, b);
                ASSERT_EQ(got[0], b) << at << " blue";
                ASSERT_EQ(got[1], g) << at << " green";
                ASSERT_EQ(got[2], r) << at << " red";
            }
        }
    }
}

Rgb Noise(std::mt19937& rng)
{
    std::uniform_int_distribution<int> byte(0, 255);
    return {static_cast<std::uint8_t>(byte(rng)), static_cast<std::uint8_t>(byte(rng)),
            static_cast<std::uint8_t>(byte(rng))};
}

TEST(BilinearShortcut, AgreesWithThePlainSampleOnRandomTilts)
{
    std::mt19937 rng(20261208);
    Tally total;
    for (int round = 0; round < 60; ++round) {
        const int bits = round % 2 ? 32 : 24;
        const int width = std::uniform_int_distribution<int>(4, 40)(rng);
        const int height = std::uniform_int_distribution<int>(4, 30)(rng);
        // noise, or two colours in blocks, whose mixes land on halves more often
        const bool blocks = round % 3 == 0;
        const Rgb a = Noise(rng), b = Noise(rng);
        CPicture original = MakeTrueColor(
            width, height,
            [&](int x, int y) { return blocks ? (((x / 3 + y / 2) % 2) ? a : b) : Noise(rng); }, bits);
        const double tilt = std::uniform_real_distribution<double>(-0.8, 0.8)(rng);
        const double scale = std::uniform_real_distribution<double>(0.4, 2.5)(rng);
        const double footprint = round % 5 == 0 ? std::uniform_real_distribution<double>(0.5, 1.5)(rng) : 1.0;
        const std::string what = std::to_string(bits) + " bits, " + std::to_string(width) + "x" +
                                 std::to_string(height) + ", tilt " + std::to_string(tilt) + ", scale " +
                                 std::to_string(scale) + ", footprint " + std::to_string(footprint);
        const int outWidth = static_cast<int>(std::ceil(width * scale)) + 4;
        const int outHeight = static_cast<int>(std::ceil(height * scale)) + 2;
        Check(original, scale, footprint, tilt, outWidth, outHeight, what, total);
        if (HasFatalFailure())
            return;
    }
    // borders and empty windows are refused; the inside of each picture is not
    EXPECT_GT(total.written, 20000);
    EXPECT_GT(total.refused, 1000);
}

// Tilts of a quarter and a half turn at scale 2 put samples a hair's
// breadth from half-way between pixels: the mix of two pixels whose sum is
// odd is then within 1e-11 of a rounding step, and only the twelve tiny
// weights decide which way the plain sample rounds.
TEST(BilinearShortcut, LeavesSamplesOnARoundingStepToThePlainSample)
{
    std::mt19937 rng(7);
    for (double tilt : {M_PI / 2, M_PI, -M_PI / 2}) {
        for (int bits : {24, 32}) {
            CPicture original = MakeTrueColor(24, 24, [&](int, int) { return Noise(rng); }, bits);
            const std::string what = "tilt " + std::to_string(tilt) + ", " + std::to_string(bits) + " bits";
            Tally t;
            Check(original, 2, 1, tilt, 48, 48, what, t);
            if (HasFatalFailure())
                return;
            EXPECT_GT(t.written, 100) << what;
            EXPECT_GT(t.refused, 100) << what;
        }
    }
}

} // namespace
