// Presets between the editor's document and lumacut-render: a preset written
// from an edited document renders the same file in the renderer and when
// applied to a fresh document; and which source of settings wins.
#include "document/CDibDoc.h"
#include "document/Preset.h"
#include "lumacut-render/Options.h"
#include "lumacut-render/RenderJob.h"
#include "lumacut-render/ToolConsole.h"
#include "picture/PictureFile.h"
#include "support/PictureBuilder.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"
#include "support/TestDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace lumacut;
using namespace lumacut::render;
using lumacut::test::TempDir;

namespace {

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct RoundTripCase {
    const char* name;
    int output;         // the answer to "Choose Output" in the editor
    const char* ending; // of the saved result
    std::function<void(CDibDoc&)> edit;
};

std::ostream& operator<<(std::ostream& out, const RoundTripCase& c)
{
    return out << c.name;
}

class PresetRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

} // namespace

TEST_P(PresetRoundTrip, EditorRendererAndApplyGiveTheSameFile)
{
    const RoundTripCase& c = GetParam();
    TempDir dir;
    const std::string input = dir.Path("in.bmp");
    const CPicture original = test::MakePicture(test::Output::TrueColor, 61, 47, test::TestOriginalColor);
    ASSERT_TRUE(WritePictureFile(input, kFileTypeBmp, original, 90));

    // The editor: open, change settings, render, save.
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    const std::string edited = dir.Path(std::string("editor") + c.ending);
    std::string presetText;
    {
        CDibDoc doc;
        prompt.outputChoices = {c.output};
        ASSERT_TRUE(doc.OnOpenDocument(input));
        c.edit(doc);
        doc.ApplyFilter(doc.m_filter);
        ASSERT_TRUE(doc.OnSaveDocument(edited));
        presetText = WritePresetText(PresetFromDocument(doc));
    }
    const std::string presetPath = dir.Path("saved.preset");
    std::ofstream(presetPath) << presetText;

    // The renderer with the preset, the output kind answered from it.
    const std::string rendered = dir.Path(std::string("renderer") + c.ending);
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--preset", presetPath, input, "-o", rendered}, options, error)) << error;
    {
        std::FILE* sink = std::tmpfile();
        ToolConsole console(options.outputType, false, false, sink, sink);
        ScopedPrompt toolScope(console);
        std::string summary;
        ASSERT_TRUE(RenderOneFile(options, RenderJob{input, rendered}, summary, nullptr));
        std::fclose(sink);
    }

    // The editor's Apply on a document opened with the defaults.
    const std::string applied = dir.Path(std::string("applied") + c.ending);
    {
        Preset preset;
        ASSERT_TRUE(ReadPresetFile(presetPath, preset, error)) << error;
        CDibDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(input));
        ASSERT_TRUE(ApplyPresetToDocument(doc, preset));
        ASSERT_TRUE(doc.OnSaveDocument(applied));
    }

    const std::string expected = FileBytes(edited);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(FileBytes(rendered) == expected) << presetText;
    EXPECT_TRUE(FileBytes(applied) == expected) << presetText;
}

INSTANTIATE_TEST_SUITE_P(
    Edits, PresetRoundTrip,
    ::testing::Values(
        RoundTripCase{"adaptive_scaled_clipped", kOutputTwoColor, ".bmp",
                      [](CDibDoc& d) {
                          d.m_filter.lightDark = -20;
                          d.m_filter.contrast = 140;
                          d.m_filter.adaptiveRadius = 3;
                          d.m_filter.adaptiveK = 0.3;
                          d.m_scale = 0.7371;
                          d.m_clipRect = Rect{5, 3, 41, 30};
                          d.m_clipActive = true;
                      }},
        RoundTripCase{"dithered_tilted", kOutputTwoColor, ".png",
                      [](CDibDoc& d) {
                          d.m_filter.dither = kDitherAtkinson;
                          d.m_filter.linearLight = 1;
                          d.m_filter.gamma = 35;
                          d.m_tilt = 0.3123456789; // as a dragged tilt line gives it
                          d.m_footprint = 1.7321;
                      }},
        RoundTripCase{"grey_negative_enlarged", kOutputGrey, ".bmp",
                      [](CDibDoc& d) {
                          d.m_filter.kind = 2;
                          d.m_filter.color = 0x2080C0;
                          d.m_filter.activeGreen = 0;
                          d.m_filter.sharpness = 40;
                          d.m_filter.negative = 1;
                          d.m_scale = 1.3;
                      }},
        RoundTripCase{"true_colour_list_jpeg", kOutputTrueColor, ".jpg", [](CDibDoc& d) {
                          d.m_filter.kind = 3;
                          const std::uint32_t list[] = {0x0000FF, 0x00FF00, 0x804020};
                          std::copy(std::begin(list), std::end(list), d.m_colorList);
                          d.m_colorListCount = 3;
                          d.m_jpegQuality = 70;
                          d.m_tilt = -1.0987654321;
                          d.m_clipRect = Rect{0, 10, 33, 47};
                          d.m_clipActive = true;
                      }}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

TEST(PresetOption, CommandLineWinsOverSettingsFilesOverThePresetOverDefaults)
{
    TempDir dir;
    const std::string preset = dir.Path("p.preset");
    std::ofstream(preset) << "type=grey\nlight=-20\ngamma=30\nsharpness=10\n";
    const std::string settings = dir.Path("s.txt");
    std::ofstream(settings) << "gamma=60\nsharpness=20\n";
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"in.jpg", "-o", "out.bmp", "--settings", settings, "-s", "30", "--preset", preset},
                                 o, error))
        << error;
    EXPECT_EQ(o.outputType, kOutputGrey);      // preset
    EXPECT_EQ(o.filter.lightDark, -20);        // preset
    EXPECT_EQ(o.filter.gamma, 60);             // settings file over the preset
    EXPECT_EQ(o.filter.sharpness, 30);         // command line over both
    EXPECT_EQ(o.filter.contrast, 100);         // default
    EXPECT_EQ(o.quality, 90);

    // A clip in pixels on the command line replaces the preset's fractions.
    std::ofstream(preset) << "clip-fractions=0.1,0.1,0.9,0.9\n";
    RenderOptions p;
    ASSERT_TRUE(ParseCommandLine({"in.jpg", "-o", "out.bmp", "--preset", preset, "--clip", "1,2,3,4"}, p, error));
    EXPECT_FALSE(p.clipFractionsActive);
    EXPECT_TRUE(p.clipActive);
}

TEST(PresetOption, FindsTheUsersAndTheShippedPresetsByName)
{
    TempDir dir;
    const char* before = std::getenv("XDG_DATA_HOME");
    const std::string saved = before ? before : "";
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    std::filesystem::create_directories(dir.Path("Lumacut/lumacut/presets"));
    std::ofstream(dir.Path("Lumacut/lumacut/presets/Mine.preset")) << "light=42\n";

    RenderOptions mine, shipped, missing;
    std::string error;
    EXPECT_TRUE(ParseCommandLine({"in.jpg", "-o", "o.bmp", "--preset", "Mine"}, mine, error)) << error;
    EXPECT_EQ(mine.filter.lightDark, 42);
    // The build folder holds the shipped presets where the programs look.
    EXPECT_TRUE(ParseCommandLine({"in.jpg", "-o", "o.bmp", "--preset", "Scanned page"}, shipped, error)) << error;
    EXPECT_GT(shipped.filter.adaptiveRadius, 0);
    EXPECT_FALSE(ParseCommandLine({"in.jpg", "-o", "o.bmp", "--preset", "Nothing"}, missing, error));
    EXPECT_EQ(error, "--preset: no preset named \"Nothing\" (see --list-presets)");
    const std::string list = PresetListText();
    EXPECT_NE(list.find("Mine\n"), std::string::npos) << list;
    EXPECT_NE(list.find("Scanned page  (shipped)\n"), std::string::npos) << list;

    if (before)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
