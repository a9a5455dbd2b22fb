#pragma once
// What a dialog that shows its values on the picture while it is open gets
// from the command that opened it. The dialog knows no document: it gives
// values out, and the command's preview applies them.
#include "filter/FilterSettings.h"
#include "filter/ToneStatistics.h"

#include <optional>

namespace lumacut {

class IPreview {
public:
    virtual ~IPreview() = default;
    virtual bool ShowsOriginal() const = 0;
    // Switches between the Original and the New Picture and repaints.
    virtual void SetShowsOriginal(bool original) = 0;
    // Renders the New Picture with `settings`; false while a render of the
    // document still runs.
    virtual bool ShowFilter(const FilterSettings& settings) = 0;
    // The result at `scale` with `footprint`, `width` x `height` pixels:
    // rendered when that size or the footprint differs from the New
    // Picture's, or when `always`.
    virtual void ShowResize(double scale, double footprint, int width, int height, bool always) = 0;

    // The tone statistics of the Original as the picture's render samples it;
    // nothing where there is no picture to measure (or a render still runs).
    // The threshold that splits its brightness best:
    virtual std::optional<int> AutoThreshold() { return std::nullopt; }
    // The tones `settings` work on:
    virtual std::optional<Histogram> ToneHistogram(const FilterSettings&) { return std::nullopt; }
};

} // namespace lumacut
