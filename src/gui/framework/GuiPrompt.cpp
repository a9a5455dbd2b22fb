#include "framework/GuiPrompt.h"

#include "framework/COutputTypeDlg.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lumacut {

namespace {

QMessageBox::Icon ToQtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

GuiPrompt* g_gui = nullptr;

GuiPrompt& DefaultGui()
{
    static GuiPrompt prompt;
    return prompt;
}

QString RunFileDialog(GuiPrompt& gui, const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(gui.ParentWidget(), QString(), request.directory, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (gui.RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

} // namespace

void GuiPrompt::Message(const std::string& text, PromptIcon icon)
{
    QMessageBox box(ToQtIcon(icon), QString::fromLatin1(kAppCaption), QString::fromStdString(text),
                    QMessageBox::Ok, m_parent);
    RunModal(box);
}

int GuiPrompt::ChooseOutput()
{
    COutputTypeDlg dialog(m_parent);
    RunModal(dialog);
    return dialog.m_outputChoice;
}

int GuiPrompt::RunModal(QDialog& dialog)
{
    return dialog.exec();
}

QString GuiPrompt::GetOpenFileName(const FileDialogRequest& request)
{
    return RunFileDialog(*this, request, QFileDialog::AcceptOpen);
}

QString GuiPrompt::GetSaveFileName(const FileDialogRequest& request)
{
    return RunFileDialog(*this, request, QFileDialog::AcceptSave);
}

SaveAnswer GuiPrompt::AskToSave(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppCaption), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Save);
    RunModal(box);
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Save: return SaveAnswer::Save;
    case QMessageBox::Discard: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
    }
}

std::optional<QColor> GuiPrompt::ChooseColor(const QColor& initial)
{
    QColorDialog dialog(initial, m_parent);
    if (RunModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

GuiPrompt& Gui()
{
    return g_gui ? *g_gui : DefaultGui();
}

GuiPrompt* SetGuiPrompt(GuiPrompt* prompt)
{
    GuiPrompt* previous = g_gui;
    g_gui = prompt;
    SetPrompt(prompt);
    return previous;
}

GuiPrompt* InstalledGuiPrompt()
{
    return g_gui;
}

QString QtFilterFromPairs(const QString& pairs)
{
    QStringList parts = pairs.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        const QString wanted = QLatin1Char('(') + patterns.join(' ') + QLatin1Char(')');
        // Qt reads the patterns from the name's last parentheses; add them
        // only when the name does not already end with the right ones.
        if (parts[i].endsWith(wanted))
            filters << parts[i];
        else
            filters << parts[i] + QLatin1Char(' ') + wanted;
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace lumacut
