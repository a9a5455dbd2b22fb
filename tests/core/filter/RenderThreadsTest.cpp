#include "filter/RenderLoop.h"
#include "filter/RenderThreads.h"

#include "support/PictureBuilder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace lumacut;
using namespace lumacut::test;

TEST(RenderThreads, EveryIndexRunsExactlyOnce)
{
    for (int count : {0, 1, 2, 3, 17, 1000}) {
        std::vector<std::atomic<int>> runs(count);
        ParallelFor(count, [&](int i) { runs[i].fetch_add(1); });
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(runs[i].load(), 1) << "index " << i << " of " << count;
    }
}

TEST(RenderThreads, CallsFromSeveralThreadsAndFromInsideATaskFinish)
{
    std::atomic<long> total{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
        callers.emplace_back([&] {
            for (int round = 0; round < 50; ++round)
                ParallelFor(8, [&](int i) {
                    // A task may itself split its work; the calling thread
                    // always works, so this never waits on a busy pool.
                    ParallelFor(3, [&](int j) { total.fetch_add(i * 3 + j + 1); });
                });
        });
    for (std::thread& t : callers)
        t.join();
    // Each inner round adds 1 + 2 + ... + 24 = 300.
    EXPECT_EQ(total.load(), 4L * 50 * 300);
}

TEST(RenderThreads, DocumentsRenderAtOnceFromSeveralThreads)
{
    auto pattern = [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(x ^ y), static_cast<std::uint8_t>(y * 3)};
    };
    CPicture original = MakeTrueColor(320, 240, pattern);
    CPicture expected = MakeTarget(Output::TrueColor);
    FilterSettings s;
    s.kind = 1;
    RenderRequest r;
    r.original = &original;
    r.target = &expected;
    r.scale = 1.3;
    r.tilt = 0.02;
    RenderNewPictureReference(s, r);

    // Each document has its own pictures, as with lumacut-render -j.
    std::vector<CPicture> originals, targets;
    for (int t = 0; t < 3; ++t) {
        originals.push_back(MakeTrueColor(320, 240, pattern));
        targets.push_back(MakeTarget(Output::TrueColor));
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&, t] {
            RenderRequest mine = r;
            mine.original = &originals[t];
            mine.target = &targets[t];
            RenderNewPicture(s, mine);
        });
    for (std::thread& t : threads)
        t.join();
    for (const CPicture& p : targets) {
        ASSERT_EQ(p.Block().Size(), expected.Block().Size());
        EXPECT_EQ(0, std::memcmp(p.Block().Data(), expected.Block().Data(), p.Block().Size()));
    }
}
