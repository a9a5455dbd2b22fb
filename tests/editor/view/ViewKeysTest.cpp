// The keys: the clip region moved, resized and fitted; the characters.
#include "ViewInput.h"

namespace lumacut {
namespace {

using namespace viewtest;

// ---- keys ------------------------------------------------------------------------------------------

struct ViewKeyCase {
    std::string name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Rect start;
    Rect expected;
};

class ViewKeys : public ViewInput, public ::testing::WithParamInterface<ViewKeyCase> {};

TEST_P(ViewKeys, KeyMovesTheClipRegion)
{
    const ViewKeyCase& c = GetParam();
    m_doc.m_clipRect = c.start;
    Key(c.key, c.modifiers);
    EXPECT_EQ(m_doc.m_clipRect, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ViewKeys,
    ::testing::Values(
        ViewKeyCase{"Home", Qt::Key_Home, {}, {10, 20, 110, 70}, {0, 0, 100, 50}},
        ViewKeyCase{"End", Qt::Key_End, {}, {0, 0, 100, 50}, {99, 49, 199, 99}},
        ViewKeyCase{"Right", Qt::Key_Right, {}, {10, 20, 110, 70}, {10, 20, 111, 70}},
        ViewKeyCase{"ShiftRight", Qt::Key_Right, Qt::ShiftModifier, {10, 20, 110, 70}, {11, 20, 111, 70}},
        ViewKeyCase{"CtrlDown", Qt::Key_Down, Qt::ControlModifier, {10, 20, 110, 70}, {10, 20, 110, 80}},
        ViewKeyCase{"ShiftLeftAtTheEdge", Qt::Key_Left, Qt::ShiftModifier, {0, 20, 110, 70}, {0, 20, 110, 70}},
        ViewKeyCase{"RightClampsAtW", Qt::Key_Right, {}, {10, 20, 200, 70}, {10, 20, 200, 70}}),
    [](const auto& info) { return info.param.name; });

TEST_F(ViewInput, KeysFitTheRegionIntoATiltedPicture)
{
    m_doc.m_tilt = 0.1;
    m_view->m_fixLeft = true;
    m_view->m_fixOpposite = true;
    m_doc.m_clipRect = Rect{20, 10, 149, 90};
    Key(Qt::Key_Right);
    EXPECT_EQ(m_doc.m_clipRect, (Rect{20, 8, 102, 99}));
}

TEST_F(ViewInput, CharacterCClipsWithTheFocusRectangleShown)
{
    ShowNew();
    m_doc.m_clipRect = Rect{10, 20, 110, 70};
    m_view->m_focusShown = true;
    Char('c');
    EXPECT_TRUE(m_doc.m_clipActive);
    EXPECT_EQ(m_doc.GetPictureSize(false).width, 100);
    EXPECT_EQ(m_doc.GetPictureSize(false).height, 50);
    EXPECT_EQ(m_doc.m_clipRect, (Rect{0, 0, 100, 50}));

    // Hidden: clipping off, the whole picture again.
    m_view->m_focusShown = false;
    Char('c');
    EXPECT_FALSE(m_doc.m_clipActive);
    EXPECT_EQ(m_doc.GetPictureSize(false).width, kWidth);
    EXPECT_EQ(m_doc.GetPictureSize(false).height, kHeight);
    EXPECT_EQ(m_doc.m_clipRect, (Rect{0, 0, 100, 50}));
}

TEST_F(ViewInput, CharacterFTogglesTheFocusRectangle)
{
    Char('f');
    EXPECT_TRUE(m_view->m_focusShown);
    Char('f');
    EXPECT_FALSE(m_view->m_focusShown);
}

TEST_F(ViewInput, UpperCaseFAndCDoNothing)
{
    m_doc.m_clipRect = Rect{10, 20, 110, 70};
    m_view->m_focusShown = true;
    const std::vector<std::uint8_t> before = NewPictureBytes();
    Char('F');
    Char('C');
    EXPECT_TRUE(m_view->m_focusShown);
    EXPECT_FALSE(m_doc.m_clipActive);
    EXPECT_EQ(m_doc.m_clipRect, (Rect{10, 20, 110, 70}));
    EXPECT_EQ(NewPictureBytes(), before);
}

} // namespace
} // namespace lumacut
