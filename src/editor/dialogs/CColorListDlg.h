#pragma once
// "Color List": what to do with the colour picked by a right click. The
// result code says which button ended it.
#include "framework/CDialogBase.h"
#include "framework/CommandIds.h"

#include <cstdint>

class QPushButton;

namespace lumacut {

// The two result codes are command ids of the program's own range.
inline constexpr int kResultAddColorToList = ID_ADD_COLOR_TO_LIST; // 61449
inline constexpr int kResultClearList = ID_CLEAR_LIST;              // 61450

class CColorListDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CColorListDlg(QWidget* parent = nullptr);

    std::uint32_t m_pickedColor = 0; // 0x00BBGGRR; the dialog does not show it

    QPushButton* m_addColor;   // 149 -> 61449
    QPushButton* m_clearList;  // 150 -> 61450
    QPushButton* m_ok;         // 1
    QPushButton* m_cancel;     // 2
};

} // namespace lumacut
