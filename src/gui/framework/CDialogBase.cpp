#include "framework/CDialogBase.h"

#include "framework/DialogTitle.h"
#include "framework/GuiPrompt.h"

namespace lumacut {

CDialogBase::CDialogBase(QWidget* parent) : QDialog(parent)
{
    setModal(true);
}

int CDialogBase::DoModal()
{
    InitOnce();
    return Gui().RunModal(*this);
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

void CDialogBase::InitOnce()
{
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
        KeepTitleWhole(*this);
    }
}

void CDialogBase::showEvent(QShowEvent* event)
{
    InitOnce();
    QDialog::showEvent(event);
}

} // namespace lumacut
