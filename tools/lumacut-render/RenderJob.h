#pragma once
// What lumacut-render does with each input: where its result goes, and the
// render itself through the editor's own document code.
#include "lumacut-render/Options.h"

#include <string>
#include <vector>

namespace lumacut::render {

struct RenderJob {
    std::string input;
    std::string output;
};

// The result's name inside a folder: the input's file name with its last
// ending replaced by `format` ("in/photo.old.jpg", "bmp" -> "photo.old.bmp").
std::string ResultName(const std::string& input, const std::string& format);

// One job per input. OUTPUT may be an existing folder (results named by
// ResultName) or, for a single input, a .bmp or .jpg file. False with
// `error` when OUTPUT cannot serve, when two inputs would give the same
// result, or when a result would overwrite its own input.
bool PlanJobs(const RenderOptions& options, std::vector<RenderJob>& jobs, std::string& error);

// Opens the input into a fresh CDibDoc whose settings are the options (so the
// first render already uses them), applies the clip region and renders again
// when one is asked for, and saves the New Picture. Every failure has shown
// its message through the prompt seam. `summary` describes the result.
// With --auto-threshold the picture is rendered again with Otsu's threshold
// of its brightness. An --adaptive radius that the result is too small for
// fails the file and sets `badOption`, as the exit status then says so.
// A job that can run a band at a time (StreamJob.h) runs so.
bool RenderOneFile(const RenderOptions& options, const RenderJob& job, std::string& summary,
                   std::string* badOption = nullptr);

// The clip region of the options (--clip, or a preset's fractions) in the
// result of an Original of that size; false after the message when --clip
// does not lie inside the result.
bool ClipOf(const RenderOptions& options, int originalWidth, int originalHeight, Rect& clip);
// False after the message, with `badOption` set, when an --adaptive radius
// is above a quarter of the result's shorter side.
bool AdaptiveRadiusFits(const RenderOptions& options, int width, int height, std::string* badOption);

} // namespace lumacut::render
