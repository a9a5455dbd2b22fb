#pragma once
// "Choose Output": which kind of New Picture the filter makes. Three radio
// buttons, the first preselected; no Cancel button. m_outputChoice keeps the
// value it had unless OK is pressed, so Escape or closing gives "Two Color".
#include <QDialog>

class QButtonGroup;
class QRadioButton;

namespace lumacut {

class COutputTypeDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 129, IDC_TWO_COLOR = 109, IDC_GREY = 110, IDC_TRUE_COLOR = 111 };

    explicit COutputTypeDlg(QWidget* parent = nullptr);

    // Index of the checked radio button (kOutputTwoColor.. kOutputTrueColor),
    // read back from the buttons when OK is pressed.
    int m_outputChoice = 0;

    // The radio button with the given index (0..2); for tests.
    QRadioButton* Radio(int index) const;

    void accept() override;

private:
    QButtonGroup* m_group;
};

} // namespace lumacut
