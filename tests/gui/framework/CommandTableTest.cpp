// The command vocabulary: ids, captions, shortcuts, prompts, toolbar slots,
// the two menu bars and the routing rules.
#include "framework/Commands.h"
#include "support/QtPrinters.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <gtest/gtest.h>

#include <set>

namespace lumacut {
namespace {

struct Expected {
    int id;
    const char* name;
    const char* caption;
    std::vector<const char*> keys;
    const char* prompt;
};

// The vocabulary as the program defines it.
const std::vector<Expected> kExpected = {
    {57600, "ID_FILE_NEW", "&New\tCtrl+N", {"Ctrl+N"}, "Create a new document"},
    {57601, "ID_FILE_OPEN", "&Open...\tCtrl+O", {"Ctrl+O"}, "Open an existing document"},
    {57602, "ID_FILE_CLOSE", "&Close", {}, "Close the active document"},
    {57603, "ID_FILE_SAVE", "&Save\tCtrl+S", {"Ctrl+S"}, "Save the active document"},
    {57604, "ID_FILE_SAVE_AS", "Save &As...", {}, "Save the active document with a new name"},
    {57607, "ID_FILE_PRINT", "&Print...\tCtrl+P", {"Ctrl+P"}, "Print the active document"},
    {57609, "ID_FILE_PRINT_PREVIEW", "Print Pre&view", {}, "Display full pages"},
    {57606, "ID_FILE_PRINT_SETUP", "P&rint Setup...", {}, "Change the printer and printing options"},
    {57616, "ID_FILE_MRU_FILE1", "Recent File", {}, "Open this document"},
    {57665, "ID_APP_EXIT", "E&xit", {}, "Quit the application; prompts to save documents"},
    {57634, "ID_EDIT_COPY", "&Copy\tCtrl+C", {"Ctrl+C", "Ctrl+Ins"}, "Copy the selection and puts it on the Clipboard"},
    {57637, "ID_EDIT_PASTE", "&Paste\tCtrl+V", {"Ctrl+V", "Shift+Ins"}, "Insert Clipboard contents"},
    {32775, "ID_UNDO_COLOR", "Undo Color\t    Ctrl+Z", {"Ctrl+Z"}, ""},
    {32776, "ID_COLOR_CHANGE", "&Color Change\t    Space", {"Space"}, ""},
    {32797, "ID_RESIZE_DELUXE", "&Resize De Luxe\t    Enter", {"Return", "Enter"}, ""},
    {32803, "ID_TILT_MODIFY", "Tilt Modify", {}, ""},
    {32804, "ID_RESET_TILT", "Reset Tilt", {}, ""},
    {32805, "ID_FOCUS_RECT", "Focus Rectangle", {}, ""},
    {32807, "ID_JPEG_QUALITY", "Jpeg Quality Output ...", {}, ""},
    {32808, "ID_FIX_LEFT", "Fix Left Limit", {}, ""},
    {32809, "ID_FIX_RIGHT", "Fix Right Limit", {}, ""},
    {32810, "ID_FIX_OPPOSITE", "Fix Opposite Side", {}, ""},
    {59392, "ID_VIEW_TOOLBAR", "&Toolbar", {}, "Show or hide the toolbar"},
    {59393, "ID_VIEW_STATUS_BAR", "&Status Bar", {}, "Show or hide the status bar"},
    {32778, "ID_ZOOM_PREV", "Prev Magn. \tCtrl+Pg Up", {"Ctrl+PgUp"}, ""},
    {32770, "ID_ZOOM_FIT", "&Fit to Window\tCtrl+0", {"Ctrl+0"}, ""},
    {32771, "ID_ZOOM_100", "&100%\tCtrl+1", {"Ctrl+1"}, ""},
    {32772, "ID_ZOOM_200", "&200%", {}, ""},
    {32773, "ID_ZOOM_400", "&400%", {}, ""},
    {32777, "ID_ZOOM_NEXT", "Next Magn. \tCtrl+Pg Down", {"Ctrl+PgDown"}, ""},
    {32798, "ID_SHOW_NEW", "New Picture", {}, ""},
    {32799, "ID_SHOW_ORIGINAL", "Original", {}, ""},
    {57648, "ID_WINDOW_NEW", "&New Window", {}, "Open another window for the active document"},
    {57650, "ID_WINDOW_CASCADE", "&Cascade", {}, "Arrange windows so they overlap"},
    {57651, "ID_WINDOW_TILE_HORZ", "&Tile", {}, "Arrange windows as non-overlapping tiles"},
    {57649, "ID_WINDOW_ARRANGE", "&Arrange Icons", {}, "Arrange icons at the bottom of the window"},
    {57664, "ID_APP_ABOUT", "&About Lumacut...", {}, nullptr}, // the framework's own wording
    {61447, "ID_SWAP_VIEW", "", {}, "Swap View, new original"},
    {61448, "ID_CLIP_TOGGLE", "", {}, "In menu bar"},
    {32850, "ID_VIEW_SINGLE", "&Single Picture", {}, "Show one picture"},
    {32851, "ID_VIEW_SIDE_BY_SIDE", "Side &by Side", {}, "Show the Original and the New Picture side by side"},
    {32852, "ID_VIEW_SPLIT", "S&plit View", {}, "Show the Original and the New Picture split by a divider"},
    {32811, "ID_PRESET_SAVE", "&Save Preset...", {}, "Keep the document's settings under a name"},
    {32812, "ID_PRESET_MANAGE", "&Manage Presets...", {}, "Rename or delete presets, or open their folder"},
    {57643, "ID_EDIT_UNDO", "&Undo\tAlt+Backspace", {"Alt+Backspace"}, "Undo the last edit"},
    {57644, "ID_EDIT_REDO", "&Redo\tCtrl+Y", {"Ctrl+Y", "Ctrl+Shift+Z"}, "Redo the edit undone last"},
    {57635, "ID_EDIT_CUT", "", {"Shift+Del"}, ""},
    {57680, "ID_NEXT_PANE", "", {"F6"}, ""},
    {57681, "ID_PREV_PANE", "", {"Shift+F6"}, ""},
};

TEST(CommandTable, HoldsExactlyTheVocabulary)
{
    EXPECT_EQ(CommandTable().size(), kExpected.size());
    std::set<int> ids;
    for (const CommandInfo& info : CommandTable())
        EXPECT_TRUE(ids.insert(info.id).second) << "duplicate id " << info.id;
}

TEST(CommandTable, EachCommandHasItsNameCaptionShortcutsAndPrompt)
{
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.name);
        const CommandInfo* info = FindCommand(e.id);
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->name, e.name);
        EXPECT_STREQ(info->caption, e.caption);
        if (e.prompt) {
            EXPECT_STREQ(info->prompt, e.prompt);
        } else {
            EXPECT_STRNE(info->prompt, "");
        }
        QList<QKeySequence> keys = ShortcutsOf(*info);
        ASSERT_EQ(keys.size(), static_cast<qsizetype>(e.keys.size()));
        for (std::size_t i = 0; i < e.keys.size(); ++i)
            EXPECT_EQ(keys[i], QKeySequence::fromString(e.keys[i], QKeySequence::PortableText)) << e.keys[i];
    }
}

TEST(CommandTable, KeysAreTheIntendedKeys)
{
    // Guard against a portable name that parses to something else.
    EXPECT_EQ(ShortcutsOf(*FindCommand(ID_EDIT_COPY))[1], QKeySequence(Qt::CTRL | Qt::Key_Insert));
    EXPECT_EQ(ShortcutsOf(*FindCommand(ID_EDIT_PASTE))[1], QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    EXPECT_EQ(ShortcutsOf(*FindCommand(ID_COLOR_CHANGE))[0], QKeySequence(Qt::Key_Space));
    EXPECT_EQ(ShortcutsOf(*FindCommand(ID_RESIZE_DELUXE))[0], QKeySequence(Qt::Key_Return));
    EXPECT_EQ(ShortcutsOf(*FindCommand(ID_RESIZE_DELUXE))[1], QKeySequence(Qt::Key_Enter));
    EXPECT_EQ(ShortcutsOf(*FindCommand(ID_ZOOM_PREV))[0], QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    EXPECT_EQ(ShortcutsOf(*FindCommand(ID_ZOOM_NEXT))[0], QKeySequence(Qt::CTRL | Qt::Key_PageDown));
}

TEST(CommandTable, ToolbarHasSixteenSlotsWithTwelveImagesInOrder)
{
    const std::vector<int> expected = {ID_FILE_NEW,   ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0,
                                       ID_EDIT_COPY,  ID_EDIT_PASTE, 0,           ID_FILE_PRINT,   0,
                                       ID_COLOR_CHANGE, ID_SWAP_VIEW, ID_CLIP_TOGGLE, 0, ID_VIEW_SIDE_BY_SIDE,
                                       ID_VIEW_SPLIT};
    std::span<const int> layout = ToolbarLayout();
    ASSERT_EQ(layout.size(), expected.size());
    int image = 0;
    for (std::size_t slot = 0; slot < layout.size(); ++slot) {
        EXPECT_EQ(layout[slot], expected[slot]) << "slot " << slot + 1;
        if (layout[slot] == 0)
            continue;
        const CommandInfo* info = FindCommand(layout[slot]);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->toolbarSlot, static_cast<int>(slot) + 1);
        EXPECT_EQ(info->toolbarImage, ++image);
        EXPECT_NE(info->icon, nullptr);
    }
    EXPECT_EQ(image, 12);
    // Commands not on the toolbar claim no slot.
    for (const CommandInfo& info : CommandTable()) {
        if (std::find(layout.begin(), layout.end(), info.id) == layout.end()) {
            EXPECT_EQ(info.toolbarSlot, 0) << info.name;
        }
    }
}

QStringList Titles(const QMenuBar& bar)
{
    QStringList titles;
    for (QAction* action : bar.actions())
        titles << action->text();
    return titles;
}

QStringList Items(const QMenu& menu)
{
    QStringList items;
    for (QAction* action : menu.actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

TEST(MenuBars, NoDocumentMenuHasFileViewHelp)
{
    QMainWindow window;
    CommandActions actions(&window);
    QMenuBar bar;
    actions.BuildMenuBar(bar, NoDocumentMenu());
    EXPECT_EQ(Titles(bar), (QStringList{"&File", "&View", "&Help"}));
    QStringList file = Items(*bar.actions()[0]->menu());
    // The recent-file place holds the four recent-file items.
    EXPECT_EQ(file, (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "-", "P&rint Setup...", "-", "Recent File", "",
                                 "", "", "-", "E&xit"}));
    EXPECT_EQ(Items(*bar.actions()[1]->menu()), (QStringList{"&Toolbar", "&Status Bar"}));
    EXPECT_EQ(Items(*bar.actions()[2]->menu()), (QStringList{"&About Lumacut..."}));
}

TEST(MenuBars, DocumentMenuHasSevenPopupsWithClippingSubmenu)
{
    QMainWindow window;
    CommandActions actions(&window);
    QMenuBar bar;
    actions.BuildMenuBar(bar, DocumentMenu());
    EXPECT_EQ(Titles(bar), (QStringList{"&File", "&Edit ", "Tools", "&Presets", "&View", "&Window", "&Help"}));
    EXPECT_EQ(Items(*bar.actions()[1]->menu()),
              (QStringList{"&Undo\tAlt+Backspace", "&Redo\tCtrl+Y", "-", "&Copy\tCtrl+C", "&Paste\tCtrl+V"}));
    QMenu* tools = bar.actions()[2]->menu();
    QStringList toolItems = Items(*tools);
    EXPECT_EQ(toolItems.mid(0, 7),
              (QStringList{"Undo Color\t    Ctrl+Z", "&Color Change\t    Space", "&Resize De Luxe\t    Enter",
                           "Tilt Modify", "Reset Tilt", "Focus Rectangle", "Jpeg Quality Output ..."}));
    QAction* clipping = tools->actions().last();
    ASSERT_NE(clipping->menu(), nullptr);
    EXPECT_EQ(clipping->text(), "Clipping ");
    EXPECT_EQ(Items(*clipping->menu()), (QStringList{"Fix Left Limit", "Fix Right Limit", "Fix Opposite Side"}));
    EXPECT_EQ(Items(*bar.actions()[3]->menu()), (QStringList{"&Save Preset...", "&Manage Presets..."}));
    QStringList view = Items(*bar.actions()[4]->menu());
    EXPECT_TRUE(view.contains("Prev Magn. \tCtrl+Pg Up"));
    EXPECT_TRUE(view.contains("New Picture"));
    EXPECT_EQ(Items(*bar.actions()[5]->menu()),
              (QStringList{"&New Window", "&Cascade", "&Tile", "&Arrange Icons"}));
    // Toolbar-only commands stay out of the menus.
    for (QMenu* menu : bar.findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            EXPECT_NE(action->data().toInt(), ID_SWAP_VIEW);
}

TEST(CommandActions, OneActionPerCommandWithShortcutsAndPrompt)
{
    QMainWindow window;
    CommandActions actions(&window);
    for (const CommandInfo& info : CommandTable()) {
        QAction* action = actions.Action(info.id);
        ASSERT_NE(action, nullptr) << info.name;
        EXPECT_EQ(action->shortcuts(), ShortcutsOf(info)) << info.name;
        EXPECT_EQ(action->statusTip(), QString::fromLatin1(info.prompt)) << info.name;
        EXPECT_TRUE(window.actions().contains(action)) << info.name << " must work as a window shortcut";
    }
    QToolBar bar;
    actions.BuildToolBar(bar);
    EXPECT_EQ(bar.actions().size(), kToolbarSlots);
}

// ---- routing -----------------------------------------------------------------------------

TEST(Routing, FirstTargetWithAHandlerWins)
{
    CommandTarget view, doc, frame, app;
    std::vector<std::string> calls;
    doc.On(ID_FILE_OPEN, [&] { calls.push_back("doc"); });
    app.On(ID_FILE_OPEN, [&] { calls.push_back("app"); });
    app.On(ID_FILE_NEW, [&] { calls.push_back("app-new"); });
    CommandTarget* route[] = {&view, &doc, &frame, &app};
    EXPECT_TRUE(RouteCommand(route, ID_FILE_OPEN));
    EXPECT_TRUE(RouteCommand(route, ID_FILE_NEW));
    EXPECT_FALSE(RouteCommand(route, ID_FILE_SAVE));
    EXPECT_EQ(calls, (std::vector<std::string>{"doc", "app-new"}));

    // Without a document the same command reaches the application.
    CommandTarget* noDoc[] = {nullptr, nullptr, &frame, &app};
    EXPECT_TRUE(RouteCommand(noDoc, ID_FILE_OPEN));
    EXPECT_EQ(calls.back(), "app");
}

TEST(Routing, UpdateDisablesCommandsWithoutHandlerAndAppliesUpdateHandler)
{
    CommandTarget view, app;
    bool zoomFit = true;
    view.On(ID_ZOOM_FIT, [] {}, [&](CmdUI& ui) { ui.SetCheck(zoomFit); });
    view.On(ID_UNDO_COLOR, [] {}, [](CmdUI& ui) { ui.Enable(false); });
    app.On(ID_FILE_NEW, [] {});
    CommandTarget* route[] = {&view, nullptr, &app};

    CmdUI fit = RouteUpdate(route, ID_ZOOM_FIT);
    EXPECT_TRUE(fit.enabled);
    EXPECT_TRUE(fit.checked);
    zoomFit = false;
    EXPECT_FALSE(RouteUpdate(route, ID_ZOOM_FIT).checked);
    EXPECT_FALSE(RouteUpdate(route, ID_UNDO_COLOR).enabled);
    EXPECT_TRUE(RouteUpdate(route, ID_FILE_NEW).enabled); // handler without update: enabled
    EXPECT_FALSE(RouteUpdate(route, ID_FILE_SAVE).enabled);
}

} // namespace
} // namespace lumacut
