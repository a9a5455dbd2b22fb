// CDibDoc: the one path by which a New Picture is made.
#include "document/CDibDoc.h"

#include "document/RenderWait.h"
#include "platform/DeferringPrompt.h"

#include <future>
#include <mutex>
#include <thread>

namespace lumacut {

namespace {

// One block kept back from the last render while views were painting, for
// the next: fresh memory from the system costs about as much as the render.
struct SpareBlock {
    std::mutex mutex;
    CMemBlock block;
};

SpareBlock& Spare()
{
    static SpareBlock spare;
    return spare;
}

// Runs the render on a worker while `wait` waits; its messages come after.
bool RenderOnWorker(const FilterSettings& settings, const RenderRequest& request, IRenderWait& wait)
{
    DeferringPrompt deferring(Prompt());
    IPrompt* previous = SetPrompt(&deferring);
    bool made = false;
    std::packaged_task<void()> task([&] { made = RenderNewPicture(settings, request); });
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    wait.Wait(done);
    worker.join();
    SetPrompt(previous);
    deferring.Release();
    done.get(); // passes on an exception of the render
    return made;
}

} // namespace

bool CDibDoc::ApplyFilter(const FilterSettings& settings, IRenderWait* wait)
{
    if (m_rendering)
        return false;
    struct Mark {
        bool& flag;
        explicit Mark(bool& f) : flag(f) { flag = true; }
        ~Mark() { flag = false; }
    } mark(m_rendering);
    m_renderedClip = m_clipRect;

    // Nobody paints meanwhile: the render writes into the New Picture itself
    // and reuses its block.
    if (!wait) {
        RenderNewPicture(settings, RenderRequestFor(m_picNew));
        return true;
    }

    // A picture of the New Picture's kind: the render makes its block while
    // the views go on painting the old one.
    CMemBlock reuse;
    {
        std::lock_guard<std::mutex> lock(Spare().mutex);
        CMemBlock& spare = Spare().block;
        if (spare && spare.Size() <= 2 * m_picNew.Block().Size())
            reuse = std::move(spare);
    }
    CPicture shadow = m_picNew.SameKind(std::move(reuse));
    const bool made = RenderOnWorker(settings, RenderRequestFor(shadow), *wait);

    std::lock_guard<std::mutex> lock(Spare().mutex);
    // A render that failed before making its block leaves the New Picture
    // as it was, whole and consistent.
    if (!made) {
        if (shadow.HasBlock())
            Spare().block = shadow.TakeBlock();
        return true;
    }
    Spare().block = m_picNew.TakeBlock();
    m_picNew = std::move(shadow);
    return true;
}

} // namespace lumacut
