// The mouse on the picture: colour picks, the tilt line, the rubber band and
// the colour list.
#include "ViewInput.h"
#include "view/StatusTexts.h"

namespace lumacut {
namespace {

using namespace viewtest;

// ---- clicks pick the Original's colour ----------------------------------------------------

struct PickCase {
    std::string name;
    int zoom;
    QPoint scroll;
    QPoint click;
    QPoint pixel;
};

void PrintTo(const PickCase& c, std::ostream* os)
{
    *os << c.name;
}

class ViewPick : public ViewInput, public ::testing::WithParamInterface<PickCase> {};

TEST_P(ViewPick, ClickPicksThePixelUnderItAndOpensColorChange)
{
    const PickCase& c = GetParam();
    m_view->OnZoom(c.zoom);
    Paint();
    m_view->horizontalScrollBar()->setValue(c.scroll.x());
    m_view->verticalScrollBar()->setValue(c.scroll.y());
    Paint();
    ASSERT_EQ(m_view->m_scrollPos, c.scroll);

    QTest::mouseClick(Client(), Qt::LeftButton, {}, c.click);
    EXPECT_FALSE(m_view->m_showOriginal);
    ASSERT_EQ(m_dialogs.filterColors.size(), 1u);
    EXPECT_EQ(m_dialogs.filterColors[0], ColorAt(c.pixel.x(), c.pixel.y()));
    EXPECT_TRUE(m_dialogs.tiltLabels.empty());
}

INSTANTIATE_TEST_SUITE_P(Zoom, ViewPick,
                         ::testing::Values(PickCase{"At100", 1, {0, 0}, {13, 17}, {13, 17}},
                                           PickCase{"At200", 2, {0, 0}, {27, 35}, {13, 17}},
                                           PickCase{"At400Scrolled", 4, {40, 20}, {12, 9}, {13, 7}}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ViewInput, ReleaseOnePixelAcrossAndFiftyDownIsAClick)
{
    Press({10, 5});
    Release({11, 55});
    EXPECT_TRUE(m_dialogs.tiltLabels.empty());
    ASSERT_EQ(m_dialogs.filterColors.size(), 1u);
    EXPECT_EQ(m_dialogs.filterColors[0], ColorAt(11, 55));
}

TEST_F(ViewInput, ClickOutsideTheOriginalPicksNothing)
{
    QTest::mouseClick(Client(), Qt::LeftButton, {}, {kWidth + 10, 20});
    EXPECT_FALSE(m_view->m_showOriginal); // already switched
    EXPECT_TRUE(m_dialogs.filterColors.empty());
}

// ---- the tilt line ----------------------------------------------------------------------------

TEST_F(ViewInput, DragOnTheOriginalOffersBothAnglesAndAppliesTheChosenOne)
{
    m_dialogs.tiltAnswers = {kResultRotateHorizontal, kResultRotateVertical, kResultTiltCancel};
    Press({100, 100});
    Release({200, 150});
    ASSERT_EQ(m_dialogs.tiltLabels.size(), 1u);
    EXPECT_EQ(m_dialogs.tiltLabels[0].first, "26.57°");
    EXPECT_EQ(m_dialogs.tiltLabels[0].second, "-63.43°");
    EXPECT_NEAR(m_doc.m_tilt, 0.4636, 1e-4);
    EXPECT_FALSE(m_view->m_showOriginal);

    // The other direction offers the same; the second button turns to vertical.
    m_view->OnShowOriginal();
    Paint();
    Press({200, 150});
    Release({100, 100});
    ASSERT_EQ(m_dialogs.tiltLabels.size(), 2u);
    EXPECT_EQ(m_dialogs.tiltLabels[1], m_dialogs.tiltLabels[0]);
    EXPECT_NEAR(m_doc.m_tilt, -1.1071, 1e-4);

    // Cancel changes nothing.
    m_view->OnShowOriginal();
    Paint();
    Press({100, 100});
    Release({200, 150});
    EXPECT_NEAR(m_doc.m_tilt, -1.1071, 1e-4);
    EXPECT_TRUE(m_view->m_showOriginal);
    EXPECT_TRUE(m_dialogs.filterColors.empty());
}

// ---- the rubber band ----------------------------------------------------------------------------

TEST_F(ViewInput, RubberBandOnTheNewPictureSetsTheClipRegion)
{
    m_view->OnZoom(2);
    ShowNew();
    Press({110, 70});
    Move({60, 45});
    // Dragged up and left: unnormalised while dragging.
    EXPECT_EQ(m_doc.m_clipRect, (Rect{55, 35, 30, 22}));
    Move({20, 40});
    EXPECT_EQ(m_doc.m_clipRect, (Rect{55, 35, 10, 20}));
    EXPECT_FALSE(m_view->m_focusShown);
    Release({20, 40});
    EXPECT_EQ(m_doc.m_clipRect, (Rect{10, 20, 55, 35}));
    EXPECT_TRUE(m_view->m_focusShown);
    EXPECT_TRUE(m_dialogs.filterColors.empty());

    // The next press hides the focus rectangle again.
    Press({5, 5});
    EXPECT_FALSE(m_view->m_focusShown);
}

// Side by side, the band belongs to the New Picture's pane and the tilt line
// to the Original's; in the split view a press on the divider moves it.
TEST_F(ViewInput, TwoPictureViewsRouteGesturesToTheirPicture)
{
    m_view->OnZoom(2);
    m_view->SetViewMode(ViewMode::SideBySide);
    Paint();
    const int width = m_view->viewport()->width();
    const QPoint newPane(width - (width - kPaneGap) / 2, 0);
    Press(newPane + QPoint(20, 40));
    Move(newPane + QPoint(110, 70));
    Release(newPane + QPoint(110, 70));
    EXPECT_EQ(m_doc.m_clipRect, (Rect{10, 20, 55, 35}));
    EXPECT_TRUE(m_view->m_focusShown);
    EXPECT_TRUE(m_dialogs.tiltLabels.empty());

    m_dialogs.tiltAnswers = {kResultTiltCancel};
    Press({10, 10});
    Release({110, 60});
    EXPECT_EQ(m_dialogs.tiltLabels.size(), 1u);

    m_view->SetViewMode(ViewMode::Split);
    Paint();
    Press({m_view->DividerX(width) + 2, 50});
    Move({width / 4, 60});
    Release({width / 4, 60});
    EXPECT_EQ(m_view->DividerX(width), width / 4);
    EXPECT_EQ(m_dialogs.tiltLabels.size(), 1u);
}

// A window system repaints whenever it likes; none of that ends the drag.
TEST_F(ViewInput, PaintsDuringTheDragKeepIt)
{
    ShowNew();
    Press({10, 20});
    Move({60, 45});
    EXPECT_EQ(m_doc.m_clipRect, (Rect{10, 20, 60, 45}));
    Paint();
    Move({110, 70});
    Paint();
    EXPECT_EQ(g_newSizeText, "New Size: 100,  50");
    Release({110, 70});
    EXPECT_EQ(m_doc.m_clipRect, (Rect{10, 20, 110, 70}));
    EXPECT_TRUE(m_view->m_focusShown);
    EXPECT_EQ(m_view->m_band.left, NO_POINT);
}

TEST_F(ViewInput, SmallMovesDoNotStartABand)
{
    ShowNew();
    const Rect before = m_doc.m_clipRect;
    Press({10, 20});
    Move({11, 21}); // 2 pixels in all
    EXPECT_EQ(m_doc.m_clipRect, before);
}

// ---- Ctrl + wheel -----------------------------------------------------------------------------

TEST_F(ViewInput, CtrlWheelWalksTheMagnificationsAndStopsAtTheEnds)
{
    const struct {
        int delta;
        Qt::KeyboardModifiers modifiers;
        int zoom;
    } steps[] = {
        {120, Qt::ControlModifier, 2}, {60, Qt::ControlModifier, 2}, {60, Qt::ControlModifier, 4},
        {240, Qt::ControlModifier, 4}, {120, Qt::NoModifier, 4},     {-360, Qt::ControlModifier, 0},
        {-120, Qt::ControlModifier, 0}, {120, Qt::ControlModifier, 1},
    };
    ASSERT_EQ(m_view->m_zoom, 1);
    for (const auto& step : steps) {
        const QPointF at(20, 20);
        QWheelEvent wheel(at, Client()->mapToGlobal(at), {}, QPoint(0, step.delta), Qt::NoButton, step.modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Client(), &wheel);
        EXPECT_EQ(m_view->m_zoom, step.zoom) << "after " << step.delta;
    }
}

// ---- the colour list ----------------------------------------------------------------------------

TEST_F(ViewInput, ElevenAddsLeaveTenColours)
{
    m_dialogs.listAnswers.assign(11, kResultAddColorToList);
    for (int i = 0; i < 11; ++i) {
        m_view->OnShowOriginal();
        Paint();
        QTest::mouseClick(Client(), Qt::RightButton, {}, {30 + i, 40});
    }
    ASSERT_EQ(m_dialogs.listColors.size(), 11u);
    EXPECT_EQ(m_dialogs.listColors[3], ColorAt(33, 40));
    EXPECT_EQ(m_doc.m_colorListCount, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(m_doc.m_colorList[i], ColorAt(30 + i, 40)) << "entry " << i;
    EXPECT_FALSE(m_view->m_showOriginal);
}

TEST_F(ViewInput, QuickSecondClickCountsAsAClick)
{
    m_dialogs.listAnswers = {kResultAddColorToList, kResultAddColorToList};
    QTest::mouseClick(Client(), Qt::RightButton, {}, {30, 40});
    QTest::mouseDClick(Client(), Qt::RightButton, {}, {30, 40});
    EXPECT_EQ(m_doc.m_colorListCount, 2);
}

TEST_F(ViewInput, RightClickOutsideTheOriginalOpensNothing)
{
    QTest::mouseClick(Client(), Qt::RightButton, {}, {kWidth + 20, 10});
    EXPECT_TRUE(m_dialogs.listColors.empty());
    EXPECT_FALSE(m_view->m_showOriginal);
}

TEST_F(ViewInput, ClearListThenOneAddIsNotUsedByKind3)
{
    // Kind 3 in true colour: `color` alone, unless the list holds two or more.
    m_doc.m_filter.kind = kKindDefineSharp;
    m_doc.m_filter.color = ColorAt(150, 80);
    m_doc.ApplyFilter(m_doc.m_filter);
    const std::vector<std::uint8_t> colorAlone = NewPictureBytes();

    m_dialogs.listAnswers = {kResultAddColorToList, kResultAddColorToList, kResultClearList, kResultAddColorToList};
    const QPoint spots[] = {{20, 10}, {60, 30}, {1, 1}, {20, 10}};
    std::vector<std::vector<std::uint8_t>> renders;
    for (QPoint spot : spots) {
        QTest::mouseClick(Client(), Qt::RightButton, {}, spot);
        m_doc.ApplyFilter(m_doc.m_filter);
        renders.push_back(NewPictureBytes());
    }
    ASSERT_EQ(m_dialogs.listColors.size(), 4u);
    EXPECT_EQ(m_doc.m_colorListCount, 1);
    EXPECT_NE(renders[1], colorAlone); // two listed colours are used
    EXPECT_EQ(renders[3], colorAlone); // one is not
}

} // namespace
} // namespace lumacut
