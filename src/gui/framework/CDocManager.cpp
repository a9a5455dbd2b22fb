#include "framework/CDocManager.h"

#include "framework/CChildFrame.h"
#include "framework/DocumentCommands.h"
#include "framework/FileDialogs.h"
#include "framework/GuiPrompt.h"
#include "platform/Messages.h"

#include <QAbstractScrollArea>
#include <QFileInfo>
#include <QMdiArea>

#include <algorithm>
#include <cstdio>

namespace lumacut {

namespace {

// The template's document string: the base of untitled names and the
// extension the framework's own Save prompt proposes.
const char* const kDocName = "Lumacut";
const char* const kTemplateExt = "bmp";

std::string Utf8(const QString& s)
{
    return s.toStdString();
}

} // namespace

CDocManager::CDocManager(QMdiArea& area, DocumentTemplate documents)
    : m_area(area), m_template(std::move(documents)), m_recentFiles(kRecentFileCount)
{
    m_recentFiles.Load();
    CDocument::RecentFileSink() = [this](const std::string& path) {
        m_recentFiles.Add(QString::fromStdString(path));
    };
}

CDocManager::~CDocManager()
{
    CDocument::RecentFileSink() = nullptr;
    // Views outliving their documents must not reach back.
    for (auto& entry : m_entries)
        for (CChildFrame* frame : FramesOf(*entry->doc))
            frame->View()->DetachDocument();
}

CDocManager::Entry* CDocManager::Find(const CDibDoc& doc) const
{
    for (const auto& entry : m_entries)
        if (entry->doc.get() == &doc)
            return entry.get();
    return nullptr;
}

CDibDoc* CDocManager::AddDocument(std::unique_ptr<CDibDoc> doc)
{
    auto entry = std::make_unique<Entry>();
    entry->doc = std::move(doc);
    entry->commands = std::make_unique<CommandTarget>();
    RegisterDocumentCommands(*entry->commands, *entry->doc, *this);
    if (m_template.registerCommands)
        m_template.registerCommands(*entry->commands, *entry->doc);
    CDibDoc* result = entry->doc.get();
    m_entries.push_back(std::move(entry));
    return result;
}

void CDocManager::RemoveDocument(const CDibDoc& doc)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const auto& entry) { return entry->doc.get() == &doc; }),
                    m_entries.end());
}

std::vector<CDibDoc*> CDocManager::Documents() const
{
    std::vector<CDibDoc*> docs;
    for (const auto& entry : m_entries)
        docs.push_back(entry->doc.get());
    return docs;
}

std::vector<CChildFrame*> CDocManager::FramesOf(const CDibDoc& doc) const
{
    std::vector<CChildFrame*> frames;
    for (QMdiSubWindow* sub : m_area.subWindowList(QMdiArea::CreationOrder)) {
        auto* child = qobject_cast<CChildFrame*>(sub);
        if (child && child->View() && child->View()->GetDocument() == &doc)
            frames.push_back(child);
    }
    return frames;
}

CommandTarget* CDocManager::DocumentCommands(const CDibDoc& doc) const
{
    Entry* entry = Find(doc);
    return entry ? entry->commands.get() : nullptr;
}

// ---- framework commands --------------------------------------------------------------

CDibDoc* CDocManager::OnFileNew()
{
    auto doc = std::make_unique<CDibDoc>();
    if (!doc->OnNewDocument())
        return nullptr;
    doc->SetTitle(kDocName + std::to_string(++m_untitledCount));
    CDibDoc* result = AddDocument(std::move(doc));
    CreateView(*result);
    return result;
}

void CDocManager::OnFileOpen()
{
    // Routing brings Open here only while no document is active.
    FileDialogRequest request;
    request.filter = QtFilterFromPairs(QString::fromLatin1(kPictureFileFilter));
    request.defaultSuffix = QString::fromLatin1(kTemplateExt);
    const QString path = AskOpenFileName(request, nullptr);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

CDibDoc* CDocManager::OpenDocumentFile(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    for (const auto& entry : m_entries) {
        if (QString::fromStdString(entry->doc->GetPathName()) == full && entry->doc->m_pictureReady) {
            std::vector<CChildFrame*> frames = FramesOf(*entry->doc);
            if (!frames.empty())
                m_area.setActiveSubWindow(frames.front());
            return entry->doc.get();
        }
    }
    auto doc = std::make_unique<CDibDoc>();
    if (!doc->OnOpenDocument(Utf8(full)))
        return nullptr;
    // The document keeps the ".bmp" name it gave itself, as after an open
    // into an existing document: naming it after the opened file would let
    // Save write the New Picture over an opened JPEG. The document has put
    // the opened file on the recent files.
    doc->SetModifiedFlag(false);
    CDibDoc* result = AddDocument(std::move(doc));
    CreateView(*result);
    return result;
}

bool CDocManager::DoFileSave(CDibDoc& doc)
{
    return DoSave(doc, QString::fromStdString(doc.GetPathName()));
}

bool CDocManager::DoSave(CDibDoc& doc, const QString& path)
{
    QString target = path;
    if (target.isEmpty()) {
        FileDialogRequest request;
        request.filter = QtFilterFromPairs(QString::fromLatin1(kPictureFileFilter));
        request.defaultSuffix = QString::fromLatin1(kTemplateExt);
        QString name = QString::fromStdString(doc.GetTitle());
        // The proposed name is the title with the template's extension.
        if (QFileInfo(name).suffix().isEmpty())
            name += QLatin1Char('.') + QString::fromLatin1(kTemplateExt);
        request.initialName = name;
        request.overwritePrompt = true;
        target = AskSaveFileName(request, &doc);
        if (target.isEmpty())
            return false;
    }
    if (!doc.OnSaveDocument(Utf8(target)))
        return false;
    doc.SetPathName(Utf8(target), true);
    doc.SetModifiedFlag(false);
    UpdateFrameTitles();
    return true;
}

bool CDocManager::SaveModified(CDibDoc& doc)
{
    if (!doc.IsModified())
        return true;
    std::string name = doc.GetPathName().empty() ? doc.GetTitle() : doc.GetPathName();
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, std::string(msg::kAskToSaveFormat).c_str(), name.c_str());
    switch (Gui().AskToSave(QString::fromStdString(buffer))) {
    case SaveAnswer::Save: return DoFileSave(doc);
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void CDocManager::CloseDocument(CDibDoc& doc)
{
    if (!SaveModified(doc))
        return;
    std::vector<CChildFrame*> frames = FramesOf(doc);
    // Closing the last frame destroys the document; no second question.
    doc.SetModifiedFlag(false);
    for (CChildFrame* frame : frames)
        frame->close();
}

bool CDocManager::CloseAllDocuments()
{
    for (CDibDoc* doc : Documents())
        if (!SaveModified(*doc))
            return false;
    for (CDibDoc* doc : Documents()) {
        doc->SetModifiedFlag(false);
        for (CChildFrame* frame : FramesOf(*doc))
            frame->close();
    }
    return true;
}

// ---- windows --------------------------------------------------------------------------

IFrameView* CDocManager::CreateView(CDibDoc& doc)
{
    IFrameView* view = m_template.makeView(doc);
    auto* frame = new CChildFrame(*this, view);
    frame->setWindowIcon(m_area.window()->windowIcon());
    m_area.addSubWindow(frame);
    view->OnInitialUpdate();
    UpdateFrameTitles();
    frame->show();
    // Room for the picture at 100 %, within the MDI area; an empty document
    // gets a middling window.
    const QSize area = m_area.viewport()->size();
    const PictureSize picture = doc.GetPictureSize(true);
    const QSize decoration = frame->size() - view->Widget().viewport()->size();
    const QSize size = picture.width > 0 ? QSize(picture.width, picture.height) + decoration : area * 0.6;
    frame->resize(size.boundedTo(area * 0.9).expandedTo(QSize(200, 150)));
    m_area.setActiveSubWindow(frame);
    view->Widget().setFocus();
    return view;
}

bool CDocManager::CanCloseFrame(CChildFrame& frame)
{
    IFrameView* view = frame.View();
    CDibDoc* doc = view ? view->GetDocument() : nullptr;
    if (!doc || FramesOf(*doc).size() > 1)
        return true;
    return SaveModified(*doc);
}

void CDocManager::OnFrameClosed(CChildFrame& frame)
{
    IFrameView* view = frame.View();
    CDibDoc* doc = view ? view->GetDocument() : nullptr;
    if (!doc)
        return;
    view->DetachDocument();
    if (doc->Views().empty())
        RemoveDocument(*doc);
    UpdateFrameTitles();
}

void CDocManager::UpdateFrameTitles()
{
    for (const auto& entry : m_entries) {
        std::vector<CChildFrame*> frames = FramesOf(*entry->doc);
        const QString title = QString::fromStdString(entry->doc->GetTitle());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            QString text = frames.size() > 1 ? QStringLiteral("%1:%2").arg(title).arg(i + 1) : title;
            if (frames[i]->windowTitle() != text)
                frames[i]->setWindowTitle(text);
        }
    }
}

} // namespace lumacut
