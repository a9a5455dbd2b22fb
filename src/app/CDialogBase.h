#pragma once
// The base of the program's dialogs: plain members exchanged with the
// controls by DoDataExchange, OK and Cancel as overridable handlers, result
// codes as the program knows them (OK 1, Cancel 2), and modal runs through a
// replaceable runner so that tests can script them.
#include "app/DataExchange.h"

#include <QDialog>

#include <functional>

namespace lumacut {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Runs a dialog modally and gives its result code. The default is exec();
// tests install one that clicks through the dialog.
using ModalDialogRunner = std::function<int(QDialog&)>;
// Installs a runner (an empty one restores the default); returns the previous.
ModalDialogRunner SetModalDialogRunner(ModalDialogRunner runner);
int RunModalDialog(QDialog& dialog);

class CDialogBase : public QDialog {
    Q_OBJECT
public:
    explicit CDialogBase(QWidget* parent = nullptr);

    int DoModal() { return RunModalDialog(*this); }
    // Members to controls (false) or controls to members (true); false when
    // a field was refused.
    bool UpdateData(bool saveAndValidate = true);

    // Escape, the close box and reject() end with Cancel; accept() is OK.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    virtual void DoDataExchange(CDataExchange&) {}
    // Run once, when the dialog is first shown: the initial exchange.
    virtual void OnInitDialog() { UpdateData(false); }
    virtual void OnOK();
    virtual void OnCancel() { done(IDCANCEL); }
    void showEvent(QShowEvent* event) override;

private:
    bool m_initialised = false;
};

} // namespace lumacut
