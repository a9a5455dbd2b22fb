#pragma once
// The view of one document: a scroll view showing the Original or the New
// Picture at one of four magnifications, with the clip region outlined as a
// focus rectangle; or both pictures, side by side or split by a divider,
// sharing the magnification and the scroll position. It owns no picture data.
//
// The class is split over files by concern; each section below names its file:
//   CDibView.cpp           construction, document link, scrolling, printing,
//                          magnification and picture-choice commands
//   CDibViewDraw.cpp       OnDraw and paint events
//   CDibViewEdit.cpp       editing commands (Tools menu, clip button)
//   CDibViewInput.cpp      mouse and keyboard
//   CDibViewClipboard.cpp  copy and paste
// Commands are registered per file on m_commands (see app/Commands.h) by the
// Register* functions the constructor calls.
#include "framework/CChildFrame.h"
#include "framework/Commands.h"
#include "framework/FrameView.h"
#include "document/CDibDoc.h"
#include "picture/Rect.h"
#include "view/DocumentPreview.h"
#include "view/ViewGeometry.h"

#include <QAbstractScrollArea>
#include <QPoint>

#include <cstdint>

class QPainter;
class QPrinter;

namespace lumacut {

// Where OnDraw paints: the screen (client size) or a printer page.
struct DrawDevice {
    bool printing = false;
    QSize client;        // screen: the viewport's size
    int horzRes = 0;     // printing: page size in device pixels
    int vertRes = 0;
    int lpx = 0;         // printing: dots per inch
    int lpy = 0;
};

class CDibView : public QAbstractScrollArea, public IDocumentView, public IFrameView, public IPreviewScreen {
    Q_OBJECT
public:
    // ======== CDibView.cpp ====================================================
    explicit CDibView(CDibDoc* document, QWidget* parent = nullptr);
    ~CDibView() override;

    CDibDoc* GetDocument() const override { return m_pDocument; }
    QAbstractScrollArea& Widget() override { return *this; }
    // Commands that work on the pictures are disabled without one.
    bool HasPicture() const { return m_pDocument && m_pDocument->m_pictureReady; }
    // Unhooks the view from its document before the document goes (the view
    // itself may live a little longer); it then draws nothing.
    void DetachDocument() override;
    CommandTarget& Commands() { return m_commands; }

    // Framework entry points.
    void OnInitialUpdate() override;
    void OnActivateView(bool activate);
    void OnUpdate(IDocumentView* sender, long hint) override;

    // Repaints the whole client area on the next paint. `erase` is kept for
    // the callers' intent: every paint here fills the background first.
    void Invalidate(bool erase = true);

    // What the editing commands' dialogs see of the view.
    bool ShowsOriginal() const override { return m_showOriginal; }
    void SetShowsOriginal(bool original) override { m_showOriginal = original; }
    void InvalidateView(bool erase) override { Invalidate(erase); }

    // Scroll sizes of the whole picture at the current magnification, and the
    // position of the viewport's top-left corner in it.
    void SetScrollSizes(QSize total);
    QPoint GetScrollPosition() const;

    // Conversions with the display scales and scroll position of the last paint.
    QPoint ClientToPicture(QPoint point) const;
    Rect ClientToPicture(const Rect& rect) const;
    Rect PictureToClient(const Rect& rect) const;

    // Palettes fall away on true-colour displays; kept as the one place that
    // would realise them. Returns 0.
    int RealizePicturePalette(QWidget* activeWindow);

    // Printing with the shared printer settings; preview in a dialog.
    void OnFilePrint();
    void OnFilePrintPreview();
    void PrintTo(QPrinter& printer);

    // Magnification and picture choice (View menu, swap button).
    void OnZoom(int zoom);
    void OnZoomNext();
    void OnZoomPrev();
    void OnShowNew();
    void OnShowOriginal();
    void OnSwapView();
    // Single, side-by-side or split view. Entering a two-picture mode keeps
    // the single view's picture choice for the way back.
    void SetViewMode(ViewMode mode);
    ViewMode GetViewMode() const { return m_viewMode; }
    // Split: client x of the divider in a client area `width` wide.
    int DividerX(int width) const;

    // ======== CDibViewDraw.cpp ==================================================
    // Paints the shown picture, the focus rectangle and the rubber band; sets
    // the status texts, scroll sizes, display scales and m_scrollPos.
    void OnDraw(QPainter& painter, const DrawDevice& device);
    // The screen paint of the two-picture modes.
    void DrawCompare(QPainter& painter, const DrawDevice& device);

    // ======== CDibViewEdit.cpp ==================================================
    // Registers the Tools menu commands and the clip button on m_commands.
    void RegisterEditCommands();
    // Renders with `color` when `picked`, then runs the filter dialog.
    void ColorChange(std::uint32_t color, bool picked);

    // ======== CDibViewInput.cpp =================================================
    // The Original's colour under a client point (0x00BBGGRR).
    bool PickColor(QPoint point, std::uint32_t& color);
    // Fit a normalised rectangle into the tilted picture; both return true.
    static bool FixLeftLimit(double tilt, int width, int height, Rect& rect, bool opposite);
    static bool FixRightLimit(double tilt, int width, int height, Rect& rect, bool opposite);

    // ======== CDibViewClipboard.cpp =============================================
    void RegisterClipboardCommands();

    // ======== members, in declaration order =======================================
    int m_zoom = 1;              // 0 Fit to Window, 1, 2, 4
    double m_dispScaleX = 1.0;   // client pixels per picture pixel, last paint
    double m_dispScaleY = 1.0;
    QPoint m_dispOrigin;         // client position of the picture's corner, last paint
    bool m_focusShown = false;   // clip region outlined over the New Picture
    QPoint m_scrollPos;          // scroll position of the last paint
    QPoint m_pressPoint{NO_POINT, 0}; // client point of the left press in progress
    bool m_showOriginal = true;  // Original shown; else the New Picture
    Rect m_band{NO_POINT, 0, 0, 0}; // rubber band while dragged, client coordinates
    bool m_fixLeft = false;
    bool m_fixRight = false;
    bool m_fixOpposite = false;
    // Two-picture modes. m_showOriginal then names the picture the last
    // gesture began on, so the gesture code works on that picture's pane.
    ViewMode m_viewMode = ViewMode::Single;
    bool m_singleShowsOriginal = true; // the single view's choice, kept meanwhile
    double m_splitFraction = 0.5;      // divider position across the client area
    bool m_draggingDivider = false;
    CompareGeometry m_compare;         // geometry of the last two-picture paint

protected:
    // ======== CDibViewDraw.cpp ==================================================
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

    // ======== CDibViewInput.cpp =================================================
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A quick second click is a press like the first.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Ctrl + wheel walks the magnification ring, stopping at its ends.
    void wheelEvent(QWheelEvent* event) override;

    // ======== CDibView.cpp ======================================================
    void focusInEvent(QFocusEvent* event) override;

private:
    void RegisterViewCommands();
    void UpdateScrollBars();

    CDibDoc* m_pDocument;
    CommandTarget m_commands;
    QSize m_scrollTotal;
    int m_wheelZoomDelta = 0; // Ctrl + wheel angle not yet turned into a step
};

// The editor's view in a child window, null when there is none.
inline CDibView* DibViewOf(const CChildFrame* frame)
{
    return frame ? dynamic_cast<CDibView*>(frame->View()) : nullptr;
}

} // namespace lumacut
