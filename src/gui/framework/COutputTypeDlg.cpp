#include "framework/COutputTypeDlg.h"

#include "framework/DialogTitle.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumacut {

COutputTypeDlg::COutputTypeDlg(QWidget* parent) : QDialog(parent), m_group(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Choose Output"));
    auto* layout = new QVBoxLayout(this);
    const char* labels[] = {"Two Color", "Black / White / Grey", "True Color"};
    const int ids[] = {IDC_TWO_COLOR, IDC_GREY, IDC_TRUE_COLOR};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(labels[i]), this);
        radio->setObjectName(QStringLiteral("radio%1").arg(ids[i]));
        m_group->addButton(radio, i);
        // Only as wide as its text: the title may make the dialog wider.
        layout->addWidget(radio, 0, Qt::AlignLeft);
    }
    // Data exchange to the controls: the member's value is checked.
    m_group->button(m_outputChoice)->setChecked(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setObjectName(QStringLiteral("ok"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok);
    // Its controls alone are narrower than its title.
    KeepTitleWhole(*this);
}

QRadioButton* COutputTypeDlg::Radio(int index) const
{
    return qobject_cast<QRadioButton*>(m_group->button(index));
}

void COutputTypeDlg::accept()
{
    m_outputChoice = m_group->checkedId() < 0 ? 0 : m_group->checkedId();
    QDialog::accept();
}

} // namespace lumacut
