#include "framework/HistogramWidget.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace lumacut {

HistogramWidget::HistogramWidget(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(128, 48);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HistogramWidget::SetCounts(const std::array<std::uint64_t, 256>& counts)
{
    m_counts = counts;
    update();
}

void HistogramWidget::ClearCounts()
{
    m_counts.fill(0);
    update();
}

void HistogramWidget::SetMarker(int value)
{
    m_marker = value >= 0 && value <= 255 ? value : -1;
    update();
}

QSize HistogramWidget::sizeHint() const
{
    return {258, 64};
}

void HistogramWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(frame, palette().base());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    const QRect area = frame.adjusted(1, 1, 0, 0);
    if (area.width() <= 0 || area.height() <= 0)
        return;

    // Square-root heights, so one dominant tone (a white background) does not
    // flatten all the others.
    const std::uint64_t peak = *std::max_element(m_counts.begin(), m_counts.end());
    const double top = std::sqrt(static_cast<double>(peak));
    const double binWidth = area.width() / 256.0;
    if (peak > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Text));
        for (int i = 0; i < 256; ++i) {
            const int h = static_cast<int>(std::lround(std::sqrt(static_cast<double>(m_counts[i])) / top * area.height()));
            if (h == 0)
                continue;
            const int x0 = area.left() + static_cast<int>(i * binWidth);
            const int x1 = area.left() + static_cast<int>((i + 1) * binWidth);
            painter.drawRect(x0, area.bottom() + 1 - h, std::max(1, x1 - x0), h);
        }
    }
    if (m_marker >= 0) {
        const int x = area.left() + static_cast<int>((m_marker + 0.5) * binWidth);
        painter.setPen(QPen(Qt::red, 1));
        painter.drawLine(x, area.top(), x, area.bottom());
    }
}

} // namespace lumacut
