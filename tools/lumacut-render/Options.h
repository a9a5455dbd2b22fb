#pragma once
// lumacut-render's options: the command line, settings files, and their
// checks. Plain functions over plain values, so tests need no process.
#include "document/Preset.h"
#include "filter/FilterSettings.h"
#include "picture/Rect.h"
#include "platform/Prompt.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumacut::render {

// As an INPUT: standard input; as OUTPUT: standard output.
inline const std::string kStandardStream = "-";

// The settings of the render (a preset's, the document's defaults) and how
// the tool runs.
struct RenderOptions : Preset {
    std::vector<std::string> inputs;
    std::string output;                    // a .bmp or .jpg file, or a folder
    bool clipActive = false;               // a clip in pixels (--clip), instead of the preset's fractions
    Rect clip;                             // top-down, in the full-size result
    std::string format = "bmp";            // of results written into a folder or to standard output
    int jobs = 0;                          // 0: one per core
    bool autoThreshold = false;           // Otsu's threshold of each picture's brightness
    bool verbose = false;
    bool help = false;
    bool listPresets = false;
};

using NamedValue = std::pair<std::string, std::string>;

// Parses the arguments after the program name. A --preset is applied first,
// then settings files named by --settings, in the order given, then every other option
// in command-line order, so the command line wins and a later option beats an
// earlier one. False with `error` (naming the option and what it takes) on
// anything malformed or out of range; the caller exits with status 2.
// With --help anywhere only `help` is set; with --list-presets only `listPresets`.
bool ParseCommandLine(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

// One option by its long name (without dashes), as both the command line and
// settings files give them. Flags take no value on the command line; in a
// file they take true/false, yes/no, on/off or 1/0 (a bare name is true).
bool ApplyOption(const std::string& name, const std::string& value, RenderOptions& options, std::string& error);

// A settings file's text: one name=value per line; blank lines and lines
// starting with '#' are skipped; spaces around names and values are ignored.
// `source` names the file in messages.
bool ParseSettingsText(const std::string& text, const std::string& source, std::vector<NamedValue>& settings,
                       std::string& error);

// Whether a long name is an option of the tool that takes a value.
bool TakesValue(const std::string& name);

using lumacut::DitherName;

// The --list-presets text: the user's presets and the shipped ones, marked.
std::string PresetListText();

std::string HelpText();

} // namespace lumacut::render
