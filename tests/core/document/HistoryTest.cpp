// The document's history: a walk back and forth through mixed edits, where
// each step's New Picture must equal a fresh render of that step's
// settings, and the bounds on steps and kept Originals.
#include "document/CDibDoc.h"
#include "support/BmpBuilder.h"
#include "support/PictureBytes.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace lumacut;
using namespace lumacut::test;

namespace {

CMemBlock Dib24(int width, int height, int seed)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    return ToBlock(MakeDib(layout, [seed](int x, int y) {
        return static_cast<std::uint32_t>((x * 37 + seed) & 0xFF) << 16 |
               static_cast<std::uint32_t>((y * 71 + seed * 3) & 0xFF) << 8 |
               static_cast<std::uint32_t>(((x + y) * 13) & 0xFF);
    }));
}

// The straightforward render of `state` from `original` in a document of
// its own, its fields set one by one.
std::vector<std::uint8_t> FreshRender(const CPicture& original, const DocState& state)
{
    CDibDoc twin;
    twin.m_picOriginal = original.Duplicate();
    twin.m_picNew.SetKind(state.newColors == 2     ? PictureKind::TwoColor
                          : state.newColors == 256 ? PictureKind::Grey
                                                   : PictureKind::TrueColor);
    twin.m_filter = state.filter;
    twin.m_scale = state.scale;
    twin.m_footprint = state.footprint;
    twin.m_tilt = state.tilt;
    twin.m_clipActive = state.clipActive;
    twin.m_clipRect = state.renderClip;
    for (int i = 0; i < state.colorListCount; ++i)
        twin.m_colorList[i] = state.colorList[static_cast<std::size_t>(i)];
    twin.m_colorListCount = state.colorListCount;
    twin.ApplyFilter(twin.m_filter);
    return PictureBytes(twin.m_picNew);
}

struct Step {
    std::string name;
    DocState state;
    std::vector<std::uint8_t> original;
    std::vector<std::uint8_t> made; // the New Picture the edit left, empty when it rendered none
};

} // namespace

TEST(History, WalksBackAndForthThroughMixedEditsRenderingEachStepAfresh)
{
    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    prompt.outputChoices = {kOutputGrey, kOutputTwoColor};
    CDibDoc doc;
    ASSERT_TRUE(doc.AdoptOriginal(Dib24(24, 16, 0)));
    EXPECT_FALSE(doc.History().CanUndo()) << "opening into an empty document starts the history";

    std::vector<Step> steps;
    auto remember = [&](const char* name, bool rendered) {
        steps.push_back({name, doc.CurrentState(), PictureBytes(doc.m_picOriginal),
                         rendered ? PictureBytes(doc.m_picNew) : std::vector<std::uint8_t>{}});
    };
    // Each edit as the editor makes it: settings, render, one step.
    auto edit = [&](const char* name, const std::function<void()>& change, bool render = true) {
        change();
        if (render)
            doc.ApplyFilter(doc.m_filter);
        doc.RecordStep(name);
        remember(name, render);
    };
    remember("", true);
    edit("Filter Change", [&] {
        doc.m_filterUndo = doc.m_filter;
        doc.m_filter.lightDark = 40;
        doc.m_filter.kind = kKindDefineSharp;
    });
    edit("Resize", [&] { doc.m_scale = 0.75; });
    edit("Tilt", [&] { doc.m_tilt = 0.12; });
    edit("Clip", [&] {
        doc.m_clipRect = Rect{2, 1, 15, 10};
        doc.m_clipActive = true;
        doc.ApplyFilter(doc.m_filter);
        // As the editor does: the region moves onto the clipped picture.
        doc.m_clipRect = Rect{0, 0, 13, 9};
    }, false);
    steps.back().made = PictureBytes(doc.m_picNew);
    edit("Add to Color List", [&] { doc.m_colorList[doc.m_colorListCount++] = 0x2040C0; }, false);
    edit("Unclip", [&] { doc.m_clipActive = false; });
    edit("Undo Color", [&] {
        doc.m_filter = doc.m_filterUndo;
        doc.m_canUndoColor = false;
    });
    ASSERT_TRUE(doc.AdoptOriginal(Dib24(11, 19, 5), {}, "Paste"));
    remember("Paste", true);
    edit("Clear Color List", [&] { doc.m_colorListCount = 0; });
    edit("Filter Change", [&] {
        doc.m_filterUndo = doc.m_filter;
        doc.m_filter.contrast = 160;
    });

    const std::size_t last = steps.size() - 1;
    ASSERT_EQ(doc.History().UndoCount(), last);
    auto check = [&](std::size_t at, const char* way) {
        SCOPED_TRACE(std::string(way) + " at step " + std::to_string(at) + " " + steps[at].name);
        EXPECT_TRUE(doc.CurrentState() == steps[at].state);
        EXPECT_EQ(PictureBytes(doc.m_picOriginal), steps[at].original);
        const std::vector<std::uint8_t> shown = PictureBytes(doc.m_picNew);
        EXPECT_EQ(shown, FreshRender(doc.m_picOriginal, steps[at].state));
        if (!steps[at].made.empty()) {
            EXPECT_EQ(shown, steps[at].made);
        }
        EXPECT_EQ(doc.History().UndoName(), steps[at].name);
        EXPECT_EQ(doc.History().RedoName(), at < last ? steps[at + 1].name : "");
    };
    for (std::size_t at = last; at-- > 0;) {
        ASSERT_TRUE(doc.UndoStep());
        check(at, "undo");
    }
    EXPECT_FALSE(doc.UndoStep());
    for (std::size_t at = 1; at <= last; ++at) {
        ASSERT_TRUE(doc.RedoStep());
        check(at, "redo");
    }
    EXPECT_FALSE(doc.RedoStep());

    // A new edit after going back drops what could be redone; an edit that
    // changes nothing is no step.
    ASSERT_TRUE(doc.UndoStep());
    ASSERT_TRUE(doc.UndoStep());
    doc.RecordStep("Nothing");
    EXPECT_EQ(doc.History().UndoCount(), last - 2);
    EXPECT_TRUE(doc.History().CanRedo());
    doc.m_tilt = -0.05;
    doc.ApplyFilter(doc.m_filter);
    doc.RecordStep("Tilt");
    EXPECT_FALSE(doc.History().CanRedo());
    EXPECT_EQ(doc.History().UndoName(), "Tilt");
    EXPECT_EQ(doc.History().UndoCount(), last - 1);
}

TEST(History, KeepsTheNewestStepsWithinItsBounds)
{
    DocHistory steps;
    DocState state;
    steps.Reset(state);
    for (int i = 1; i <= 101; ++i) {
        state.tilt = i;
        steps.Record("Tilt", state);
    }
    EXPECT_EQ(steps.UndoCount(), 100u);
    CPicture original;
    const DocState* reached = nullptr;
    while (steps.CanUndo())
        reached = steps.Undo(original);
    ASSERT_NE(reached, nullptr);
    EXPECT_EQ(reached->tilt, 1.0) << "the oldest step goes, the newest 100 stay";

    // Kept Originals: the oldest picture-holding steps go beyond the byte bound.
    const std::size_t block = CPicture::Empty(PictureKind::TrueColor, 20, 20).Block().Size();
    DocHistory bounded(DocHistory::kMaxSteps, block * 5 / 2);
    bounded.Reset(DocState{});
    state.tilt = 0;
    bounded.Record("Resize", state);
    for (int i = 1; i <= 3; ++i) {
        CPicture replaced = CPicture::Empty(PictureKind::TrueColor, 20, 20);
        replaced.MutableRow(0)[0] = static_cast<std::uint8_t>(i);
        state.tilt = i;
        bounded.Record("Paste", state, std::move(replaced));
    }
    EXPECT_EQ(bounded.KeptBytes(), 2 * block);
    EXPECT_EQ(bounded.UndoCount(), 2u);
    CPicture shown = CPicture::Empty(PictureKind::TrueColor, 20, 20);
    shown.MutableRow(0)[0] = 9;
    ASSERT_NE(bounded.Undo(shown), nullptr);
    EXPECT_EQ(shown.Row(0)[0], 3);
    ASSERT_NE(bounded.Undo(shown), nullptr);
    EXPECT_EQ(shown.Row(0)[0], 2);
    EXPECT_FALSE(bounded.CanUndo());
    ASSERT_NE(bounded.Redo(shown), nullptr);
    ASSERT_NE(bounded.Redo(shown), nullptr);
    EXPECT_EQ(shown.Row(0)[0], 9);
    EXPECT_EQ(bounded.KeptBytes(), 2 * block);
}
