#include "app/CDialogBase.h"

namespace lumacut {

namespace {
ModalDialogRunner& Runner()
{
    static ModalDialogRunner runner;
    return runner;
}
} // namespace

ModalDialogRunner SetModalDialogRunner(ModalDialogRunner runner)
{
    ModalDialogRunner previous = std::move(Runner());
    Runner() = std::move(runner);
    return previous;
}

int RunModalDialog(QDialog& dialog)
{
    if (Runner())
        return Runner()(dialog);
    return dialog.exec();
}

CDialogBase::CDialogBase(QWidget* parent) : QDialog(parent)
{
    setModal(true);
}

bool CDialogBase::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialogBase::OnOK()
{
    if (UpdateData(true))
        done(IDOK);
}

void CDialogBase::showEvent(QShowEvent* event)
{
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

} // namespace lumacut
