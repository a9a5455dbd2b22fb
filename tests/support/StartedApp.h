#pragma once
// A started editor for tests: scripted prompt, settings in Qt's test folder,
// the application object and its main window.
#include "framework/CChildFrame.h"
#include "app/CLumacutApp.h"
#include "app/CMainFrame.h"
#include "support/QtPrinters.h"
#include "support/ScriptedGuiPrompt.h"
#include "view/CDibView.h"
#include "view/StatusTexts.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QSettings>

#include <memory>

namespace lumacut {

// Runs pending deletions (closed windows are deleted later).
inline void ProcessDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Settings live in the test process's own folder (GuiTestMain); each test
// starts with none.
inline void UseTestSettings()
{
    QSettings().clear();
}

struct StartedApp {
    explicit StartedApp(const QStringList& args = {}, ScriptedGuiPrompt* externalPrompt = nullptr)
        : prompt(externalPrompt ? *externalPrompt : ownPrompt), scope(prompt)
    {
        UseTestSettings();
        // Program-wide texts start afresh, as in a new process.
        g_sizeText = kSizeTextStart;
        g_newSizeText = kNewSizeTextStart;
        app = std::make_unique<CLumacutApp>();
        started = app->InitInstance(args);
    }
    ~StartedApp()
    {
        // No question may stop the shutdown of a test.
        if (CMainFrame* frame = Frame())
            for (CDibDoc* doc : frame->DocManager().Documents())
                doc->SetModifiedFlag(false);
        app.reset();
        ProcessDeletes();
    }
    CMainFrame* Frame() const { return app->MainFrame(); }
    CDocManager& Docs() const { return Frame()->DocManager(); }
    int FrameCount() const { return static_cast<int>(Frame()->MdiArea()->subWindowList().size()); }

    ScriptedGuiPrompt ownPrompt;
    ScriptedGuiPrompt& prompt;
    ScopedGuiPrompt scope;
    std::unique_ptr<CLumacutApp> app;
    bool started = false;
};

} // namespace lumacut
