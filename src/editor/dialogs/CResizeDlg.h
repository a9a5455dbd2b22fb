#pragma once
// Resize De Luxe's dialog: percentage and footprint of the resize, with the
// old and new sizes. Show Result, OK and Cancel give the values to the
// preview of the command that opened the dialog, which renders when they
// change the result.
#include "dialogs/Preview.h"
#include "framework/CDialogBase.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumacut {

class CResizeDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CResizeDlg(QWidget* parent = nullptr);

    // ---- members, set by the caller -----------------------------------------------
    int m_oldWidth = 0;
    int m_oldHeight = 0;
    int m_percentage = 100;     // kMinResizePercent..kMaxResizePercent
    int m_newWidth = 0;
    int m_newHeight = 0;
    double m_footprint = 1.0;   // 0.001..10
    bool m_showPressed = false;
    // Where the values go; without one the dialog only checks them.
    void SetPreview(IPreview* preview) { m_preview = preview; }

    // The handlers, also for tests.
    void OnKillFocusPercentage();
    void OnOldSize();
    void OnShowResult();

    // ---- controls --------------------------------------------------------------------
    QLabel* m_oldWidthText;     // 135
    QLabel* m_oldHeightText;    // 136
    QLineEdit* m_percentageEdit; // 104
    QLabel* m_percentageRange;  // the range the percentage is kept to
    QLineEdit* m_newWidthEdit;  // 133, disabled
    QLineEdit* m_newHeightEdit; // 102, disabled
    QPushButton* m_oldSize;     // 148
    QLineEdit* m_footprintEdit; // 132
    QPushButton* m_showResult;  // 134
    QPushButton* m_ok;
    QPushButton* m_cancel;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RecomputeNewSize();
    // The shared apply step. False when the values are refused (then nothing
    // is written or rendered and the offending field has the focus).
    bool Apply();

    IPreview* m_preview = nullptr;
};

} // namespace lumacut
