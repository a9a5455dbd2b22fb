#pragma once
// A job rendered a band at a time, the picture never whole in memory: a
// file whose type streams (RowStream.h) in, upright as it is stored; a file
// out, or standard output for the formats written front to back; any
// settings but --auto-threshold, which needs the whole picture's
// brightness first. The decoder runs on a core of its own,
// the render and the writer on the others, and a picture of any size passes
// through some megabytes of rows.
#include "lumacut-render/RenderJob.h"

#include <string>

namespace lumacut::render {

enum class StreamOutcome { NotTaken, Done, Failed };

// NotTaken when the job is not one for streaming (nothing shown, nothing
// written); Failed after the message; Done with `summary`.
StreamOutcome StreamOneFile(const RenderOptions& options, const RenderJob& job, std::string& summary,
                            std::string* badOption = nullptr);

} // namespace lumacut::render
