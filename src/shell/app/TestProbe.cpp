#include "app/TestProbe.h"

#include "framework/CChildFrame.h"
#include "app/CMainFrame.h"
#include "framework/CommandIds.h"
#include "view/CDibView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QSaveFile>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

#include <cstdint>

namespace lumacut {

namespace {

constexpr int kProbeIntervalMs = 50;

QString GlobalRect(const QWidget* w)
{
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1,%2,%3,%4").arg(p.x()).arg(p.y()).arg(w->width()).arg(w->height());
}

QString ColorText(std::uint32_t c)
{
    return QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0'));
}

// FNV-1a over the New Picture's bytes: tells the test that a render happened.
std::uint32_t Checksum(const CMemBlock& block)
{
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < block.Size(); ++i)
        h = (h ^ block.Data()[i]) * 16777619u;
    return h;
}

// The modal dialog on top: its title and the controls a test would use.
void AddDialog(QString& out)
{
    // A dialog counts once the window system has made it the active window:
    // before that, a click may land where it no longer is.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && !modal->isActiveWindow()) {
        out += QStringLiteral("modal=(opening)\n");
        return;
    }
    out += QStringLiteral("modal=%1\n").arg(modal ? modal->windowTitle() : QString());
    if (!modal)
        return;
    for (const QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || b->text().isEmpty())
            continue;
        QString name = b->text();
        name.remove(QLatin1Char('&'));
        out += QStringLiteral("button.%1=%2,%3,%4\n")
                   .arg(name, GlobalRect(b))
                   .arg(b->isChecked() ? 1 : 0)
                   .arg(b->isEnabled() ? 1 : 0);
    }
    // Sliders by their order in the dialog: the first is slider.0.
    int index = 0;
    for (const QSlider* s : modal->findChildren<QSlider*>()) {
        if (s->isVisible())
            out += QStringLiteral("slider.%1=%2,%3\n").arg(index).arg(GlobalRect(s)).arg(s->value());
        ++index;
    }
}

void AddDocument(QString& out, const CDibView& view)
{
    out += QStringLiteral("view=%1\n").arg(GlobalRect(view.viewport()));
    out += QStringLiteral("view.origin=%1,%2\n").arg(view.m_dispOrigin.x()).arg(view.m_dispOrigin.y());
    out += QStringLiteral("view.scroll=%1,%2\n").arg(view.m_scrollPos.x()).arg(view.m_scrollPos.y());
    out += QStringLiteral("view.scale=%1\n").arg(view.m_dispScaleX, 0, 'g', 10);
    out += QStringLiteral("view.zoom=%1\n").arg(view.m_zoom);
    out += QStringLiteral("view.original=%1\n").arg(view.m_showOriginal ? 1 : 0);
    out += QStringLiteral("view.focus=%1\n").arg(view.m_focusShown ? 1 : 0);
    const CDibDoc* doc = view.GetDocument();
    if (!doc || !doc->m_pictureReady)
        return;
    const PictureSize original = doc->GetPictureSize(true);
    const PictureSize result = doc->GetPictureSize(false);
    const Rect& clip = doc->m_clipRect;
    const FilterSettings& f = doc->m_filter;
    out += QStringLiteral("original.size=%1,%2\n").arg(original.width).arg(original.height);
    out += QStringLiteral("new.size=%1,%2\n").arg(result.width).arg(result.height);
    out += QStringLiteral("new.checksum=%1\n").arg(Checksum(doc->GetPictureBlock(false)));
    out += QStringLiteral("clip=%1,%2,%3,%4\n").arg(clip.left).arg(clip.top).arg(clip.right).arg(clip.bottom);
    out += QStringLiteral("clip.active=%1\n").arg(doc->m_clipActive ? 1 : 0);
    out += QStringLiteral("tilt=%1\n").arg(doc->m_tilt, 0, 'f', 6);
    out += QStringLiteral("filter.color=%1\n").arg(ColorText(f.color));
    out += QStringLiteral("filter.kind=%1\n").arg(f.kind);
    out += QStringLiteral("filter.light=%1\n").arg(f.lightDark);
    QString list;
    for (int i = 0; i < doc->m_colorListCount; ++i)
        list += (i ? QStringLiteral(",") : QString()) + ColorText(doc->m_colorList[i]);
    out += QStringLiteral("colorlist=%1\n").arg(list);
}

class Probe : public QObject {
public:
    Probe(QObject* parent, QString path) : QObject(parent), m_path(std::move(path))
    {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] { Write(); });
        timer->start(kProbeIntervalMs);
    }

private:
    void Write()
    {
        const QString text = TestProbeSnapshot();
        if (text == m_last)
            return;
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
            return;
        m_last = text;
    }

    QString m_path;
    QString m_last;
};

} // namespace

QString TestProbeSnapshot()
{
    QString out;
    CMainFrame* frame = CMainFrame::Instance();
    if (!frame)
        return out;
    out += QStringLiteral("frame=%1\n").arg(GlobalRect(frame));
    if (const QLabel* size = frame->Pane(ID_INDICATOR_SIZE))
        out += QStringLiteral("status.size=%1\n").arg(size->text());
    if (const QLabel* newSize = frame->Pane(ID_INDICATOR_NEWSIZE))
        out += QStringLiteral("status.newsize=%1\n").arg(newSize->text());
    // Toolbar buttons by their tooltip, without the shortcut.
    for (const QToolBar* bar : frame->findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (const QWidget* button = bar->widgetForAction(action); button && !action->isSeparator()) {
                const QString name = action->toolTip().section(QStringLiteral(" ("), 0, 0);
                out += QStringLiteral("tool.%1=%2,%3,%4\n")
                           .arg(name, GlobalRect(button))
                           .arg(action->isChecked() ? 1 : 0)
                           .arg(action->isEnabled() ? 1 : 0);
            }
    AddDialog(out);
    if (const CChildFrame* child = frame->ActiveChild())
        if (const CDibView* view = DibViewOf(child))
            AddDocument(out, *view);
    return out;
}

void StartTestProbeFromEnvironment(QObject* parent)
{
    const QString path = qEnvironmentVariable("LUMACUT_PROBE");
    if (!path.isEmpty())
        new Probe(parent, path);
}

} // namespace lumacut
