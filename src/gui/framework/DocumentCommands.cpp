#include "framework/DocumentCommands.h"

#include "framework/CDocManager.h"
#include "framework/FileDialogs.h"
#include "document/CDibDoc.h"

namespace lumacut {

namespace {

QString SuffixOf(const std::string& ext)
{
    QString suffix = QString::fromStdString(ext);
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    return suffix;
}

} // namespace

void OnFileOpen(CDibDoc& doc, CDocManager& manager)
{
    // A pasted picture that was never saved would be lost without a word.
    if (!manager.SaveModified(doc))
        return;
    FileDialogRequest request;
    request.filter = QtFilterFromPairs(QString::fromLatin1(kPictureFileFilter));
    request.defaultSuffix = SuffixOf(doc.m_saveExt);
    request.initialName = QStringLiteral("Luma");
    const QString path = AskOpenFileName(request, &doc);
    if (path.isEmpty())
        return;
    doc.OnOpenDocument(path.toStdString());
    doc.UpdateAllViews(nullptr);
    manager.UpdateFrameTitles();
}

void OnFileSaveAs(CDibDoc& doc, CDocManager& manager)
{
    FileDialogRequest request;
    request.filter = QtFilterFromPairs(QString::fromLatin1(kPictureFileFilter));
    request.defaultSuffix = SuffixOf(doc.m_saveExt);
    request.initialName = QStringLiteral("*.jpg");
    request.overwritePrompt = true;
    const QString path = AskSaveFileName(request, &doc);
    if (path.isEmpty())
        return;
    doc.OnSaveDocument(path.toStdString());
    doc.UpdateAllViews(nullptr);
    manager.UpdateFrameTitles();
}

void RegisterDocumentCommands(CommandTarget& target, CDibDoc& doc, CDocManager& manager)
{
    target.On(ID_FILE_OPEN, [&doc, &manager] { OnFileOpen(doc, manager); });
    const auto needsPicture = [&doc](CmdUI& ui) { ui.Enable(doc.m_pictureReady); };
    target.On(ID_FILE_SAVE_AS, [&doc, &manager] { OnFileSaveAs(doc, manager); }, needsPicture);
    target.On(ID_FILE_SAVE, [&doc, &manager] { manager.DoFileSave(doc); }, needsPicture);
    target.On(ID_FILE_CLOSE, [&doc, &manager] { manager.CloseDocument(doc); });
}

} // namespace lumacut
