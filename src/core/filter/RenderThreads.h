#pragma once
// The render threads: a small pool that lives as long as the program and
// shares bands of a render between the cores. The calling thread works too,
// so a call never waits for a busy pool, and several threads may render at
// once (each call is its own job).
#include <functional>

namespace lumacut {

// Runs task(i) for every i in 0..count - 1 and returns when all are done.
// Tasks run on any thread in any order: they must not show messages and must
// not touch what another index touches.
void ParallelFor(int count, const std::function<void(int)>& task);

// Threads that take part in one call: the pool's workers plus the caller.
int RenderThreadCount();

} // namespace lumacut
