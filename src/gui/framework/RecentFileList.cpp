#include "framework/RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace lumacut {

namespace {
const char* const kGroup = "Recent File List";
}

CRecentFileList::CRecentFileList(int size) : m_size(size) {}

void CRecentFileList::Load()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    m_paths.clear();
    for (int i = 1; i <= m_size; ++i) {
        QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths << path;
    }
}

void CRecentFileList::Save() const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    for (int i = 1; i <= m_size; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_paths.size())
            settings.setValue(key, m_paths[i - 1]);
        else
            settings.remove(key);
    }
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString full = QFileInfo(path).absoluteFilePath();
    m_paths.removeAll(full);
    m_paths.prepend(full);
    while (m_paths.size() > m_size)
        m_paths.removeLast();
    Save();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_paths.size())
        return;
    m_paths.removeAt(index);
    Save();
}

QString CRecentFileList::MenuText(int index) const
{
    if (index < 0 || index >= m_paths.size())
        return QString();
    QString name = QFileInfo(m_paths[index]).fileName();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

} // namespace lumacut
