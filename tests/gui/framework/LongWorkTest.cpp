// Long work: the editor's render gives what ApplyFilter gives; while work
// runs past its threshold, windows keep processing paint and timer events,
// user input is dropped, the status bar shows a busy indicator, a second
// render of the same document is refused, and messages wait for the end.
#include "framework/LongWork.h"

#include "support/PictureBytes.h"
#include "support/ScriptedGuiPrompt.h"
#include "support/TestDocument.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace lumacut;
using namespace lumacut::test;

struct RenderCase {
    const char* name;
    Output kind;
    double scale, footprint, tilt;
    bool clip;
};

// Test names show the case's name only.
void PrintTo(const RenderCase& c, std::ostream* os)
{
    *os << c.name;
}

class EditorRender : public ::testing::TestWithParam<RenderCase> {};

TEST_P(EditorRender, GivesTheSamePictureAsApplyFilter)
{
    const RenderCase& c = GetParam();
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    auto a = MakeTestDocument(37, 23, c.kind);
    auto b = MakeTestDocument(37, 23, c.kind);
    for (CDibDoc* d : {a.get(), b.get()}) {
        // The render in place reuses the set-up's larger block: its old
        // bytes must not stay in the smaller result's row padding.
        d->m_scale = c.scale;
        d->m_footprint = c.footprint;
        d->m_tilt = c.tilt;
        d->m_clipActive = c.clip;
        d->m_clipRect = Rect{3, 4, 20, 15};
        d->m_filter.kind = 2;
        d->m_filter.color = MakeColor(200, 40, 90);
    }
    a->ApplyFilter(a->m_filter);
    ASSERT_TRUE(RenderDocument(*b, b->m_filter));
    EXPECT_EQ(b->m_picNew.Width(), a->m_picNew.Width());
    EXPECT_EQ(b->m_picNew.Height(), a->m_picNew.Height());
    EXPECT_EQ(b->m_picNew.Colors(), a->m_picNew.Colors());
    EXPECT_EQ(PictureBytes(b->m_picNew), PictureBytes(a->m_picNew));
    EXPECT_TRUE(prompt.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, EditorRender,
                         ::testing::Values(RenderCase{"TwoColor", Output::TwoColor, 1.0, 1.0, 0.0, false},
                                           RenderCase{"GreyHalf", Output::Grey, 0.5, 2.0, 0.0, false},
                                           RenderCase{"TrueColorTilted", Output::TrueColor, 1.3, 1.0, 0.2, false},
                                           RenderCase{"TrueColorClipped", Output::TrueColor, 1.0, 1.0, 0.0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EditorRender, AFailedRenderLeavesTheNewPictureWhole)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    auto doc = MakeTestDocument(20, 10, Output::TrueColor);
    doc->ApplyFilter(doc->m_filter);
    auto before = BlockBytes(doc->m_picNew);
    doc->m_scale = 1.0e9; // a result no picture store holds
    EXPECT_TRUE(RenderDocument(*doc, doc->m_filter));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"error 11, MakeEmpty picture"});
    EXPECT_EQ(doc->m_picNew.Width(), 20);
    EXPECT_EQ(BlockBytes(doc->m_picNew), before);
}

// A slider drag: render after render of one document, the block a render
// replaces taken up again by the one after next; a failed render between
// them changes nothing.
TEST(EditorRender, RendersInARowRecycleBlocksAndStayRight)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    auto doc = MakeTestDocument(41, 17, Output::TrueColor);
    auto twin = MakeTestDocument(41, 17, Output::TrueColor);
    doc->m_filter.kind = 1;
    doc->m_filter.color = MakeColor(30, 160, 220);
    twin->m_filter = doc->m_filter;
    std::vector<const void*> blocks;
    for (int step = 0; step < 6; ++step) {
        FilterSettings s = doc->m_filter;
        s.lightDark = step * 13 - 40;
        s.gamma = 20 + step * 10;
        if (step == 3) {
            s.kind = 7; // refused: nothing may change
            const auto before = BlockBytes(doc->m_picNew);
            const void* address = BlockAddress(doc->m_picNew);
            ASSERT_TRUE(RenderDocument(*doc, s));
            EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Wrong Choise. "});
            EXPECT_EQ(BlockAddress(doc->m_picNew), address);
            EXPECT_EQ(BlockBytes(doc->m_picNew), before);
            prompt.messages.clear();
            continue;
        }
        ASSERT_TRUE(RenderDocument(*doc, s));
        twin->ApplyFilter(s);
        EXPECT_EQ(PictureBytes(doc->m_picNew), PictureBytes(twin->m_picNew)) << "step " << step;
        blocks.push_back(BlockAddress(doc->m_picNew));
    }
    EXPECT_TRUE(prompt.messages.empty());
    // each render writes into another block than the one on show, and the
    // third takes up the first's again
    ASSERT_EQ(blocks.size(), 5u);
    EXPECT_NE(blocks[1], blocks[0]);
    EXPECT_EQ(blocks[2], blocks[0]);
    EXPECT_EQ(blocks[3], blocks[1]);
}

// The spare block may come from another document's picture, whose pixels
// lie where this one's rows have padding: none of them may stay.
TEST(EditorRender, ABlockFromAnotherPictureKeepsNoneOfItsBytes)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    auto wide = MakeTestDocument(40, 20, Output::TrueColor); // rows of 120 bytes, no padding
    auto narrow = MakeTestDocument(39, 20, Output::TrueColor); // rows of 117 bytes and 3 of padding
    auto twin = MakeTestDocument(39, 20, Output::TrueColor);
    for (int i = 0; i < 2; ++i) {
        wide->m_filter.lightDark = i * 30; // leaves a block full of pixels as the spare
        ASSERT_TRUE(RenderDocument(*wide, wide->m_filter));
    }
    ASSERT_TRUE(RenderDocument(*narrow, narrow->m_filter));
    twin->ApplyFilter(twin->m_filter);
    EXPECT_EQ(PictureBytes(narrow->m_picNew), PictureBytes(twin->m_picNew));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(LongWork, KeepsEventsFlowingDropsInputAndShowsProgress)
{
    QMainWindow main;
    main.statusBar();
    auto* edit = new QLineEdit(&main);
    main.setCentralWidget(edit);
    main.show();
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);

    std::atomic<bool> released{false};
    bool sawIndicator = false;
    bool sawShowing = false;
    QTimer::singleShot(0, [&] {
        sawShowing = LongWorkShowing();
        sawIndicator = main.statusBar()->findChild<QProgressBar*>() != nullptr;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QCoreApplication::sendEvent(edit, &press);
        released = true;
    });
    RunLongWork(
        [&] {
            ShowMessage("from the work");
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!released && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        },
        std::chrono::milliseconds(0));
    EXPECT_TRUE(released.load()) << "the timer ran while the work waited for it";
    EXPECT_TRUE(sawShowing);
    EXPECT_TRUE(sawIndicator);
    EXPECT_TRUE(edit->text().isEmpty()) << "typing during the work is dropped";
    EXPECT_FALSE(LongWorkShowing());
    EXPECT_EQ(main.statusBar()->findChild<QProgressBar*>(), nullptr);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"from the work"});

    // Afterwards input flows again.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    QCoreApplication::sendEvent(edit, &press);
    EXPECT_EQ(edit->text(), "b");
}

TEST(LongWork, ASecondRenderOfTheSameDocumentIsNotStarted)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    auto doc = MakeTestDocument(1000, 1000, Output::Grey);
    doc->m_footprint = 4.0;
    doc->m_scale = 1.5;
    auto other = MakeTestDocument(8, 8, Output::TrueColor);
    bool timerRan = false;
    bool sameRefused = false;
    bool otherRendered = false;
    QTimer::singleShot(0, [&] {
        timerRan = true;
        if (!IsRendering(*doc))
            return; // the render ended before the loop started: nothing to check
        sameRefused = !RenderDocument(*doc, doc->m_filter);
        otherRendered = RenderDocument(*other, other->m_filter);
    });
    ASSERT_TRUE(RenderDocument(*doc, doc->m_filter, std::chrono::milliseconds(0)));
    QCoreApplication::processEvents();
    ASSERT_TRUE(timerRan);
    if (sameRefused || otherRendered) {
        EXPECT_TRUE(sameRefused);
        EXPECT_TRUE(otherRendered);
    }
    EXPECT_FALSE(IsRendering(*doc));
    EXPECT_EQ(doc->m_picNew.Width(), 1500);
}
