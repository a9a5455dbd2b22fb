#include "lumacut-render/Options.h"

#include "picture/Limits.h"

#include <algorithm>
#include <cstdio>

namespace lumacut::render {

using namespace lumacut::settings;

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
    {"clip-fractions", 0, true, true}, {"preset", 0, true, false}, {"list-presets", 0, false, false},
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

} // namespace

bool TakesValue(const std::string& name)
{
    const OptionInfo* option = FindLong(name);
    return option && option->takesValue;
}

bool ApplyOption(const std::string& name, const std::string& value, RenderOptions& o, std::string& error)
{
    if (PresetSettingForm(name) != SettingForm::Unknown) {
        if (!ApplyPresetSetting(name, value, o, error))
            return false;
        // A clip in fractions replaces one in pixels.
        if (name == "clip-fractions")
            o.clipActive = false;
        return true;
    }
    if (name == "auto-threshold" || name == "verbose" || name == "help") {
        bool on = false;
        if (!ParseFlag(value, on))
            return error = "takes true or false, not " + Quoted(value), false;
        (name == "auto-threshold" ? o.autoThreshold : name == "verbose" ? o.verbose : o.help) = on;
        return true;
    }
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
        o.clipFractionsActive = false;
        return true;
    }
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
    std::vector<SettingLine> lines;
    const bool read = ParseSettingLines(
        text, source,
        [](const std::string& name) {
            const OptionInfo* option = FindLong(name);
            return !option || !option->fileAllowed ? SettingForm::Unknown
                   : option->takesValue            ? SettingForm::Value
                                                   : SettingForm::Flag;
        },
        lines, error);
    for (const SettingLine& line : lines)
        settings.emplace_back(line.name, line.value);
    return read;
}

bool ParseCommandLine(const std::vector<std::string>& args, RenderOptions& options, std::string& error)
{
    std::vector<NamedValue> given;
    std::vector<std::string> settingsFiles;
    std::string presetName;
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
        if (std::string(option->name) == "list-presets") {
            options.listPresets = true;
            return true;
        }
        if (std::string(option->name) == "settings")
            settingsFiles.push_back(value);
        else if (std::string(option->name) == "preset")
            presetName = value;
        else
            given.emplace_back(option->name, option->takesValue ? value : std::string());
    }
    // --help wins over every error that follows it, but not over one before it.
    // A preset is the whole set of settings, so it comes first; settings files
    // and the command line then change it.
    if (!presetName.empty()) {
        const std::string path = FindPreset(presetName, UserPresetFolder(), ShippedPresetFolder());
        Preset preset;
        if (path.empty()) {
            error = "--preset: no preset named " + Quoted(presetName) + " (see --list-presets)";
            return false;
        }
        if (!ReadPresetFile(path, preset, error)) {
            error = "--preset: " + error;
            return false;
        }
        static_cast<Preset&>(options) = preset;
    }
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

std::string PresetListText()
{
    const std::string user = UserPresetFolder();
    const std::string shipped = ShippedPresetFolder();
    std::string text;
    for (const PresetEntry& entry : ListPresets(user, shipped))
        text += entry.name + (entry.shipped ? "  (shipped)" : "") + "\n";
    return text + "(your presets are in " + user + ")\n";
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
      --clip-fractions L,T,R,B  the same as fractions of the result, 0 to 1

Running
  -j, --jobs 1..256        files rendered at once (default: the number of cores)
  -v, --verbose            print each picture's information text and result
      --settings FILE      read options from FILE, one name=value per line
                           (long names without dashes, e.g. light=-20,
                           negative=true; '#' starts a comment line); options
                           on the command line win over the file
      --preset NAME|FILE   start from a preset saved by the editor (its
                           Presets menu) or shipped with the program, by name
                           or as a .preset file; --settings files and the
                           command line win over it
      --list-presets       print the names of the presets (the shipped ones
                           marked) and the folder of your own
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
