// Damaged BMP files: every byte of a few small valid files flipped, zeroed
// or cut off. The reader must give a proper picture or the program's
// refusal saying what is wrong, never a crash or a read out of bounds (the sanitizer build runs
// this too).
#include "picture/BmpFile.h"
#include "platform/Messages.h"
#include "support/RecordingPrompt.h"
#include "support/BlockPixels.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

std::vector<std::pair<std::string, Bytes>> Seeds()
{
    auto pattern = [](int x, int top) { return static_cast<std::uint32_t>(x * 0x30507 + top * 0x1103); };
    std::vector<std::pair<std::string, Bytes>> seeds;
    BmpLayout s;
    s.width = 5;
    s.height = 3;
    s.bitCount = 1;
    s.table = {0x000000, 0xFFFFFF};
    seeds.emplace_back("1 bit", MakeBmp(s, pattern));
    s.bitCount = 4;
    s.width = 3;
    s.table = {0x102030, 0x405060, 0x708090};
    seeds.emplace_back("4 bits, short table", MakeBmp(s, pattern));
    s.headerSize = 12;
    s.bitCount = 8;
    s.table.assign(256, 0x123456);
    s.width = 2;
    s.height = 2;
    seeds.emplace_back("8 bits, core header", MakeBmp(s, pattern));
    s = BmpLayout{};
    s.headerSize = 124;
    s.bitCount = 8;
    s.table = {0xFF0000, 0x00FF00};
    s.topDown = true;
    s.width = 3;
    s.height = 2;
    seeds.emplace_back("8 bits, top-down, 124-byte header", MakeBmp(s, pattern));
    s = BmpLayout{};
    s.width = 3;
    s.height = 2;
    s.table = {0xABCDEF};
    s.clrUsed = 1;
    seeds.emplace_back("24 bits with a palette hint", MakeBmp(s, pattern));
    s = BmpLayout{};
    s.bitCount = 32;
    s.compression = 3;
    s.masks = {0xFF0000, 0xFF00, 0xFF};
    s.width = 2;
    s.height = 2;
    seeds.emplace_back("32 bits with masks", MakeBmp(s, pattern));
    return seeds;
}

// Every refusal says what is wrong, in one of the reader's own words.
bool IsRefusalText(const std::string& text)
{
    const std::string start = "Failed to read 2: m.bmp: ";
    if (text.rfind(start, 0) != 0)
        return false;
    const std::string reason = text.substr(start.size());
    for (std::string_view known : {msg::kBmpNotBmp, msg::kBmpCutShort, msg::kBmpDamagedHeader, msg::kBmpUnsupportedDepth,
                                   msg::kBmpUnsupportedCompression, msg::kBmpNoPixels})
        if (reason == known)
            return true;
    return reason == "the picture is larger than 268435456 pixels, or longer than 1048576 pixels on a side.";
}

// "A picture or a refusal": the only two acceptable outcomes.
void ExpectPictureOrRefusal(const Bytes& file, const char* how, std::size_t at)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock block;
    int width = -1, height = -1;
    const int ok = ReadBmpBytes(file.data(), file.size(), "m.bmp", block, width, height);
    if (ok == 1) {
        ASSERT_TRUE(block) << how << " at " << at;
        ASSERT_GT(width, 0);
        ASSERT_GT(height, 0);
        ASSERT_EQ(block.Size(), TrueColorBlockSize(width, height)) << how << " at " << at;
        ASSERT_TRUE(prompt.Texts().empty());
    } else {
        ASSERT_EQ(ok, 0);
        ASSERT_FALSE(block) << how << " at " << at;
        ASSERT_EQ(prompt.Texts().size(), 1u) << how << " at " << at;
        ASSERT_TRUE(IsRefusalText(prompt.Texts()[0])) << prompt.Texts()[0] << ": " << how << " at " << at;
    }
}

} // namespace

TEST(BmpMutation, FlippedZeroedAndCutFilesGiveAPictureOrARefusal)
{
    for (const auto& [name, seed] : Seeds()) {
        SCOPED_TRACE(name);
        ExpectPictureOrRefusal(seed, "unchanged", 0);
        for (std::size_t at = 0; at < seed.size(); ++at) {
            for (std::uint8_t value : {static_cast<std::uint8_t>(seed[at] ^ 0xFF), std::uint8_t{0},
                                       static_cast<std::uint8_t>(seed[at] ^ 0x80), std::uint8_t{1}}) {
                Bytes mutated = seed;
                mutated[at] = value;
                ExpectPictureOrRefusal(mutated, "changed byte", at);
            }
            ExpectPictureOrRefusal(Bytes(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(at)), "cut", at);
        }
    }
}

TEST(BmpMutation, CorpusFilesCutAtEveryLength)
{
    for (const char* file : {"bmpsuite/g/pal4.bmp", "bmpsuite/g/pal8os2.bmp", "bmpsuite/g/rgb32bfdef.bmp"}) {
        SCOPED_TRACE(file);
        const Bytes bytes = ReadFileBytes(DataPath(file));
        ASSERT_FALSE(bytes.empty());
        for (std::size_t at = 0; at < bytes.size(); at += 7)
            ExpectPictureOrRefusal(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at)), "cut", at);
    }
}
