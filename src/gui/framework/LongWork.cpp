#include "framework/LongWork.h"

#include "document/CDibDoc.h"
#include "document/Preset.h"
#include "document/RenderWait.h"
#include "platform/DeferringPrompt.h"

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

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void WaitShowingProgress(const std::future<void>& done)
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

// The editor's wait: the wait cursor at once, the busy indicator and input
// blocking once the work takes longer than the threshold.
class EditorWait : public IRenderWait {
public:
    explicit EditorWait(std::chrono::milliseconds threshold) : m_threshold(threshold) {}
    void Wait(const std::future<void>& done) override
    {
        WaitCursor cursor;
        if (done.wait_for(m_threshold) != std::future_status::ready)
            WaitShowingProgress(done);
    }

private:
    std::chrono::milliseconds m_threshold;
};

} // namespace

void RunLongWork(const std::function<void()>& work, std::chrono::milliseconds threshold)
{
    DeferringPrompt deferring(Prompt());
    IPrompt* previous = SetPrompt(&deferring);
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    EditorWait(threshold).Wait(done);
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
    return doc.IsRendering();
}

bool StepHistory(CDibDoc& doc, bool forward, std::chrono::milliseconds threshold)
{
    EditorWait wait(threshold);
    return forward ? doc.RedoStep(&wait) : doc.UndoStep(&wait);
}

bool RenderDocument(CDibDoc& doc, const FilterSettings& settings, std::chrono::milliseconds threshold)
{
    EditorWait wait(threshold);
    return doc.ApplyFilter(settings, &wait);
}

bool ApplyPresetRendering(CDibDoc& doc, const Preset& preset, std::chrono::milliseconds threshold)
{
    EditorWait wait(threshold);
    return ApplyPresetToDocument(doc, preset, &wait);
}

} // namespace lumacut
