#pragma once
// The editor's document/view layer over the core's CDocument: it makes and
// names documents ("Lumacut1", "Lumacut2", ...), gives each one or more child
// windows (views), asks the save question for modified documents, and runs
// the framework's New, Open, Save and Close. One per main frame.
#include "framework/Commands.h"
#include "framework/FrameView.h"
#include "framework/RecentFileList.h"
#include "document/CDibDoc.h"

#include <QString>

class QMdiArea;

#include <memory>
#include <vector>

namespace lumacut {

class CChildFrame;

class CDocManager {
public:
    // Child windows go into `area`; `documents` says what each document gets.
    CDocManager(QMdiArea& area, DocumentTemplate documents);
    ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    // ---- framework commands ------------------------------------------------------
    // File New: an empty untitled document in a new window.
    CDibDoc* OnFileNew();
    // Open while no document is active: asks with every picture type first
    // (kPictureFileFilter), opens in a new window.
    void OnFileOpen();
    // Opens `path` in a new window (recent files, drops, the command line).
    // A document already showing that path is activated instead. Null when
    // the document refused the file (no window opens). The document keeps
    // the name its open gave it (the file's base name + ".bmp"); the opened
    // file, not that name, goes on the recent-file list.
    CDibDoc* OpenDocumentFile(const QString& path);
    // Save: with the document's path, or asking for one (every picture type,
    // default extension ".bmp", in the last folder used) when it has none. False when cancelled or failed.
    bool DoFileSave(CDibDoc& doc);
    // Writes to `path`, or asks first when it is empty.
    bool DoSave(CDibDoc& doc, const QString& path);
    // The save question for a modified document; true when closing may go on.
    bool SaveModified(CDibDoc& doc);
    // Close: the save question, then every window of the document.
    void CloseDocument(CDibDoc& doc);
    // Exit: the save question for each modified document; false when cancelled.
    bool CloseAllDocuments();

    // ---- windows -------------------------------------------------------------------
    // A new child window with a view of `doc` ("New Window" for a second one).
    IFrameView* CreateView(CDibDoc& doc);
    // Whether the child window may close (last view of a modified document
    // asks the save question).
    bool CanCloseFrame(CChildFrame& frame);
    // Called as a child window goes; the document goes with its last view.
    void OnFrameClosed(CChildFrame& frame);
    // Child window titles: the document's title, ":n" added when it has several.
    void UpdateFrameTitles();

    // ---- lookup ----------------------------------------------------------------------
    std::vector<CDibDoc*> Documents() const;
    std::vector<CChildFrame*> FramesOf(const CDibDoc& doc) const;
    // The document's own command target (Open into it, Save As, quality, Save, Close).
    CommandTarget* DocumentCommands(const CDibDoc& doc) const;
    CRecentFileList& RecentFiles() { return m_recentFiles; }

private:
    struct Entry {
        std::unique_ptr<CDibDoc> doc;
        std::unique_ptr<CommandTarget> commands;
    };
    Entry* Find(const CDibDoc& doc) const;
    CDibDoc* AddDocument(std::unique_ptr<CDibDoc> doc);
    void RemoveDocument(const CDibDoc& doc);

    QMdiArea& m_area;
    DocumentTemplate m_template;
    std::vector<std::unique_ptr<Entry>> m_entries;
    int m_untitledCount = 0;
    CRecentFileList m_recentFiles;
};

} // namespace lumacut
