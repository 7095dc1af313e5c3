#include "platform/shared/dialog_placement.h"

namespace korvan::platform {

ScreenPoint PlaceDialog(const ScreenRect& window, const std::optional<ScreenRect>& owner,
                        const ScreenRect& work_area) {
  const long width = window.right - window.left;
  const long height = window.bottom - window.top;
  const ScreenRect& centre_over = owner ? *owner : work_area;
  ScreenPoint corner{
      centre_over.left + ((centre_over.right - centre_over.left) - width) / 2,
      centre_over.top + ((centre_over.bottom - centre_over.top) - height) / 2};
  // Past the right or bottom edge first, then before the left or top edge:
  // a window larger than the work area keeps its top-left corner visible.
  if (corner.x + width > work_area.right) corner.x = work_area.right - width;
  if (corner.y + height > work_area.bottom) corner.y = work_area.bottom - height;
  if (corner.x < work_area.left) corner.x = work_area.left;
  if (corner.y < work_area.top) corner.y = work_area.top;
  return corner;
}

}  // namespace korvan::platform
