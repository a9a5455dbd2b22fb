#pragma once
// A small bar chart of 256 counts with an optional mark at one value: the
// filter dialog shows the Original's tones with its threshold on it.
#include <QWidget>

#include <array>
#include <cstdint>

namespace lumacut {

class HistogramWidget : public QWidget {
    Q_OBJECT
public:
    explicit HistogramWidget(QWidget* parent = nullptr);

    // Empty counts draw an empty frame; a marker outside 0..255 draws none.
    void SetCounts(const std::array<std::uint64_t, 256>& counts);
    void ClearCounts();
    void SetMarker(int value);

    const std::array<std::uint64_t, 256>& Counts() const { return m_counts; }
    int Marker() const { return m_marker; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<std::uint64_t, 256> m_counts{};
    int m_marker = -1;
};

} // namespace lumacut
