#pragma once
// The base of the program's dialogs: plain members exchanged with the
// controls by DoDataExchange, OK and Cancel as overridable handlers, result
// codes as the program knows them (OK 1, Cancel 2), and modal runs through
// the editor's prompt seam (GuiPrompt::RunModal) so that tests can script them.
#include "framework/DataExchange.h"

#include <QDialog>

namespace lumacut {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

class CDialogBase : public QDialog {
    Q_OBJECT
public:
    explicit CDialogBase(QWidget* parent = nullptr);

    // The initial exchange, then the modal run; the result code.
    int DoModal();
    // The initial exchange has run.
    bool Initialised() const { return m_initialised; }
    // Members to controls (false) or controls to members (true); false when
    // a field was refused.
    bool UpdateData(bool saveAndValidate = true);

    // Escape, the close box and reject() end with Cancel; accept() is OK.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    virtual void DoDataExchange(CDataExchange&) {}
    // Run once, before the modal run or the first show: the initial exchange.
    // Then the dialog is made wide enough for its whole title.
    virtual void OnInitDialog() { UpdateData(false); }
    virtual void OnOK();
    virtual void OnCancel() { done(IDCANCEL); }
    void showEvent(QShowEvent* event) override;

private:
    void InitOnce();

    bool m_initialised = false;
};

} // namespace lumacut
