#pragma once
// The main window: child windows in an MDI area, the menu bar (one for "no
// document", one for "document active"), the toolbar, the status bar with its
// two picture-size panes, and the routing of commands.
#include "framework/CDocManager.h"
#include "framework/Commands.h"

#include <QMainWindow>
#include <QUrl>

#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QMdiArea;
class QTimer;

namespace lumacut {

class CChildFrame;
class CDibView;
class CLumacutApp;

inline constexpr const char* kFrameTitle = "Bitmap Lumacut Modification";

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // `appCommands` is the application's target, last on the route.
    explicit CMainFrame(CommandTarget* appCommands, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The main window of the running program (null before one exists).
    static CMainFrame* Instance();

    // ---- windows ---------------------------------------------------------------------
    QMdiArea* MdiArea() const { return m_mdiArea; }
    CChildFrame* ActiveChild() const;
    CDibView* ActiveView() const;
    CDocManager& DocManager() { return *m_docManager; }

    // ---- commands ----------------------------------------------------------------------
    CommandTarget& Commands() { return m_commands; }
    const CommandActions& Actions() const { return *m_actions; }
    // Active view, its document, this frame, the application.
    std::vector<CommandTarget*> Route();
    // Runs `id` along the route; false when nobody handles it.
    bool OnCmdMsg(int id);
    // Runs every update handler: actions, status panes, menu bar, titles.
    // Called before menus open, after each command and on idle.
    void UpdateCommandUI();

    // ---- status bar ----------------------------------------------------------------------
    QString MessagePaneText() const;
    QLabel* Pane(int id) const;
    QToolBar* ToolBar() const { return m_wndToolBar; }
    QStatusBar* StatusBar() const { return m_wndStatusBar; }
    bool HasDocumentMenu() const { return m_documentMenu; }

    // Files dropped on the window: each local file opens in a new window.
    void OnDropFiles(const QList<QUrl>& urls);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateToolBar();
    void CreateStatusBar();
    void RegisterFrameCommands();
    void UpdateMenuBar();
    void FillWindowList(QMenu& menu);
    void UpdateRecentFileItems();
    void UpdateTitle();

    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    CommandTarget* m_appCommands;
    CommandTarget m_commands;
    std::unique_ptr<CommandActions> m_actions;
    std::unique_ptr<CDocManager> m_docManager;
    QLabel* m_messagePane = nullptr;
    std::vector<std::pair<int, QLabel*>> m_panes;
    QTimer* m_idleTimer = nullptr;
    bool m_documentMenu = false;
    bool m_menuBuilt = false;
};

} // namespace lumacut
