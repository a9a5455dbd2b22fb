// The jobs of the side-by-side comparison (bench/compare-peers.sh) inside
// one process: read the JPEG, render, write the BMP, as lumacut-render does
// for one file, with each stage timed on its own. Useful to see where the
// whole-process time goes; the photos come from compare-peers.sh's data
// folder (LUMACUT_BENCH_DATA, default build/bench-data).
#include "filter/RenderLoop.h"
#include "picture/BmpFile.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/JpegFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace lumacut;

namespace {

std::string DataFile(const char* name)
{
    const char* dir = std::getenv("LUMACUT_BENCH_DATA");
    return std::string(dir ? dir : "build/bench-data") + "/" + name;
}

bool Read(const std::string& path, CPicture& original)
{
    int width = 0, height = 0;
    CMemBlock block;
    if (!ReadJpegFile(path, block, width, height))
        return false;
    original = CPicture::FromDib(std::move(block));
    return original.HasBlock();
}

struct Job {
    const char* name;
    const char* file;
    int output; // 0 two, 1 grey, 2 true
    double scale, footprint, tilt;
};

const Job kJobs[] = {
    {"JPEG to grey file", "photo-24mp.jpg", 1, 1, 1, 0},
    {"JPEG to 1-bit file", "photo-24mp.jpg", 0, 1, 1, 0},
    {"50 % resize, footprint 1", "photo-24mp.jpg", 2, 0.5, 1, 0},
    {"3 degree tilt", "photo-24mp.jpg", 2, 1, 1, 3 * M_PI / 180},
    {"200 % magnify of 12 MP", "photo-12mp.jpg", 2, 2, 1, 0},
};

// Stage 0: the whole job; 1: read only; 2: render only; 3: write only.
void BM_Pipeline(benchmark::State& state)
{
    const Job& job = kJobs[state.range(0)];
    const int stage = static_cast<int>(state.range(1));
    static const char* stages[] = {"whole job", "read", "render", "write"};
    state.SetLabel(std::string(job.name) + ": " + stages[stage]);
    const std::string in = DataFile(job.file);
    const std::string out = DataFile("pipeline-out.bmp");

    CPicture original, target;
    if (!Read(in, original)) {
        state.SkipWithError("no test photo: run bench/compare-peers.sh once");
        return;
    }
    target.SetKind(job.output == 0   ? PictureKind::TwoColor
                   : job.output == 1 ? PictureKind::Grey
                                     : PictureKind::TrueColor);
    RenderRequest request;
    request.original = &original;
    request.target = &target;
    request.scale = job.scale;
    request.footprint = job.footprint;
    request.tilt = job.tilt;
    FilterSettings settings;
    RenderNewPicture(settings, request);

    for (auto _ : state) {
        if (stage == 0 || stage == 1) {
            CPicture fresh;
            Read(in, fresh);
            if (stage == 0)
                request.original = &fresh;
            if (stage == 0)
                RenderNewPicture(settings, request);
            if (stage == 0)
                WriteBmpFile(out, target.Block(), 4 * target.Colors());
            request.original = &original;
        } else if (stage == 2) {
            RenderNewPicture(settings, request);
        } else {
            WriteBmpFile(out, target.Block(), 4 * target.Colors());
        }
    }
    std::remove(out.c_str());
}
BENCHMARK(BM_Pipeline)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();
