// BMP files against the reference renderings of the BMP Suite, decoded by
// Qt: pixel for pixel, naming the first pixel that differs.
#include "picture/BmpFile.h"
#include "support/RecordingPrompt.h"
#include "support/FirstDifference.h"
#include "support/Files.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

struct RefCase {
    const char* bmp;
    const char* png;
};

// Every uncompressed 1, 4, 8, 24 and 32-bit file of g/ (32 bits with the
// usual masks), and the questionable ones the reader takes.
const RefCase kCases[] = {
    {"g/pal1.bmp", "pal1.png"},
    {"g/pal1bg.bmp", "pal1bg.png"},
    {"g/pal1wb.bmp", "pal1.png"},
    {"g/pal4.bmp", "pal4.png"},
    {"g/pal4gs.bmp", "pal4gs.png"},
    {"g/pal8-0.bmp", "pal8.png"},
    {"g/pal8.bmp", "pal8.png"},
    {"g/pal8gs.bmp", "pal8gs.png"},
    {"g/pal8nonsquare.bmp", "pal8nonsquare-e.png"},
    {"g/pal8os2.bmp", "pal8.png"},
    {"g/pal8topdown.bmp", "pal8.png"},
    {"g/pal8v4.bmp", "pal8.png"},
    {"g/pal8v5.bmp", "pal8.png"},
    {"g/pal8w124.bmp", "pal8w124.png"},
    {"g/pal8w125.bmp", "pal8w125.png"},
    {"g/pal8w126.bmp", "pal8w126.png"},
    {"g/rgb24.bmp", "rgb24.png"},
    {"g/rgb24pal.bmp", "rgb24.png"},
    {"g/rgb32.bmp", "rgb24.png"},
    {"g/rgb32bfdef.bmp", "rgb24.png"},
    {"q/pal1p1.bmp", "pal1p1.png"},
    {"q/pal8offs.bmp", "pal8.png"},
    {"q/pal8os2-hs.bmp", "pal8.png"},
    {"q/pal8os2-sz.bmp", "pal8.png"},
    {"q/pal8os2v2-40sz.bmp", "pal8.png"},
    {"q/rgb24prof.bmp", "rgb24.png"},
    {"q/rgb24lprof.bmp", "rgb24.png"},
    {"q/rgb32fakealpha.bmp", "rgb24.png"},
};

} // namespace

TEST(BmpReference, DecodesToThePixelsOfTheReferencePng)
{
    for (const RefCase& c : kCases) {
        SCOPED_TRACE(c.bmp);
        QImage ref(QString::fromStdString(DataPath(std::string("bmpsuite/ref/") + c.png)));
        ASSERT_FALSE(ref.isNull());
        ref = ref.convertToFormat(QImage::Format_RGB32);

        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        CMemBlock block;
        int width = 0, height = 0;
        ASSERT_EQ(ReadBmpFile(DataPath(std::string("bmpsuite/") + c.bmp), block, width, height), 1);
        ASSERT_EQ(width, ref.width());
        ASSERT_EQ(height, ref.height());
        EXPECT_EQ(FirstDifference(block, width, height,
                                  [&](int x, int top) { return static_cast<std::uint32_t>(ref.pixel(x, top)) & 0xFFFFFF; }),
                  "");
    }
}

TEST(BmpReference, UnusualMasksAreRefusedNotMisread)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock block;
    int width = 0, height = 0;
    const std::string path = DataPath("bmpsuite/g/rgb32bf.bmp");
    EXPECT_EQ(ReadBmpFile(path, block, width, height), 0);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Failed to read 2: " + path + ": unsupported compression or colour masks."});
}
