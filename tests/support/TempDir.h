#pragma once
// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes, folders a test made read-only too.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

#include <ftw.h>
#include <stdlib.h>

namespace lumacut::test {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumacut-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        // Folders first (a walk visits a folder before what is in it), so
        // that nothing a test locked stays behind.
        ::nftw(
            m_path.c_str(),
            [](const char* p, const struct stat* st, int, struct FTW*) {
                if (S_ISDIR(st->st_mode))
                    ::chmod(p, 0700);
                return 0;
            },
            16, FTW_PHYS);
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, or `name` inside it.
    const std::string& Path() const { return m_path; }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

} // namespace lumacut::test
