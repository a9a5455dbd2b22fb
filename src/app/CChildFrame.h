#pragma once
// A child window of the main frame holding one view.
#include <QMdiSubWindow>

namespace lumacut {

class CDibView;
class CDocManager;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(CDocManager& manager, CDibView* view);
    ~CChildFrame() override;

    CDibView* View() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CDocManager& m_manager;
    CDibView* m_view;
    bool m_closed = false;
};

} // namespace lumacut
