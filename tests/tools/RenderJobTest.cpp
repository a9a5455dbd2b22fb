// Where lumacut-render's results go, and its console: messages led by the
// file name from several threads at once.
#include "lumacut-render/RenderJob.h"
#include "lumacut-render/ToolConsole.h"
#include "platform/Messages.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

using namespace lumacut;
using namespace lumacut::render;
using lumacut::test::TempDir;

namespace {

RenderOptions WithInputs(std::vector<std::string> inputs, std::string output)
{
    RenderOptions o;
    o.inputs = std::move(inputs);
    o.output = std::move(output);
    return o;
}

std::string ReadAll(std::FILE* f)
{
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    return text;
}

} // namespace

TEST(ResultName, ReplacesTheLastEnding)
{
    EXPECT_EQ(ResultName("in/photo.jpg", "bmp"), "photo.bmp");
    EXPECT_EQ(ResultName("a.b/photo.old.JPG", "jpg"), "photo.old.jpg");
    EXPECT_EQ(ResultName("noending", "bmp"), "noending.bmp");
    EXPECT_EQ(ResultName(".hidden", "bmp"), ".hidden.bmp");
}

TEST(PlanJobs, OneInputToAFileOrAFolder)
{
    TempDir dir;
    std::vector<RenderJob> jobs;
    std::string error;
    ASSERT_TRUE(PlanJobs(WithInputs({"x/in.jpg"}, dir.Path("out.JPG")), jobs, error)) << error;
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].output, dir.Path("out.JPG"));

    RenderOptions o = WithInputs({"x/in.jpg"}, dir.Path());
    o.format = "jpg";
    ASSERT_TRUE(PlanJobs(o, jobs, error)) << error;
    EXPECT_EQ(jobs[0].output, dir.Path("in.jpg"));

    EXPECT_FALSE(PlanJobs(WithInputs({"in.jpg"}, dir.Path("out.gif")), jobs, error));
    EXPECT_EQ(error, "-o must end in .bmp, .jpg, .png or .tif, name an existing folder, or be - (standard output): " + dir.Path("out.gif"));
}

TEST(PlanJobs, SeveralInputsNeedAFolderAndDistinctResults)
{
    TempDir dir;
    std::vector<RenderJob> jobs;
    std::string error;
    ASSERT_TRUE(PlanJobs(WithInputs({"a/one.jpg", "b/two.bmp"}, dir.Path()), jobs, error)) << error;
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].input, "a/one.jpg");
    EXPECT_EQ(jobs[0].output, dir.Path("one.bmp"));
    EXPECT_EQ(jobs[1].output, dir.Path("two.bmp"));

    EXPECT_FALSE(PlanJobs(WithInputs({"one.jpg", "two.jpg"}, dir.Path("out.bmp")), jobs, error));
    EXPECT_EQ(error, "with several inputs -o must name an existing folder: " + dir.Path("out.bmp"));

    EXPECT_FALSE(PlanJobs(WithInputs({"a/same.jpg", "b/same.bmp"}, dir.Path()), jobs, error));
    EXPECT_EQ(error, "a/same.jpg and b/same.bmp would both be written to " + dir.Path("same.bmp"));
}

TEST(PlanJobs, NeverOverwritesAnInput)
{
    TempDir dir;
    const std::string input = dir.Path("pic.bmp");
    std::ofstream(input) << "x";
    std::vector<RenderJob> jobs;
    std::string error;
    EXPECT_FALSE(PlanJobs(WithInputs({input}, dir.Path()), jobs, error));
    EXPECT_EQ(error, dir.Path("pic.bmp") + " would overwrite its own input");
    EXPECT_FALSE(PlanJobs(WithInputs({input}, input), jobs, error));
}

// ---- console -----------------------------------------------------------------------------

TEST(ToolConsole, LeadsEveryLineWithTheFileAndKeepsInformationForVerbose)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    {
        ToolConsole console(kOutputGrey, false, false, out, err);
        EXPECT_EQ(console.ChooseOutput(), kOutputGrey);
        ToolConsole::ScopedFile file("pics/a.jpg");
        console.Message("biWidth: 1, biHeight: 1, Colors: 0\nBit count 24\n", PromptIcon::Information);
        EXPECT_EQ(file.Messages(), 0);
        console.Message(std::string(msg::kBmpTooLarge), PromptIcon::Information);
        console.Message("two\nlines", PromptIcon::None);
        EXPECT_EQ(file.Messages(), 2);
    }
    EXPECT_EQ(ReadAll(out), "");
    EXPECT_EQ(ReadAll(err), "pics/a.jpg: BMP is too large\npics/a.jpg: two\npics/a.jpg: lines\n");

    std::FILE* out2 = std::tmpfile();
    {
        ToolConsole console(kOutputGrey, true, false, out2, err);
        ToolConsole::ScopedFile file("b.bmp");
        console.Message("biWidth: 1, biHeight: 1, Colors: 0\nBit count 24\n", PromptIcon::Information);
        console.Print("-> out.bmp");
    }
    EXPECT_EQ(ReadAll(out2), "b.bmp: biWidth: 1, biHeight: 1, Colors: 0\nb.bmp: Bit count 24\nb.bmp: -> out.bmp\n");
    std::fclose(out);
    std::fclose(out2);
    std::fclose(err);
}

TEST(ToolConsole, ThreadsNeverMixTheirLinesOrNames)
{
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(err);
    constexpr int kThreads = 4;
    constexpr int kMessages = 200;
    {
        ToolConsole console(kOutputTwoColor, false, false, stdout, err);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&console, t] {
                ToolConsole::ScopedFile file("file" + std::to_string(t));
                for (int i = 0; i < kMessages; ++i)
                    console.Message("message of file" + std::to_string(t), PromptIcon::None);
            });
        for (std::thread& thread : threads)
            thread.join();
    }
    std::istringstream lines(ReadAll(err));
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        const std::string name = line.substr(0, line.find(':'));
        ASSERT_EQ(line, name + ": message of " + name);
        ++count;
    }
    EXPECT_EQ(count, kThreads * kMessages);
    std::fclose(err);
}
