#pragma once
// Saving without damage: the bytes go to a temporary file beside the target,
// which is renamed over the target only when everything has been written (and,
// when it replaces a file, flushed to disk). Until Commit() succeeds the target is untouched; a file
// object that is destroyed uncommitted removes its temporary file. A file
// that is replaced keeps its permissions; a symbolic link keeps pointing to
// the renewed file.
#include <cstddef>
#include <cstdio>
#include <string>

namespace lumacut {

class CAtomicFile {
public:
    CAtomicFile() = default;
    ~CAtomicFile() { Discard(); }
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the temporary file in the target's folder. False (errno set)
    // when the target is a folder or the folder cannot take a new file.
    bool Open(const std::string& path);
    // Writes to a stream that stays the caller's (standard output): no
    // temporary file, Commit flushes it and Discard leaves it open, since
    // what was written cannot be taken back.
    bool OpenStream(std::FILE* stream);
    // The stream of the temporary file while open (for libraries that write
    // to a FILE*); null otherwise.
    std::FILE* Stream() const { return m_file; }
    bool Write(const void* data, std::size_t size);
    // Flushes (to disk too when a file is replaced), closes and renames over
    // the target. False when any write failed or the rename is refused; the
    // temporary file is then removed.
    bool Commit();
    // Closes and removes the temporary file (nothing when none is open).
    void Discard();

private:
    void StartWriteBack();

    std::FILE* m_file = nullptr;
    long long m_handedOn = 0; // bytes already handed to the disk
    std::string m_target;
    std::string m_temp;
    bool m_failed = false;
    bool m_borrowed = false; // m_file is the caller's stream
};

} // namespace lumacut
