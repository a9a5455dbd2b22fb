// Reading and writing a 24-megapixel picture (6000 x 4000, 24 bits) as BMP
// and as JPEG (quality 90), and turning it upright as a phone photo taken
// in portrait says (orientation 6). The picture is made here; files go to
// /tmp.
#include "picture/BmpFile.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/JpegFile.h"
#include "picture/Orientation.h"
#include "support/RecordingPrompt.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace lumacut;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// Smooth gradients with a little texture, roughly what a photo gives the
// JPEG coder.
const CMemBlock& Picture()
{
    static CMemBlock block = [] {
        CMemBlock b = AllocTrueColorDib(kWidth, kHeight);
        const std::size_t stride = static_cast<std::size_t>(RowBytes(24 * kWidth));
        std::uint32_t noise = 12345;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = b.Data() + 40 + stride * y;
            for (int x = 0; x < kWidth; ++x) {
                noise = noise * 1103515245u + 12345u;
                const int n = static_cast<int>((noise >> 16) & 15);
                row[3 * x + 0] = static_cast<std::uint8_t>((x / 24 + n) & 255);
                row[3 * x + 1] = static_cast<std::uint8_t>((y / 16 + n) & 255);
                row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) / 40) & 255);
            }
        }
        return b;
    }();
    return block;
}

std::string TempPath(const char* extension)
{
    return "/tmp/lumacut-bench-" + std::to_string(::getpid()) + extension;
}

void SetCounters(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * std::int64_t{kWidth} * kHeight);
    state.counters["MPix/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kWidth * kHeight / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void BM_WriteBmp(benchmark::State& state)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock block = DuplicateBlock(Picture());
    const std::string path = TempPath(".bmp");
    for (auto _ : state)
        if (!WriteBmpFile(path, block, 0))
            state.SkipWithError("write failed");
    SetCounters(state);    std::remove(path.c_str());
}

void BM_ReadBmp(benchmark::State& state)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock source = DuplicateBlock(Picture());
    const std::string path = TempPath(".bmp");
    if (!WriteBmpFile(path, source, 0))
        state.SkipWithError("setup failed");
    for (auto _ : state) {
        CMemBlock block;
        int width, height;
        if (!ReadBmpFile(path, block, width, height))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(block.Data());
    }
    SetCounters(state);
    std::remove(path.c_str());
}

void BM_WriteJpeg(benchmark::State& state)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock block = DuplicateBlock(Picture());
    const std::string path = TempPath(".jpg");
    for (auto _ : state)
        if (!WriteJpegFile(path, block, 90))
            state.SkipWithError("write failed");
    SetCounters(state);    std::remove(path.c_str());
}

void BM_ReadJpeg(benchmark::State& state)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock source = DuplicateBlock(Picture());
    const std::string path = TempPath(".jpg");
    if (!WriteJpegFile(path, source, 90))
        state.SkipWithError("setup failed");
    for (auto _ : state) {
        CMemBlock block;
        int width, height;
        if (!ReadJpegFile(path, block, width, height))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(block.Data());
    }
    SetCounters(state);
    std::remove(path.c_str());
}

// The turn by 90 degrees clockwise of a portrait photo, on a fresh copy each
// time as the reader hands it over (the copy is not timed).
void BM_TurnUpright6(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CMemBlock block = DuplicateBlock(Picture());
        state.ResumeTiming();
        if (!TurnUpright(block, 6))
            state.SkipWithError("turn failed");
        benchmark::DoNotOptimize(block.Data());
        state.PauseTiming();
        block.Free();
        state.ResumeTiming();
    }
    SetCounters(state);
}

} // namespace

BENCHMARK(BM_WriteBmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadBmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurnUpright6)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
