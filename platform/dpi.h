// Sizes drawn for 96 DPI, scaled to the screen's DPI by the backend: the
// windows keep their exact pixel sizes at 96 DPI and grow in proportion,
// drawn at full resolution, above it.  Portable arithmetic, so that it is
// tested without a screen.
#pragma once

#include <climits>

#include "platform/platform.h"

namespace qm {

// The DPI everything is drawn for.
inline constexpr int kDesignDpi = 96;
// Beyond this the screen's report is not believed (and sizes could overflow).
inline constexpr int kMaxDpi = 960;

// The DPI to draw for: the screen's, but never below the design's (a smaller
// window would cut the texts) and 96 when the screen reports nonsense.
constexpr int UsableDpi(int screenDpi) {
    if (screenDpi <= kDesignDpi || screenDpi > kMaxDpi) return kDesignDpi;
    return screenDpi;
}

// `value` pixels at 96 DPI, at `dpi` (from UsableDpi), to the nearest pixel;
// what would not fit stops at the largest int.
constexpr int ScaleForDpi(int value, int dpi) {
    const long long scaled = static_cast<long long>(value) * dpi;
    const long long half = kDesignDpi / 2;
    const long long rounded = scaled >= 0 ? (scaled + half) / kDesignDpi : -((-scaled + half) / kDesignDpi);
    return rounded > INT_MAX ? INT_MAX : rounded < INT_MIN ? INT_MIN : static_cast<int>(rounded);
}

// A rectangle scaled edge by edge, so that rectangles that touch at 96 DPI
// still touch and never overlap.
constexpr Rect ScaleForDpi(const Rect& r, int dpi) {
    const int left = ScaleForDpi(r.left, dpi), top = ScaleForDpi(r.top, dpi);
    return Rect{left, top, ScaleForDpi(r.left + r.width, dpi) - left, ScaleForDpi(r.top + r.height, dpi) - top};
}

constexpr MainWindowLayout ScaleForDpi(const MainWindowLayout& layout, int dpi) {
    MainWindowLayout scaled = layout;
    scaled.clientWidth = ScaleForDpi(layout.clientWidth, dpi);
    scaled.clientHeight = ScaleForDpi(layout.clientHeight, dpi);
    scaled.label1 = ScaleForDpi(layout.label1, dpi);
    scaled.label2 = ScaleForDpi(layout.label2, dpi);
    return scaled;
}

inline EditorWindowLayout ScaleForDpi(const EditorWindowLayout& layout, int dpi) {
    EditorWindowLayout scaled = layout;
    scaled.clientWidth = ScaleForDpi(layout.clientWidth, dpi);
    scaled.clientHeight = ScaleForDpi(layout.clientHeight, dpi);
    scaled.list = ScaleForDpi(layout.list, dpi);
    return scaled;
}

}  // namespace qm
