// Saving into a folder that may not be written: both writers refuse, show
// their "cannot create" message and leave the existing file as it was.
// Root may write anywhere, so there the case cannot be made and is skipped.
#include "picture/BmpFile.h"
#include "picture/CPicture.h"
#include "picture/JpegFile.h"
#include "support/RecordingPrompt.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace lumacut;
using namespace lumacut::test;

TEST(ReadOnlyFolder, BothWritersRefuseAndKeepTheExistingFile)
{
    TempDir dir;
    const std::string folder = dir.Path("locked");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const Bytes old = {'o', 'l', 'd'};
    WriteFileBytes(folder + "/p.bmp", old);
    WriteFileBytes(folder + "/p.jpg", old);
    ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
    if (::access(folder.c_str(), W_OK) == 0)
        GTEST_SKIP() << "running as root: a read-only folder does not stop a save";

    CMemBlock block = AllocTrueColorDib(4, 3);
    struct Case {
        const char* name;
        std::string path;
        std::function<int(const std::string&)> write;
        std::string message;
    };
    const Case cases[] = {
        {"BMP", folder + "/p.bmp", [&](const std::string& p) { return WriteBmpFile(p, block, 0); },
         folder + "/p.bmp failed to open 1a File error 0"},
        {"JPEG", folder + "/p.jpg", [&](const std::string& p) { return WriteJpegFile(p, block, 90); },
         "can't open " + folder + "/p.jpg\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        EXPECT_EQ(c.write(c.path), 0);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(ReadFileBytes(c.path), old);
    }
    EXPECT_EQ(ListFolder(folder).size(), 2u) << "no temporary file left";
}
