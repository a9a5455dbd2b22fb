#pragma once
// How a caller waits for a render that runs on a worker thread: the editor
// keeps its windows painting and shows progress; a plain wait just blocks.
#include <future>

namespace lumacut {

class IRenderWait {
public:
    virtual ~IRenderWait() = default;
    // Returns once `done` is ready.
    virtual void Wait(const std::future<void>& done) = 0;
};

} // namespace lumacut
