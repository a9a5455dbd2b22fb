#include "app/ScreenshotMode.h"

#include "framework/CChildFrame.h"
#include "app/CLumacutApp.h"
#include "app/CMainFrame.h"
#include "view/CDibView.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace lumacut {

ScreenshotRequest ParseScreenshotArguments(const QStringList& arguments)
{
    ScreenshotRequest request;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--screenshot") && i + 1 < arguments.size())
            request.outputPath = arguments[++i];
        else if (a == QLatin1String("--output-kind") && i + 1 < arguments.size())
            request.outputKind = arguments[++i].toInt();
        else if (a == QLatin1String("--view") && i + 1 < arguments.size()) {
            const QString mode = arguments[++i];
            request.viewMode = mode == QLatin1String("split")  ? ViewMode::Split
                               : mode == QLatin1String("side") ? ViewMode::SideBySide
                                                               : ViewMode::Single;
        }
        else
            request.remaining << a;
    }
    return request;
}

void ScheduleScreenshot(CLumacutApp& app, const QString& outputPath, ViewMode viewMode)
{
    CMainFrame* frame = app.MainFrame();
    if (!frame)
        return;
    frame->resize(1000, 700);
    if (CChildFrame* child = frame->ActiveChild()) {
        child->showMaximized();
        if (CDibView* view = DibViewOf(child)) {
            view->OnShowNew();
            view->OnZoom(0);
            view->SetViewMode(viewMode);
            // Off the middle, so the divider crosses the sample's shapes.
            view->m_splitFraction = 0.3;
        }
    }
    frame->UpdateCommandUI();
    // Give the window system time to map and paint the window.
    QTimer::singleShot(1500, frame, [frame, outputPath] {
        frame->UpdateCommandUI();
        QDir().mkpath(QFileInfo(outputPath).absolutePath());
        const bool saved = frame->grab().save(outputPath, "PNG");
        std::fprintf(stderr, saved ? "Saved %s\n" : "Could not save %s\n", qPrintable(outputPath));
        QApplication::exit(saved ? 0 : 1);
    });
}

} // namespace lumacut
