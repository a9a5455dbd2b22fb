#include "filter/StreamRender.h"

#include "filter/FastPass.h"
#include "filter/RenderPlan.h"
#include "filter/ToneDither.h"
#include "picture/Dib.h"
#include "picture/Limits.h"
#include "picture/SamplerWindow.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace lumacut {

namespace {

// The kernels read a few bytes around a pixel (the byte before a row's
// first, 8 bytes for two pixels): room for them before the first row held
// and after the last.
constexpr std::size_t kPad = 64;

void Fail(std::string_view text)
{
    ShowMessage(std::string(text), PromptIcon::Warning);
}

// The Original's rows that the band in work reads, stored row y at
// (y - base) rows into the buffer, so that the kernels address them as
// rows of the whole picture. Rows come from the ring top first; each is
// copied here (or passed over) and let go of at once.
class RowWindow {
public:
    RowWindow(int width, int height, int capacity)
        : m_width(width), m_height(height), m_capacity(capacity),
          m_stride(static_cast<std::size_t>(RowBytes(24 * std::int64_t{width}))), m_base(height + 1),
          m_lo(height), m_hi(height)
    {
        try {
            m_rows.assign(2 * kPad + m_stride * static_cast<std::size_t>(capacity), 0);
        } catch (const std::bad_alloc&) {
        }
    }
    bool Ready() const { return !m_rows.empty(); }

    // Afterwards stored rows need.lo .. need.hi - 1 are held (and perhaps
    // some below them that an earlier band took). The spans of successive
    // calls go down: neither end rises.
    bool Hold(RowSpan need, CRowRing& ring)
    {
        if (need.lo >= need.hi)
            return true;
        const int keepHi = std::min(m_hi, need.hi);
        const int lo = std::min(m_lo, need.lo);
        if (lo < m_base) {
            // The rows still wanted move up to the buffer's end, making
            // room below them for the rows to come.
            const int base = need.hi - m_capacity;
            if (keepHi > m_lo)
                std::memmove(At(m_lo, base), At(m_lo, m_base), m_stride * static_cast<std::size_t>(keepHi - m_lo));
            m_base = base;
        }
        for (; m_taken < m_height - lo; ++m_taken) {
            const int y = m_height - 1 - m_taken;
            const std::uint8_t* row = ring.Take(m_taken);
            if (!row)
                return false;
            if (y < need.hi)
                std::memcpy(At(y, m_base), row, m_stride);
            ring.Release(m_taken + 1);
        }
        m_lo = lo;
        m_hi = need.hi;
        return true;
    }

    // Takes the rows nobody reads, so that the decoder runs to its end.
    bool Drain(CRowRing& ring)
    {
        for (; m_taken < m_height; ++m_taken) {
            if (!ring.Take(m_taken))
                return false;
            ring.Release(m_taken + 1);
        }
        return true;
    }

    fast::SourceImage Source() const
    {
        fast::SourceImage s;
        s.kind = fast::Source::Bgr24;
        // Row 0 lies `base` rows before the buffer: only rows held are read.
        const auto start = reinterpret_cast<std::intptr_t>(m_rows.data() + kPad);
        s.bits = reinterpret_cast<const std::uint8_t*>(start - std::intptr_t{m_base} * static_cast<std::intptr_t>(m_stride));
        s.stride = static_cast<std::int64_t>(m_stride);
        s.width = m_width;
        s.height = m_height;
        return s;
    }

private:
    std::uint8_t* At(int y, int base) { return m_rows.data() + kPad + m_stride * static_cast<std::size_t>(y - base); }

    int m_width, m_height, m_capacity;
    std::size_t m_stride;
    int m_base;        // the stored row at the buffer's start
    int m_lo, m_hi;    // the stored rows held
    int m_taken = 0;   // rows taken from the ring, from the top
    std::vector<std::uint8_t> m_rows;
};

} // namespace


RowSpan SourceRowsOf(const PassJob& job, int sourceHeight, int y0, int y1)
{
    if (y1 <= y0)
        return {};
    if (!job.useSampler) {
        const int lo = std::clamp(y0, 0, sourceHeight);
        return {lo, std::max(lo, std::clamp(y1, 0, sourceHeight))};
    }
    // The mapping is affine: the band's corners bound where its samples
    // land; the footprint and a few rows for the kernels' reads around
    // them bound what they read.
    const CSampler& s = job.sampler;
    double top = -HUGE_VAL, bottom = HUGE_VAL;
    for (const int x : {job.x0, job.x1 - 1})
        for (const int y : {y0, y1 - 1}) {
            double gx, gy;
            MapToSource(s, x, y, 0, 0, gx, gy);
            top = std::max(top, gy);
            bottom = std::min(bottom, gy);
        }
    const double reach = s.FootY() + 3;
    int first, last;
    WindowRange(bottom - reach, top + reach, sourceHeight, first, last);
    if (last < first)
        return {};
    return {first, last + 1};
}

bool StreamRender(const FilterSettings& settings, const RenderRequest& request, const std::uint8_t* header,
                  PictureKind kind, CRowRing& rows, CBandSink& sink, int bandRows)
{
    const int sourceWidth = ReadLE32s(header + dib::kWidth);
    const int sourceHeight = ReadLE32s(header + dib::kHeight);
    CPicture band = CPicture::Empty(kind, 1, 1);
    PassJob job;
    const PlanOutcome plan = PlanRender(settings, request, sourceWidth, sourceHeight, 0, band.Colors(),
                                        kMaxStreamPixels, job);
    if (plan == PlanOutcome::WrongKind) {
        Fail(msg::kWrongChoise);
        return false;
    }
    const int width = plan == PlanOutcome::Planned ? job.x1 - job.x0 : 0;
    const int height = plan == PlanOutcome::Planned ? job.y1 - job.y0 : 0;
    if (width <= 0 || height <= 0) {
        Fail(msg::kMakeEmptyFailed);
        return false;
    }

    // Bands of a few megabytes, of the result and of the Original's rows
    // they read: enough rows to share among the threads, few enough that
    // the rows held stay small.
    if (bandRows <= 0) {
        const double scale = std::clamp(request.scale, 0.05, 1.0);
        const double rowBytes = 3.0 * std::max(double(width), sourceWidth * scale) / scale;
        bandRows = std::clamp(static_cast<int>((4 << 20) / rowBytes), 16, 1024);
    }
    // The adaptive threshold of a band reads the tone `radius` rows above
    // and below it: those are rendered with it (again, for the rows that
    // bands share), so bands of at least twice the radius.
    const bool tone = job.type == PassType::TwoColor && UsesTone(settings);
    const int radius = tone ? std::max(0, settings.adaptiveRadius) : 0;
    bandRows = std::max(bandRows, 2 * radius);
    const int bands = (height + bandRows - 1) / bandRows;
    const auto rowsOf = [&](int k) { return std::pair(std::max(0, height - (k + 1) * bandRows), height - k * bandRows); };
    // The rows a band renders: its own, and for the threshold its reach.
    const auto renderedOf = [&](int k) {
        const auto [low, top] = rowsOf(k);
        return std::pair(std::max(0, low - radius), std::min(height, top + radius));
    };
    std::vector<RowSpan> spans(static_cast<std::size_t>(bands));
    for (int k = 0; k < bands; ++k) {
        const auto [low, top] = renderedOf(k);
        spans[std::size_t(k)] = SourceRowsOf(job, sourceHeight, job.y0 + low, job.y0 + top);
    }
    // Rows once passed over cannot come back: a band keeps what any band
    // below it reads higher up.
    for (int k = bands - 2, hi = 0; k >= 0; --k) {
        RowSpan& s = spans[std::size_t(k)];
        const RowSpan& below = spans[std::size_t(k + 1)];
        hi = below.lo < below.hi ? std::max(hi, below.hi) : hi;
        if (s.lo < s.hi)
            s.hi = std::max(s.hi, hi);
    }
    int capacity = 0;
    for (int k = 0, lowest = sourceHeight; k < bands; ++k) {
        const RowSpan& s = spans[std::size_t(k)];
        if (s.lo < s.hi) {
            lowest = std::min(lowest, s.lo);
            capacity = std::max(capacity, s.hi - lowest);
        }
    }
    RowWindow window(sourceWidth, sourceHeight, std::max(capacity, 1));
    PassJob toneJob = job;
    if (tone) {
        toneJob.settings = ToneSettings(settings);
        toneJob.constants = DeriveConstants(toneJob.settings);
        toneJob.type = ChoosePass(0, 256);
    }
    const int mostRendered = std::min(height, bandRows + 2 * radius);
    CPicture tones = CPicture::Empty(PictureKind::Grey, width, mostRendered);
    CPicture reach = radius > 0 ? CPicture::Empty(kind, width, mostRendered) : CPicture::NoPicture();
    if (!window.Ready() || !band.MakeEmpty(width, std::min(height, bandRows)) || !tones.HasBlock() ||
        (radius > 0 && !reach.HasBlock())) {
        Fail(msg::kMakeEmptyFailed);
        return false;
    }
    // A resized picture keeps its printed size.
    const Resolution resolution = ScaledResolution(ReadResolution(header), request.scale);
    band.SetResolution(resolution);
    if (!sink.Begin(band, width, height))
        return false;

    ToneDitherer ditherer(settings, band);
    for (int k = 0; k < bands; ++k) {
        const auto [low, top] = rowsOf(k);
        const int count = top - low;
        if (!window.Hold(spans[std::size_t(k)], rows))
            return false;
        if (!band.MakeEmpty(width, count) || !PassCanWrite(band)) {
            Fail(msg::kMakeEmptyFailed);
            return false;
        }
        const fast::SourceImage source = window.Source();
        PassJob part = tone ? toneJob : job;
        part.y0 = job.y0 + low;
        part.y1 = job.y0 + top;
        if (radius > 0) {
            const auto [first, end] = renderedOf(k);
            const int rendered = end - first;
            if (!tones.MakeEmpty(width, rendered) || !reach.MakeEmpty(width, rendered)) {
                Fail(msg::kMakeEmptyFailed);
                return false;
            }
            part.y0 = job.y0 + first;
            part.y1 = job.y0 + end;
            part.target = &tones;
            RunFastPassOn(part, source);
            // Rows counted from the top of what was rendered.
            AdaptiveRows(tones, settings, reach, end - top, end - low);
            for (int y = low; y < top; ++y)
                std::memcpy(band.MutableRow(y - low), reach.Row(y - first), std::size_t(band.Stride()));
        } else if (tone) {
            if (!tones.MakeEmpty(width, count)) {
                Fail(msg::kMakeEmptyFailed);
                return false;
            }
            part.target = &tones;
            RunFastPassOn(part, source);
            for (int y = count - 1; y >= 0; --y)
                ditherer.Row(tones.Row(y), band.MutableRow(y));
        } else if (job.type != PassType::None) {
            part.target = &band;
            RunFastPassOn(part, source);
        }
        band.ClearRowPadding();
        band.SetResolution(resolution);
        if (!sink.Band(band))
            return false;
    }
    return window.Drain(rows);
}

} // namespace lumacut
