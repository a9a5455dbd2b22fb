#pragma once
// Command ids. The program's own commands lie in 32770..32810, 32850..32852 and
// 61447..61450; File, Edit, View, Window and Help use the framework's
// standard numbers, kept so that the ids stay recognisable in logs and tests.
namespace lumacut {

enum CommandId : int {
    // ---- File -------------------------------------------------------------------
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616, // ..57619 for the four recent files
    ID_APP_EXIT = 57665,

    // ---- Edit (framework) -------------------------------------------------------
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,

    // ---- Tools ------------------------------------------------------------------
    ID_ZOOM_FIT = 32770,
    ID_ZOOM_100 = 32771,
    ID_ZOOM_200 = 32772,
    ID_ZOOM_400 = 32773,
    ID_UNDO_COLOR = 32775,
    ID_COLOR_CHANGE = 32776,
    ID_ZOOM_NEXT = 32777,
    ID_ZOOM_PREV = 32778,
    ID_RESIZE_DELUXE = 32797,
    ID_SHOW_NEW = 32798,
    ID_SHOW_ORIGINAL = 32799,
    ID_TILT_MODIFY = 32803,
    ID_RESET_TILT = 32804,
    ID_FOCUS_RECT = 32805,
    ID_JPEG_QUALITY = 32807,
    ID_FIX_LEFT = 32808,
    ID_FIX_RIGHT = 32809,
    ID_FIX_OPPOSITE = 32810,
    ID_SWAP_VIEW = 61447,
    ID_CLIP_TOGGLE = 61448,
    // Before and after: one picture, both side by side, or both split.
    ID_VIEW_SINGLE = 32850,
    ID_VIEW_SIDE_BY_SIDE = 32851,
    ID_VIEW_SPLIT = 32852,
    // Result codes of the colour list dialog, from the same range.
    ID_ADD_COLOR_TO_LIST = 61449,
    ID_CLEAR_LIST = 61450,

    // ---- Presets ----------------------------------------------------------------
    // The entries that apply a preset are made when the menu opens.
    ID_PRESET_SAVE = 32811,
    ID_PRESET_MANAGE = 32812,

    // ---- View, Window, Help (framework) -----------------------------------------
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_APP_ABOUT = 57664,

    // ---- status bar panes -------------------------------------------------------
    ID_SEPARATOR = 0,
    ID_INDICATOR_SIZE = 102,
    ID_INDICATOR_NEWSIZE = 107,
    ID_INDICATOR_CAPS = 59137,
    ID_INDICATOR_NUM = 59138,
    ID_INDICATOR_SCRL = 59139,
};

inline constexpr int kRecentFileCount = 4;

} // namespace lumacut
