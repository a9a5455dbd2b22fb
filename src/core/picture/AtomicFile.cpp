#include "picture/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace lumacut {

namespace {

// The file a save really replaces: a symbolic link is followed, so that the
// link stays and the picture it points to is the one renewed.
std::string ResolveTarget(const std::string& target)
{
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return target;
    char resolved[PATH_MAX];
    if (::realpath(target.c_str(), resolved))
        return resolved;
    return target; // a dangling link: replaced like any other name
}

// A new, empty file beside `target`, created with the process's umask
// applied by the system as for any new file.
int CreateBeside(const std::string& target, std::string& temp)
{
    const std::string::size_type slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + "." + name + ".";
        for (int i = 0; i < 8; ++i)
            candidate += kLetters[random() % (sizeof kLetters - 1)];
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temp = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

bool CAtomicFile::Open(const std::string& path)
{
    Discard();
    const std::string target = ResolveTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (target.empty() || target.back() == '/') {
        errno = EISDIR;
        return false;
    }
    std::string temp;
    const int fd = CreateBeside(target, temp);
    if (fd < 0)
        return false;
    if (exists)
        ::fchmod(fd, st.st_mode & 07777); // the replaced file's permissions
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        const int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    }
    m_target = target;
    m_temp = temp;
    m_failed = false;
    m_handedOn = 0;
    return true;
}

bool CAtomicFile::OpenStream(std::FILE* stream)
{
    Discard();
    m_file = stream;
    m_borrowed = stream != nullptr;
    m_failed = false;
    m_handedOn = 0;
    return m_file != nullptr;
}

bool CAtomicFile::Write(const void* data, std::size_t size)
{
    if (!m_file)
        return false;
    // Large writes go in pieces, each handed to the disk as soon as it is
    // written, so that the flush before the rename has little left to wait for.
    constexpr std::size_t kPiece = std::size_t{8} << 20;
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size != 0 && !m_failed) {
        const std::size_t piece = size < kPiece ? size : kPiece;
        if (std::fwrite(bytes, 1, piece, m_file) != piece) {
            m_failed = true;
            break;
        }
        if (piece == kPiece && !m_borrowed)
            StartWriteBack();
        bytes += piece;
        size -= piece;
    }
    return !m_failed;
}

void CAtomicFile::StartWriteBack()
{
#if defined(__linux__)
    if (std::fflush(m_file) != 0) {
        m_failed = true;
        return;
    }
    const int fd = ::fileno(m_file);
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    // only a hint: the fsync in Commit is what counts, and reports errors
    if (end > m_handedOn)
        ::sync_file_range(fd, m_handedOn, end - m_handedOn, SYNC_FILE_RANGE_WRITE);
    m_handedOn = end;
#endif
}

bool CAtomicFile::Commit()
{
    if (!m_file)
        return false;
    bool ok = !m_failed && std::fflush(m_file) == 0 && !std::ferror(m_file);
    if (m_borrowed) {
        m_file = nullptr;
        m_borrowed = false;
        return ok;
    }
    // A file that replaces another must be on disk before the rename makes
    // it the target, or a crash right after could leave an empty file where
    // the old one was. A new file replaces nothing: the rename alone keeps a
    // half-written file from ever bearing its name, and nobody waits for
    // the disk.
    struct stat st {};
    const bool replacing = ::stat(m_target.c_str(), &st) == 0;
    ok = ok && (!replacing || ::fsync(::fileno(m_file)) == 0);
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    ok = ok && std::rename(m_temp.c_str(), m_target.c_str()) == 0;
    const int saved = errno;
    if (!ok)
        ::unlink(m_temp.c_str());
    m_temp.clear();
    errno = saved;
    return ok;
}

void CAtomicFile::Discard()
{
    if (m_borrowed) {
        m_file = nullptr;
        m_borrowed = false;
    }
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

} // namespace lumacut
