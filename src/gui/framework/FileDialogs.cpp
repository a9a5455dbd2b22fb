#include "framework/FileDialogs.h"

#include "document/CDibDoc.h"

#include <QFileInfo>
#include <QSettings>

namespace lumacut {

namespace {

const char* const kLastFolderKey = "File Dialogs/Last Folder";

QString Remembered(const QString& chosen)
{
    if (!chosen.isEmpty())
        QSettings().setValue(QLatin1String(kLastFolderKey), QFileInfo(chosen).absolutePath());
    return chosen;
}

QString DialogStartFolder(const CDibDoc* active)
{
    if (active && !active->GetPathName().empty()) {
        const QString folder = QFileInfo(QString::fromStdString(active->GetPathName())).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QSettings().value(QLatin1String(kLastFolderKey)).toString();
}

} // namespace

QString AskOpenFileName(FileDialogRequest request, const CDibDoc* active)
{
    request.directory = DialogStartFolder(active);
    return Remembered(Gui().GetOpenFileName(request));
}

QString AskSaveFileName(FileDialogRequest request, const CDibDoc* active)
{
    request.directory = DialogStartFolder(active);
    return Remembered(Gui().GetSaveFileName(request));
}

} // namespace lumacut
