#include "document/CDocument.h"

#include <algorithm>

namespace lumacut {

void CDocument::SetPathName(const std::string& path, bool addToRecentFiles)
{
    m_pathName = path;
    std::string::size_type slash = path.find_last_of('/');
    m_title = slash == std::string::npos ? path : path.substr(slash + 1);
    if (addToRecentFiles)
        AddToRecentFiles(path);
}

void CDocument::AddToRecentFiles(const std::string& path)
{
    if (RecentFileSink())
        RecentFileSink()(path);
}

void CDocument::AddView(IDocumentView* view)
{
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CDocument::RemoveView(IDocumentView* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDocument::UpdateAllViews(IDocumentView* sender, long hint)
{
    // A view may close itself while updating; walk a copy.
    std::vector<IDocumentView*> views = m_views;
    for (IDocumentView* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint);
}

bool CDocument::OnNewDocument()
{
    m_pathName.clear();
    m_modified = false;
    return true;
}

std::function<void(const std::string&)>& CDocument::RecentFileSink()
{
    static std::function<void(const std::string&)> sink;
    return sink;
}

} // namespace lumacut
