// A slider drag in the filter dialog on a 12-megapixel picture: each step
// changes the setting, renders the New Picture and converts it for the
// screen the way the view's paint does (palette or BGR rows to top-down
// 32-bit pixels). Figures in renders (slider steps) per second.
#include "RenderBenchPictures.h"

#include "filter/RenderLoop.h"
#include "filter/RenderThreads.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace lumacut;
using namespace lumacut::bench;

namespace {

constexpr int kWidth = 4000, kHeight = 3000; // 12 MP

CPicture& Photo()
{
    static CPicture photo = MakePhoto(kWidth, kHeight);
    return photo;
}

// The paint's conversion: every pixel of the picture to 0xAARRGGBB, rows
// turned top-down, in bands on the render threads as a view would hand
// the picture to the painter.
void ConvertForScreen(CPicture& p, std::vector<std::uint32_t>& screen)
{
    screen.resize(std::size_t(p.m_width) * p.m_height);
    p.Lock();
    std::uint32_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = 0xFF000000u | (std::uint32_t(p.m_rgb[i].red) << 16) | (std::uint32_t(p.m_rgb[i].green) << 8) |
                   p.m_rgb[i].blue;
    const int bands = RenderThreadCount() * 4;
    ParallelFor(bands, [&](int band) {
        for (int y = p.m_height * band / bands; y < p.m_height * (band + 1) / bands; ++y) {
            const std::uint8_t* row = p.m_bits + std::int64_t(p.m_height - 1 - y) * p.m_stride;
            std::uint32_t* out = screen.data() + std::size_t(y) * p.m_width;
            if (p.m_colors == 0)
                for (int x = 0; x < p.m_width; ++x)
                    out[x] = 0xFF000000u | (std::uint32_t(row[3 * x + 2]) << 16) |
                             (std::uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
            else if (p.m_colors == 2)
                for (int x = 0; x < p.m_width; ++x)
                    out[x] = table[(row[x / 8] >> (7 - x % 8)) & 1];
            else
                for (int x = 0; x < p.m_width; ++x)
                    out[x] = table[row[x]];
        }
    });
    p.Unlock();
}

void BM_SliderDrag(benchmark::State& state)
{
    auto output = static_cast<BenchOutput>(state.range(0));
    const bool paint = state.range(2) != 0;
    CPicture target = MakeNewPicture(output);
    RenderRequest request;
    request.original = &Photo();
    request.target = &target;
    FilterSettings s;
    s.kind = static_cast<int>(state.range(1));
    s.color = 0x3080C0;
    std::vector<std::uint32_t> screen;
    RenderNewPicture(s, request);
    int step = 0;
    for (auto _ : state) {
        // The Light/Dark slider moving back and forth.
        s.lightDark = (step++ % 41) - 20;
        RenderNewPicture(s, request);
        if (paint)
            ConvertForScreen(target, screen);
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetLabel(std::string(OutputName(output)) + " kind " + std::to_string(s.kind) +
                   (paint ? ", render + paint conversion" : ", render only"));
    state.counters["renders/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SliderDrag)
    ->ArgsProduct({{0, 1, 2}, {0, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();
