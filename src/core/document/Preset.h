#pragma once
// Presets: every setting that decides the New Picture except the Original,
// kept as `name=value` text. The same text form and the same value checks
// serve the editor's presets and lumacut-render's --settings and --preset.
#include "filter/FilterSettings.h"
#include "picture/Rect.h"
#include "platform/Prompt.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumacut {

class CDibDoc;
class IRenderWait;

struct Preset {
    int outputType = kOutputTwoColor;     // the answer to "Choose Output"
    FilterSettings filter;
    std::vector<std::uint32_t> colorList; // 0x00BBGGRR, at most 10
    double scale = 1.0;
    double footprint = 1.0;
    double tilt = 0.0;                    // radians
    bool clipFractionsActive = false;
    std::array<double, 4> clipFractions{0.0, 0.0, 1.0, 1.0}; // left, top, right, bottom of the result
    int quality = 90;
};

// A preset file may not be larger than this.
inline constexpr std::size_t kMaxPresetBytes = 64 * 1024;
// The ending of preset files.
inline constexpr const char* kPresetEnding = ".preset";

// ---- the settings text ----------------------------------------------------------

struct SettingLine {
    std::string name;
    std::string value;
    int line = 0; // 1-based
};

// What a reader knows of a name: not at all, as a flag, or as taking a value.
enum class SettingForm { Unknown, Flag, Value };
using SettingLookup = std::function<SettingForm(const std::string& name)>;

// One name=value per line; blank lines and lines starting with '#' are
// skipped; spaces around names and values are ignored. `source` names the
// file in messages, with the line.
bool ParseSettingLines(const std::string& text, const std::string& source, const SettingLookup& lookup,
                       std::vector<SettingLine>& lines, std::string& error);

// The form of a preset setting's name (Unknown for anything else).
SettingForm PresetSettingForm(const std::string& name);

// Sets one preset setting; false with `error` saying what the name takes
// (the caller puts the name and place in front).
bool ApplyPresetSetting(const std::string& name, const std::string& value, Preset& preset, std::string& error);

// A whole preset file's text onto the defaults. Refused, with the source and
// line named and `preset` untouched: text that is no text (NUL bytes, invalid
// UTF-8), larger than kMaxPresetBytes, an unknown name or a bad value.
bool ParsePresetText(const std::string& text, const std::string& source, Preset& preset, std::string& error);
// The same for a file.
bool ReadPresetFile(const std::string& path, Preset& preset, std::string& error);

// The text ParsePresetText reads back to an equal render.
std::string WritePresetText(const Preset& preset);

// The dither methods' names as the text writes them, by DitherMethod.
const char* DitherName(int method);

// Small parsers the renderer shares for its own options.
namespace settings {
std::string Quoted(const std::string& value);
bool ParseInt(const std::string& text, int low, int high, int& out, std::string& error);
bool ParseFlag(const std::string& text, bool& out);
std::vector<std::string> Split(const std::string& text, char separator);
std::string Trim(const std::string& text);
bool ReadWholeFile(const std::string& path, std::string& text);
} // namespace settings

// ---- presets and documents ------------------------------------------------------------

// The document's settings as a preset (the clip as fractions of the result).
Preset PresetFromDocument(const CDibDoc& doc);
// Sets the document's settings but the output kind and clip, without a
// render: what a document needs before its Original is opened.
void StorePresetSettings(CDibDoc& doc, const Preset& preset);
// The clip region in the full-size result of `width` x `height` pixels.
Rect ClipFromFractions(const std::array<double, 4>& fractions, int width, int height);
// The full-size result's size for the document's Original and scale.
void ResultSize(const CDibDoc& doc, double scale, int& width, int& height);
// Applies a preset to a document with a picture: every setting, the output
// kind and the clip, then one render (through `wait` in the editor). False
// while a render runs (nothing changed). Without an Original only the
// settings are kept.
bool ApplyPresetToDocument(CDibDoc& doc, const Preset& preset, IRenderWait* wait = nullptr);

// ---- where presets live ----------------------------------------------------------------

struct PresetEntry {
    std::string name;
    std::string path;
    bool shipped = false;
};

// The user's presets: the editor's application data folder ($XDG_DATA_HOME,
// else ~/.local/share, then Lumacut/lumacut) + "/presets".
std::string UserPresetFolder();
// The presets that come with the program: ../share/lumacut/presets from the
// running program's folder (the build folder holds a copy there too).
std::string ShippedPresetFolder();
// The presets of both folders by name, the user's first; a user's preset
// hides a shipped one of the same name.
std::vector<PresetEntry> ListPresets(const std::string& userFolder, const std::string& shippedFolder);
// A preset by name from the list, or a path to a file; empty when none.
std::string FindPreset(const std::string& nameOrPath, const std::string& userFolder,
                       const std::string& shippedFolder);
// Whether a preset name can be a file name: not empty, no path separator,
// not "." or "..", no control characters.
bool IsValidPresetName(const std::string& name);

} // namespace lumacut
