// The view's paint: status texts, scroll sizes, display scales, destination
// rectangles, the focus rectangle, the printed page, and the display commands.
#include "support/QtPrinters.h"
#include "support/TestDocument.h"
#include "view/CDibView.h"
#include "view/StatusTexts.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

using test::LoadTestPictures;

const QRgb kUntouched = qRgb(1, 2, 3);

// The test document's colours as a painted image holds them.
QRgb OriginalAt(int x, int y)
{
    return 0xFF000000u | test::TestOriginalColor(x, y);
}
QRgb NewAt(int x, int y)
{
    return 0xFF000000u | test::TestNewColor(x, y);
}

struct ViewFixture : ::testing::Test {
    void SetUp() override
    {
        g_sizeText = kSizeTextStart;
        g_newSizeText = kNewSizeTextStart;
        view.resize(400, 300);
    }
    // Paints the view as the screen would into an image of the client size.
    QImage Paint(QSize client = QSize(400, 300))
    {
        QImage image(client, QImage::Format_RGB32);
        image.fill(kUntouched);
        QPainter painter(&image);
        DrawDevice device;
        device.client = client;
        view.OnDraw(painter, device);
        return image;
    }
    CDibDoc doc;
    CDibView view{&doc};
};

TEST_F(ViewFixture, ConstructionShowsTheOriginalAtHundredPercent)
{
    EXPECT_EQ(view.m_zoom, 1);
    EXPECT_TRUE(view.m_showOriginal);
    EXPECT_FALSE(view.m_focusShown);
    EXPECT_FALSE(view.m_fixLeft || view.m_fixRight || view.m_fixOpposite);
    EXPECT_EQ(view.m_pressPoint.x(), NO_POINT);
    EXPECT_EQ(view.m_band.left, NO_POINT);
    EXPECT_EQ(doc.Views().size(), 1u);
}

TEST_F(ViewFixture, DocumentNotReadyDrawsNothingAndKeepsTheStatusTexts)
{
    QImage image = Paint();
    EXPECT_EQ(g_sizeText, kSizeTextStart);
    EXPECT_EQ(g_newSizeText, kNewSizeTextStart);
    EXPECT_EQ(image.pixel(0, 0), kUntouched);
}

TEST_F(ViewFixture, FitToWindowKeepsProportionsCentresAndMapsBack)
{
    LoadTestPictures(doc, 100, 50);
    view.m_zoom = 0;
    // 400 x 300 holds 100 x 50 at 4x: 400 x 200, 50 pixels above and below.
    QImage image = Paint();
    EXPECT_DOUBLE_EQ(view.m_dispScaleX, 4.0);
    EXPECT_DOUBLE_EQ(view.m_dispScaleY, 4.0);
    EXPECT_EQ(view.m_scrollPos, QPoint(0, 0));
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(image.pixel(0, 49), kUntouched);
    EXPECT_EQ(image.pixel(0, 50), OriginalAt(0, 0));
    EXPECT_EQ(image.pixel(399, 249), OriginalAt(99, 49));
    EXPECT_EQ(image.pixel(399, 250), kUntouched);
    EXPECT_EQ(image.pixel(13, 63), OriginalAt(3, 3));
    EXPECT_EQ(g_sizeText, "Size: 100,  50");
    // Every point maps to the pixel painted under it; the margins to none.
    for (QPoint p : {QPoint(13, 63), QPoint(0, 50), QPoint(399, 249), QPoint(201, 149)}) {
        const QPoint pixel = view.ClientToPicture(p);
        EXPECT_EQ(image.pixel(p), OriginalAt(pixel.x(), pixel.y())) << p.x() << "," << p.y();
    }
    EXPECT_LT(view.ClientToPicture(QPoint(10, 49)).y(), 0);
    EXPECT_EQ(view.PictureToClient(Rect{0, 0, 100, 50}), (Rect{0, 50, 400, 250}));
}

TEST_F(ViewFixture, FourHundredPercentScrollsAndScales)
{
    LoadTestPictures(doc, 100, 50);
    view.m_zoom = 4;
    QImage image = Paint();
    EXPECT_DOUBLE_EQ(view.m_dispScaleX, 4.0);
    EXPECT_DOUBLE_EQ(view.m_dispScaleY, 4.0);
    EXPECT_EQ(image.pixel(0, 199), OriginalAt(0, 49));
    EXPECT_EQ(image.pixel(399, 0), OriginalAt(99, 0));
    EXPECT_EQ(image.pixel(0, 200), kUntouched);
}

TEST_F(ViewFixture, HundredPercentIsOneToOneAndFollowsTheScrollPosition)
{
    LoadTestPictures(doc, 600, 500);
    view.show();
    Paint(view.viewport()->size());
    view.horizontalScrollBar()->setValue(30);
    view.verticalScrollBar()->setValue(20);
    QImage image = Paint(view.viewport()->size());
    EXPECT_EQ(view.m_scrollPos, QPoint(30, 20));
    EXPECT_EQ(image.pixel(0, 0), OriginalAt(30, 20));
    EXPECT_EQ(view.ClientToPicture(QPoint(10, 5)), QPoint(40, 25));
    EXPECT_GE(view.horizontalScrollBar()->maximum(), 600 - view.viewport()->width());
}

TEST_F(ViewFixture, NewSizeTextIsTheOutlinedRegionElseTheNewPicture)
{
    LoadTestPictures(doc, 200, 100);
    doc.m_clipRect = Rect{10, 20, 110, 70};
    Paint();
    EXPECT_EQ(g_newSizeText, "New Size: 200,  100");
    EXPECT_EQ(g_sizeText, "Size: 200,  100");
    view.m_focusShown = true;
    Paint();
    EXPECT_EQ(g_newSizeText, "New Size: 100,  50");
}

TEST_F(ViewFixture, FocusRectangleOnlyOverTheNewPicture)
{
    LoadTestPictures(doc, 200, 100);
    doc.m_clipRect = Rect{10, 20, 110, 70};
    view.m_zoom = 2;
    view.m_focusShown = true;
    view.m_showOriginal = false;
    QImage withFocus = view.m_focusShown ? Paint() : QImage();
    // At 200 % the outline runs along (20, 40)-(219, 139).
    int differing = 0;
    for (int x = 20; x < 220; ++x)
        differing += withFocus.pixel(x, 40) != NewAt(x / 2, 20);
    EXPECT_GT(differing, 50);
    EXPECT_EQ(withFocus.pixel(100, 100), NewAt(50, 50)); // inside untouched

    view.m_focusShown = false;
    QImage without = Paint();
    EXPECT_EQ(without.pixel(20, 40), NewAt(10, 20));

    // Over the Original nothing is outlined, and the flag stays.
    view.m_focusShown = true;
    view.m_showOriginal = true;
    QImage original = Paint();
    for (int x = 20; x < 220; x += 7)
        EXPECT_EQ(original.pixel(x, 40), OriginalAt(x / 2, 20));
    EXPECT_TRUE(view.m_focusShown);
}

TEST_F(ViewFixture, PaintsDrawTheBandAndKeepTheDrag)
{
    LoadTestPictures(doc, 100, 50);
    Paint();
    view.m_pressPoint = QPoint(5, 5);
    view.m_band = Rect{5, 5, 40, 30};
    for (int paint = 0; paint < 2; ++paint) {
        view.Invalidate(true);
        QImage image = Paint();
        EXPECT_EQ(view.m_pressPoint, QPoint(5, 5));
        EXPECT_EQ(view.m_band, (Rect{5, 5, 40, 30}));
        EXPECT_NE(image.pixel(20, 5), OriginalAt(20, 5)); // the band's top edge
    }
}

TEST_F(ViewFixture, PrintingFitsThePageAndKeepsProportions)
{
    LoadTestPictures(doc, 300, 100);
    // A page of 480 x 660 device pixels at 60 dpi both ways.
    QImage page(480, 660, QImage::Format_RGB32);
    page.fill(kUntouched);
    QPainter painter(&page);
    DrawDevice device;
    device.printing = true;
    device.client = QSize(400, 300);
    device.horzRes = 480;
    device.vertRes = 660;
    device.lpx = device.lpy = 60;
    view.m_focusShown = true;
    view.m_showOriginal = false;
    view.OnDraw(painter, device);
    painter.end();
    EXPECT_EQ(page.pixel(479, 159), NewAt(299, 99));
    EXPECT_EQ(page.pixel(0, 160), kUntouched);
    EXPECT_EQ(page.pixel(0, 0), NewAt(0, 0)); // no focus outline on paper
}

// ---- commands ------------------------------------------------------------------------

bool Checked(CDibView& view, int id)
{
    CmdUI ui;
    ui.id = id;
    EXPECT_TRUE(view.Commands().Update(ui)) << id;
    return ui.checked;
}

TEST_F(ViewFixture, MagnificationCommandsWalkTheRingAndCheckTheirItem)
{
    const std::pair<int, int> items[] = {{ID_ZOOM_FIT, 0}, {ID_ZOOM_100, 1}, {ID_ZOOM_200, 2}, {ID_ZOOM_400, 4}};
    for (auto [id, zoom] : items) {
        view.Commands().Execute(id);
        EXPECT_EQ(view.m_zoom, zoom);
        for (auto [other, otherZoom] : items)
            EXPECT_EQ(Checked(view, other), other == id);
    }
    view.Commands().Execute(ID_ZOOM_NEXT); // 400 -> Fit
    EXPECT_EQ(view.m_zoom, 0);
    view.Commands().Execute(ID_ZOOM_PREV); // Fit -> 400
    EXPECT_EQ(view.m_zoom, 4);
    view.Commands().Execute(ID_ZOOM_PREV);
    EXPECT_EQ(view.m_zoom, 2);
}

TEST_F(ViewFixture, PictureChoiceCommandsAndSwap)
{
    EXPECT_TRUE(Checked(view, ID_SHOW_ORIGINAL));
    EXPECT_FALSE(Checked(view, ID_SWAP_VIEW));
    view.Commands().Execute(ID_SHOW_NEW);
    EXPECT_FALSE(view.m_showOriginal);
    EXPECT_TRUE(Checked(view, ID_SHOW_NEW));
    EXPECT_TRUE(Checked(view, ID_SWAP_VIEW));
    view.Commands().Execute(ID_SWAP_VIEW);
    view.Commands().Execute(ID_SWAP_VIEW);
    EXPECT_FALSE(view.m_showOriginal); // swap twice: back where it was
    view.Commands().Execute(ID_SHOW_ORIGINAL);
    EXPECT_TRUE(view.m_showOriginal);
}

TEST_F(ViewFixture, CompareModesKeepTheZoomAndScrollBothPicturesTogether)
{
    LoadTestPictures(doc, 300, 200);
    view.show();
    view.Commands().Execute(ID_ZOOM_200);
    view.Commands().Execute(ID_VIEW_SIDE_BY_SIDE);
    EXPECT_EQ(view.m_zoom, 2);
    EXPECT_TRUE(Checked(view, ID_VIEW_SIDE_BY_SIDE));
    EXPECT_FALSE(Checked(view, ID_SHOW_ORIGINAL));
    Paint(view.viewport()->size());
    const QSize client = view.viewport()->size();
    view.horizontalScrollBar()->setValue(30);
    view.verticalScrollBar()->setValue(20);
    QImage image = Paint(client);
    // The same point of either pane shows the same pixel of its picture.
    const int newPane = client.width() - (client.width() - kPaneGap) / 2;
    for (QPoint p : {QPoint(0, 0), QPoint(51, 33)}) {
        const QPoint pixel((p.x() + 30) / 2, (p.y() + 20) / 2);
        EXPECT_EQ(image.pixel(p), OriginalAt(pixel.x(), pixel.y())) << p.x();
        EXPECT_EQ(image.pixel(p + QPoint(newPane, 0)), NewAt(pixel.x(), pixel.y())) << p.x();
    }

    view.Commands().Execute(ID_VIEW_SPLIT);
    EXPECT_EQ(view.m_zoom, 2);
    image = Paint(client);
    const int divider = view.DividerX(client.width());
    for (int x : {divider - 10, divider + 10}) {
        const QPoint pixel((x + 30) / 2, (5 + 20) / 2);
        EXPECT_EQ(image.pixel(x, 5), x < divider ? OriginalAt(pixel.x(), pixel.y()) : NewAt(pixel.x(), pixel.y()));
    }
    // Choosing the active mode again returns to the single view as it was.
    view.Commands().Execute(ID_VIEW_SPLIT);
    EXPECT_EQ(view.GetViewMode(), ViewMode::Single);
    EXPECT_TRUE(view.m_showOriginal);
    EXPECT_EQ(view.m_zoom, 2);
}

TEST_F(ViewFixture, UpdateFromTheDocumentRepaints)
{
    LoadTestPictures(doc, 100, 50);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();
    g_sizeText.clear(); // every paint writes it again
    doc.UpdateAllViews(nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(g_sizeText, "Size: 100,  50");
}

} // namespace
} // namespace lumacut
