// Damaged JPEG files: every byte of a small valid file flipped, zeroed or
// cut off, and the library's test pictures cut short. The reader must give
// a proper picture (with at most one warning) or a refusal with a message,
// never a crash (the sanitizer build runs this too).
#include "picture/CPicture.h"
#include "picture/JpegFile.h"
#include "support/RecordingPrompt.h"
#include "support/BlockPixels.h"
#include "support/Files.h"
#include "support/PictureBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

// libjpeg prints its warnings on standard error; thousands of damaged files
// would bury the test output.
class QuietStderr {
public:
    QuietStderr() : m_saved(::dup(2))
    {
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::close(null);
    }
    ~QuietStderr()
    {
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }

private:
    int m_saved;
};

Bytes SmallJpeg()
{
    CPicture pic = MakePicture(Output::TrueColor, 13, 7, [](int x, int y) {
        return static_cast<std::uint32_t>((x * 19) & 0xFF) << 16 | static_cast<std::uint32_t>((y * 37) & 0xFF) << 8 | 90;
    });
    TempDir dir;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    EXPECT_EQ(WriteJpegFile(dir.Path("s.jpg"), pic.Block(), 50), 1);
    return ReadFileBytes(dir.Path("s.jpg"));
}

void ExpectPictureOrRefusal(const Bytes& file, const char* how, std::size_t at)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock block;
    int width = -1, height = -1;
    const int ok = ReadJpegBytes(file.data(), file.size(), "m.jpg", block, width, height);
    if (ok == 1) {
        ASSERT_TRUE(block) << how << " at " << at;
        ASSERT_EQ(block.Size(), TrueColorBlockSize(width, height)) << how << " at " << at;
        // Damage the library decodes past is shown once, as a warning.
        ASSERT_LE(prompt.messages.size(), 1u) << how << " at " << at;
        if (!prompt.messages.empty()) {
            ASSERT_EQ(prompt.messages[0].icon, PromptIcon::Warning) << how << " at " << at;
            ASSERT_EQ(prompt.messages[0].text.rfind("JPEG file damaged: m.jpg: ", 0), 0u) << how << " at " << at;
        }
    } else {
        ASSERT_EQ(ok, 0);
        ASSERT_FALSE(block) << how << " at " << at;
        ASSERT_FALSE(prompt.Texts().empty()) << how << " at " << at;
        ASSERT_EQ(width, 0);
    }
}

} // namespace

TEST(JpegMutation, FlippedZeroedAndCutFilesGiveAPictureOrARefusal)
{
    const Bytes seed = SmallJpeg();
    ASSERT_GT(seed.size(), 100u);
    QuietStderr quiet;
    for (std::size_t at = 0; at < seed.size(); ++at) {
        for (std::uint8_t value : {static_cast<std::uint8_t>(seed[at] ^ 0xFF), std::uint8_t{0}, std::uint8_t{0xFF}}) {
            Bytes mutated = seed;
            mutated[at] = value;
            ExpectPictureOrRefusal(mutated, "changed byte", at);
        }
        ExpectPictureOrRefusal(Bytes(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(at)), "cut", at);
    }
}

TEST(JpegMutation, TestPicturesCutShort)
{
    QuietStderr quiet;
    for (const char* file : {"jpeg/testimgp.jpg", "jpeg/testimgari.jpg", "jpeg/testimggray.jpg"}) {
        SCOPED_TRACE(file);
        const Bytes bytes = ReadFileBytes(DataPath(file));
        ASSERT_FALSE(bytes.empty());
        for (std::size_t at = 0; at < bytes.size(); at += 97)
            ExpectPictureOrRefusal(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at)), "cut", at);
    }
}
