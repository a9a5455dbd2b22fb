// A slider drag in the filter dialog on a 12-megapixel picture: each step
// changes the setting, renders the New Picture the way the dialog does
// (RenderDocument, on a worker, into a stand-in) and repaints the editor's view
// that shows it, through the view's own paint event into its window's
// backing store. Figures in renders (slider steps) per second, with the
// render and the paint of a step apart.
#include "RenderBenchPictures.h"

#include "framework/LongWork.h"
#include "document/CDibDoc.h"
#include "filter/RenderLoop.h"
#include "view/CDibView.h"

#include <QApplication>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QEvent>
#include <QMetaEnum>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

using namespace lumacut;
using namespace lumacut::bench;

namespace {

constexpr int kWidth = 4000, kHeight = 3000; // 12 MP
// The view's client area in a maximised editor window on a common screen.
const QSize kClient(1600, 1000);

enum Mode { RenderOnly = 0, PaintFit = 1, PaintHundred = 2 };

const char* ModeName(int mode)
{
    return mode == PaintFit ? "render + paint, Fit to Window"
           : mode == PaintHundred ? "render + paint, 100 %"
                                  : "render only";
}

// One document for every case: the photo is slow to make.
CDibDoc& Document()
{
    static std::unique_ptr<CDibDoc> doc = [] {
        auto d = std::make_unique<CDibDoc>();
        d->m_picOriginal = MakePhoto(kWidth, kHeight);
        d->m_clipRect = Rect{0, 0, kWidth, kHeight};
        d->m_clipActive = false;
        return d;
    }();
    return *doc;
}

// Counts the paint events the view's client area receives, so a step that
// painted nothing cannot pass for a fast one.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Shows the view with a client area of kClient at `zoom` and lets it paint
// once; false when the window never became visible.
bool ShowView(CDibView& view, int zoom)
{
    view.OnZoom(zoom);
    view.OnShowNew();
    view.resize(kClient);
    view.show();
    QElapsedTimer waited;
    waited.start();
    while (!(view.windowHandle() && view.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!view.windowHandle() || !view.windowHandle()->isExposed())
        return false;
    // Scroll bars come and go with the first paint's scroll sizes: fit the
    // client area, not the frame, to kClient.
    for (int pass = 0; pass < 3; ++pass) {
        view.viewport()->repaint();
        QCoreApplication::processEvents();
        view.resize(view.size() + (kClient - view.viewport()->size()));
        QCoreApplication::processEvents();
    }
    view.viewport()->repaint();
    return true;
}

void BM_SliderDrag(benchmark::State& state)
{
    const auto output = static_cast<BenchOutput>(state.range(0));
    const int mode = static_cast<int>(state.range(2));
    CDibDoc& doc = Document();
    doc.m_picNew = MakeNewPicture(output);
    FilterSettings s;
    s.kind = static_cast<int>(state.range(1));
    s.color = 0x3080C0;
    // two colour only: 1 Floyd-Steinberg, 2 the adaptive threshold (radius 15)
    const int tone = static_cast<int>(state.range(3));
    s.dither = tone == 1 ? kDitherFloydSteinberg : kDitherNone;
    s.adaptiveRadius = tone == 2 ? 15 : 0;
    const RenderRequest request = doc.RenderRequestFor(doc.m_picNew);
    RenderNewPicture(s, request);
    doc.m_pictureReady = true;

    CDibView view(&doc);
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    if (mode != RenderOnly && !ShowView(view, mode == PaintFit ? 0 : 1)) {
        state.SkipWithError("the view's window was never exposed");
        return;
    }

    using Clock = std::chrono::steady_clock;
    Clock::duration rendering{}, painting{};
    const int paintsBefore = counter.paints;
    int step = 0;
    for (auto _ : state) {
        // The Light/Dark slider moving back and forth.
        s.lightDark = (step++ % 41) - 20;
        const auto t0 = Clock::now();
        // the dialog's live update: a worker renders into a stand-in that
        // then replaces the New Picture
        RenderDocument(doc, s);
        const auto t1 = Clock::now();
        if (mode != RenderOnly) {
            // What the dialog does after a render: the document tells its
            // views, and the view's client area is painted now rather than
            // at the next turn of the event loop.
            doc.UpdateAllViews(nullptr, 0);
            view.viewport()->repaint();
            QCoreApplication::processEvents();
        }
        rendering += t1 - t0;
        painting += Clock::now() - t1;
    }
    const int paints = counter.paints - paintsBefore;
    if (mode != RenderOnly && paints != step) {
        state.SkipWithError(("painted " + std::to_string(paints) + " times for " + std::to_string(step) + " steps")
                                .c_str());
        return;
    }

    std::string label = std::string(OutputName(output)) + " kind " + std::to_string(s.kind) +
                        (tone == 1 ? " Floyd-Steinberg" : tone == 2 ? " adaptive 15" : "") + ", " + ModeName(mode);
    if (mode != RenderOnly) {
        const QSize client = view.viewport()->size();
        label += ", client " + std::to_string(client.width()) + "x" + std::to_string(client.height());
        QBackingStore* store = view.backingStore();
        if (const auto* image = store ? dynamic_cast<const QImage*>(store->paintDevice()) : nullptr)
            label += std::string(", ") + QMetaEnum::fromType<QImage::Format>().valueToKey(image->format());
    }
    state.SetLabel(label);
    using Ms = std::chrono::duration<double, std::milli>;
    state.counters["renders/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["render ms"] = benchmark::Counter(Ms(rendering).count(), benchmark::Counter::kAvgIterations);
    if (mode != RenderOnly)
        state.counters["paint ms"] = benchmark::Counter(Ms(painting).count(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SliderDrag)
    ->ArgsProduct({{0, 1, 2}, {0, 3}, {RenderOnly, PaintFit, PaintHundred}, {0}})
    ->ArgsProduct({{0}, {0}, {RenderOnly, PaintFit}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5);

} // namespace

// The view needs an application; without a display it paints offscreen.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
