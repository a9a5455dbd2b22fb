#pragma once
// The application object: starts the program (InitInstance), owns the main
// window and handles the commands that need no document: New, Open while no
// document is active, the recent files, Print Setup, Exit and About.
#include "framework/Commands.h"
#include "framework/GuiPrompt.h"

#include <QStringList>

#include <memory>

namespace lumacut {

class CMainFrame;

class CLumacutApp {
public:
    CLumacutApp();
    ~CLumacutApp();
    CLumacutApp(const CLumacutApp&) = delete;
    CLumacutApp& operator=(const CLumacutApp&) = delete;

    // The running application object (null before one exists).
    static CLumacutApp* Instance();

    // Start-up: recent-file list, main window shown before any document
    // window, drops accepted, then the command line (`arguments` without the
    // program name): none gives one empty document, a file name opens it.
    // False when the named file could not be opened: its message has been
    // shown and an empty document stands in for it; the program runs on.
    bool InitInstance(const QStringList& arguments);

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    CommandTarget& Commands() { return m_commands; }

    // ---- command handlers ---------------------------------------------------------
    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(int index);
    void OnFilePrintSetup();
    void OnAppExit();
    // The about box with the help text (AppAbout.cpp).
    void OnAppAbout();

private:
    void RegisterAppCommands();

    GuiPrompt m_prompt; // used unless another prompt was installed before start-up
    bool m_ownsPrompt = false;
    CommandTarget m_commands;
    std::unique_ptr<CMainFrame> m_mainFrame;
};

} // namespace lumacut
