#include "dialogs/CColorListDlg.h"

#include <QGridLayout>
#include <QPushButton>

namespace lumacut {

CColorListDlg::CColorListDlg(QWidget* parent) : CDialogBase(parent)
{
    setWindowTitle("Color List");
    m_addColor = new QPushButton("Add Color to List", this);
    m_clearList = new QPushButton("Clear List", this);
    m_ok = new QPushButton("OK", this);
    m_cancel = new QPushButton("Cancel", this);
    m_ok->setDefault(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_addColor, 0, 0);
    grid->addWidget(m_clearList, 1, 0);
    grid->addWidget(m_ok, 0, 1);
    grid->addWidget(m_cancel, 1, 1);
    connect(m_addColor, &QPushButton::clicked, this, [this] { done(kResultAddColorToList); });
    connect(m_clearList, &QPushButton::clicked, this, [this] { done(kResultClearList); });
    connect(m_ok, &QPushButton::clicked, this, &CColorListDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CColorListDlg::reject);
}

} // namespace lumacut
