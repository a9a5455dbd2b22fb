// lumacut-render's options: every option and its range, malformed values,
// settings files and which source wins.
#include "lumacut-render/Options.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

using namespace lumacut;
using namespace lumacut::render;

namespace {

std::vector<std::string> Args(std::initializer_list<const char*> list)
{
    return std::vector<std::string>(list.begin(), list.end());
}

const std::string kAdaptiveTakes = "--adaptive takes RADIUS[,K]: a whole number of at least 1 (at most a quarter of "
                                   "the picture's shorter side) and K from 0 to 1, not ";

} // namespace

struct AcceptCase {
    const char* name;
    std::vector<std::string> args;
    std::function<void(const RenderOptions&)> check;
};
inline void PrintTo(const AcceptCase& c, std::ostream* os)
{
    *os << c.name;
}

class OptionAccepted : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(OptionAccepted, SetsItsField)
{
    std::vector<std::string> args = Args({"in.jpg", "-o", "out.bmp"});
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(args, o, error)) << error;
    GetParam().check(o);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionAccepted,
    ::testing::Values(
        AcceptCase{"defaults", {},
                   [](const RenderOptions& o) {
                       EXPECT_EQ(o.inputs, std::vector<std::string>{"in.jpg"});
                       EXPECT_EQ(o.output, "out.bmp");
                       EXPECT_EQ(o.outputType, kOutputTwoColor);
                       EXPECT_EQ(o.filter, FilterSettings{});
                       EXPECT_EQ(o.filter.color, 0x808080u);
                       EXPECT_EQ(o.scale, 1.0);
                       EXPECT_EQ(o.footprint, 1.0);
                       EXPECT_EQ(o.tilt, 0.0);
                       EXPECT_FALSE(o.clipActive);
                       EXPECT_EQ(o.quality, 90);
                       EXPECT_EQ(o.format, "bmp");
                       EXPECT_EQ(o.jobs, 0);
                       EXPECT_FALSE(o.verbose);
                       EXPECT_TRUE(o.colorList.empty());
                   }},
        AcceptCase{"type_grey", {"-t", "grey"}, [](const RenderOptions& o) { EXPECT_EQ(o.outputType, kOutputGrey); }},
        AcceptCase{"type_true", {"--type=true"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.outputType, kOutputTrueColor); }},
        AcceptCase{"type_two", {"--type", "grey", "--type", "two"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.outputType, kOutputTwoColor); }},
        AcceptCase{"kind_3", {"-k", "3"}, [](const RenderOptions& o) { EXPECT_EQ(o.filter.kind, 3); }},
        AcceptCase{"kind_0", {"--kind", "0"}, [](const RenderOptions& o) { EXPECT_EQ(o.filter.kind, 0); }},
        AcceptCase{"color_red_first", {"-c", "FF8001"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.filter.color, 0x0180FFu); }},
        AcceptCase{"color_hash_lower_case", {"--color", "#0a0b0c"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.filter.color, 0x0C0B0Au); }},
        AcceptCase{"channels_rb", {"--channels", "br"},
                   [](const RenderOptions& o) {
                       EXPECT_TRUE(o.filter.activeRed);
                       EXPECT_FALSE(o.filter.activeGreen);
                       EXPECT_TRUE(o.filter.activeBlue);
                   }},
        AcceptCase{"channels_none", {"--channels", "none"},
                   [](const RenderOptions& o) {
                       EXPECT_FALSE(o.filter.activeRed || o.filter.activeGreen || o.filter.activeBlue);
                   }},
        AcceptCase{"negative", {"-n"}, [](const RenderOptions& o) { EXPECT_TRUE(o.filter.negative); }},
        AcceptCase{"light_low", {"-l", "-100"}, [](const RenderOptions& o) { EXPECT_EQ(o.filter.lightDark, -100); }},
        AcceptCase{"light_high", {"--light=+100"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.filter.lightDark, 100); }},
        AcceptCase{"contrast", {"--contrast", "200"}, [](const RenderOptions& o) { EXPECT_EQ(o.filter.contrast, 200); }},
        AcceptCase{"gamma", {"-g", "0"}, [](const RenderOptions& o) { EXPECT_EQ(o.filter.gamma, 0); }},
        AcceptCase{"sharpness", {"-s", "-100"}, [](const RenderOptions& o) { EXPECT_EQ(o.filter.sharpness, -100); }},
        AcceptCase{"list_of_two", {"--list", "FF0000,0000ff"},
                   [](const RenderOptions& o) {
                       EXPECT_EQ(o.colorList, (std::vector<std::uint32_t>{0x0000FF, 0xFF0000}));
                   }},
        AcceptCase{"list_of_ten",
                   {"--list", "000001,000002,000003,000004,000005,000006,000007,000008,000009,00000A"},
                   [](const RenderOptions& o) {
                       ASSERT_EQ(o.colorList.size(), 10u);
                       EXPECT_EQ(o.colorList[9], 0x0A0000u);
                   }},
        AcceptCase{"scale", {"--scale", "0.5"}, [](const RenderOptions& o) { EXPECT_EQ(o.scale, 0.5); }},
        AcceptCase{"scale_bounds", {"--scale", "4"}, [](const RenderOptions& o) { EXPECT_EQ(o.scale, 4.0); }},
        AcceptCase{"percent", {"--percent", "50"}, [](const RenderOptions& o) { EXPECT_EQ(o.scale, 50 * 0.01); }},
        AcceptCase{"later_of_scale_and_percent", {"--percent", "200", "--scale", "0.25"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.scale, 0.25); }},
        AcceptCase{"footprint", {"-f", "0.001"}, [](const RenderOptions& o) { EXPECT_EQ(o.footprint, 0.001); }},
        AcceptCase{"footprint_high", {"--footprint", "10"}, [](const RenderOptions& o) { EXPECT_EQ(o.footprint, 10); }},
        AcceptCase{"tilt_degrees", {"--tilt", "-90"},
                   [](const RenderOptions& o) { EXPECT_DOUBLE_EQ(o.tilt, -std::numbers::pi / 2); }},
        AcceptCase{"tilt_radians", {"--tilt-rad", "0.25"}, [](const RenderOptions& o) { EXPECT_EQ(o.tilt, 0.25); }},
        AcceptCase{"clip", {"--clip", "10,20,110,70"},
                   [](const RenderOptions& o) {
                       EXPECT_TRUE(o.clipActive);
                       EXPECT_EQ(o.clip, (Rect{10, 20, 110, 70}));
                   }},
        AcceptCase{"quality", {"-q", "0"}, [](const RenderOptions& o) { EXPECT_EQ(o.quality, 0); }},
        AcceptCase{"format", {"--format", "jpg"}, [](const RenderOptions& o) { EXPECT_EQ(o.format, "jpg"); }},
        AcceptCase{"jobs", {"-j", "3"}, [](const RenderOptions& o) { EXPECT_EQ(o.jobs, 3); }},
        AcceptCase{"verbose", {"--verbose"}, [](const RenderOptions& o) { EXPECT_TRUE(o.verbose); }},
        AcceptCase{"dither_and_linear_light", {"--dither", "jjn", "--linear-light"},
                   [](const RenderOptions& o) {
                       EXPECT_EQ(o.filter.dither, kDitherJarvisJudiceNinke);
                       EXPECT_TRUE(o.filter.linearLight);
                   }},
        AcceptCase{"dither_none", {"--dither", "bluenoise", "--dither=none"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.filter.dither, kDitherNone); }},
        AcceptCase{"adaptive_radius_only", {"--adaptive", "15"},
                   [](const RenderOptions& o) {
                       EXPECT_EQ(o.filter.adaptiveRadius, 15);
                       EXPECT_EQ(o.filter.adaptiveK, 0.2);
                   }},
        AcceptCase{"adaptive_with_k", {"--adaptive=1,1"},
                   [](const RenderOptions& o) {
                       EXPECT_EQ(o.filter.adaptiveRadius, 1);
                       EXPECT_EQ(o.filter.adaptiveK, 1.0);
                   }},
        AcceptCase{"auto_threshold", {"--auto-threshold"}, [](const RenderOptions& o) { EXPECT_TRUE(o.autoThreshold); }},
        AcceptCase{"several_inputs_and_dash_dash", {"b.bmp", "--", "-odd.jpg"},
                   [](const RenderOptions& o) {
                       EXPECT_EQ(o.inputs, (std::vector<std::string>{"in.jpg", "b.bmp", "-odd.jpg"}));
                   }},
        AcceptCase{"later_output_wins", {"--output", "other.jpg"},
                   [](const RenderOptions& o) { EXPECT_EQ(o.output, "other.jpg"); }}),
    [](const auto& info) { return info.param.name; });

struct RefuseCase {
    const char* name;
    std::vector<std::string> args;
    std::string expected; // the whole message
};
inline void PrintTo(const RefuseCase& c, std::ostream* os)
{
    *os << c.name;
}

class OptionRefused : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(OptionRefused, NamesTheOptionAndWhatItTakes)
{
    std::vector<std::string> args = Args({"in.jpg", "-o", "out.bmp"});
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    RenderOptions o;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, o, error));
    EXPECT_EQ(error, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionRefused,
    ::testing::Values(
        RefuseCase{"type", {"-t", "gray"}, "--type takes two, grey or true, not \"gray\""},
        RefuseCase{"kind_high", {"-k", "4"}, "--kind takes a whole number from 0 to 3, not \"4\""},
        RefuseCase{"kind_negative", {"--kind=-1"}, "--kind takes a whole number from 0 to 3, not \"-1\""},
        RefuseCase{"kind_not_a_number", {"-k", "two"}, "--kind takes a whole number from 0 to 3, not \"two\""},
        RefuseCase{"kind_trailing", {"-k", "1x"}, "--kind takes a whole number from 0 to 3, not \"1x\""},
        RefuseCase{"color_short", {"-c", "FFF"},
                   "--color takes a colour as RRGGBB in hex (red first), not \"FFF\""},
        RefuseCase{"color_not_hex", {"-c", "GG0000"},
                   "--color takes a colour as RRGGBB in hex (red first), not \"GG0000\""},
        RefuseCase{"channels_twice", {"--channels", "rr"},
                   "--channels takes any of r, g and b (each once), or none, not \"rr\""},
        RefuseCase{"channels_other", {"--channels", "rgba"},
                   "--channels takes any of r, g and b (each once), or none, not \"rgba\""},
        RefuseCase{"channels_empty", {"--channels", ""},
                   "--channels takes any of r, g and b (each once), or none, not \"\""},
        RefuseCase{"light_low", {"-l", "-101"}, "--light takes a whole number from -100 to 100, not \"-101\""},
        RefuseCase{"light_fraction", {"-l", "1.5"}, "--light takes a whole number from -100 to 100, not \"1.5\""},
        RefuseCase{"contrast", {"--contrast", "201"}, "--contrast takes a whole number from 0 to 200, not \"201\""},
        RefuseCase{"gamma", {"-g", "101"}, "--gamma takes a whole number from 0 to 100, not \"101\""},
        RefuseCase{"sharpness", {"-s", "101"}, "--sharpness takes a whole number from -100 to 100, not \"101\""},
        RefuseCase{"list_eleven",
                   {"--list", "000001,000002,000003,000004,000005,000006,000007,000008,000009,00000A,00000B"},
                   "--list takes 1 to 10 colours RRGGBB[,RRGGBB...] in hex (red first), not "
                   "\"000001,000002,000003,000004,000005,000006,000007,000008,000009,00000A,00000B\""},
        RefuseCase{"list_bad_entry", {"--list", "FF0000,,00FF00"},
                   "--list takes 1 to 10 colours RRGGBB[,RRGGBB...] in hex (red first), not \"FF0000,,00FF00\""},
        RefuseCase{"scale_low", {"--scale", "0.04"}, "--scale takes a number from 0.05 to 4, not \"0.04\""},
        RefuseCase{"scale_nan", {"--scale", "nan"}, "--scale takes a number from 0.05 to 4, not \"nan\""},
        RefuseCase{"scale_inf", {"--scale", "inf"}, "--scale takes a number from 0.05 to 4, not \"inf\""},
        RefuseCase{"percent", {"--percent", "401"}, "--percent takes a number from 5 to 400, not \"401\""},
        RefuseCase{"footprint_zero", {"-f", "0"}, "--footprint takes a number from 0.001 to 10, not \"0\""},
        RefuseCase{"footprint_high", {"-f", "10.5"}, "--footprint takes a number from 0.001 to 10, not \"10.5\""},
        RefuseCase{"tilt", {"--tilt", "181"}, "--tilt takes a number from -180 to 180 (degrees), not \"181\""},
        RefuseCase{"tilt_rad", {"--tilt-rad", "3.2"}, "--tilt-rad takes a number from -pi to pi (radians), not \"3.2\""},
        RefuseCase{"clip_three", {"--clip", "1,2,3"},
                   "--clip takes L,T,R,B: four whole numbers with 0 <= L < R and 0 <= T < B, not \"1,2,3\""},
        RefuseCase{"clip_empty_width", {"--clip", "5,0,5,10"},
                   "--clip takes L,T,R,B: four whole numbers with 0 <= L < R and 0 <= T < B, not \"5,0,5,10\""},
        RefuseCase{"clip_negative", {"--clip", "-1,0,5,10"},
                   "--clip takes L,T,R,B: four whole numbers with 0 <= L < R and 0 <= T < B, not \"-1,0,5,10\""},
        RefuseCase{"quality", {"-q", "101"}, "--quality takes a whole number from 0 to 100, not \"101\""},
        RefuseCase{"format", {"--format", "gif"}, "--format takes bmp, jpg, png or tif, not \"gif\""},
        RefuseCase{"jobs_zero", {"-j", "0"}, "--jobs takes a whole number from 1 to 256, not \"0\""},
        RefuseCase{"dither_unknown", {"--dither", "floyd"},
                   "--dither takes none, fs, atkinson, jjn, ordered or bluenoise, not \"floyd\""},
        RefuseCase{"adaptive_zero", {"--adaptive", "0"}, kAdaptiveTakes + "\"0\""},
        RefuseCase{"adaptive_k_high", {"--adaptive", "5,1.5"}, kAdaptiveTakes + "\"5,1.5\""},
        RefuseCase{"adaptive_k_negative", {"--adaptive", "5,-0.1"}, kAdaptiveTakes + "\"5,-0.1\""},
        RefuseCase{"adaptive_three_parts", {"--adaptive", "5,0.1,2"}, kAdaptiveTakes + "\"5,0.1,2\""},
        RefuseCase{"dither_needs_two_colour", {"--dither", "fs", "-t", "grey"},
                   "--dither needs a two-colour result (-t two)"},
        RefuseCase{"adaptive_needs_two_colour", {"-t", "true", "--adaptive", "3"},
                   "--adaptive needs a two-colour result (-t two)"},
        RefuseCase{"linear_light_needs_two_colour", {"-t", "true", "--linear-light"},
                   "--linear-light needs a two-colour result (-t two)"},
        RefuseCase{"auto_threshold_with_dither", {"--auto-threshold", "--dither", "fs"},
                   "--auto-threshold sets a single threshold: it cannot be used with --dither or --adaptive"},
        RefuseCase{"unknown_long", {"--lighter", "3"}, "unknown option \"--lighter\""},
        RefuseCase{"unknown_short", {"-x"}, "unknown option \"-x\""},
        RefuseCase{"joined_short", {"-nv"}, "unknown option \"-nv\""},
        RefuseCase{"missing_value", {"-q"}, "-q needs a value"},
        RefuseCase{"flag_with_value", {"--negative=1"}, "--negative takes no value"},
        RefuseCase{"settings_missing", {"--settings", "/nonexistent/lumacut.settings"},
                   "--settings: cannot read \"/nonexistent/lumacut.settings\""}),
    [](const auto& info) { return info.param.name; });

TEST(OptionParsing, NeedsInputAndOutput)
{
    RenderOptions a;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(Args({"-o", "out.bmp"}), a, error));
    EXPECT_EQ(error, "no INPUT given");
    RenderOptions b;
    EXPECT_FALSE(ParseCommandLine(Args({"in.bmp"}), b, error));
    EXPECT_EQ(error, "no OUTPUT given (-o OUTPUT)");
}

TEST(OptionParsing, HelpWinsOverLaterErrors)
{
    RenderOptions o;
    std::string error;
    EXPECT_TRUE(ParseCommandLine(Args({"--help", "--kind", "9"}), o, error));
    EXPECT_TRUE(o.help);
    RenderOptions p;
    EXPECT_TRUE(ParseCommandLine(Args({"-h"}), p, error));
    EXPECT_TRUE(p.help);
}

TEST(OptionParsing, HelpDocumentsEveryOption)
{
    const std::string help = HelpText();
    for (const char* name : {"--type", "--kind", "--color", "--channels", "--negative", "--light", "--contrast",
                             "--gamma", "--sharpness", "--list", "--scale", "--percent", "--footprint", "--tilt",
                             "--tilt-rad", "--clip", "--quality", "--settings", "--format", "--jobs", "--verbose",
                             "--output", "--help", "-t,", "-k,", "-c,", "-n,", "-l,", "-g,", "-s,", "-f,", "-q,",
                             "-j,", "-v,", "-o,", "-h,", "--dither", "--linear-light",
                             "--auto-threshold", "--adaptive", "Exit status"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

// ---- settings files --------------------------------------------------------------------

TEST(SettingsText, ReadsNameValueLines)
{
    std::vector<NamedValue> settings;
    std::string error;
    ASSERT_TRUE(ParseSettingsText("# a comment\n\n  light = -20 \r\nnegative\ncolor=FF0000\nclip=1,2,3,4\n", "s.txt",
                                  settings, error))
        << error;
    EXPECT_EQ(settings, (std::vector<NamedValue>{{"light", "-20"}, {"negative", ""}, {"color", "FF0000"},
                                                 {"clip", "1,2,3,4"}}));
}

TEST(SettingsText, RefusesUnknownNamesAndMissingValues)
{
    std::vector<NamedValue> settings;
    std::string error;
    EXPECT_FALSE(ParseSettingsText("light=1\nbrightness=3\n", "s.txt", settings, error));
    EXPECT_EQ(error, "s.txt line 2: \"brightness\" is not a setting (use the long option names without dashes)");
    EXPECT_FALSE(ParseSettingsText("--light=3\n", "s.txt", settings, error));
    EXPECT_EQ(error, "s.txt line 1: \"--light\" is not a setting (use the long option names without dashes)");
    EXPECT_FALSE(ParseSettingsText("settings=other.txt\n", "s.txt", settings, error));
    EXPECT_FALSE(ParseSettingsText("quality\n", "s.txt", settings, error));
    EXPECT_EQ(error, "s.txt line 1: quality needs a value: quality=VALUE");
}

TEST(SettingsFile, CommandLineWinsOverTheFile)
{
    test::TempDir dir;
    const std::string file = dir.Path("render.settings");
    std::ofstream(file) << "light=-20\nkind=2\nnegative=yes\nscale=2\ntype=grey\nquality=40\nlist=FF0000,00FF00\n";
    RenderOptions o;
    std::string error;
    // The file comes after on the command line, and still loses.
    ASSERT_TRUE(ParseCommandLine(Args({"in.jpg", "-o", "out.bmp", "-l", "15", "--percent", "50", "--settings",
                                       file.c_str()}),
                                 o, error))
        << error;
    EXPECT_EQ(o.filter.lightDark, 15);
    EXPECT_EQ(o.scale, 0.5);
    EXPECT_EQ(o.filter.kind, 2);
    EXPECT_TRUE(o.filter.negative);
    EXPECT_EQ(o.outputType, kOutputGrey);
    EXPECT_EQ(o.quality, 40);
    EXPECT_EQ(o.colorList, (std::vector<std::uint32_t>{0x0000FF, 0x00FF00}));
}

TEST(SettingsFile, FlagsTakeWordsAndBadValuesNameTheFile)
{
    test::TempDir dir;
    const std::string file = dir.Path("s.txt");
    std::ofstream(file) << "negative=off\nverbose=1\ndither=fs\nlinear-light=true\nadaptive=15,0.3\n";
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(Args({"in.jpg", "-o", "out.bmp", "-n", "--settings", file.c_str()}), o, error));
    EXPECT_TRUE(o.filter.negative); // -n on the command line wins
    EXPECT_TRUE(o.verbose);
    EXPECT_EQ(o.filter.dither, kDitherFloydSteinberg);
    EXPECT_TRUE(o.filter.linearLight);
    EXPECT_EQ(o.filter.adaptiveRadius, 15);
    EXPECT_EQ(o.filter.adaptiveK, 0.3);

    std::ofstream(file) << "gamma=300\n";
    RenderOptions p;
    EXPECT_FALSE(ParseCommandLine(Args({"in.jpg", "-o", "out.bmp", "--settings", file.c_str()}), p, error));
    EXPECT_EQ(error, file + ": gamma takes a whole number from 0 to 100, not \"300\"");

    std::ofstream(file) << "negative=maybe\n";
    RenderOptions q;
    EXPECT_FALSE(ParseCommandLine(Args({"in.jpg", "-o", "out.bmp", "--settings", file.c_str()}), q, error));
    EXPECT_EQ(error, file + ": negative takes true or false, not \"maybe\"");
}

TEST(SettingsFile, MayNameTheOutput)
{
    test::TempDir dir;
    const std::string file = dir.Path("s.txt");
    std::ofstream(file) << "output=from-file.jpg\n";
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(Args({"in.jpg", "--settings", file.c_str()}), o, error)) << error;
    EXPECT_EQ(o.output, "from-file.jpg");
}
