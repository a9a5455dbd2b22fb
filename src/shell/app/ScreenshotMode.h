#pragma once
// `lumacut --screenshot FILE.png [--output-kind N] [--view side|split] PICTURE`:
// starts the editor with every question answered (information boxes
// acknowledged, "Choose Output" answered with N), shows the New Picture (or
// both pictures, side by side or split) fitted to a maximised window, saves a
// picture of the main window and quits. Used by `make screenshot` and
// `make screenshot-split` under Xvfb.
#include "framework/GuiPrompt.h"
#include "view/ViewGeometry.h"

#include <QString>
#include <QStringList>

namespace lumacut {

class CLumacutApp;

struct ScreenshotRequest {
    QString outputPath;   // empty: normal start
    int outputKind = kOutputGrey;
    ViewMode viewMode = ViewMode::Single;
    QStringList remaining; // the other arguments, for InitInstance
};

// Takes the screenshot options out of `arguments` (program name excluded).
ScreenshotRequest ParseScreenshotArguments(const QStringList& arguments);

// Answers without showing anything.
class AutoAnswerPrompt : public GuiPrompt {
public:
    explicit AutoAnswerPrompt(int outputKind) : m_outputKind(outputKind) {}
    void Message(const std::string&, PromptIcon) override {}
    int ChooseOutput() override { return m_outputKind; }
    int RunModal(QDialog&) override { return 0; }

private:
    int m_outputKind;
};

// Arranges the started editor for the picture and schedules the grab and
// the end of the program.
void ScheduleScreenshot(CLumacutApp& app, const QString& outputPath, ViewMode viewMode = ViewMode::Single);

} // namespace lumacut
