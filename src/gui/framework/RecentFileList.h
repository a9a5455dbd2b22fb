#pragma once
// The recent-file list: up to four paths, newest first, kept in the user's
// settings (QSettings) so that it survives the program.
#include <QString>
#include <QStringList>

namespace lumacut {

class CRecentFileList {
public:
    explicit CRecentFileList(int size = 4);

    // Reads the list from the settings, dropping empty and repeated entries.
    void Load();
    void Save() const;

    // Puts `path` first (moving it when it is already listed) and saves.
    void Add(const QString& path);
    // Drops entry `index` (0-based) and saves; used when a listed file fails to open.
    void Remove(int index);

    const QStringList& Paths() const { return m_paths; }
    int Size() const { return m_size; }
    // The menu text of entry `index`: "&1 name" with the file name alone.
    QString MenuText(int index) const;

private:
    int m_size;
    QStringList m_paths;
};

} // namespace lumacut
