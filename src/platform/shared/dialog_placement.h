#pragma once
// Where a dialog opens: centred over its owner, or over the work area of the
// desktop when it has no usable owner, and then kept inside the work area.

#include <optional>

namespace korvan::platform {

struct ScreenRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
};

struct ScreenPoint {
  long x = 0;
  long y = 0;
};

// The top-left corner for a window of `window`'s size. `owner` is the owner
// window's rectangle when it is visible and not minimised.
ScreenPoint PlaceDialog(const ScreenRect& window, const std::optional<ScreenRect>& owner,
                        const ScreenRect& work_area);

}  // namespace korvan::platform
