#include "framework/Commands.h"

#include "framework/Resources.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>

#include <array>

namespace lumacut {

namespace {

// clang-format off
const CommandInfo kCommands[] = {
    // id                     name                     caption                          shortcuts                  prompt                                                slot img check icon
    {ID_FILE_NEW,            "ID_FILE_NEW",            "&New\tCtrl+N",                  "Ctrl+N",                  "Create a new document",                               1,  1, false, ":/icons/new.svg"},
    {ID_FILE_OPEN,           "ID_FILE_OPEN",           "&Open...\tCtrl+O",              "Ctrl+O",                  "Open an existing document",                           2,  2, false, ":/icons/open.svg"},
    {ID_FILE_CLOSE,          "ID_FILE_CLOSE",          "&Close",                        "",                        "Close the active document",                           0,  0, false, nullptr},
    {ID_FILE_SAVE,           "ID_FILE_SAVE",           "&Save\tCtrl+S",                 "Ctrl+S",                  "Save the active document",                            3,  3, false, ":/icons/save.svg"},
    {ID_FILE_SAVE_AS,        "ID_FILE_SAVE_AS",        "Save &As...",                   "",                        "Save the active document with a new name",            4,  4, false, ":/icons/saveas.svg"},
    {ID_FILE_PRINT,          "ID_FILE_PRINT",          "&Print...\tCtrl+P",             "Ctrl+P",                  "Print the active document",                           9,  7, false, ":/icons/print.svg"},
    {ID_FILE_PRINT_PREVIEW,  "ID_FILE_PRINT_PREVIEW",  "Print Pre&view",                "",                        "Display full pages",                                  0,  0, false, nullptr},
    {ID_FILE_PRINT_SETUP,    "ID_FILE_PRINT_SETUP",    "P&rint Setup...",               "",                        "Change the printer and printing options",             0,  0, false, nullptr},
    {ID_FILE_MRU_FILE1,      "ID_FILE_MRU_FILE1",      "Recent File",                   "",                        "Open this document",                                  0,  0, false, nullptr},
    {ID_APP_EXIT,            "ID_APP_EXIT",            "E&xit",                         "",                        "Quit the application; prompts to save documents",     0,  0, false, nullptr},
    {ID_EDIT_COPY,           "ID_EDIT_COPY",           "&Copy\tCtrl+C",                 "Ctrl+C|Ctrl+Ins",         "Copy the selection and puts it on the Clipboard",     6,  5, false, ":/icons/copy.svg"},
    {ID_EDIT_PASTE,          "ID_EDIT_PASTE",          "&Paste\tCtrl+V",                "Ctrl+V|Shift+Ins",        "Insert Clipboard contents",                           7,  6, false, ":/icons/paste.svg"},
    {ID_UNDO_COLOR,          "ID_UNDO_COLOR",          "Undo Color\t    Ctrl+Z",        "Ctrl+Z",                  "",                                                    0,  0, false, nullptr},
    {ID_COLOR_CHANGE,        "ID_COLOR_CHANGE",        "&Color Change\t    Space",      "Space",                   "",                                                    11, 8, false, ":/icons/colorchange.svg"},
    {ID_RESIZE_DELUXE,       "ID_RESIZE_DELUXE",       "&Resize De Luxe\t    Enter",    "Return|Enter",            "",                                                    0,  0, true,  nullptr},
    {ID_TILT_MODIFY,         "ID_TILT_MODIFY",         "Tilt Modify",                   "",                        "",                                                    0,  0, false, nullptr},
    {ID_RESET_TILT,          "ID_RESET_TILT",          "Reset Tilt",                    "",                        "",                                                    0,  0, false, nullptr},
    {ID_FOCUS_RECT,          "ID_FOCUS_RECT",          "Focus Rectangle",               "",                        "",                                                    0,  0, true,  nullptr},
    {ID_JPEG_QUALITY,        "ID_JPEG_QUALITY",        "Jpeg Quality Output ...",       "",                        "",                                                    0,  0, false, nullptr},
    {ID_FIX_LEFT,            "ID_FIX_LEFT",            "Fix Left Limit",                "",                        "",                                                    0,  0, true,  nullptr},
    {ID_FIX_RIGHT,           "ID_FIX_RIGHT",           "Fix Right Limit",               "",                        "",                                                    0,  0, true,  nullptr},
    {ID_FIX_OPPOSITE,        "ID_FIX_OPPOSITE",        "Fix Opposite Side",             "",                        "",                                                    0,  0, true,  nullptr},
    {ID_VIEW_TOOLBAR,        "ID_VIEW_TOOLBAR",        "&Toolbar",                      "",                        "Show or hide the toolbar",                            0,  0, true,  nullptr},
    {ID_VIEW_STATUS_BAR,     "ID_VIEW_STATUS_BAR",     "&Status Bar",                   "",                        "Show or hide the status bar",                         0,  0, true,  nullptr},
    {ID_ZOOM_PREV,           "ID_ZOOM_PREV",           "Prev Magn. \tCtrl+Pg Up",       "Ctrl+PgUp",               "",                                                    0,  0, false, nullptr},
    {ID_ZOOM_FIT,            "ID_ZOOM_FIT",            "&Fit to Window\tCtrl+0",        "Ctrl+0",                  "",                                                    0,  0, true,  nullptr},
    {ID_ZOOM_100,            "ID_ZOOM_100",            "&100%\tCtrl+1",                 "Ctrl+1",                  "",                                                    0,  0, true,  nullptr},
    {ID_ZOOM_200,            "ID_ZOOM_200",            "&200%",                         "",                        "",                                                    0,  0, true,  nullptr},
    {ID_ZOOM_400,            "ID_ZOOM_400",            "&400%",                         "",                        "",                                                    0,  0, true,  nullptr},
    {ID_ZOOM_NEXT,           "ID_ZOOM_NEXT",           "Next Magn. \tCtrl+Pg Down",     "Ctrl+PgDown",             "",                                                    0,  0, false, nullptr},
    {ID_SHOW_NEW,            "ID_SHOW_NEW",            "New Picture",                   "",                        "",                                                    0,  0, true,  nullptr},
    {ID_SHOW_ORIGINAL,       "ID_SHOW_ORIGINAL",       "Original",                      "",                        "",                                                    0,  0, true,  nullptr},
    {ID_WINDOW_NEW,          "ID_WINDOW_NEW",          "&New Window",                   "",                        "Open another window for the active document",         0,  0, false, nullptr},
    {ID_WINDOW_CASCADE,      "ID_WINDOW_CASCADE",      "&Cascade",                      "",                        "Arrange windows so they overlap",                     0,  0, false, nullptr},
    {ID_WINDOW_TILE_HORZ,    "ID_WINDOW_TILE_HORZ",    "&Tile",                         "",                        "Arrange windows as non-overlapping tiles",            0,  0, false, nullptr},
    {ID_WINDOW_ARRANGE,      "ID_WINDOW_ARRANGE",      "&Arrange Icons",                "",                        "Arrange icons at the bottom of the window",           0,  0, false, nullptr},
    {ID_APP_ABOUT,           "ID_APP_ABOUT",           "&About Lumacut...",             "",                        "Display program information, version number and copyright", 0, 0, false, nullptr},
    {ID_SWAP_VIEW,           "ID_SWAP_VIEW",           "",                              "",                        "Swap View, new original",                             12, 9, true,  ":/icons/swapview.svg"},
    {ID_CLIP_TOGGLE,         "ID_CLIP_TOGGLE",         "",                              "",                        "In menu bar",                                         13, 10, true, ":/icons/clip.svg"},
    // Before and after.
    {ID_VIEW_SINGLE,         "ID_VIEW_SINGLE",         "&Single Picture",               "",                        "Show one picture",                                    0,  0, true,  nullptr},
    {ID_VIEW_SIDE_BY_SIDE,   "ID_VIEW_SIDE_BY_SIDE",   "Side &by Side",                 "",                        "Show the Original and the New Picture side by side",  15, 11, true, ":/icons/sidebyside.svg"},
    {ID_VIEW_SPLIT,          "ID_VIEW_SPLIT",          "S&plit View",                   "",                        "Show the Original and the New Picture split by a divider", 16, 12, true, ":/icons/splitview.svg"},
    {ID_PRESET_SAVE,         "ID_PRESET_SAVE",         "&Save Preset...",               "",                        "Keep the document's settings under a name",           0,  0, false, nullptr},
    {ID_PRESET_MANAGE,       "ID_PRESET_MANAGE",       "&Manage Presets...",            "",                        "Rename or delete presets, or open their folder",      0,  0, false, nullptr},
    // Undo and Redo walk the document's history; their update handlers
    // name the step after the verb.
    {ID_EDIT_UNDO,           "ID_EDIT_UNDO",           "&Undo\tAlt+Backspace",          "Alt+Backspace",           "Undo the last edit",                                  0,  0, false, nullptr},
    {ID_EDIT_REDO,           "ID_EDIT_REDO",           "&Redo\tCtrl+Y",                 "Ctrl+Y|Ctrl+Shift+Z",     "Redo the edit undone last",                           0,  0, false, nullptr},
    // Accelerators without a menu item: nothing handles the first; pane
    // switching has no meaning for a single-pane view.
    {ID_EDIT_CUT,            "ID_EDIT_CUT",            "",                              "Shift+Del",               "",                                                    0,  0, false, nullptr},
    {ID_NEXT_PANE,           "ID_NEXT_PANE",           "",                              "F6",                      "",                                                    0,  0, false, nullptr},
    {ID_PREV_PANE,           "ID_PREV_PANE",           "",                              "Shift+F6",                "",                                                    0,  0, false, nullptr},
};
// clang-format on

const std::array<int, kToolbarSlots> kToolbar = {
    ID_FILE_NEW,   ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_FILE_PRINT, 0,
    ID_COLOR_CHANGE, ID_SWAP_VIEW, ID_CLIP_TOGGLE, 0, ID_VIEW_SIDE_BY_SIDE, ID_VIEW_SPLIT,
};

} // namespace

std::span<const CommandInfo> CommandTable()
{
    return kCommands;
}

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& info : kCommands)
        if (info.id == id)
            return &info;
    return nullptr;
}

QList<QKeySequence> ShortcutsOf(const CommandInfo& info)
{
    QList<QKeySequence> keys;
    for (const QString& part : QString::fromLatin1(info.shortcuts).split('|', Qt::SkipEmptyParts))
        keys << QKeySequence::fromString(part, QKeySequence::PortableText);
    return keys;
}

std::span<const int> ToolbarLayout()
{
    return kToolbar;
}

const std::vector<MenuPopup>& NoDocumentMenu()
{
    static const std::vector<MenuPopup> menus = {
        {"&File", {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP, 0, ID_FILE_MRU_FILE1, 0, ID_APP_EXIT}},
        {"&View", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
        {"&Help", {ID_APP_ABOUT}},
    };
    return menus;
}

const std::vector<MenuPopup>& DocumentMenu()
{
    static const std::vector<MenuPopup> menus = {
        {"&File",
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_FILE_PRINT,
          ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, ID_FILE_MRU_FILE1, 0, ID_APP_EXIT}},
        {"&Edit ", {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_COPY, ID_EDIT_PASTE}},
        {"Tools",
         {ID_UNDO_COLOR, ID_COLOR_CHANGE, ID_RESIZE_DELUXE, ID_TILT_MODIFY, ID_RESET_TILT, ID_FOCUS_RECT,
          ID_JPEG_QUALITY, kSubmenu},
         "Clipping ",
         {ID_FIX_LEFT, ID_FIX_RIGHT, ID_FIX_OPPOSITE}},
        {"&Presets", {ID_PRESET_SAVE, ID_PRESET_MANAGE}},
        {"&View",
         {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_ZOOM_PREV, ID_ZOOM_FIT, ID_ZOOM_100, ID_ZOOM_200, ID_ZOOM_400,
          ID_ZOOM_NEXT, 0, ID_SHOW_NEW, ID_SHOW_ORIGINAL, 0, ID_VIEW_SINGLE, ID_VIEW_SIDE_BY_SIDE, ID_VIEW_SPLIT}},
        {"&Window", {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE}},
        {"&Help", {ID_APP_ABOUT}},
    };
    return menus;
}

// ---- handlers ----------------------------------------------------------------------

void CommandTarget::On(int id, Handler handler, Updater update)
{
    m_entries[id] = Entry{std::move(handler), std::move(update)};
}

bool CommandTarget::Execute(int id) const
{
    auto it = m_entries.find(id);
    if (it == m_entries.end())
        return false;
    // Copy: the handler may replace or remove itself.
    Handler handler = it->second.handler;
    if (handler)
        handler();
    return true;
}

bool CommandTarget::Update(CmdUI& ui) const
{
    auto it = m_entries.find(ui.id);
    if (it == m_entries.end())
        return false;
    if (it->second.update)
        it->second.update(ui);
    return true;
}

bool RouteCommand(std::span<CommandTarget* const> route, int id)
{
    for (CommandTarget* target : route)
        if (target && target->Execute(id))
            return true;
    return false;
}

CmdUI RouteUpdate(std::span<CommandTarget* const> route, int id)
{
    CmdUI ui;
    ui.id = id;
    for (CommandTarget* target : route)
        if (target && target->Update(ui))
            return ui;
    ui.enabled = false;
    ui.checked = false;
    return ui;
}

// ---- Qt side -----------------------------------------------------------------------------

CommandActions::CommandActions(QWidget* owner)
{
    InitResources();
    auto make = [&](int id, const QString& text) {
        auto* action = new QAction(text, owner);
        action->setData(id);
        owner->addAction(action);
        m_actions[id] = action;
        return action;
    };
    for (const CommandInfo& info : CommandTable()) {
        QAction* action = make(info.id, QString::fromLatin1(info.caption));
        action->setShortcuts(ShortcutsOf(info));
        action->setStatusTip(QString::fromLatin1(info.prompt));
        action->setCheckable(info.checkable);
        if (info.icon)
            action->setIcon(QIcon(QString::fromLatin1(info.icon)));
        action->setToolTip(ToolTipOf(info));
    }
    const CommandInfo* mru = FindCommand(ID_FILE_MRU_FILE1);
    for (int i = 1; i < kRecentFileCount; ++i)
        make(ID_FILE_MRU_FILE1 + i, QString())->setStatusTip(QString::fromLatin1(mru->prompt));
}

QString CaptionNaming(int id, const std::string& what)
{
    const CommandInfo* info = FindCommand(id);
    if (!info)
        return QString();
    QString caption = QString::fromLatin1(info->caption);
    if (what.empty())
        return caption;
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    return caption.insert(tab < 0 ? caption.size() : tab, QLatin1Char(' ') + QString::fromStdString(what));
}

QString ToolTipOf(const CommandInfo& info)
{
    QString caption = QString::fromLatin1(info.caption);
    if (caption.isEmpty()) {
        switch (info.id) {
        case ID_SWAP_VIEW: return QStringLiteral("Swap View");
        case ID_CLIP_TOGGLE: return QStringLiteral("Clip");
        default: return QString();
        }
    }
    caption.remove(QLatin1Char('&'));
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return caption;
    return caption.left(tab).trimmed() + QStringLiteral(" (") + caption.mid(tab + 1).trimmed() + QLatin1Char(')');
}

QAction* CommandActions::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CommandActions::UpdateAll(std::span<CommandTarget* const> route) const
{
    for (const auto& [id, action] : m_actions) {
        CmdUI ui = RouteUpdate(route, id);
        action->setEnabled(ui.enabled);
        if (ui.textSet && action->text() != ui.text)
            action->setText(ui.text);
        if (action->isCheckable())
            action->setChecked(ui.checked);
    }
}

void CommandActions::BuildMenuBar(QMenuBar& bar, const std::vector<MenuPopup>& menus) const
{
    bar.clear();
    auto fill = [&](QMenu* menu, const std::vector<int>& items) {
        for (int id : items) {
            if (id == 0) {
                menu->addSeparator();
            } else if (id == ID_FILE_MRU_FILE1) {
                for (int i = 0; i < kRecentFileCount; ++i)
                    menu->addAction(Action(ID_FILE_MRU_FILE1 + i));
            } else if (id != kSubmenu) {
                menu->addAction(Action(id));
            }
        }
    };
    for (const MenuPopup& popup : menus) {
        QMenu* menu = bar.addMenu(QString::fromLatin1(popup.title));
        fill(menu, popup.items);
        if (popup.submenuTitle) {
            QMenu* sub = menu->addMenu(QString::fromLatin1(popup.submenuTitle));
            fill(sub, popup.submenuItems);
        }
    }
}

void CommandActions::BuildToolBar(QToolBar& bar) const
{
    for (int id : ToolbarLayout()) {
        if (id == 0)
            bar.addSeparator();
        else
            bar.addAction(Action(id));
    }
}

} // namespace lumacut
