// The render loop on a 12-megapixel true-colour Original: every output type
// and kind without resampling, and the sampler cases. Figures in megapixels
// of the New Picture per second.
#include "RenderBenchPictures.h"

#include "filter/RenderLoop.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lumacut;
using namespace lumacut::bench;

namespace {

constexpr int kWidth = 4000, kHeight = 3000; // 12 MP

CPicture& Photo()
{
    static CPicture photo = MakePhoto(kWidth, kHeight);
    return photo;
}

void Run(benchmark::State& state, BenchOutput output, const FilterSettings& settings, double scale,
         double footprint, double tilt)
{
    CPicture target = MakeNewPicture(output);
    std::uint32_t list[2] = {0x2040A0, 0xA04020};
    RenderRequest request;
    request.original = &Photo();
    request.target = &target;
    request.scale = scale;
    request.footprint = footprint;
    request.tilt = tilt;
    request.colorList = list;
    request.colorListCount = 2;
    for (auto _ : state) {
        RenderNewPicture(settings, request);
        benchmark::DoNotOptimize(target.Block().Data());
    }
    double megapixels = double(target.Width()) * target.Height() / 1e6;
    state.counters["MP/s"] = benchmark::Counter(megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ApplyFilter(benchmark::State& state)
{
    auto output = static_cast<BenchOutput>(state.range(0));
    FilterSettings s;
    s.kind = static_cast<int>(state.range(1));
    s.color = 0x3080C0;
    state.SetLabel(std::string(OutputName(output)) + " kind " + std::to_string(s.kind));
    Run(state, output, s, 1, 1, 0);
}
BENCHMARK(BM_ApplyFilter)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)->UseRealTime();

// The sampler cases, true-colour output with "No Filter".
void BM_Sampler(benchmark::State& state)
{
    const auto& c = kSamplerCases[state.range(0)];
    state.SetLabel(c.name);
    Run(state, BenchOutput::TrueColor, FilterSettings{}, c.scale, c.footprint, c.tilt);
}
BENCHMARK(BM_Sampler)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
