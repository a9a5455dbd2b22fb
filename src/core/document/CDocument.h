#pragma once
// A small document base: path, title, modified flag and the views that show
// the document (as observers). The editor builds its windows on it; the
// command-line tool uses it without any.
#include <functional>
#include <string>
#include <vector>

namespace lumacut {

class CDocument;

// A view of a document: told when the document wants its views updated.
class IDocumentView {
public:
    virtual ~IDocumentView() = default;
    virtual void OnUpdate(IDocumentView* sender, long hint) = 0;
};

class CDocument {
public:
    virtual ~CDocument() = default;

    // The document's file; the title is the file name part of it.
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(const std::string& path, bool addToRecentFiles = true);
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    void AddView(IDocumentView* view);
    void RemoveView(IDocumentView* view);
    const std::vector<IDocumentView*>& Views() const { return m_views; }
    // Every view but `sender` is told to update.
    void UpdateAllViews(IDocumentView* sender, long hint = 0);

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& path) = 0;
    virtual bool OnSaveDocument(const std::string& path) = 0;

    // Called with every path given with addToRecentFiles; the editor keeps
    // its recent-file list through it. Empty by default.
    static std::function<void(const std::string&)>& RecentFileSink();
    // Hands `path` (a file really read or written) to the sink, if any.
    static void AddToRecentFiles(const std::string& path);

private:
    std::string m_pathName;
    std::string m_title;
    bool m_modified = false;
    std::vector<IDocumentView*> m_views;
};

} // namespace lumacut
