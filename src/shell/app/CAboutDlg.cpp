#include "app/CAboutDlg.h"

#include "app/HelpText.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lumacut {

CAboutDlg::CAboutDlg(QWidget* parent) : CDialogBase(parent)
{
    setWindowTitle("About Lumacut");
    m_okay = new QPushButton("Okay", this);
    m_okay->setDefault(true);
    auto* icon = new QLabel(this);
    icon->setObjectName("programIcon");
    icon->setPixmap(QIcon(QStringLiteral(":/icons/lumacut.svg")).pixmap(32, 32));
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text->setMinimumSize(560, 220);
    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0);
    grid->addWidget(m_okay, 0, 1);
    grid->addWidget(new QLabel(kAboutNotice, this), 0, 2);
    grid->addWidget(new QLabel(kAboutVersion, this), 0, 3);
    grid->addWidget(m_text, 1, 0, 1, 4);
    connect(m_okay, &QPushButton::clicked, this, &CAboutDlg::accept);
}

void CAboutDlg::DoDataExchange(CDataExchange& dx)
{
    // The field is read-only, so nothing comes back; paragraphs break at CR LF.
    if (!dx.Saving())
        m_text->setPlainText(QString(m_helpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void RunAboutBox()
{
    CAboutDlg dialog;
    dialog.m_helpText = QString::fromStdString(BuildHelpText());
    dialog.DoModal();
}

} // namespace lumacut
