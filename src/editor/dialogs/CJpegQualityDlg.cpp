#include "dialogs/CJpegQualityDlg.h"

#include "document/CDibDoc.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace lumacut {

CJpegQualityDlg::CJpegQualityDlg(QWidget* parent) : CDialogBase(parent)
{
    setWindowTitle("Jpeg Quality Output");
    m_edit = new QLineEdit(this);
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_edit));
    m_edit->setAlignment(Qt::AlignRight);
    m_ok = new QPushButton("OK", this);
    m_cancel = new QPushButton("Cancel", this);
    m_ok->setDefault(true);
    auto* help = new QLabel("Number: 0..100 where 0 means high compression, low quality and 100 means high "
                            "quality., low compression",
                            this);
    help->setWordWrap(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Jpeg Quality ", this), 0, 0);
    grid->addWidget(m_edit, 0, 1);
    grid->addWidget(m_ok, 0, 2);
    grid->addWidget(help, 1, 0, 1, 2);
    grid->addWidget(m_cancel, 1, 2, Qt::AlignTop);
    connect(m_ok, &QPushButton::clicked, this, &CJpegQualityDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CJpegQualityDlg::reject);
}

void CJpegQualityDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Int(m_edit, m_quality, 0, 100);
}

void OnJpegQuality(CDibDoc& doc)
{
    CJpegQualityDlg dialog;
    dialog.m_quality = doc.m_jpegQuality;
    if (dialog.DoModal() == IDOK)
        doc.m_jpegQuality = dialog.m_quality;
}

} // namespace lumacut
