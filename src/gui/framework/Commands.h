#pragma once
// The command vocabulary: one table row per command id (caption, shortcuts,
// status prompt, toolbar slot), the two menu bars, the toolbar layout, and
// the routing of a command to whoever handles it.
//
// Handlers are registered per id on a CommandTarget; the view, each document,
// the main frame and the application each own one. A command goes to the
// first target on the route (active view, its document, main frame,
// application) that has a handler; an action with no handler on the route is
// disabled. Other files add handlers with `target.On(id, handler, update)`.
#include "framework/CommandIds.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace lumacut {

// ---- the table ------------------------------------------------------------------

struct CommandInfo {
    int id;
    const char* name;       // "ID_FILE_NEW"
    const char* caption;    // menu text as shown, shortcut text after a tab; "" for toolbar-only commands
    const char* shortcuts;  // portable key sequences separated by '|', "" for none
    const char* prompt;     // status prompt, "" for none
    int toolbarSlot;        // 1..kToolbarSlots, 0 when not on the toolbar
    int toolbarImage;       // 1..10, 0 when not on the toolbar
    bool checkable;         // its update handler may check it
    const char* icon;       // resource path of the toolbar image, nullptr when none
};

// Every command, in the order of the menus (toolbar-only and
// accelerator-only commands last).
std::span<const CommandInfo> CommandTable();
const CommandInfo* FindCommand(int id);
QList<QKeySequence> ShortcutsOf(const CommandInfo& info);
// A toolbar button's tooltip: the caption and its shortcut ("Save (Ctrl+S)"),
// or a name for the buttons without a menu item.
QString ToolTipOf(const CommandInfo& info);
// The caption of `id` with `what` after its words, before the shortcut
// ("&Undo Resize\tAlt+Backspace"); the caption itself when `what` is empty.
QString CaptionNaming(int id, const std::string& what);

inline constexpr int kToolbarSlots = 16;
// Command id of each toolbar slot, 0 for a separator.
std::span<const int> ToolbarLayout();

// A menu bar as data: popups of ids (0 = separator, kSubmenu = the popup's
// submenu at that place).
inline constexpr int kSubmenu = -1;
struct MenuPopup {
    const char* title;
    std::vector<int> items;
    const char* submenuTitle = nullptr;
    std::vector<int> submenuItems = {};
};
// Shown while no document window is active.
const std::vector<MenuPopup>& NoDocumentMenu();
// Shown while a document window is active.
const std::vector<MenuPopup>& DocumentMenu();

// ---- handlers ---------------------------------------------------------------------

// What an update handler may change about a command's menu item and button.
struct CmdUI {
    int id = 0;
    bool enabled = true;
    bool checked = false;
    bool textSet = false;
    QString text; // the menu item's text, when textSet
    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on = true) { checked = on; }
    void SetText(const QString& t)
    {
        text = t;
        textSet = true;
    }
};

class CommandTarget {
public:
    using Handler = std::function<void()>;
    using Updater = std::function<void(CmdUI&)>;

    // Registers (or replaces) the handler of `id`; `update` may be empty.
    void On(int id, Handler handler, Updater update = {});
    void Remove(int id) { m_entries.erase(id); }
    bool Handles(int id) const { return m_entries.count(id) != 0; }
    // False when this target has no handler for `id`.
    bool Execute(int id) const;
    // Runs the update handler; false when this target has no handler for `id`.
    bool Update(CmdUI& ui) const;

private:
    struct Entry {
        Handler handler;
        Updater update;
    };
    std::unordered_map<int, Entry> m_entries;
};

// The first target of `route` that handles the command runs it (null entries
// are skipped). False when none does.
bool RouteCommand(std::span<CommandTarget* const> route, int id);
// Enabled and checked state of `id` along `route`: disabled when no target
// handles it.
CmdUI RouteUpdate(std::span<CommandTarget* const> route, int id);

// ---- Qt side -------------------------------------------------------------------------

// One QAction per command of the table, owned by `owner` (the main window, so
// that every shortcut works wherever the focus is inside it).
class CommandActions {
public:
    explicit CommandActions(QWidget* owner);
    QAction* Action(int id) const;
    const std::unordered_map<int, QAction*>& All() const { return m_actions; }
    // Applies a routed update to every action.
    void UpdateAll(std::span<CommandTarget* const> route) const;

    // Fills a menu bar with `menus`; the recent-file entries are made by the
    // caller through `recentFilesMenu` (the popup holding ID_FILE_MRU_FILE1).
    void BuildMenuBar(QMenuBar& bar, const std::vector<MenuPopup>& menus) const;
    void BuildToolBar(QToolBar& bar) const;

private:
    std::unordered_map<int, QAction*> m_actions;
};

} // namespace lumacut
