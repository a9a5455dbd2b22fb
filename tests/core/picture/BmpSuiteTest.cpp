// The BMP Suite corpus: every file either decodes into the program's 24-bit
// form or is refused with the program's message; the files whose fate is
// clear are pinned down. Pixel comparisons against the reference PNGs live
// in refs/ (they need Qt to decode PNG).
#include "picture/BmpFile.h"
#include "picture/Dib.h"
#include "support/RecordingPrompt.h"
#include "support/BlockPixels.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace lumacut;
using namespace lumacut::test;

namespace {

enum class Fate { Decodes, Refused };

// Files whose fate follows from what the reader supports.
const std::map<std::string, Fate>& ExpectedFates()
{
    static const std::map<std::string, Fate> fates = {
        // plain depths the program reads, every header form it knows
        {"g/pal1.bmp", Fate::Decodes}, {"g/pal1bg.bmp", Fate::Decodes}, {"g/pal1wb.bmp", Fate::Decodes},
        {"g/pal4.bmp", Fate::Decodes}, {"g/pal4gs.bmp", Fate::Decodes}, {"g/pal8-0.bmp", Fate::Decodes},
        {"g/pal8.bmp", Fate::Decodes}, {"g/pal8gs.bmp", Fate::Decodes}, {"g/pal8nonsquare.bmp", Fate::Decodes},
        {"g/pal8os2.bmp", Fate::Decodes}, {"g/pal8topdown.bmp", Fate::Decodes}, {"g/pal8v4.bmp", Fate::Decodes},
        {"g/pal8v5.bmp", Fate::Decodes}, {"g/pal8w124.bmp", Fate::Decodes}, {"g/pal8w125.bmp", Fate::Decodes},
        {"g/pal8w126.bmp", Fate::Decodes}, {"g/rgb24.bmp", Fate::Decodes}, {"g/rgb24pal.bmp", Fate::Decodes},
        {"g/rgb32.bmp", Fate::Decodes}, {"g/rgb32bfdef.bmp", Fate::Decodes},
        {"q/pal1p1.bmp", Fate::Decodes}, {"q/pal8offs.bmp", Fate::Decodes}, {"q/pal8os2-hs.bmp", Fate::Decodes},
        {"q/pal8os2-sz.bmp", Fate::Decodes}, {"q/pal8os2v2-40sz.bmp", Fate::Decodes},
        {"q/rgb24prof.bmp", Fate::Decodes}, {"q/rgb24lprof.bmp", Fate::Decodes},
        {"q/rgb32fakealpha.bmp", Fate::Decodes}, {"q/rgba32-1.bmp", Fate::Decodes},
        {"b/pal8badindex.bmp", Fate::Decodes}, {"b/baddens1.bmp", Fate::Decodes}, {"b/baddens2.bmp", Fate::Decodes},
        {"b/badfilesize.bmp", Fate::Decodes}, {"b/badbitssize.bmp", Fate::Decodes},
        // compressed, other depths, unusual masks
        {"g/pal4rle.bmp", Fate::Refused}, {"g/pal8rle.bmp", Fate::Refused}, {"g/rgb16-565.bmp", Fate::Refused},
        {"g/rgb16-565pal.bmp", Fate::Refused}, {"g/rgb16.bmp", Fate::Refused}, {"g/rgb16bfdef.bmp", Fate::Refused},
        {"g/rgb32bf.bmp", Fate::Refused}, {"q/rgb32-xbgr.bmp", Fate::Refused}, {"q/rgb32h52.bmp", Fate::Refused},
        {"q/rgb24jpeg.bmp", Fate::Refused}, {"q/rgb24png.bmp", Fate::Refused}, {"q/rgb24rle24.bmp", Fate::Refused},
        {"q/pal1huffmsb.bmp", Fate::Refused}, {"q/pal2.bmp", Fate::Refused}, {"q/rgba64.bmp", Fate::Refused},
        {"q/pal8oversizepal.bmp", Fate::Refused}, {"q/pal8os2v2.bmp", Fate::Refused},
        {"q/pal8os2v2-16.bmp", Fate::Refused},
        // lying files
        {"b/badbitcount.bmp", Fate::Refused}, {"b/badheadersize.bmp", Fate::Refused},
        {"b/badpalettesize.bmp", Fate::Refused}, {"b/badplanes.bmp", Fate::Refused},
        {"b/badwidth.bmp", Fate::Refused}, {"b/reallybig.bmp", Fate::Refused}, {"b/shortfile.bmp", Fate::Refused},
        {"b/rletopdown.bmp", Fate::Refused}, {"b/badrle.bmp", Fate::Refused}, {"b/badrle4.bmp", Fate::Refused},
        {"b/badrle4bis.bmp", Fate::Refused}, {"b/badrle4ter.bmp", Fate::Refused}, {"b/badrlebis.bmp", Fate::Refused},
        {"b/badrleter.bmp", Fate::Refused}, {"b/rgb16-880.bmp", Fate::Refused},
    };
    return fates;
}

} // namespace

TEST(BmpSuite, EveryFileDecodesOrIsRefusedWithTheProgramsMessage)
{
    int files = 0;
    for (const char* folder : {"g", "q", "b"}) {
        std::vector<std::string> names = ListFolder(DataPath(std::string("bmpsuite/") + folder));
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const std::string key = std::string(folder) + "/" + name;
            const std::string path = DataPath("bmpsuite/" + key);
            SCOPED_TRACE(key);
            ++files;
            RecordingPrompt prompt;
            ScopedPrompt scope(prompt);
            CMemBlock block;
            int width = -1, height = -1;
            const int ok = ReadBmpFile(path, block, width, height);
            if (ok) {
                EXPECT_TRUE(prompt.Texts().empty());
                ASSERT_TRUE(block);
                EXPECT_EQ(block.Size(), TrueColorBlockSize(width, height));
            } else {
                ASSERT_EQ(prompt.Texts().size(), 1u);
                EXPECT_EQ(prompt.Texts()[0].rfind("Failed to read 2: " + path + ": ", 0), 0u) << prompt.Texts()[0];
                EXPECT_FALSE(block);
            }
            auto fate = ExpectedFates().find(key);
            if (fate != ExpectedFates().end()) {
                EXPECT_EQ(ok, fate->second == Fate::Decodes ? 1 : 0);
            }
        }
    }
    EXPECT_GE(files, 88) << "the corpus is all there";
}

TEST(BmpSuite, IndicesPastAShortColourTableReadBlack)
{
    // 8 bits with a 101-entry table; many indices point past its end.
    const std::string path = DataPath("bmpsuite/b/pal8badindex.bmp");
    const Bytes file = ReadFileBytes(path);
    ASSERT_GT(file.size(), 54u);
    const std::uint32_t offBits = ReadLE32(file.data() + 10);
    const int width = ReadLE32s(file.data() + 18), height = ReadLE32s(file.data() + 22);
    ASSERT_EQ(ReadLE32(file.data() + 14 + dib::kClrUsed), 101u);
    const std::size_t stride = static_cast<std::size_t>(RowBytes(8 * width));

    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock block;
    int w, h;
    ASSERT_EQ(ReadBmpFile(path, block, w, h), 1);
    int pastTheTable = 0;
    for (int top = 0; top < height; ++top)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = file[offBits + stride * static_cast<std::size_t>(height - 1 - top) + x];
            const std::uint8_t* entry = file.data() + 14 + 40 + 4 * index;
            const std::uint32_t want =
                index >= 101 ? 0u : std::uint32_t{entry[2]} << 16 | std::uint32_t{entry[1]} << 8 | entry[0];
            pastTheTable += index >= 101;
            ASSERT_EQ(BlockPixel(block, x, top), want) << x << ", " << top << " index " << int(index);
        }
    EXPECT_GT(pastTheTable, 0);
}
