// lumacut-render end to end: the built program on hand-made and bundled
// pictures, its results read back byte by byte.
#include "support/BlockPixels.h"
#include "support/BmpBuilder.h"
#include "support/BmpReader.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "picture/BmpFile.h"
#include "picture/JpegFile.h"
#include "picture/PictureFile.h"
#include "support/PictureBuilder.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <tuple>

using namespace lumacut;
using namespace lumacut::test;
namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

RunResult RunRender(const TempDir& dir, const std::vector<std::string>& args, const std::string& input = "/dev/null")
{
    std::string command = Quote(LUMACUT_RENDER_BIN);
    for (const std::string& a : args)
        command.append(" ").append(Quote(a));
    command.append(" >").append(Quote(dir.Path("stdout.txt")));
    command.append(" 2>").append(Quote(dir.Path("stderr.txt"))).append(" <").append(Quote(input));
    RunResult run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = Slurp(dir.Path("stdout.txt"));
    run.err = Slurp(dir.Path("stderr.txt"));
    return run;
}

// The hand-checked picture, 4 x 2 (0xRRGGBB, top row first).
const std::uint32_t kSmall[2][4] = {{0x000000, 0xFFFFFF, 0x808080, 0x810000},
                                    {0x1E3C5A, 0xFF0000, 0x0A141F, 0x0000C8}};

// A decoded 24-bit block (the program's own readers) for comparisons.
struct Picture {
    int width = 0, height = 0;
    CMemBlock block;
    std::uint32_t At(int x, int top) const { return BlockPixel(block, x, top); }
};

} // namespace

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        small = dir.Path("small.bmp");
        WriteBmp24(small, 4, 2, [](int x, int y) { return kSmall[y][x]; });
    }
    TempDir dir;
    std::string small;
};

TEST_F(RenderTool, HelpAndUsageErrors)
{
    RunResult help = RunRender(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: lumacut-render [OPTIONS] INPUT... -o OUTPUT"), std::string::npos);

    RunResult bad = RunRender(dir, {small, "-o", dir.Path("out.bmp"), "-k", "9"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--kind takes a whole number from 0 to 3, not \"9\""), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(dir.Path("out.bmp")));

    RunResult noFolder = RunRender(dir, {small, small, "-o", dir.Path("out.bmp")});
    EXPECT_EQ(noFolder.status, 2);
    EXPECT_NE(noFolder.err.find("must name an existing folder"), std::string::npos) << noFolder.err;
}

// The adaptive radius is checked against the result once it is read; the
// automatic threshold is told with -v, and for one colour so is that.
TEST_F(RenderTool, AdaptiveRadiusBoundAndAutoThreshold)
{
    const std::string flat = dir.Path("flat.bmp");
    WriteBmp24(flat, 16, 12, [](int, int) { return 0x404040u; });
    RunResult tooWide = RunRender(dir, {flat, "-o", dir.Path("a.bmp"), "--adaptive", "4"});
    EXPECT_EQ(tooWide.status, 2);
    EXPECT_NE(tooWide.err.find("--adaptive radius 4 is above a quarter of the 16x12 result's shorter side (at most 3)"),
              std::string::npos)
        << tooWide.err;
    EXPECT_FALSE(fs::exists(dir.Path("a.bmp")));
    EXPECT_EQ(RunRender(dir, {flat, "-o", dir.Path("a.bmp"), "--adaptive", "3"}).status, 0);

    RunResult one = RunRender(dir, {flat, "-o", dir.Path("t.bmp"), "--auto-threshold", "-v"});
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("automatic threshold 64 (the picture has one brightness"), std::string::npos) << one.out;
    RunResult two = RunRender(dir, {small, "-o", dir.Path("s.bmp"), "--auto-threshold", "-v"});
    EXPECT_EQ(two.status, 0);
    EXPECT_NE(two.out.find("automatic threshold "), std::string::npos) << two.out;
    EXPECT_EQ(two.out.find("one brightness"), std::string::npos) << two.out;
}

TEST_F(RenderTool, TwoColorFollowsDefineBlack)
{
    // Kind 0 with the grey reference 808080: black exactly when no channel
    // exceeds 128.
    const int expected[2][4] = {{0, 1, 0, 1}, {0, 1, 0, 1}};
    for (bool negative : {false, true}) {
        std::vector<std::string> args = {small, "-o", dir.Path("two.bmp"), "-t", "two"};
        if (negative)
            args.push_back("-n");
        RunResult run = RunRender(dir, args);
        ASSERT_EQ(run.status, 0) << run.err;
        const Bmp bmp = LoadBmp(dir.Path("two.bmp"));
        ASSERT_TRUE(bmp.ok);
        EXPECT_EQ(bmp.bitCount, 1);
        ASSERT_EQ(bmp.table.size(), 2u);
        EXPECT_EQ(bmp.table[0], 0x000000u);
        EXPECT_EQ(bmp.table[1], 0xFFFFFFu);
        EXPECT_EQ(bmp.width, 4);
        EXPECT_EQ(bmp.height, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(bmp.IndexAt(x, y), negative ? 1 - expected[y][x] : expected[y][x]) << x << "," << y;
    }
}

TEST_F(RenderTool, GreyIsTheMeanOfTheChannels)
{
    const int expected[2][4] = {{0, 255, 128, 43}, {60, 85, 20, 66}};
    RunResult run = RunRender(dir, {small, "-o", dir.Path("grey.bmp"), "-t", "grey"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bmp bmp = LoadBmp(dir.Path("grey.bmp"));
    ASSERT_TRUE(bmp.ok);
    EXPECT_EQ(bmp.bitCount, 8);
    ASSERT_EQ(bmp.table.size(), 256u);
    EXPECT_EQ(bmp.table[77], 0x4D4D4Du);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bmp.IndexAt(x, y), expected[y][x]) << x << "," << y;
}

TEST_F(RenderTool, TrueColorKeepsOrInvertsEveryPixel)
{
    for (bool negative : {false, true}) {
        std::vector<std::string> args = {small, "-o", dir.Path("true.bmp"), "--type", "true"};
        if (negative)
            args.push_back("--negative");
        RunResult run = RunRender(dir, args);
        ASSERT_EQ(run.status, 0) << run.err;
        const Bmp bmp = LoadBmp(dir.Path("true.bmp"));
        ASSERT_TRUE(bmp.ok);
        EXPECT_EQ(bmp.bitCount, 24);
        EXPECT_TRUE(bmp.table.empty());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                const std::uint32_t v = negative ? 0xFFFFFF - kSmall[y][x] : kSmall[y][x];
                EXPECT_EQ(bmp.At(x, y), v) << x << "," << y;
            }
    }
}

TEST_F(RenderTool, HalfSizeTakesEverySecondPixelFromTheBottomRow)
{
    RunResult run = RunRender(dir, {small, "-o", dir.Path("half.bmp"), "-t", "true", "--percent", "50"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bmp bmp = LoadBmp(dir.Path("half.bmp"));
    ASSERT_TRUE(bmp.ok);
    ASSERT_EQ(bmp.width, 2);
    ASSERT_EQ(bmp.height, 1);
    // New pixel (x, 0) samples the Original exactly at (2x, 0), the bottom row.
    EXPECT_EQ(bmp.At(0, 0), kSmall[1][0]);
    EXPECT_EQ(bmp.At(1, 0), kSmall[1][2]);
}

TEST_F(RenderTool, ClipRendersOnlyTheRegion)
{
    RunResult run = RunRender(dir, {small, "-o", dir.Path("clip.bmp"), "-t", "true", "--clip", "1,0,3,2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bmp bmp = LoadBmp(dir.Path("clip.bmp"));
    ASSERT_TRUE(bmp.ok);
    ASSERT_EQ(bmp.width, 2);
    ASSERT_EQ(bmp.height, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(bmp.At(x, y), kSmall[y][x + 1]) << x << "," << y;

    RunResult outside = RunRender(dir, {small, "-o", dir.Path("clip2.bmp"), "--clip", "0,0,5,2"});
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find(small + ": --clip 0,0,5,2 does not lie inside the 4x2 result"), std::string::npos)
        << outside.err;
    EXPECT_FALSE(fs::exists(dir.Path("clip2.bmp")));
}

TEST_F(RenderTool, JpegResultsGoThroughTrueColor)
{
    const std::string input = dir.Path("halves.bmp");
    WriteBmp24(input, 16, 16, [](int x, int) { return x < 8 ? 0x000000u : 0xF0F0F0u; });
    for (const char* type : {"two", "grey", "true"}) {
        const std::string out = dir.Path(std::string("halves-") + type + ".jpg");
        RunResult run = RunRender(dir, {input, "-o", out, "-t", type, "-q", "95"});
        ASSERT_EQ(run.status, 0) << run.err;
        Picture p;
        ASSERT_EQ(ReadJpegFile(out, p.block, p.width, p.height), 1);
        ASSERT_EQ(p.width, 16);
        ASSERT_EQ(p.height, 16);
        const int light = std::string(type) == "two" ? 255 : 240;
        const std::uint32_t dark = p.At(2, 8);
        const std::uint32_t bright = p.At(13, 8);
        EXPECT_LE(dark >> 16, 6u) << type;                        // red
        EXPECT_NEAR(int(bright >> 8 & 0xFF), light, 6) << type; // green
    }
}

TEST_F(RenderTool, QualityReachesTheJpegWriter)
{
    const std::string input = DataPath("jpeg/testorig.jpg");
    ASSERT_EQ(RunRender(dir, {input, "-o", dir.Path("low.jpg"), "-t", "true", "-q", "10"}).status, 0);
    ASSERT_EQ(RunRender(dir, {input, "-o", dir.Path("high.jpg"), "-t", "true", "-q", "95"}).status, 0);
    EXPECT_LT(fs::file_size(dir.Path("low.jpg")) * 2, fs::file_size(dir.Path("high.jpg")));
}

// ---- bundled pictures: the result against the program's own decoding of the input --------

struct DataCase {
    const char* name;
    const char* file;
    const char* type;
};
inline void PrintTo(const DataCase& c, std::ostream* os)
{
    *os << c.name;
}

class BundledPictures : public RenderTool, public ::testing::WithParamInterface<DataCase> {};

TEST_P(BundledPictures, RenderAsTheFiltersDefaultsSay)
{
    const DataCase& c = GetParam();
    const std::string input = DataPath(c.file);
    const std::string out = dir.Path("result.bmp");
    RunResult run = RunRender(dir, {input, "-o", out, "-t", c.type});
    ASSERT_EQ(run.status, 0) << run.err;

    Picture original;
    const bool jpeg = fs::path(input).extension() == ".jpg";
    ASSERT_EQ(jpeg ? ReadJpegFile(input, original.block, original.width, original.height)
                   : ReadBmpFile(input, original.block, original.width, original.height),
              1);
    const Bmp bmp = LoadBmp(out);
    ASSERT_TRUE(bmp.ok);
    ASSERT_EQ(bmp.width, original.width);
    ASSERT_EQ(bmp.height, original.height);
    const std::string type = c.type;
    EXPECT_EQ(bmp.bitCount, type == "two" ? 1 : type == "grey" ? 8 : 24);
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x) {
            const std::uint32_t p = original.At(x, y);
            const int r = p >> 16, g = p >> 8 & 0xFF, b = p & 0xFF;
            if (type == "two")
                ASSERT_EQ(bmp.IndexAt(x, y), (r <= 128 && g <= 128 && b <= 128) ? 0 : 1) << x << "," << y;
            else if (type == "grey")
                ASSERT_EQ(bmp.IndexAt(x, y), (r + g + b) / 3) << x << "," << y;
            else
                ASSERT_EQ(bmp.At(x, y), p) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Files, BundledPictures,
                         ::testing::Values(DataCase{"pal8_true", "bmpsuite/g/pal8.bmp", "true"},
                                           DataCase{"pal4_grey", "bmpsuite/g/pal4.bmp", "grey"},
                                           DataCase{"rgb24_two", "bmpsuite/g/rgb24.bmp", "two"},
                                           DataCase{"jpeg_true", "jpeg/testorig.jpg", "true"},
                                           DataCase{"jpeg_grey", "jpeg/testorig.jpg", "grey"},
                                           DataCase{"jpeg_two", "jpeg/testorig.jpg", "two"}),
                         [](const auto& info) { return info.param.name; });

// ---- several inputs ----------------------------------------------------------------------

TEST_F(RenderTool, SeveralInputsIntoAFolderInParallel)
{
    const std::string outDir = dir.Path("results");
    fs::create_directory(outDir);
    const std::string second = dir.Path("second.bmp");
    WriteBmp24(second, 3, 5, [](int, int) { return 0x336699u; });
    const std::string missing = dir.Path("missing.bmp");
    const std::string unknown = dir.Path("picture.gif");
    std::ofstream(unknown) << "x";

    RunResult run = RunRender(dir, {small, missing, second, unknown, DataPath("jpeg/testorig.jpg"), "-o", outDir, "--format",
                              "jpg", "-j", "2", "-t", "true", "-v"});
    EXPECT_EQ(run.status, 1);
    // Each failure is reported with its file's name; the others are rendered.
    EXPECT_NE(run.err.find(missing + ": "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(unknown + ": Only .bmp, .jpg, .png and .tif files can be opened or saved: " + unknown),
              std::string::npos)
        << run.err;
    for (const auto& [name, w, h] : {std::tuple{"small.jpg", 4, 2}, std::tuple{"second.jpg", 3, 5},
                                     std::tuple{"testorig.jpg", 227, 149}}) {
        Picture p;
        ASSERT_EQ(ReadJpegFile(outDir + "/" + name, p.block, p.width, p.height), 1) << name;
        EXPECT_EQ(p.width, w) << name;
        EXPECT_EQ(p.height, h) << name;
    }
    EXPECT_FALSE(fs::exists(outDir + "/missing.jpg"));
    // -v: the picture information text and the result, led by the file name.
    EXPECT_NE(run.out.find(DataPath("jpeg/testorig.jpg") + ": biWidth: 227, biHeight: 149, Colors: 0\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(second + ": Bit count 24,  Header 40, planes 1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(second + ": -> " + outDir + "/second.jpg (3x5, 24 bits)"), std::string::npos) << run.out;
}

TEST_F(RenderTool, SettingsFileWithTheCommandLineWinning)
{
    const std::string settings = dir.Path("render.settings");
    std::ofstream(settings) << "# invert, true colour\nnegative=true\ntype=true\n";
    RunResult run = RunRender(dir, {"--settings", settings, small, "-o", dir.Path("s.bmp")});
    ASSERT_EQ(run.status, 0) << run.err;
    Bmp bmp = LoadBmp(dir.Path("s.bmp"));
    ASSERT_TRUE(bmp.ok);
    EXPECT_EQ(bmp.bitCount, 24);
    EXPECT_EQ(bmp.At(0, 0), 0xFFFFFFu);

    run = RunRender(dir, {"--settings", settings, small, "-o", dir.Path("s.bmp"), "-t", "grey"});
    ASSERT_EQ(run.status, 0) << run.err;
    bmp = LoadBmp(dir.Path("s.bmp"));
    ASSERT_TRUE(bmp.ok);
    EXPECT_EQ(bmp.bitCount, 8);
    EXPECT_EQ(bmp.IndexAt(1, 0), 0); // white, inverted
}

TEST_F(RenderTool, ABrokenInputFailsWithStatusOne)
{
    const std::string broken = dir.Path("broken.bmp");
    std::ofstream(broken) << "not a picture at all";
    RunResult run = RunRender(dir, {broken, "-o", dir.Path("out.bmp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(broken + ": ", 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists(dir.Path("out.bmp")));
}

TEST_F(RenderTool, AResultBeyondTheSizeLimitFailsWithStatusOne)
{
    // 300000 pixels wide is a picture we read; four times that is no result we make.
    const std::string wide = dir.Path("wide.bmp");
    WriteBmp24(wide, 300000, 1, [](int, int) { return 0x808080u; });
    RunResult run = RunRender(dir, {wide, "-o", dir.Path("out.bmp"), "--scale", "4"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(wide + ": error 11, MakeEmpty picture"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir.Path("out.bmp")));
}

// ---- filter options reach the render ---------------------------------------------------

struct FilterCase {
    const char* name;
    std::vector<std::string> options;
    std::uint32_t expected[2][4]; // 0xRRGGBB, top row first
};
inline void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << c.name;
}

class FilterOptions : public RenderTool, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FilterOptions, ChangeTheResultAsTheFormulasSay)
{
    std::vector<std::string> args = {small, "-o", dir.Path("f.bmp")};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    RunResult run = RunRender(dir, args);
    ASSERT_EQ(run.status, 0) << run.err;
    const Bmp bmp = LoadBmp(dir.Path("f.bmp"));
    ASSERT_TRUE(bmp.ok);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bmp.At(x, y), GetParam().expected[y][x]) << x << "," << y;
}

constexpr std::uint32_t B = 0x000000, W = 0xFFFFFF;

INSTANTIATE_TEST_SUITE_P(
    Small, FilterOptions,
    ::testing::Values(
        // Define Black on red alone: (0, 0, 200) is black now.
        FilterCase{"channels_red_only", {"--channels", "r"}, {{B, W, B, W}, {B, W, B, B}}},
        // Black up to 31 in every channel.
        FilterCase{"darker_reference", {"-c", "1F1F1F"}, {{B, W, W, W}, {W, W, B, W}}},
        // Light/Dark +1 moves (128, 128, 128) over the reference.
        FilterCase{"lighter", {"-l", "1"}, {{B, W, W, W}, {B, W, B, W}}},
        // Colour list of two: pixels equal to a listed colour turn white, the
        // rest keep their colour (the reference 808080 is not used).
        FilterCase{"colour_list",
                   {"-t", "true", "-k", "3", "--list", "1E3C5A,FF0000"},
                   {{0x000000, 0xFFFFFF, 0x808080, 0x810000}, {W, W, 0x0A141F, 0x0000C8}}}),
    [](const auto& info) { return info.param.name; });

// Standard input and output: the type of what comes in is found from its
// first bytes, what goes out is in --format, and the bytes are those of a
// render from file to file.
TEST_F(RenderTool, StandardInputAndOutputGiveWhatFilesGive)
{
    const std::string source = dir.Path("source.png");
    const CPicture picture = MakeTrueColor(31, 17, [](int x, int y) {
        return Rgb{std::uint8_t(x * 8), std::uint8_t(y * 15), std::uint8_t(x * y)};
    });
    {
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        ASSERT_EQ(WritePictureFile(source, kFileTypePng, picture, 90), 1);
    }
    for (const std::string format : {"bmp", "png", "tif", "jpg"}) {
        const std::string file = dir.Path("file." + format);
        ASSERT_EQ(RunRender(dir, {"-t", "grey", "-o", file, source}).status, 0) << format;
        const RunResult piped = RunRender(dir, {"-t", "grey", "--format", format, "-o", "-", "-"}, source);
        EXPECT_EQ(piped.status, 0) << format << piped.err;
        EXPECT_TRUE(piped.out == Slurp(file)) << format;
    }
}

// A JPEG file is rendered a band at a time into the output file; the same
// bytes read from standard input take the whole-document path. Both must
// write the same file, also for a file cut short (decoded past the damage).
TEST_F(RenderTool, StreamedJpegJobsWriteWhatTheDocumentWrites)
{
    const std::string photo = dir.Path("photo.jpg");
    const CPicture picture = MakeTrueColor(203, 157, [](int x, int y) {
        return Rgb{std::uint8_t(x * 3 + y), std::uint8_t(y * 5 - x), std::uint8_t((x ^ y) * 7)};
    });
    {
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        ASSERT_EQ(WritePictureFile(photo, kFileTypeJpeg, picture, 90), 1);
    }
    const std::string bytes = Slurp(photo);
    const std::string cut = dir.Path("cut.jpg");
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() * 2 / 3);
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"bmp", {"-t", "two"}},
        {"tif", {"-t", "two", "--dither", "fs", "--tilt", "3"}},
        {"png", {"-t", "grey", "-k", "1", "-c", "30a0c0", "--clip", "10,20,150,100"}},
        {"jpg", {"-t", "true", "--percent", "37", "-f", "2.5"}},
        {"bmp", {"-t", "true", "--tilt", "-17", "--percent", "160"}},
        {"tif", {"-t", "grey", "--percent", "50"}},
        {"bmp", {"-t", "two", "--adaptive", "9"}},
        {"png", {"-t", "two", "--adaptive", "12,0.3", "--clip", "10,20,150,100"}},
    };
    for (const std::string& input : {photo, cut}) {
        for (const auto& [format, options] : cases) {
            std::vector<std::string> streamed = options, whole = options;
            const std::string a = dir.Path("streamed." + format), b = dir.Path("whole." + format);
            streamed.insert(streamed.end(), {"-v", input, "-o", a});
            whole.insert(whole.end(), {"-", "-o", b});
            const RunResult s = RunRender(dir, streamed), w = RunRender(dir, whole, input);
            EXPECT_EQ(s.status, 0) << s.err;
            EXPECT_EQ(w.status, 0) << w.err;
            EXPECT_EQ(s.err.empty(), input == photo) << s.err;
            EXPECT_NE(s.out.find("bits, a band at a time)"), std::string::npos) << s.out;
            EXPECT_TRUE(Slurp(a) == Slurp(b)) << input << " " << format << " " << options[1];
            if (format == "png" || format == "jpg") { // front to back: streamed to standard output too
                streamed = options;
                streamed.insert(streamed.end(), {"-v", "--format", format, "-o", "-", input});
                const RunResult piped = RunRender(dir, streamed);
                EXPECT_EQ(piped.status, 0) << piped.err;
                EXPECT_NE(piped.err.find("a band at a time)"), std::string::npos) << piped.err;
                EXPECT_TRUE(piped.out == Slurp(a)) << input << " " << format;
            }
        }
    }
    // A radius the result is too small for is refused before anything is written.
    const RunResult refused = RunRender(dir, {"-t", "two", "--adaptive", "40", photo, "-o", dir.Path("r.bmp")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--adaptive radius 40 is above a quarter of the 203x157 result's shorter side"),
              std::string::npos)
        << refused.err;
    EXPECT_FALSE(fs::exists(dir.Path("r.bmp")));
}
