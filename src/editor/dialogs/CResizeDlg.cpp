#include "dialogs/CResizeDlg.h"

#include "document/ResizeMath.h"
#include "picture/ScaleRange.h"
#include "platform/Prompt.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <limits>
#include <optional>
#include <string>

namespace lumacut {

namespace {
int ToInt(std::int64_t v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}
} // namespace

CResizeDlg::CResizeDlg(QWidget* parent) : CDialogBase(parent)
{
    setWindowTitle("Resize De Luxe");
    auto* sizes = new QGroupBox("Sizes", this);
    auto* grid = new QGridLayout(sizes);
    m_oldWidthText = new QLabel(sizes);
    m_oldHeightText = new QLabel(sizes);
    m_newWidthEdit = new QLineEdit(sizes);
    m_newHeightEdit = new QLineEdit(sizes);
    m_newWidthEdit->setEnabled(false);
    m_newHeightEdit->setEnabled(false);
    grid->addWidget(new QLabel("Old Size", sizes), 0, 1);
    grid->addWidget(new QLabel("New Size", sizes), 0, 2);
    grid->addWidget(new QLabel("Width", sizes), 1, 0);
    grid->addWidget(new QLabel("Height", sizes), 2, 0);
    grid->addWidget(m_oldWidthText, 1, 1);
    grid->addWidget(m_oldHeightText, 2, 1);
    grid->addWidget(m_newWidthEdit, 1, 2);
    grid->addWidget(m_newHeightEdit, 2, 2);

    m_percentageEdit = new QLineEdit(this);
    m_percentageEdit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_percentageEdit));
    // The sampler's range, said beside the field that the exchange keeps to it.
    m_percentageRange = new QLabel(QStringLiteral("%1..%2").arg(kMinResizePercent).arg(kMaxResizePercent), this);
    m_footprintEdit = new QLineEdit(this);
    m_oldSize = new QPushButton("Old Size", this);
    m_showResult = new QPushButton("Show Result", this);
    m_ok = new QPushButton("OK", this);
    m_cancel = new QPushButton("Cancel", this);
    m_ok->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("Percentage", this), 0, 0);
    fields->addWidget(m_percentageEdit, 0, 1);
    fields->addWidget(m_percentageRange, 0, 2);
    fields->addWidget(m_oldSize, 0, 3);
    fields->addWidget(new QLabel("Foot Print", this), 1, 0);
    fields->addWidget(m_footprintEdit, 1, 1);
    fields->addWidget(m_showResult, 1, 3);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(sizes);
    left->addLayout(fields);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(buttons);

    m_percentageEdit->installEventFilter(this);
    connect(m_oldSize, &QPushButton::clicked, this, &CResizeDlg::OnOldSize);
    connect(m_showResult, &QPushButton::clicked, this, &CResizeDlg::OnShowResult);
    connect(m_ok, &QPushButton::clicked, this, &CResizeDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CResizeDlg::reject);
}

void CResizeDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Number(m_footprintEdit, m_footprint, 0.001, 10.0);
    dx.Int(m_newHeightEdit, m_newHeight);
    dx.Int(m_newWidthEdit, m_newWidth);
    dx.Int(m_percentageEdit, m_percentage, kMinResizePercent, kMaxResizePercent);
    m_oldWidthText->setText(QString::number(m_oldWidth));
    m_oldHeightText->setText(QString::number(m_oldHeight));
}

void CResizeDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    m_showPressed = false;
}

bool CResizeDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_percentageEdit && event->type() == QEvent::FocusOut && isVisible())
        OnKillFocusPercentage();
    return CDialogBase::eventFilter(watched, event);
}

void CResizeDlg::RecomputeNewSize()
{
    m_newHeight = ToInt(ScaledSide(m_percentage, m_oldHeight));
    m_newWidth = ToInt(ScaledSide(m_percentage, m_oldWidth));
}

void CResizeDlg::OnKillFocusPercentage()
{
    // Only the percentage and the sizes it gives are exchanged here: a full
    // exchange would report a bad footprint once on leaving this field and
    // again for the button that took the focus, and would overwrite the
    // footprint the user is still typing.
    std::optional<int> percentage = ParseIntText(m_percentageEdit->text());
    if (!percentage)
        return;
    m_percentage = *percentage;
    RecomputeNewSize();
    m_newWidthEdit->setText(QString::number(m_newWidth));
    m_newHeightEdit->setText(QString::number(m_newHeight));
}

void CResizeDlg::OnOldSize()
{
    if (!UpdateData(true))
        return;
    m_newHeight = m_oldHeight;
    m_newWidth = m_oldWidth;
    m_percentage = 100;
    UpdateData(false);
}

void CResizeDlg::OnShowResult()
{
    if (!UpdateData(true))
        return;
    m_showPressed = true;
    UpdateData(false);
    Apply();
}

void CResizeDlg::OnOK()
{
    if (!UpdateData(true))
        return; // the refused field keeps the focus, the dialog stays open
    RecomputeNewSize();
    UpdateData(false);
    if (!Apply())
        return;
    done(IDOK);
}

void CResizeDlg::OnCancel()
{
    // Cancel applies too; the command that opened the dialog then puts back
    // what was there before.
    Apply();
    done(IDCANCEL);
}

bool CResizeDlg::Apply()
{
    if (!UpdateData(true))
        return false;
    std::string refusal;
    if (!CheckResizePercentage(m_percentage, m_oldWidth, m_oldHeight, refusal)) {
        ShowMessage(refusal, PromptIcon::Warning);
        m_percentageEdit->setFocus(Qt::OtherFocusReason);
        m_percentageEdit->selectAll();
        return false;
    }
    if (m_preview)
        m_preview->ShowResize(m_percentage * 0.01, m_footprint, m_newWidth, m_newHeight, m_showPressed);
    m_showPressed = false;
    return true;
}

} // namespace lumacut
