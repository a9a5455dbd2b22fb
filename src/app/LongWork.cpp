#include "app/LongWork.h"

#include "document/CDibDoc.h"
#include "filter/RenderLoop.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace lumacut {

namespace {

const char* const kBusyText = "Working...";

// Holds the messages of the worker until it has ended.
class DeferringPrompt : public IPrompt {
public:
    explicit DeferringPrompt(IPrompt& next) : m_next(next) {}
    void Message(const std::string& text, PromptIcon icon) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held.emplace_back(text, icon);
    }
    // Renders never ask; answer as the prompt behind would by default.
    int ChooseOutput() override { return kOutputTwoColor; }
    void Release()
    {
        std::vector<std::pair<std::string, PromptIcon>> held;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            held.swap(m_held);
        }
        for (auto& [text, icon] : held)
            m_next.Message(text, icon);
    }

private:
    IPrompt& m_next;
    std::mutex m_mutex;
    std::vector<std::pair<std::string, PromptIcon>> m_held;
};

// Swallows user input while long work runs; painting, timers and posted
// events go on.
class InputBlocker : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::Drop:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Close:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }
};

QMainWindow* MainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMainWindow*>(w))
            if (m->isVisible())
                return m;
    return nullptr;
}

bool g_showing = false;

std::set<const CDibDoc*>& Rendering()
{
    static std::set<const CDibDoc*> docs;
    return docs;
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void WaitShowingProgress(std::future<void>& done)
{
    InputBlocker blocker;
    qApp->installEventFilter(&blocker);
    QStatusBar* bar = nullptr;
    QProgressBar* progress = nullptr;
    if (QMainWindow* main = MainWindow(); main && main->statusBar()) {
        bar = main->statusBar();
        progress = new QProgressBar(bar);
        progress->setRange(0, 0); // the work reports no fraction: a busy indicator
        progress->setMaximumWidth(160);
        bar->addPermanentWidget(progress);
        progress->show();
        bar->showMessage(QString::fromLatin1(kBusyText));
    }
    g_showing = true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            loop.quit();
    });
    poll.start(20);
    // Input is swallowed by the blocker rather than held back, so nothing
    // typed or clicked meanwhile runs once the work has ended.
    loop.exec();
    g_showing = false;
    if (bar) {
        bar->removeWidget(progress);
        delete progress;
        bar->clearMessage();
    }
    qApp->removeEventFilter(&blocker);
}

} // namespace

void RunLongWork(const std::function<void()>& work, std::chrono::milliseconds threshold)
{
    WaitCursor cursor;
    DeferringPrompt deferring(Prompt());
    IPrompt* previous = SetPrompt(&deferring);
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    if (done.wait_for(threshold) != std::future_status::ready)
        WaitShowingProgress(done);
    worker.join();
    SetPrompt(previous);
    deferring.Release();
    done.get(); // passes on an exception of the work
}

bool LongWorkShowing()
{
    return g_showing;
}

bool IsRendering(const CDibDoc& doc)
{
    return Rendering().count(&doc) != 0;
}

namespace {
// One block kept back from the last render for the next.
CMemBlock& SpareBlock()
{
    static CMemBlock spare;
    return spare;
}
} // namespace

bool RenderDocument(CDibDoc& doc, const FilterSettings& settings, std::chrono::milliseconds threshold)
{
    if (IsRendering(doc))
        return false;
    struct Mark {
        const CDibDoc* doc;
        explicit Mark(const CDibDoc* d) : doc(d) { Rendering().insert(d); }
        ~Mark() { Rendering().erase(doc); }
    } mark(&doc);

    // A picture of the same kind as the New Picture: the render loop makes
    // its block, the views keep painting the old one. It is given the block
    // a New Picture of about its size gave up at the last render, if any:
    // fresh memory from the system costs about as much as the render.
    CPicture shadow;
    CopyPictureFields(doc.m_picNew, shadow);
    CMemBlock& spare = SpareBlock();
    const bool reused = spare && spare.Size() <= 2 * doc.m_picNew.m_hDib.Size();
    if (reused)
        shadow.m_hDib = std::move(spare);
    const RenderRequest request = doc.RenderRequestFor(shadow);
    const FilterSettings copy = settings;

    bool made = false;
    RunLongWork([&] { made = RenderNewPicture(copy, request); }, threshold);

    // A render that failed before making its block leaves the New Picture
    // as it was, whole and consistent.
    if (!made) {
        if (shadow.m_hDib)
            spare = std::move(shadow.m_hDib);
        return true;
    }
    shadow.Unlock();
    // the block may have held another document's picture
    if (reused)
        ClearRowPadding(shadow);
    spare = std::move(doc.m_picNew.m_hDib);
    doc.m_picNew = std::move(shadow);
    return true;
}

} // namespace lumacut
