#include "app/CLumacutApp.h"

#include "app/CMainFrame.h"
#include "framework/Printing.h"

#include <QAction>
#include <QPageSetupDialog>

namespace lumacut {

namespace {
CLumacutApp* g_app = nullptr;
}

CLumacutApp::CLumacutApp()
{
    g_app = this;
    RegisterAppCommands();
}

CLumacutApp::~CLumacutApp()
{
    m_mainFrame.reset();
    if (m_ownsPrompt)
        SetGuiPrompt(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

CLumacutApp* CLumacutApp::Instance()
{
    return g_app;
}

bool CLumacutApp::InitInstance(const QStringList& arguments)
{
    if (!InstalledGuiPrompt()) {
        SetGuiPrompt(&m_prompt);
        m_ownsPrompt = true;
    }
    // The frame loads the recent-file list, makes its toolbar and status bar
    // and accepts dropped files.
    m_mainFrame = std::make_unique<CMainFrame>(&m_commands);
    Gui().SetParentWidget(m_mainFrame.get());
    m_mainFrame->resize(960, 720);
    m_mainFrame->show();
    m_mainFrame->repaint();

    // The command line: the first argument that is not an option names a file.
    QString file;
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            file = argument;
            break;
        }
    }
    // A file that does not open has shown why; the program goes on with an
    // empty document, as if started without one.
    const bool opened = !file.isEmpty() && m_mainFrame->DocManager().OpenDocumentFile(file) != nullptr;
    if (!opened)
        m_mainFrame->DocManager().OnFileNew();
    m_mainFrame->UpdateCommandUI();
    return file.isEmpty() || opened;
}

void CLumacutApp::OnFileNew()
{
    if (m_mainFrame)
        m_mainFrame->DocManager().OnFileNew();
}

void CLumacutApp::OnFileOpen()
{
    if (m_mainFrame)
        m_mainFrame->DocManager().OnFileOpen();
}

void CLumacutApp::OnOpenRecentFile(int index)
{
    if (!m_mainFrame)
        return;
    CDocManager& docs = m_mainFrame->DocManager();
    const QStringList paths = docs.RecentFiles().Paths();
    if (index < 0 || index >= paths.size())
        return;
    // A file that no longer opens leaves the list.
    if (!docs.OpenDocumentFile(paths[index]))
        docs.RecentFiles().Remove(static_cast<int>(docs.RecentFiles().Paths().indexOf(paths[index])));
}

void CLumacutApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&SharedPrinter(), m_mainFrame.get());
    Gui().RunModal(dialog);
}

void CLumacutApp::OnAppExit()
{
    if (m_mainFrame)
        m_mainFrame->close();
}

void CLumacutApp::RegisterAppCommands()
{
    CommandTarget& c = m_commands;
    c.On(ID_FILE_NEW, [this] { OnFileNew(); });
    c.On(ID_FILE_OPEN, [this] { OnFileOpen(); });
    c.On(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    c.On(ID_APP_EXIT, [this] { OnAppExit(); });
    c.On(ID_APP_ABOUT, [this] { OnAppAbout(); });
    for (int i = 0; i < kRecentFileCount; ++i)
        c.On(ID_FILE_MRU_FILE1 + i, [this, i] { OnOpenRecentFile(i); }, [this, i](CmdUI& ui) {
            ui.Enable(m_mainFrame && i < m_mainFrame->DocManager().RecentFiles().Paths().size());
        });
}

} // namespace lumacut
