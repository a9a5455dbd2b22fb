// The Lumacut editor.
#include "app/CLumacutApp.h"
#include "app/ScreenshotMode.h"
#include "app/TestProbe.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lumacut"));
    QApplication::setApplicationName(QStringLiteral("lumacut"));
    QApplication::setDesktopFileName(QStringLiteral("lumacut"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const lumacut::ScreenshotRequest screenshot = lumacut::ParseScreenshotArguments(arguments);
    std::unique_ptr<lumacut::AutoAnswerPrompt> autoPrompt;
    std::unique_ptr<lumacut::ScopedGuiPrompt> scope;
    if (!screenshot.outputPath.isEmpty()) {
        autoPrompt = std::make_unique<lumacut::AutoAnswerPrompt>(screenshot.outputKind);
        scope = std::make_unique<lumacut::ScopedGuiPrompt>(*autoPrompt);
    }

    lumacut::StartTestProbeFromEnvironment(&application);
    lumacut::CLumacutApp app;
    // A named file that does not open leaves an empty document and the editor
    // runs on; a screenshot of it would show nothing, so that run fails.
    if (!app.InitInstance(screenshot.remaining) && !screenshot.outputPath.isEmpty())
        return 1;
    if (!screenshot.outputPath.isEmpty())
        lumacut::ScheduleScreenshot(app, screenshot.outputPath, screenshot.viewMode);
    return QApplication::exec();
}
