#pragma once
// The choice of how a drawn line is made straight: rotated to horizontal
// (result 11) or to vertical (12); Cancel gives 0, Enter 1, Escape 2.
#include "framework/CDialogBase.h"

#include <string>

class QPushButton;

namespace lumacut {

inline constexpr int kResultRotateHorizontal = 11;
inline constexpr int kResultRotateVertical = 12;
inline constexpr int kResultTiltCancel = 0;

class CTiltDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CTiltDlg(QWidget* parent = nullptr);

    // Fills both labels with the two candidate angles in degrees ("26.57°").
    void SetAngles(double horizontalRadians, double verticalRadians);

    std::string m_horizontalText; // label of button 134
    std::string m_verticalText;   // label of button 135

    QPushButton* m_horizontal; // 134
    QPushButton* m_vertical;   // 135
    QPushButton* m_cancel;     // 154

protected:
    void OnInitDialog() override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace lumacut
