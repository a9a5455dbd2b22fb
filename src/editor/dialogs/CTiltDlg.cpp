#include "dialogs/CTiltDlg.h"

#include "document/TiltLine.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumacut {

CTiltDlg::CTiltDlg(QWidget* parent) : CDialogBase(parent)
{
    setWindowTitle("Tilt");
    m_horizontal = new QPushButton(this);
    m_vertical = new QPushButton(this);
    m_cancel = new QPushButton("Cancel", this);
    // Enter ends the dialog with OK, not with whichever button has the focus.
    for (QPushButton* b : {m_horizontal, m_vertical, m_cancel})
        b->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Rotate to horizontal", this));
    layout->addWidget(m_horizontal);
    layout->addWidget(new QLabel("Rotate to vertical", this));
    layout->addWidget(m_vertical);
    layout->addWidget(m_cancel);
    connect(m_horizontal, &QPushButton::clicked, this, [this] { done(kResultRotateHorizontal); });
    connect(m_vertical, &QPushButton::clicked, this, [this] { done(kResultRotateVertical); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(kResultTiltCancel); });
}

void CTiltDlg::SetAngles(double horizontalRadians, double verticalRadians)
{
    m_horizontalText = TiltButtonLabel(horizontalRadians);
    m_verticalText = TiltButtonLabel(verticalRadians);
}

void CTiltDlg::OnInitDialog()
{
    m_horizontal->setText(QString::fromStdString(m_horizontalText));
    m_vertical->setText(QString::fromStdString(m_verticalText));
}

void CTiltDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        done(IDOK);
        return;
    }
    CDialogBase::keyPressEvent(event);
}

} // namespace lumacut
