// The PNGs that Linux packages get from an icon's images: each bitmap depth
// an icon may hold, read by GdkPixbuf from the one-image .ico and from the
// PNG made of it, must give the same pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "byte_order.h"
#include "icon_png.h"

namespace korvan::pe {
namespace {

namespace fs = std::filesystem;

// A DIB of `width`x`height` at `depth` bits, the pixels and the AND mask drawn
// from a simple sequence.
std::string Dib(int width, int height, int depth) {
  const int palette = depth <= 8 ? 1 << depth : 0;
  std::string dib;
  for (std::uint32_t value : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(2 * height)}) {
    AppendU32(dib, value);
  }
  AppendU16(dib, 1);
  AppendU16(dib, static_cast<std::uint16_t>(depth));
  for (int i = 0; i < 6; ++i) AppendU32(dib, 0);
  unsigned seed = 7;
  const auto next = [&seed] { return static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16); };
  // Monochrome icons are black and white (GdkPixbuf reads no other palette).
  for (int i = 0; i < palette; ++i) dib += depth == 1 ? std::string(3, i ? '\xFF' : '\0') + '\0' : std::string{next(), next(), next(), '\0'};
  const std::size_t colour_row = (width * depth + 31) / 32 * 4, mask_row = (width + 31) / 32 * 4;
  for (std::size_t i = 0; i < colour_row * height; ++i) dib += next();
  for (std::size_t i = 0; i < mask_row * height; ++i) dib += next();
  return dib;
}

std::string PixelsAsGdkPixbufReadsThem(const fs::path& image) {
  std::string dump;
  FILE* pipe = popen(("gdk-pixbuf-csource --raw '" + image.string() + "' 2>&1").c_str(), "r");
  char buffer[4096];
  for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) dump.append(buffer, n);
  if (pipe) pclose(pipe);
  return dump.substr(std::min(dump.size(), dump.find(" = ")));
}

struct Bitmap {
  const char* name;
  int width, height, depth;
};

class IconPngTest : public testing::TestWithParam<Bitmap> {};

TEST_P(IconPngTest, HoldsThePixelsOfTheBitmap) {
  if (std::system("gdk-pixbuf-csource --help >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gdk-pixbuf-csource";
  const Bitmap& bitmap = GetParam();
  const std::string dib = Dib(bitmap.width, bitmap.height, bitmap.depth);
  std::string ico;
  for (std::uint16_t value : {0, 1, 1}) AppendU16(ico, value);
  ico += {static_cast<char>(bitmap.width), static_cast<char>(bitmap.height), '\0', '\0'};
  AppendU16(ico, 1);
  AppendU16(ico, static_cast<std::uint16_t>(bitmap.depth));
  AppendU32(ico, static_cast<std::uint32_t>(dib.size()));
  AppendU32(ico, 22);
  ico += dib;
  std::string error;
  const std::optional<std::string> png = package::PngFromIconImage(dib, error);
  ASSERT_TRUE(png) << error;
  const fs::path folder = fs::temp_directory_path() / ("korvan-icon-png-" + std::string(bitmap.name));
  fs::create_directories(folder);
  std::ofstream(folder / "icon.ico", std::ios::binary) << ico;
  std::ofstream(folder / "icon.png", std::ios::binary) << *png;
  const std::string expected = PixelsAsGdkPixbufReadsThem(folder / "icon.ico");
  EXPECT_GT(expected.size(), static_cast<std::size_t>(bitmap.width * bitmap.height * 4)) << expected;
  EXPECT_EQ(PixelsAsGdkPixbufReadsThem(folder / "icon.png"), expected);
  // An image that is a PNG already is kept as it is.
  EXPECT_EQ(package::PngFromIconImage(*png, error), png);
  fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Depths, IconPngTest,
                         testing::Values(Bitmap{"Mono", 16, 16, 1}, Bitmap{"Colours16", 24, 24, 4},
                                         Bitmap{"Colours256", 20, 20, 8}, Bitmap{"Rgb", 17, 17, 24},
                                         Bitmap{"Rgba", 32, 32, 32}),
                         [](const testing::TestParamInfo<Bitmap>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::pe
