// Where the missing-runtime dialog opens: centred over its owner or the work
// area, then held inside the work area.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/shared/dialog_placement.h"

namespace korvan::platform {
namespace {

struct PlacementCase {
  const char* name;
  ScreenRect window;
  std::optional<ScreenRect> owner;
  ScreenRect work_area;
  long x;
  long y;
};

class DialogPlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(DialogPlacementTest, PlacesTheTopLeftCorner) {
  const PlacementCase& c = GetParam();
  const ScreenPoint corner = PlaceDialog(c.window, c.owner, c.work_area);
  EXPECT_EQ(corner.x, c.x);
  EXPECT_EQ(corner.y, c.y);
}

const ScreenRect kWorkArea{0, 0, 1000, 800};

INSTANTIATE_TEST_SUITE_P(
    Windows, DialogPlacementTest,
    testing::Values(
        // A 200 by 100 window wherever it was created.
        PlacementCase{"WorkAreaWithoutOwner", {50, 60, 250, 160}, std::nullopt, kWorkArea, 400, 350},
        PlacementCase{"OffsetWorkArea", {0, 0, 200, 100}, std::nullopt, {100, 40, 1100, 840}, 500, 390},
        PlacementCase{"OverOwner", {0, 0, 200, 100}, ScreenRect{100, 100, 500, 400}, kWorkArea, 200, 200},
        PlacementCase{"OwnerNearRightAndBottom", {0, 0, 200, 100}, ScreenRect{900, 750, 1100, 850},
                      kWorkArea, 800, 700},
        PlacementCase{"OwnerNearLeftAndTop", {0, 0, 200, 100}, ScreenRect{-150, -80, 50, 20},
                      kWorkArea, 0, 0},
        // Larger than the work area: the top-left corner stays visible.
        PlacementCase{"LargerThanWorkArea", {0, 0, 1200, 900}, std::nullopt, kWorkArea, 0, 0}),
    [](const testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::platform
