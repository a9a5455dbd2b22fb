#pragma once
// The fast pass: everything the plain pass decides per pixel is settled once
// per render (the reader of the Original, the output type's tables for the
// kind, the kernels), and the rows are shared out in bands. The bytes written are those of the plain
// pass, whatever the number of bands or threads.
#include "filter/Kernels.h"
#include "filter/RenderPass.h"

namespace lumacut {

// Runs the pass of `job` split into `bands` bands of rows (0: chosen by the
// size of the region and the number of render threads).
void RunFastPass(const PassJob& job, int bands = 0);
// The same pass reading `source` instead of the job's Original: rows of a
// picture held only in part (StreamRender.h), addressed as if whole.
void RunFastPassOn(const PassJob& job, const fast::SourceImage& source, int bands = 0);

} // namespace lumacut
