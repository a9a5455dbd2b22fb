#include "app/CMainFrame.h"

#include "framework/CChildFrame.h"
#include "app/LockKeys.h"
#include "app/PresetMenu.h"
#include "framework/Resources.h"
#include "dialogs/JpegQualityCommand.h"
#include "framework/MdiWindows.h"
#include "view/CDibView.h"
#include "view/StatusTexts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace lumacut {

namespace {

CMainFrame* g_mainFrame = nullptr;

// Idle updates of the toolbar and status panes; often enough to look
// immediate, rare enough to cost nothing.
constexpr int kIdleUpdateMs = 150;

} // namespace

CMainFrame::CMainFrame(CommandTarget* appCommands, QWidget* parent)
    : QMainWindow(parent), m_appCommands(appCommands)
{
    g_mainFrame = this;
    InitResources();
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/lumacut.svg")));
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::PreventContextMenu);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    m_actions = std::make_unique<CommandActions>(this);
    for (const auto& [id, action] : m_actions->All())
        connect(action, &QAction::triggered, this, [this, id = id] { OnCmdMsg(id); });

    CreateToolBar();
    CreateStatusBar();
    DocumentTemplate documents;
    documents.makeView = [](CDibDoc& doc) -> IFrameView* { return new CDibView(&doc); };
    documents.registerCommands = RegisterJpegQualityCommand;
    m_docManager = std::make_unique<CDocManager>(*m_mdiArea, std::move(documents));
    SetMainMdiArea(m_mdiArea);
    RegisterFrameCommands();

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] { UpdateCommandUI(); });
    m_idleTimer = new QTimer(this);
    connect(m_idleTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    m_idleTimer->start(kIdleUpdateMs);
    UpdateCommandUI();
}

CMainFrame::~CMainFrame()
{
    m_idleTimer->stop();
    // Child windows go while the document manager still exists.
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        delete sub;
    if (g_mainFrame == this) {
        g_mainFrame = nullptr;
        SetMainMdiArea(nullptr);
    }
}

CMainFrame* CMainFrame::Instance()
{
    return g_mainFrame;
}

// ---- toolbar and status bar -------------------------------------------------------------

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("toolbar"));
    m_wndToolBar->setMovable(false);
    m_wndToolBar->setFloatable(false);
    m_wndToolBar->setIconSize(QSize(20, 20));
    m_actions->BuildToolBar(*m_wndToolBar);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("statusbar"));
    setStatusBar(m_wndStatusBar);
    m_messagePane = new QLabel(QStringLiteral("Ready"), m_wndStatusBar);
    m_wndStatusBar->addWidget(m_messagePane, 1);

    auto addPane = [&](int id, const QString& widest, bool raised) {
        auto* label = new QLabel(m_wndStatusBar);
        label->setObjectName(QStringLiteral("pane%1").arg(id));
        if (raised)
            label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        const int margins = 2 * label->frameWidth() + 2 * label->margin() + 4;
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(widest) + margins);
        m_wndStatusBar->addPermanentWidget(label);
        m_panes.emplace_back(id, label);
    };
    addPane(ID_INDICATOR_SIZE, QString::fromLatin1(kSizeTextStart), true);
    addPane(ID_INDICATOR_NEWSIZE, QString::fromLatin1(kNewSizeTextStart), true);
    addPane(ID_INDICATOR_CAPS, QStringLiteral("CAP"), false);
    addPane(ID_INDICATOR_NUM, QStringLiteral("NUM"), false);
    addPane(ID_INDICATOR_SCRL, QStringLiteral("SCRL"), false);
}

QLabel* CMainFrame::Pane(int id) const
{
    for (const auto& [paneId, label] : m_panes)
        if (paneId == id)
            return label;
    return nullptr;
}

QString CMainFrame::MessagePaneText() const
{
    const QString message = m_wndStatusBar->currentMessage();
    return message.isEmpty() ? m_messagePane->text() : message;
}

// ---- windows -----------------------------------------------------------------------------

CChildFrame* CMainFrame::ActiveChild() const
{
    return ActiveChildOf(*m_mdiArea);
}

CDibView* CMainFrame::ActiveView() const
{
    CChildFrame* child = ActiveChild();
    return DibViewOf(child);
}

// ---- commands ------------------------------------------------------------------------------

std::vector<CommandTarget*> CMainFrame::Route()
{
    CDibView* view = ActiveView();
    CDibDoc* doc = view ? view->GetDocument() : nullptr;
    return {view ? &view->Commands() : nullptr, doc ? m_docManager->DocumentCommands(*doc) : nullptr,
            &m_commands, m_appCommands};
}

bool CMainFrame::OnCmdMsg(int id)
{
    std::vector<CommandTarget*> route = Route();
    // Disabled commands do nothing, also through their shortcuts.
    if (!RouteUpdate(route, id).enabled)
        return false;
    const bool handled = RouteCommand(route, id);
    if (g_mainFrame == this)
        UpdateCommandUI();
    return handled;
}

void CMainFrame::RegisterFrameCommands()
{
    CommandTarget& c = m_commands;
    c.On(ID_VIEW_TOOLBAR, [this] { m_wndToolBar->setVisible(!m_wndToolBar->isVisible()); },
         [this](CmdUI& ui) { ui.SetCheck(!m_wndToolBar->isHidden()); });
    c.On(ID_VIEW_STATUS_BAR, [this] { m_wndStatusBar->setVisible(!m_wndStatusBar->isVisible()); },
         [this](CmdUI& ui) { ui.SetCheck(!m_wndStatusBar->isHidden()); });
    auto needsChild = [this](CmdUI& ui) { ui.Enable(ActiveChild() != nullptr); };
    c.On(ID_WINDOW_NEW, [this] {
        CDibView* view = ActiveView();
        if (view && view->GetDocument())
            m_docManager->CreateView(*view->GetDocument());
    }, needsChild);
    c.On(ID_WINDOW_CASCADE, [this] { m_mdiArea->cascadeSubWindows(); }, needsChild);
    c.On(ID_WINDOW_TILE_HORZ, [this] { m_mdiArea->tileSubWindows(); }, needsChild);
    // Presets: saved from and applied to the active document.
    auto needsPicture = [this](CmdUI& ui) { ui.Enable(ActiveView() && ActiveView()->HasPicture()); };
    c.On(ID_PRESET_SAVE, [this] {
        if (CDibView* view = ActiveView())
            SavePresetOfView(*view);
    }, needsPicture);
    c.On(ID_PRESET_MANAGE, [this] { ManagePresets(this); });
    c.On(ID_WINDOW_ARRANGE, [this] {
        // Minimised windows line up along the bottom again.
        for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
            if (sub->isMinimized())
                sub->showMinimized();
    }, needsChild);
}

void CMainFrame::UpdateCommandUI()
{
    UpdateMenuBar();
    m_actions->UpdateAll(Route());
    UpdateRecentFileItems();
    if (QLabel* size = Pane(ID_INDICATOR_SIZE))
        size->setText(QString::fromStdString(g_sizeText));
    if (QLabel* newSize = Pane(ID_INDICATOR_NEWSIZE))
        newSize->setText(QString::fromStdString(g_newSizeText));
    const LockKeyState keys = QueryLockKeys();
    Pane(ID_INDICATOR_CAPS)->setText(keys.caps ? QStringLiteral("CAP") : QString());
    Pane(ID_INDICATOR_NUM)->setText(keys.num ? QStringLiteral("NUM") : QString());
    Pane(ID_INDICATOR_SCRL)->setText(keys.scroll ? QStringLiteral("SCRL") : QString());
    m_docManager->UpdateFrameTitles();
    UpdateTitle();
}

void CMainFrame::UpdateMenuBar()
{
    const bool documentMenu = ActiveChild() != nullptr;
    if (m_menuBuilt && documentMenu == m_documentMenu)
        return;
    m_menuBuilt = true;
    m_documentMenu = documentMenu;
    // A fresh bar: the old one may be the sender of the command running now,
    // and QMainWindow deletes it later.
    auto* bar = new QMenuBar(this);
    m_actions->BuildMenuBar(*bar, documentMenu ? DocumentMenu() : NoDocumentMenu());
    for (QMenu* menu : bar->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        if (menu->menuAction()->text() == QLatin1String("&Window"))
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(*menu); });
        if (menu->menuAction()->text() == QLatin1String("&Presets"))
            connect(menu, &QMenu::aboutToShow, this,
                    [this, menu] { FillPresetList(*menu, [this] { return ActiveView(); }); });
    }
    setMenuBar(bar);
}

void CMainFrame::FillWindowList(QMenu& menu)
{
    // The open windows follow the Window commands, the active one checked.
    for (QAction* action : menu.actions())
        if (action->property("windowList").toBool())
            delete action;
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    menu.addSeparator()->setProperty("windowList", true);
    CChildFrame* active = ActiveChild();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* action = menu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        action->setProperty("windowList", true);
        action->setCheckable(true);
        action->setChecked(window == active);
        connect(action, &QAction::triggered, this, [this, window] { m_mdiArea->setActiveSubWindow(window); });
    }
}

void CMainFrame::UpdateRecentFileItems()
{
    const CRecentFileList& recent = m_docManager->RecentFiles();
    const int count = static_cast<int>(recent.Paths().size());
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* action = m_actions->Action(ID_FILE_MRU_FILE1 + i);
        if (count == 0 && i == 0) {
            action->setText(QString::fromLatin1(FindCommand(ID_FILE_MRU_FILE1)->caption));
            action->setVisible(true);
            action->setEnabled(false);
        } else {
            action->setVisible(i < count);
            action->setText(recent.MenuText(i));
        }
    }
}

void CMainFrame::UpdateTitle()
{
    QString title = QString::fromLatin1(kFrameTitle);
    CDibView* view = ActiveView();
    if (view && view->GetDocument())
        title += QStringLiteral(" - ") + QString::fromStdString(view->GetDocument()->GetTitle());
    if (windowTitle() != title)
        setWindowTitle(title);
}

// ---- events ----------------------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_docManager->CloseAllDocuments()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    OnDropFiles(event->mimeData()->urls());
}

void CMainFrame::OnDropFiles(const QList<QUrl>& urls)
{
    activateWindow();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            m_docManager->OpenDocumentFile(url.toLocalFile());
    UpdateCommandUI();
}

} // namespace lumacut
