// lumacut-render: the headless renderer over the editor's own document code.
// lumacut-render [OPTIONS] INPUT... -o OUTPUT   (see --help)
#include "lumacut-render/Options.h"
#include "lumacut-render/RenderJob.h"
#include "lumacut-render/ToolConsole.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace lumacut;
using namespace lumacut::render;

namespace {

constexpr int kUsageError = 2;
constexpr int kSomeInputFailed = 1;

int UsageError(const std::string& error)
{
    std::fprintf(stderr, "lumacut-render: %s\nTry 'lumacut-render --help' for more information.\n", error.c_str());
    return kUsageError;
}

} // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error))
        return UsageError(error);
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (options.listPresets) {
        std::fputs(PresetListText().c_str(), stdout);
        return 0;
    }
    std::vector<RenderJob> jobs;
    if (!PlanJobs(options, jobs, error))
        return UsageError(error);

    // With the result on standard output, what -v prints goes to standard error.
    ToolConsole console(options.outputType, options.verbose, isatty(STDERR_FILENO) == 1,
                        options.output == kStandardStream ? stderr : stdout);
    ScopedPrompt prompt(console);

    const int total = static_cast<int>(jobs.size());
    int threads = options.jobs > 0 ? options.jobs : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, total);

    // Each file is its own document; workers take the next file in turn.
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<int> failed{0};
    std::atomic<bool> badOption{false};
    console.Progress(0, total);
    auto work = [&] {
        for (int i = next++; i < total; i = next++) {
            ToolConsole::ScopedFile file(jobs[i].input);
            std::string summary, why;
            if (RenderOneFile(options, jobs[i], summary, &why)) {
                if (options.verbose)
                    console.Print(summary);
            } else {
                // Some readers refuse a file that is no picture at all silently.
                if (file.Messages() == 0)
                    console.Error("cannot be rendered");
                ++failed;
                if (!why.empty())
                    badOption = true;
            }
            console.Progress(++done, total);
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    console.EndProgress();
    // An option the picture turned out too small for is a usage error.
    return badOption ? kUsageError : failed > 0 ? kSomeInputFailed : 0;
}
