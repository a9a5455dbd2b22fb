#pragma once
// The about box: version line, a notice, the program icon and the user guide
// in a read-only text field.
#include "framework/CDialogBase.h"

#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace lumacut {

// The line beside the version.
inline constexpr const char* kAboutNotice = "Free software under the MIT licence, without warranty.";
inline constexpr const char* kAboutVersion = "Lumacut Application Version 2.0";

class CAboutDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString m_helpText;

    QPlainTextEdit* m_text; // 101
    QPushButton* m_okay;    // 1

protected:
    void DoDataExchange(CDataExchange& dx) override;
};

// What the application's "About Lumacut..." runs: the box with the help text.
void RunAboutBox();

} // namespace lumacut
