#pragma once
// A child window of the main frame holding one view.
#include <QMdiSubWindow>

namespace lumacut {

class CDocManager;
class IFrameView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(CDocManager& manager, IFrameView* view);
    ~CChildFrame() override;

    IFrameView* View() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CDocManager& m_manager;
    IFrameView* m_view;
    bool m_closed = false;
};

} // namespace lumacut
