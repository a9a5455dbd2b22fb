// The render on a 24-megapixel true-colour Original in memory, against a
// plain streaming read-and-write pass over the same bytes in this binary (on
// one thread and on all render threads). Figures in megapixels per second of
// the New Picture; compare the milliseconds with the baseline's.
#include "RenderBenchPictures.h"

#include "filter/RenderLoop.h"
#include "filter/RenderThreads.h"
#include "filter/ToneDither.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace lumacut;
using namespace lumacut::bench;

namespace {

constexpr int kWidth = 6000, kHeight = 4000; // 24 MP

CPicture& Photo()
{
    static CPicture photo = MakePhoto(kWidth, kHeight);
    return photo;
}

void Rate(benchmark::State& state, double megapixels)
{
    state.counters["MP/s"] = benchmark::Counter(megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

// memcpy of the Original's pixel rows into a block of the same size.
void BM_Baseline(benchmark::State& state)
{
    const int threads = static_cast<int>(state.range(0)) ? RenderThreadCount() : 1;
    const CMemBlock& source = Photo().Block();
    std::vector<std::uint8_t> target(source.Size(), 1);
    const std::size_t bytes = source.Size();
    for (auto _ : state) {
        ParallelFor(threads, [&](int band) {
            std::size_t begin = bytes * band / threads, end = bytes * (band + 1) / threads;
            std::memcpy(target.data() + begin, source.Data() + begin, end - begin);
        });
        benchmark::DoNotOptimize(target.data());
    }
    state.SetLabel(threads == 1 ? "memcpy, one thread" : "memcpy, all render threads");
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    Rate(state, double(kWidth) * kHeight / 1e6);
}
BENCHMARK(BM_Baseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);

// One render after another into the same New Picture, its block made once
// as in the editor; `bands` 0 lets the render choose, 1 keeps it on the
// calling thread.
void Run(benchmark::State& state, BenchOutput output, const FilterSettings& settings, double scale,
         double footprint, double tilt, int bands = 0)
{
    CPicture target = MakeNewPicture(output);
    RenderRequest request;
    request.original = &Photo();
    request.target = &target;
    request.scale = scale;
    request.footprint = footprint;
    request.tilt = tilt;
    RenderNewPictureInBands(settings, request, bands);
    for (auto _ : state) {
        RenderNewPictureInBands(settings, request, bands);
        benchmark::DoNotOptimize(target.Block().Data());
    }
    Rate(state, double(target.Width()) * target.Height() / 1e6);
}

// The same work on the calling thread alone, timed by its own CPU time:
// the cost per core, unaffected by other programs sharing the machine.
void RunOneThread(benchmark::State& state, BenchOutput output, const FilterSettings& settings, double scale,
                  double footprint, double tilt)
{
    Run(state, output, settings, scale, footprint, tilt, 1);
}

// A kind with the default curve, or with the curve moved off the identity
// (the bias then costs a division a channel).
FilterSettings KindSettings(int kind, bool curveMoved)
{
    FilterSettings s;
    s.kind = kind;
    s.color = 0x3080C0;
    if (curveMoved) {
        s.lightDark = 12;
        s.gamma = 60;
    }
    return s;
}

const char* CurveName(bool curveMoved)
{
    return curveMoved ? ", light 12 gamma 60" : ", default curve";
}

void BM_BaselineOneThreadCpu(benchmark::State& state)
{
    const CMemBlock& source = Photo().Block();
    std::vector<std::uint8_t> target(source.Size(), 1);
    for (auto _ : state) {
        std::memcpy(target.data(), source.Data(), source.Size());
        benchmark::DoNotOptimize(target.data());
    }
    state.SetLabel("memcpy, thread CPU time");
    Rate(state, double(kWidth) * kHeight / 1e6);
}
BENCHMARK(BM_BaselineOneThreadCpu)->Unit(benchmark::kMillisecond)->MinTime(1);

void BM_OneThreadCpu(benchmark::State& state)
{
    const int c = static_cast<int>(state.range(0));
    FilterSettings s;
    s.color = 0x3080C0;
    if (c < 12) {
        s.kind = c % 4;
        state.SetLabel(std::string(OutputName(static_cast<BenchOutput>(c / 4))) + " kind " + std::to_string(s.kind));
        RunOneThread(state, static_cast<BenchOutput>(c / 4), s, 1, 1, 0);
        return;
    }
    const SamplerCase& sampler = kSamplerCases[c - 12];
    state.SetLabel(sampler.name);
    RunOneThread(state, BenchOutput::TrueColor, s, sampler.scale, sampler.footprint, sampler.tilt);
}
BENCHMARK(BM_OneThreadCpu)->DenseRange(0, 15)->Unit(benchmark::kMillisecond)->MinTime(0.3);

// True colour on one thread, kind by kind, with the default curve and with
// the curve moved off the identity (the bias then costs a division a channel).
void BM_OneThreadCpuTrueColour(benchmark::State& state)
{
    const FilterSettings s = KindSettings(static_cast<int>(state.range(0)), state.range(1) != 0);
    state.SetLabel("true kind " + std::to_string(s.kind) + CurveName(state.range(1) != 0));
    RunOneThread(state, BenchOutput::TrueColor, s, 1, 1, 0);
}
BENCHMARK(BM_OneThreadCpuTrueColour)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3);

// Output type, kind, and whether the tone curve is moved off the identity.
void BM_ApplyFilter24(benchmark::State& state)
{
    auto output = static_cast<BenchOutput>(state.range(0));
    const FilterSettings s = KindSettings(static_cast<int>(state.range(1)), state.range(2) != 0);
    state.SetLabel(std::string(OutputName(output)) + " kind " + std::to_string(s.kind) + CurveName(state.range(2) != 0));
    Run(state, output, s, 1, 1, 0);
}
BENCHMARK(BM_ApplyFilter24)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5);

void BM_Sampler24(benchmark::State& state)
{
    const auto& c = kSamplerCases[state.range(0)];
    state.SetLabel(c.name);
    Run(state, BenchOutput::TrueColor, FilterSettings{}, c.scale, c.footprint, c.tilt);
}
BENCHMARK(BM_Sampler24)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);

// Two colour thresholded, dithered by each method, and with the adaptive
// threshold of radius 15 and 100: on the calling thread (CPU time) and on
// all render threads.
void BM_TwoColourTone(benchmark::State& state)
{
    const int c = static_cast<int>(state.range(0));
    const bool oneThread = state.range(1) != 0;
    FilterSettings s;
    const char* names[] = {"plain", "Floyd-Steinberg", "Atkinson", "JJN", "Bayer 8x8", "blue noise"};
    if (c < kDitherMethodCount) {
        s.dither = c;
        state.SetLabel(std::string("two colour, ") + names[c] + (oneThread ? ", one thread" : ""));
    } else {
        s.adaptiveRadius = c == kDitherMethodCount ? 15 : 100;
        state.SetLabel("two colour, adaptive radius " + std::to_string(s.adaptiveRadius) +
                       (oneThread ? ", one thread" : ""));
    }
    Run(state, BenchOutput::TwoColor, s, 1, 1, 0, oneThread ? 1 : 0);
}
BENCHMARK(BM_TwoColourTone)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5);

// The dithering alone, row after row of a 24 MP tone, by its thread's CPU
// time: the part of a dithered render no other thread can share.
void BM_DitherRowsCpu(benchmark::State& state)
{
    static const std::vector<std::uint8_t> tone = [] {
        std::vector<std::uint8_t> t(std::size_t(kWidth) * kHeight);
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
        return t;
    }();
    CPicture target = MakeNewPicture(BenchOutput::TwoColor);
    target.MakeEmpty(kWidth, kHeight);
    FilterSettings s;
    s.dither = static_cast<int>(state.range(0));
    state.SetLabel(std::string("dither method ") + std::to_string(s.dither));
    for (auto _ : state) {
        ToneDitherer ditherer(s, target);
        for (int y = kHeight - 1; y >= 0; --y)
            ditherer.Row(tone.data() + std::size_t(y) * kWidth, target.MutableRow(y));
        benchmark::DoNotOptimize(target.Block().Data());
    }
    Rate(state, double(kWidth) * kHeight / 1e6);
}
BENCHMARK(BM_DitherRowsCpu)->DenseRange(1, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();
