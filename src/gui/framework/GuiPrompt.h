#pragma once
// The editor's prompt seam. Implements IPrompt with Qt message boxes (caption
// "Bitmap Lumacut Application") and "Choose Output" through COutputTypeDlg,
// and adds the questions only the editor asks: file names, the save question
// and the colour dialog.
//
// Every modal dialog of the editor runs through RunModal(). Tests derive from
// GuiPrompt and override RunModal to fill in fields and press buttons (then
// return the dialog's result without showing it), or override the higher
// calls (Message, ChooseOutput, file names, AskToSave, ChooseColor) to answer
// directly. Install one with ScopedGuiPrompt; it becomes the core's prompt too.
#include "platform/Prompt.h"

#include <QColor>
#include <QString>

#include <optional>

class QDialog;
class QWidget;

namespace lumacut {

inline constexpr const char* kAppCaption = "Bitmap Lumacut Application";

// What a file dialog is asked for. `filter` is in Qt's form ("Name (*.ext);;...").
struct FileDialogRequest {
    QString filter;
    QString defaultSuffix;   // without the dot: "bmp"
    QString initialName;     // "Luma", "*.jpg", a document title
    QString directory;       // empty: the current one
    bool overwritePrompt = false;
};

enum class SaveAnswer { Save, Discard, Cancel };

class GuiPrompt : public IPrompt {
public:
    // ---- IPrompt ------------------------------------------------------------
    // A QMessageBox with the icon and an OK button, run through RunModal.
    void Message(const std::string& text, PromptIcon icon) override;
    // COutputTypeDlg run through RunModal; its choice however it was closed.
    int ChooseOutput() override;

    // ---- editor questions ---------------------------------------------------
    // Runs any modal dialog; the default is dialog.exec(). The one place tests
    // replace to drive dialogs.
    virtual int RunModal(QDialog& dialog);
    // A full path, or empty when cancelled.
    virtual QString GetOpenFileName(const FileDialogRequest& request);
    virtual QString GetSaveFileName(const FileDialogRequest& request);
    // Save / Discard / Cancel for `text` (from Messages.h).
    virtual SaveAnswer AskToSave(const QString& text);
    // The system colour dialog; nothing when cancelled.
    virtual std::optional<QColor> ChooseColor(const QColor& initial);

    // Parent for the dialogs (the main window); may be null.
    void SetParentWidget(QWidget* parent) { m_parent = parent; }
    QWidget* ParentWidget() const { return m_parent; }

private:
    QWidget* m_parent = nullptr;
};

// The installed editor prompt (a default GuiPrompt until one is installed).
GuiPrompt& Gui();
// Installs `prompt` as editor prompt and as the core's prompt; nullptr
// restores the defaults (a plain GuiPrompt here, standard error for the core).
// Returns the previous one (null for the default).
GuiPrompt* SetGuiPrompt(GuiPrompt* prompt);
// The prompt installed with SetGuiPrompt, null when none is.
GuiPrompt* InstalledGuiPrompt();

class ScopedGuiPrompt {
public:
    explicit ScopedGuiPrompt(GuiPrompt& prompt) : m_previous(SetGuiPrompt(&prompt)) {}
    ~ScopedGuiPrompt() { SetGuiPrompt(m_previous); }
    ScopedGuiPrompt(const ScopedGuiPrompt&) = delete;
    ScopedGuiPrompt& operator=(const ScopedGuiPrompt&) = delete;

private:
    GuiPrompt* m_previous;
};

// "Jpeg files (*.jpg)|*.jpg|...||" (name|pattern pairs) to Qt's
// "Jpeg files (*.jpg);;..." form; "*.*" becomes "*" so that files without an
// extension are listed too.
QString QtFilterFromPairs(const QString& pairs);

} // namespace lumacut
