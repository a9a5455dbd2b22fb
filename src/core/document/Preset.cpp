#include "document/Preset.h"

#include "document/CDibDoc.h"
#include "picture/Helpers.h"
#include "picture/Limits.h"
#include "picture/ScaleRange.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <pwd.h>
#include <unistd.h>

namespace lumacut {

namespace fs = std::filesystem;

namespace settings {

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

} // namespace settings

using namespace settings;

namespace {

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

std::string ColorText(std::uint32_t c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
    return text;
}

// The shortest text that reads back as the same double.
std::string NumberText(double v)
{
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, v);
    return ec == std::errc() ? std::string(text, end) : std::string("0");
}

constexpr const char* kDitherNames[kDitherMethodCount] = {"none", "fs", "atkinson", "jjn", "ordered", "bluenoise"};

struct PresetKey {
    const char* name;
    bool takesValue;
};

constexpr PresetKey kPresetKeys[] = {
    {"type", true},      {"kind", true},     {"color", true},        {"channels", true},       {"negative", false},
    {"light", true},     {"contrast", true}, {"gamma", true},        {"sharpness", true},      {"list", true},
    {"scale", true},     {"percent", true},  {"footprint", true},    {"tilt", true},           {"tilt-rad", true},
    {"quality", true},   {"dither", true},   {"linear-light", false}, {"adaptive", true},     {"clip-fractions", true},
};

// The line of byte `at` (1-based).
int LineOf(const std::string& text, std::size_t at)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

// The offset of the first byte that breaks UTF-8 (or a NUL), npos if none.
std::size_t FirstNonText(const std::string& text, bool& nul)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        nul = c == 0;
        if (nul)
            return i;
        int more = 0;
        std::uint32_t lowest = 0;
        if (c < 0x80)
            more = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            more = 1, lowest = 0x80;
        else if (c >= 0xE0 && c <= 0xEF)
            more = 2, lowest = 0x800;
        else if (c >= 0xF0 && c <= 0xF4)
            more = 3, lowest = 0x10000;
        else
            return i;
        std::uint32_t code = more == 0 ? c : c & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            if (i + k >= n || (s[i + k] & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (s[i + k] & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += more + 1;
    }
    return std::string::npos;
}

} // namespace

const char* DitherName(int method)
{
    return method >= 0 && method < kDitherMethodCount ? kDitherNames[method] : "?";
}

SettingForm PresetSettingForm(const std::string& name)
{
    for (const PresetKey& key : kPresetKeys)
        if (name == key.name)
            return key.takesValue ? SettingForm::Value : SettingForm::Flag;
    return SettingForm::Unknown;
}

bool ParseSettingLines(const std::string& text, const std::string& source, const SettingLookup& lookup,
                       std::vector<SettingLine>& out, std::string& error)
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
        const SettingForm form = lookup(name);
        if (form == SettingForm::Unknown) {
            error = where + Quoted(name) + " is not a setting (use the long option names without dashes)";
            return false;
        }
        if (form == SettingForm::Value && eq == std::string::npos) {
            error = where + name + " needs a value: " + name + "=VALUE";
            return false;
        }
        out.push_back({name, value, static_cast<int>(i + 1)});
    }
    return true;
}

bool ApplyPresetSetting(const std::string& name, const std::string& value, Preset& o, std::string& error)
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
    if (name == "linear-light" || name == "negative") {
        bool on = false;
        if (!ParseFlag(value, on))
            return error = "takes true or false, not " + Quoted(value), false;
        (name == "negative" ? f.negative : f.linearLight) = on;
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
    if (name == "clip-fractions") {
        std::vector<std::string> parts = Split(value, ',');
        std::array<double, 4> v{};
        bool ok = parts.size() == 4;
        for (std::size_t i = 0; ok && i < 4; ++i) {
            std::string ignored;
            ok = ParseDouble(Trim(parts[i]), 0.0, 1.0, "", v[i], ignored);
        }
        if (!ok || v[0] >= v[2] || v[1] >= v[3])
            return error = "takes L,T,R,B: four fractions of the result from 0 to 1 with L < R and T < B, not " +
                           Quoted(value),
                   false;
        o.clipFractions = v;
        o.clipFractionsActive = true;
        return true;
    }
    if (name == "quality")
        return ParseInt(value, 0, 100, o.quality, error);
    error = "is not a setting";
    return false;
}

bool ParsePresetText(const std::string& text, const std::string& source, Preset& preset, std::string& error)
{
    if (text.size() > kMaxPresetBytes) {
        error = source + ": is larger than 64 KB: not a preset";
        return false;
    }
    bool nul = false;
    const std::size_t bad = FirstNonText(text, nul);
    if (bad != std::string::npos) {
        error = source + " line " + std::to_string(LineOf(text, bad)) + ": not text (" +
                (nul ? "a NUL byte" : "not UTF-8") + "): not a preset";
        return false;
    }
    std::vector<SettingLine> lines;
    if (!ParseSettingLines(text, source, PresetSettingForm, lines, error))
        return false;
    Preset made;
    for (const SettingLine& line : lines) {
        std::string why;
        if (!ApplyPresetSetting(line.name, line.value, made, why)) {
            error = source + " line " + std::to_string(line.line) + ": " + line.name + " " + why;
            return false;
        }
    }
    preset = made;
    return true;
}

bool ReadPresetFile(const std::string& path, Preset& preset, std::string& error)
{
    // Only the first bytes past the limit are needed to refuse a large file.
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + Quoted(path);
        return false;
    }
    std::string text(kMaxPresetBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) {
        error = "cannot read " + Quoted(path);
        return false;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return ParsePresetText(text, path, preset, error);
}

std::string WritePresetText(const Preset& p)
{
    const FilterSettings& f = p.filter;
    static const char* const kTypes[] = {"two", "grey", "true"};
    std::string out = "# Lumacut preset\n";
    auto line = [&out](const char* name, const std::string& value) { out += std::string(name) + "=" + value + "\n"; };
    line("type", kTypes[std::clamp(p.outputType, 0, 2)]);
    line("kind", std::to_string(f.kind));
    line("color", ColorText(f.color));
    std::string channels = std::string(f.activeRed ? "r" : "") + (f.activeGreen ? "g" : "") + (f.activeBlue ? "b" : "");
    line("channels", channels.empty() ? "none" : channels);
    line("negative", f.negative ? "true" : "false");
    line("light", std::to_string(f.lightDark));
    line("contrast", std::to_string(f.contrast));
    line("gamma", std::to_string(f.gamma));
    line("sharpness", std::to_string(f.sharpness));
    // Dithering and the adaptive threshold only make black and white; another
    // output leaves them out, as the renderer refuses them there.
    if (p.outputType == kOutputTwoColor) {
        line("dither", DitherName(f.dither));
        line("linear-light", f.linearLight ? "true" : "false");
        if (f.adaptiveRadius > 0)
            line("adaptive", std::to_string(f.adaptiveRadius) + "," + NumberText(f.adaptiveK));
    }
    if (!p.colorList.empty()) {
        std::string list;
        for (std::uint32_t c : p.colorList) {
            if (!list.empty())
                list += ',';
            list += ColorText(c);
        }
        line("list", list);
    }
    line("scale", NumberText(p.scale));
    line("footprint", NumberText(p.footprint));
    line("tilt-rad", NumberText(p.tilt));
    if (p.clipFractionsActive) {
        const auto& c = p.clipFractions;
        line("clip-fractions",
             NumberText(c[0]) + "," + NumberText(c[1]) + "," + NumberText(c[2]) + "," + NumberText(c[3]));
    }
    line("quality", std::to_string(p.quality));
    return out;
}

// ---- presets and documents ------------------------------------------------------------

void ResultSize(const CDibDoc& doc, double scale, int& width, int& height)
{
    const PictureSize original = doc.GetPictureSize(true);
    width = RoundHalfUp(original.width * scale);
    height = RoundHalfUp(original.height * scale);
}

Preset PresetFromDocument(const CDibDoc& doc)
{
    Preset p;
    const int colors = doc.m_picNew.Colors();
    p.outputType = colors == 2 ? kOutputTwoColor : colors == 256 ? kOutputGrey : kOutputTrueColor;
    p.filter = doc.m_filter;
    p.colorList.assign(doc.m_colorList, doc.m_colorList + std::clamp(doc.m_colorListCount, 0, CDibDoc::kMaxColorList));
    p.scale = doc.m_scale;
    p.footprint = doc.m_footprint;
    p.tilt = doc.m_tilt;
    p.quality = doc.m_jpegQuality;
    int width = 0, height = 0;
    ResultSize(doc, doc.m_scale, width, height);
    if (doc.m_clipActive && width > 0 && height > 0) {
        const Rect& c = doc.m_clipRect;
        p.clipFractionsActive = true;
        p.clipFractions = {std::clamp(double(c.left) / width, 0.0, 1.0), std::clamp(double(c.top) / height, 0.0, 1.0),
                           std::clamp(double(c.right) / width, 0.0, 1.0),
                           std::clamp(double(c.bottom) / height, 0.0, 1.0)};
    }
    return p;
}

void StorePresetSettings(CDibDoc& doc, const Preset& p)
{
    doc.m_filter = p.filter;
    doc.m_scale = p.scale;
    doc.m_footprint = p.footprint;
    doc.m_tilt = p.tilt;
    doc.m_jpegQuality = p.quality;
    doc.m_colorListCount = 0;
    for (std::uint32_t color : p.colorList)
        if (doc.m_colorListCount < CDibDoc::kMaxColorList)
            doc.m_colorList[doc.m_colorListCount++] = color;
}

Rect ClipFromFractions(const std::array<double, 4>& f, int width, int height)
{
    // Rounded to the nearest pixel, so fractions written from a pixel region
    // give it back; at least one pixel wide and high.
    auto at = [](double fraction, int size) { return static_cast<int>(std::lround(fraction * size)); };
    Rect r{at(f[0], width), at(f[1], height), at(f[2], width), at(f[3], height)};
    r.left = std::clamp(r.left, 0, std::max(width - 1, 0));
    r.top = std::clamp(r.top, 0, std::max(height - 1, 0));
    r.right = std::clamp(r.right, r.left + 1, std::max(width, r.left + 1));
    r.bottom = std::clamp(r.bottom, r.top + 1, std::max(height, r.top + 1));
    return r;
}

bool ApplyPresetToDocument(CDibDoc& doc, const Preset& p, IRenderWait* wait)
{
    if (doc.IsRendering())
        return false;
    StorePresetSettings(doc, p);
    if (!doc.m_picOriginal.HasBlock())
        return true;
    const PictureKind kind = p.outputType == kOutputGrey        ? PictureKind::Grey
                             : p.outputType == kOutputTrueColor ? PictureKind::TrueColor
                                                                : PictureKind::TwoColor;
    const int colors = kind == PictureKind::TwoColor ? 2 : kind == PictureKind::Grey ? 256 : 0;
    if (doc.m_picNew.Colors() != colors) {
        // As a new Original does: the old pixels mean nothing in the new kind.
        doc.m_picNew.Release();
        doc.m_picNew.SetKind(kind);
        doc.m_picNew.MakeEmpty(doc.m_picOriginal.Width(), doc.m_picOriginal.Height());
    }
    int width = 0, height = 0;
    ResultSize(doc, p.scale, width, height);
    doc.m_clipActive = p.clipFractionsActive;
    if (p.clipFractionsActive)
        doc.m_clipRect = ClipFromFractions(p.clipFractions, width, height);
    return doc.ApplyFilter(doc.m_filter, wait);
}

// ---- where presets live ----------------------------------------------------------------

std::string UserPresetFolder()
{
    // As the editor's QStandardPaths::AppDataLocation for organisation
    // "Lumacut" and application "lumacut" on Linux.
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        std::string h = home && *home ? home : "";
        if (h.empty())
            if (const passwd* pw = getpwuid(getuid()))
                h = pw->pw_dir;
        base = h + "/.local/share";
    }
    return base + "/Lumacut/lumacut/presets";
}

std::string ShippedPresetFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return (exe.parent_path().parent_path() / "share" / "lumacut" / "presets").string();
}

namespace {

void AddFolder(const std::string& folder, bool shipped, std::vector<PresetEntry>& out)
{
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec))
        return;
    std::vector<PresetEntry> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const fs::path& path = entry.path();
        if (path.extension() != kPresetEnding || !entry.is_regular_file(ec))
            continue;
        const std::string name = path.stem().string();
        if (std::none_of(out.begin(), out.end(), [&](const PresetEntry& e) { return e.name == name; }))
            found.push_back({name, path.string(), shipped});
    }
    std::sort(found.begin(), found.end(), [](const PresetEntry& a, const PresetEntry& b) { return a.name < b.name; });
    out.insert(out.end(), found.begin(), found.end());
}

} // namespace

std::vector<PresetEntry> ListPresets(const std::string& userFolder, const std::string& shippedFolder)
{
    std::vector<PresetEntry> list;
    AddFolder(userFolder, false, list);
    AddFolder(shippedFolder, true, list);
    return list;
}

std::string FindPreset(const std::string& nameOrPath, const std::string& userFolder, const std::string& shippedFolder)
{
    if (nameOrPath.find('/') != std::string::npos || fs::path(nameOrPath).extension() == kPresetEnding) {
        std::error_code ec;
        return fs::is_regular_file(nameOrPath, ec) ? nameOrPath : std::string();
    }
    for (const PresetEntry& entry : ListPresets(userFolder, shippedFolder))
        if (entry.name == nameOrPath)
            return entry.path;
    return {};
}

bool IsValidPresetName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || Trim(name).empty())
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
    });
}

} // namespace lumacut
