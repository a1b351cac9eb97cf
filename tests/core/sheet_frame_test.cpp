// The sheet's panel at a zoom, the fitting zoom, and the frame and background
// drawn under the items, as the preview and `zirvo-batch preview` share them.
#include "render/sheet_frame.h"

#include <gtest/gtest.h>

#include "support/recording_surface.h"

namespace zirvo {
namespace {

TEST(SheetFrame, PanelAtZoomRoundsHalvesToEven) {
  const struct {
    int32_t zoom, pixels, expected;
  } cases[] = {
      {100, 816, 816}, {50, 817, 408},  // 408.5 goes to the even neighbour
      {50, 819, 410},                   // 409.5 goes to the even neighbour
      {7, 150, 11},                     // 0.07 x 150 lies just above 10.5
      {10, 0, 0},      {300, 1058, 3174},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ZoomedPixels(c.zoom, c.pixels), c.expected) << c.zoom << " " << c.pixels;
  }
  // A letter sheet at 96 pixels per inch, then at 75 %.
  SheetHeader letter;
  letter.Width = 21.6;
  letter.Height = 28.0;
  EXPECT_EQ(SheetPixels(letter, 96), (SizeI{816, 1058}));
  EXPECT_EQ(PanelAtZoom(SheetPixels(letter, 96), 75), (SizeI{612, 794}));
}

TEST(SheetFrame, FittingZoomTakesTheHeightFirstThenTheWidth) {
  const struct {
    const char* name;
    SizeI available, sheet;
    int32_t expected;
  } cases[] = {
      {"portrait fits by height", {756, 435}, {816, 1058}, 41},
      {"landscape too wide at the height's zoom", {756, 435}, {1058, 816}, 53},
      {"wide strip", {756, 435}, {3000, 100}, 25},
      {"no area", {756, 435}, {0, 1058}, 100},
      {"small sheet zooms in, cut to whole percent", {756, 435}, {100, 100}, 434},
  };
  for (const auto& c : cases) {
    const int32_t zoom = FittingZoom(c.available, c.sheet, 100);
    EXPECT_EQ(zoom, c.expected) << c.name;
    if (c.sheet.width > 0 && c.sheet.height > 0) {
      const SizeI panel = PanelAtZoom(c.sheet, zoom);
      EXPECT_LE(panel.width, c.available.width) << c.name;
      EXPECT_LE(panel.height, c.available.height) << c.name;
    }
  }
}

TEST(SheetFrame, FrameIsFourStripsCutToTheExposedPart) {
  const SizedBitmap image(40, 30);
  const struct {
    const char* name;
    const Bitmap* background;
    RectI exposed;
    std::string calls;
    std::vector<RectI> strips;
  } cases[] = {
      {"whole panel with an image",
       &image,
       {0, 0, 200, 100},
       "IRRRR",
       {{0, 0, 200, 1}, {0, 99, 200, 1}, {0, 0, 1, 100}, {199, 0, 1, 100}}},
      {"top-left window", nullptr, {0, 0, 50, 40}, "RR", {{0, 0, 50, 1}, {0, 0, 1, 40}}},
      {"inside, touching no edge", nullptr, {10, 10, 50, 40}, "", {}},
      {"bottom-right window",
       nullptr,
       {150, 60, 100, 100},
       "RR",
       {{150, 99, 50, 1}, {199, 60, 1, 40}}},
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    DrawSheetFrame(surface, {200, 100}, c.background, c.exposed);
    EXPECT_EQ(surface.calls, c.calls) << c.name;
    std::vector<RectI> strips;
    for (const auto& rect : surface.rects) {
      EXPECT_EQ(rect.colour, kSheetFrameColour) << c.name;
      strips.push_back(rect.DeviceRect());
    }
    EXPECT_EQ(strips, c.strips) << c.name;
    if (c.background != nullptr) {
      ASSERT_EQ(surface.images.size(), 1u);
      EXPECT_EQ(surface.images[0].target, (RectI{0, 0, 200, 100}));
    }
  }
}

}  // namespace
}  // namespace zirvo

namespace zirvo {
namespace {

TEST(SheetFrame, ZoomMustGiveAnAreaAndStayWithinTheLargestPanel) {
  SheetHeader sheet;
  sheet.Width = 21.0;
  sheet.Height = 30.0;
  const struct {
    int32_t zoom;
    ZoomVerdict verdict;
  } cases[] = {
      {-5, ZoomVerdict::NotPositive}, {0, ZoomVerdict::NotPositive}, {1, ZoomVerdict::Fits},
      {5000, ZoomVerdict::Fits},  // 30 cm x 50 = 1500 cm: the largest panel itself
      {5001, ZoomVerdict::TooLarge},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckZoom(c.zoom, sheet), c.verdict) << c.zoom;
}

}  // namespace
}  // namespace zirvo
