#include "lumacut-render/RenderJob.h"

#include "lumacut-render/StreamJob.h"

#include "document/CDibDoc.h"
#include "document/Preset.h"
#include "filter/ToneStatistics.h"
#include "picture/Helpers.h"
#include "picture/PictureFile.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <map>
#include <system_error>

namespace lumacut::render {

namespace fs = std::filesystem;

std::string ResultName(const std::string& input, const std::string& format)
{
    std::string name = input == kStandardStream ? "stdin" : fs::path(input).filename().string();
    std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name + "." + format;
}

namespace {

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

std::vector<std::uint8_t> ReadStandardInput()
{
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[1 << 16];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    return bytes;
}

// The writers make files (a TIFF is patched after it is written), so the
// result is written to a temporary file and copied out.
bool SaveToStandardOutput(CDibDoc& doc, const std::string& format)
{
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec) / ("lumacut-render-" + std::to_string(getpid()));
    fs::create_directories(folder, ec);
    const fs::path file = folder / ("result." + format);
    bool done = doc.OnSaveDocument(file.string());
    if (done) {
        std::FILE* in = std::fopen(file.c_str(), "rb");
        char chunk[1 << 16];
        done = in != nullptr;
        for (std::size_t n; done && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
            done = std::fwrite(chunk, 1, n, stdout) == n;
        if (in)
            std::fclose(in);
        done = std::fflush(stdout) == 0 && done;
        if (!done)
            ShowMessage("cannot write the result to standard output");
    }
    fs::remove_all(folder, ec);
    return done;
}

} // namespace

bool PlanJobs(const RenderOptions& options, std::vector<RenderJob>& jobs, std::string& error)
{
    jobs.clear();
    std::error_code ec;
    const bool toStream = options.output == kStandardStream;
    const bool toFolder = !toStream && fs::is_directory(options.output, ec);
    if (!toFolder) {
        if (options.inputs.size() > 1) {
            error = "with several inputs -o must name an existing folder: " + options.output;
            return false;
        }
        if (!toStream && FileTypeOf(options.output) == kFileTypeNone) {
            error = "-o must end in .bmp, .jpg, .png or .tif, name an existing folder, or be - (standard output): " +
                    options.output;
            return false;
        }
    }
    std::map<std::string, std::string> inputOf; // result -> input
    for (const std::string& input : options.inputs) {
        RenderJob job{input, toFolder ? (fs::path(options.output) / ResultName(input, options.format)).string()
                                      : options.output};
        auto [at, added] = inputOf.emplace(fs::path(job.output).lexically_normal().string(), input);
        if (!added) {
            error = at->second + " and " + input + " would both be written to " + job.output;
            return false;
        }
        if (!toStream && input != kStandardStream && SameFile(input, job.output)) {
            error = job.output + " would overwrite its own input";
            return false;
        }
        jobs.push_back(std::move(job));
    }
    return true;
}

bool ClipOf(const RenderOptions& options, int originalWidth, int originalHeight, Rect& clip)
{
    const int width = RoundHalfUp(originalWidth * options.scale);
    const int height = RoundHalfUp(originalHeight * options.scale);
    if (options.clipFractionsActive && !options.clipActive) {
        clip = ClipFromFractions(options.clipFractions, width, height);
        return true;
    }
    // The editor's clip is drawn inside the full-size result, so ours must
    // lie there too.
    const Rect& c = options.clip;
    if (c.right > width || c.bottom > height) {
        ShowMessage("--clip " + std::to_string(c.left) + "," + std::to_string(c.top) + "," + std::to_string(c.right) +
                    "," + std::to_string(c.bottom) + " does not lie inside the " + std::to_string(width) + "x" +
                    std::to_string(height) + " result");
        return false;
    }
    clip = c;
    return true;
}

bool AdaptiveRadiusFits(const RenderOptions& options, int width, int height, std::string* badOption)
{
    const int radius = options.filter.adaptiveRadius;
    if (radius <= 0 || radius <= std::min(width, height) / 4)
        return true;
    const std::string why = "--adaptive radius " + std::to_string(radius) + " is above a quarter of the " +
                            std::to_string(width) + "x" + std::to_string(height) + " result's shorter side (at most " +
                            std::to_string(std::min(width, height) / 4) + ")";
    if (badOption)
        *badOption = why;
    ShowMessage(why);
    return false;
}

bool RenderOneFile(const RenderOptions& options, const RenderJob& job, std::string& summary, std::string* badOption)
{
    switch (StreamOneFile(options, job, summary, badOption)) {
    case StreamOutcome::Done: return true;
    case StreamOutcome::Failed: return false;
    case StreamOutcome::NotTaken: break;
    }

    CDibDoc doc;
    StorePresetSettings(doc, options);
    doc.m_renderWhileReading = true;

    // The open renders once with the settings above; the answer to "Choose
    // Output" comes from the prompt (-t).
    if (job.input == kStandardStream) {
        const std::vector<std::uint8_t> bytes = ReadStandardInput();
        if (!doc.OpenBytes(bytes.data(), bytes.size(), "standard input"))
            return false;
    } else if (!doc.OnOpenDocument(job.input)) {
        return false;
    }

    if (options.clipActive || options.clipFractionsActive) {
        // The set-up reset the clip region: it is set again and rendered.
        const PictureSize original = doc.GetPictureSize(true);
        if (!ClipOf(options, original.width, original.height, doc.m_clipRect))
            return false;
        doc.m_clipActive = true;
        doc.ApplyFilter(doc.m_filter);
    }

    // A render that failed has said why and left no New Picture.
    if (!doc.GetPictureBlock(false))
        return false;

    const PictureSize made = doc.GetPictureSize(false);
    if (!AdaptiveRadiusFits(options, made.width, made.height, badOption))
        return false;
    std::string note;
    if (options.autoThreshold) {
        const Histogram brightness = BrightnessHistogram(doc.RenderRequestFor(doc.m_picNew));
        const int t = OtsuThreshold(brightness);
        const bool oneColor = std::count_if(brightness.begin(), brightness.end(), [](std::uint64_t n) { return n > 0; }) == 1;
        note = "automatic threshold " + std::to_string(t) +
               (oneColor ? " (the picture has one brightness: all of it white)" : "") + "\n";
        SetThreshold(doc.m_filter, t);
        doc.ApplyFilter(doc.m_filter);
        if (!doc.GetPictureBlock(false))
            return false;
    }
    if (job.output == kStandardStream ? !SaveToStandardOutput(doc, options.format) : !doc.OnSaveDocument(job.output))
        return false;

    const PictureSize size = doc.GetPictureSize(false);
    summary = note + "-> " + job.output + " (" + std::to_string(size.width) + "x" + std::to_string(size.height) + ", " +
              std::to_string(doc.m_picNew.BitCount()) + " bits)";
    return true;
}

} // namespace lumacut::render
