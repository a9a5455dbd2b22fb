#pragma once
// The resize factors the sampler renders as asked. Outside them it clamps the
// scale while the result's size still follows the request (above 4 the picture
// comes out mostly black), so every place that takes a resize from the user
// keeps to this range: the resize dialog and the command-line renderer.
namespace lumacut {

inline constexpr double kMinScale = 0.05;
inline constexpr double kMaxScale = 4.0;

// The same range as the resize dialog's percentage (scale = percentage x 0.01).
inline constexpr int kMinResizePercent = 5;
inline constexpr int kMaxResizePercent = 400;
static_assert(kMinResizePercent * 0.01 == kMinScale && kMaxResizePercent * 0.01 == kMaxScale);

} // namespace lumacut
