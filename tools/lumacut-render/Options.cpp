#include "lumacut-render/Options.h"

#include <algorithm>

#include "picture/Limits.h"
#include "picture/ScaleRange.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>

namespace lumacut::render {

namespace {

struct OptionInfo {
    const char* name;
    char shortName; // 0: none
    bool takesValue;
    bool fileAllowed; // may appear in a settings file
};

constexpr OptionInfo kOptions[] = {
    {"type", 't', true, true},      {"kind", 'k', true, true},      {"color", 'c', true, true},
    {"channels", 0, true, true},    {"negative", 'n', false, true}, {"light", 'l', true, true},
    {"contrast", 0, true, true},    {"gamma", 'g', true, true},     {"sharpness", 's', true, true},
    {"list", 0, true, true},        {"scale", 0, true, true},       {"percent", 0, true, true},
    {"footprint", 'f', true, true}, {"tilt", 0, true, true},        {"tilt-rad", 0, true, true},
    {"clip", 0, true, true},        {"quality", 'q', true, true},   {"format", 0, true, true},
    {"jobs", 'j', true, true},      {"verbose", 'v', false, true},  {"output", 'o', true, true},
    {"settings", 0, true, false},   {"help", 'h', false, false},    {"dither", 0, true, true},
    {"linear-light", 0, false, true}, {"auto-threshold", 0, false, true}, {"adaptive", 0, true, true},
};

const OptionInfo* FindLong(const std::string& name)
{
    for (const OptionInfo& o : kOptions)
        if (name == o.name)
            return &o;
    return nullptr;
}

const OptionInfo* FindShort(char c)
{
    for (const OptionInfo& o : kOptions)
        if (o.shortName == c)
            return &o;
    return nullptr;
}

std::string Quoted(const std::string& value)
{
    return "\"" + value + "\"";
}

bool ParseInt(const std::string& text, int low, int high, int& out, std::string& error)
{
    int v = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (!text.empty() && *first == '+')
        ++first;
    auto [end, ec] = std::from_chars(first, last, v);
    if (text.empty() || ec != std::errc() || end != last || v < low || v > high) {
        error = "takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ", not " +
                Quoted(text);
        return false;
    }
    out = v;
    return true;
}

bool ParseDouble(const std::string& text, double low, double high, const std::string& range, double& out,
                 std::string& error)
{
    double v = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (!text.empty() && *first == '+')
        ++first;
    auto [end, ec] = std::from_chars(first, last, v);
    if (text.empty() || ec != std::errc() || end != last || !std::isfinite(v) || v < low || v > high) {
        error = "takes a number from " + range + ", not " + Quoted(text);
        return false;
    }
    out = v;
    return true;
}

// "0.05 to 4": a range as the messages write it.
std::string RangeText(double low, double high)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g to %g", low, high);
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// RRGGBB (red first, an optional leading '#') to 0x00BBGGRR.
bool ParseColor(const std::string& text, std::uint32_t& out)
{
    std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6)
        return false;
    int byte[3];
    for (int i = 0; i < 3; ++i) {
        int hi = HexDigit(hex[2 * i]);
        int lo = HexDigit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        byte[i] = hi * 16 + lo;
    }
    out = MakeColor(static_cast<std::uint8_t>(byte[0]), static_cast<std::uint8_t>(byte[1]),
                    static_cast<std::uint8_t>(byte[2]));
    return true;
}

bool ParseFlag(const std::string& text, bool& out)
{
    if (text.empty() || text == "1" || text == "true" || text == "yes" || text == "on") {
        out = true;
        return true;
    }
    if (text == "0" || text == "false" || text == "no" || text == "off") {
        out = false;
        return true;
    }
    return false;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

std::string Trim(const std::string& text)
{
    const char* space = " \t\r";
    std::string::size_type first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

bool ReadWholeFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    text = buffer.str();
    return true;
}

constexpr const char* kDitherNames[kDitherMethodCount] = {"none", "fs", "atkinson", "jjn", "ordered", "bluenoise"};

} // namespace

const char* DitherName(int method)
{
    return method >= 0 && method < kDitherMethodCount ? kDitherNames[method] : "?";
}

bool TakesValue(const std::string& name)
{
    const OptionInfo* option = FindLong(name);
    return option && option->takesValue;
}

bool ApplyOption(const std::string& name, const std::string& value, RenderOptions& o, std::string& error)
{
    FilterSettings& f = o.filter;
    if (name == "type") {
        if (value == "two")
            o.outputType = kOutputTwoColor;
        else if (value == "grey")
            o.outputType = kOutputGrey;
        else if (value == "true")
            o.outputType = kOutputTrueColor;
        else
            return error = "takes two, grey or true, not " + Quoted(value), false;
        return true;
    }
    if (name == "kind")
        return ParseInt(value, 0, 3, f.kind, error);
    if (name == "color") {
        if (!ParseColor(value, f.color))
            return error = "takes a colour as RRGGBB in hex (red first), not " + Quoted(value), false;
        return true;
    }
    if (name == "channels") {
        bool r = false, g = false, b = false;
        bool ok = !value.empty();
        if (value != "none") {
            for (char c : value) {
                bool& channel = c == 'r' ? r : c == 'g' ? g : b;
                if ((c != 'r' && c != 'g' && c != 'b') || channel)
                    ok = false;
                else
                    channel = true;
            }
        }
        if (!ok)
            return error = "takes any of r, g and b (each once), or none, not " + Quoted(value), false;
        f.activeRed = r;
        f.activeGreen = g;
        f.activeBlue = b;
        return true;
    }
    if (name == "dither") {
        for (int m = 0; m < kDitherMethodCount; ++m)
            if (value == kDitherNames[m])
                return f.dither = m, true;
        return error = "takes none, fs, atkinson, jjn, ordered or bluenoise, not " + Quoted(value), false;
    }
    if (name == "adaptive") {
        // RADIUS[,K]; the radius's upper bound depends on the picture and is
        // checked once it is read.
        std::vector<std::string> parts = Split(value, ',');
        int radius = 0;
        double k = 0.2;
        std::string ignored;
        if (parts.size() > 2 || !ParseInt(Trim(parts[0]), 1, static_cast<int>(kMaxSide), radius, ignored) ||
            (parts.size() == 2 && !ParseDouble(Trim(parts[1]), 0.0, 1.0, "", k, ignored)))
            return error = "takes RADIUS[,K]: a whole number of at least 1 (at most a quarter of the picture's "
                           "shorter side) and K from 0 to 1, not " +
                           Quoted(value),
                   false;
        f.adaptiveRadius = radius;
        f.adaptiveK = k;
        return true;
    }
    if (name == "linear-light" || name == "auto-threshold") {
        bool on = false;
        if (!ParseFlag(value, on))
            return error = "takes true or false, not " + Quoted(value), false;
        if (name == "linear-light")
            f.linearLight = on;
        else
            o.autoThreshold = on;
        return true;
    }
    if (name == "negative" || name == "verbose" || name == "help") {
        bool on = false;
        if (!ParseFlag(value, on))
            return error = "takes true or false, not " + Quoted(value), false;
        if (name == "negative")
            f.negative = on;
        else if (name == "verbose")
            o.verbose = on;
        else
            o.help = on;
        return true;
    }
    if (name == "light")
        return ParseInt(value, -100, 100, f.lightDark, error);
    if (name == "contrast")
        return ParseInt(value, 0, 200, f.contrast, error);
    if (name == "gamma")
        return ParseInt(value, 0, 100, f.gamma, error);
    if (name == "sharpness")
        return ParseInt(value, -100, 100, f.sharpness, error);
    if (name == "list") {
        std::vector<std::string> parts = Split(value, ',');
        std::vector<std::uint32_t> colors;
        for (const std::string& part : parts) {
            std::uint32_t c = 0;
            if (!ParseColor(part, c) || parts.size() > 10)
                return error = "takes 1 to 10 colours RRGGBB[,RRGGBB...] in hex (red first), not " + Quoted(value),
                       false;
            colors.push_back(c);
        }
        o.colorList = colors;
        return true;
    }
    if (name == "scale")
        return ParseDouble(value, kMinScale, kMaxScale, RangeText(kMinScale, kMaxScale), o.scale, error);
    if (name == "percent") {
        double percent = 0;
        if (!ParseDouble(value, kMinResizePercent, kMaxResizePercent,
                         RangeText(kMinResizePercent, kMaxResizePercent), percent, error))
            return false;
        o.scale = percent * 0.01;
        return true;
    }
    if (name == "footprint")
        return ParseDouble(value, 0.001, 10.0, "0.001 to 10", o.footprint, error);
    if (name == "tilt") {
        double degrees = 0;
        if (!ParseDouble(value, -180.0, 180.0, "-180 to 180 (degrees)", degrees, error))
            return false;
        o.tilt = degrees * (std::numbers::pi / 180.0);
        return true;
    }
    if (name == "tilt-rad")
        return ParseDouble(value, -std::numbers::pi, std::numbers::pi, "-pi to pi (radians)", o.tilt, error);
    if (name == "clip") {
        std::vector<std::string> parts = Split(value, ',');
        int v[4] = {};
        bool ok = parts.size() == 4;
        for (std::size_t i = 0; ok && i < 4; ++i) {
            std::string ignored;
            ok = ParseInt(Trim(parts[i]), 0, static_cast<int>(kMaxSide), v[i], ignored);
        }
        if (!ok || v[0] >= v[2] || v[1] >= v[3])
            return error = "takes L,T,R,B: four whole numbers with 0 <= L < R and 0 <= T < B, not " + Quoted(value),
                   false;
        o.clip = Rect{v[0], v[1], v[2], v[3]};
        o.clipActive = true;
        return true;
    }
    if (name == "quality")
        return ParseInt(value, 0, 100, o.quality, error);
    if (name == "format") {
        static const std::pair<const char*, const char*> kFormats[] = {
            {"bmp", "bmp"}, {"jpg", "jpg"}, {"jpeg", "jpg"}, {"png", "png"}, {"tif", "tif"}, {"tiff", "tif"}};
        for (auto [given, format] : kFormats)
            if (value == given) {
                o.format = format;
                return true;
            }
        return error = "takes bmp, jpg, png or tif, not " + Quoted(value), false;
    }
    if (name == "jobs")
        return ParseInt(value, 1, 256, o.jobs, error);
    if (name == "output") {
        if (value.empty())
            return error = "takes a file or folder name", false;
        o.output = value;
        return true;
    }
    error = "is not an option";
    return false;
}

bool ParseSettingsText(const std::string& text, const std::string& source, std::vector<NamedValue>& settings,
                       std::string& error)
{
    std::vector<std::string> lines = Split(text, '\n');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = Trim(lines[i]);
        if (line.empty() || line[0] == '#')
            continue;
        const std::string where = source + " line " + std::to_string(i + 1) + ": ";
        std::string::size_type eq = line.find('=');
        std::string name = Trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
        const OptionInfo* option = FindLong(name);
        if (!option || !option->fileAllowed) {
            error = where + Quoted(name) + " is not a setting (use the long option names without dashes)";
            return false;
        }
        if (option->takesValue && eq == std::string::npos) {
            error = where + name + " needs a value: " + name + "=VALUE";
            return false;
        }
        settings.emplace_back(name, value);
    }
    return true;
}

bool ParseCommandLine(const std::vector<std::string>& args, RenderOptions& options, std::string& error)
{
    std::vector<NamedValue> given;
    std::vector<std::string> settingsFiles;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionInfo* option = nullptr;
        std::string shown = arg;
        std::string value;
        bool hasValue = false;
        if (arg[1] == '-') {
            std::string name = arg.substr(2);
            std::string::size_type eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
                hasValue = true;
            }
            option = FindLong(name);
            shown = "--" + name;
        } else if (arg.size() == 2) {
            option = FindShort(arg[1]);
        }
        if (!option) {
            error = "unknown option " + Quoted(arg);
            return false;
        }
        if (option->takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                error = shown + " needs a value";
                return false;
            }
            value = args[++i];
        } else if (!option->takesValue && hasValue) {
            error = shown + " takes no value";
            return false;
        }
        if (std::string(option->name) == "help") {
            options.help = true;
            return true;
        }
        if (std::string(option->name) == "settings")
            settingsFiles.push_back(value);
        else
            given.emplace_back(option->name, option->takesValue ? value : std::string());
    }
    // --help wins over every error that follows it, but not over one before it.
    for (const std::string& path : settingsFiles) {
        std::string text;
        if (!ReadWholeFile(path, text)) {
            error = "--settings: cannot read " + Quoted(path);
            return false;
        }
        std::vector<NamedValue> fromFile;
        if (!ParseSettingsText(text, path, fromFile, error))
            return false;
        for (const NamedValue& setting : fromFile) {
            std::string why;
            if (!ApplyOption(setting.first, setting.second, options, why)) {
                error = path + ": " + setting.first + " " + why;
                return false;
            }
        }
    }
    for (const NamedValue& option : given) {
        std::string why;
        if (!ApplyOption(option.first, option.second, options, why)) {
            error = "--" + option.first + " " + why;
            return false;
        }
    }
    // Dithering and the automatic and adaptive thresholds make black and
    // white: with another output they are refused, not ignored.
    const FilterSettings& f = options.filter;
    const char* twoColorOnly = f.dither != kDitherNone ? "--dither"
                               : f.adaptiveRadius > 0  ? "--adaptive"
                               : options.autoThreshold ? "--auto-threshold"
                               : f.linearLight         ? "--linear-light"
                                                       : nullptr;
    if (twoColorOnly && options.outputType != kOutputTwoColor) {
        error = std::string(twoColorOnly) + " needs a two-colour result (-t two)";
        return false;
    }
    if (options.autoThreshold && (f.dither != kDitherNone || f.adaptiveRadius > 0)) {
        error = "--auto-threshold sets a single threshold: it cannot be used with --dither or --adaptive";
        return false;
    }
    if (options.inputs.empty()) {
        error = "no INPUT given";
        return false;
    }
    if (std::count(options.inputs.begin(), options.inputs.end(), kStandardStream) > 1) {
        error = "standard input (-) can be read only once";
        return false;
    }
    if (options.output.empty()) {
        error = "no OUTPUT given (-o OUTPUT)";
        return false;
    }
    return true;
}

std::string HelpText()
{
    return R"(Usage: lumacut-render [OPTIONS] INPUT... -o OUTPUT

Renders pictures headless exactly as the Lumacut editor does: each INPUT (.bmp,
.jpg, .png or .tif; - for standard input, its type found from its first bytes)
is opened as the Original, the New Picture is rendered with the settings below
and saved to OUTPUT as .bmp, .png or .tif (in its own depth: 1, 8 or 24 bits;
a two-colour .tif is Group 4) or .jpg (converted to 24 bits when needed).

Output
  -o, --output OUTPUT      a .bmp, .jpg, .png or .tif file, an existing folder,
                           or - for standard output (in the --format); with
                           several inputs it must be a folder, and each result
                           is named after its input with the --format ending
      --format bmp|jpg|png|tif
                           the type of results written into a folder or to
                           standard output (default bmp)
  -t, --type two|grey|true the New Picture's kind, the "Choose Output" answer:
                           two colour (1 bit), 256 grey (8 bits) or true colour
                           (24 bits) (default two)
  -q, --quality 0..100     JPEG quality (default 90)

Tone filter
  -k, --kind 0..3          filter kind (default 0)
  -c, --color RRGGBB       reference colour in hex, red first (default 808080)
      --channels r|g|b...  channels compared with the reference colour: any of
                           r, g and b, or none (default rgb)
  -n, --negative           invert the result
  -l, --light -100..100    light/dark (default 0)
      --contrast 0..200    contrast in percent (default 100)
  -g, --gamma 0..100       gamma in percent, 50 neutral (default 50)
  -s, --sharpness -100..100  (default 0)
      --list RRGGBB[,RRGGBB...]  the colour list of kind 3 in true colour,
                           1 to 10 colours

Black and white (only with -t two)
      --dither none|fs|atkinson|jjn|ordered|bluenoise
                           dither the tone a grey result would hold instead
                           of thresholding it: Floyd-Steinberg, Atkinson,
                           Jarvis-Judice-Ninke (serpentine error diffusion),
                           8x8 Bayer or a 64x64 blue-noise map (default none)
      --linear-light       dither in linear light (the tone decoded from
                           sRGB), so a dithered area keeps its brightness
      --auto-threshold     black where the brightness (mean of red, green and
                           blue) is below Otsu's threshold of each picture;
                           -v prints it. Replaces the kind, colour, channels,
                           light/dark and negative settings
      --adaptive RADIUS[,K]  Sauvola's local threshold over a square window
                           of side 2 x RADIUS + 1 (1 to a quarter of the
                           result's shorter side) with sensitivity K, 0 to 1
                           (default 0.2); it wins over --dither

Geometry
      --scale 0.05..4      resize factor (default 1)
      --percent 5..400     resize in percent (scale = percent x 0.01)
  -f, --footprint 0.001..10  half-width of the averaging area in Original
                           pixels (default 1)
      --tilt -180..180     rotation about the picture's centre, in degrees
      --tilt-rad -pi..pi   the same in radians
      --clip L,T,R,B       render only this region of the full-size result
                           (top-down pixel coordinates, right and bottom
                           exclusive; it must lie inside the result)

Running
  -j, --jobs 1..256        files rendered at once (default: the number of cores)
  -v, --verbose            print each picture's information text and result
      --settings FILE      read options from FILE, one name=value per line
                           (long names without dashes, e.g. light=-20,
                           negative=true; '#' starts a comment line); options
                           on the command line win over the file
  -h, --help               this text
      --                   every argument after it is an INPUT

A later option replaces an earlier one (so do --scale and --percent, --tilt
and --tilt-rad). Messages about a file start with its name. A progress line
is shown on standard error when it is a terminal.

Exit status: 0 every input rendered; 1 some input failed (its message is
shown, the others are still rendered); 2 a malformed or out-of-range option,
or an unusable OUTPUT (nothing rendered).
)";
}

} // namespace lumacut::render
