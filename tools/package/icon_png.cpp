#include "icon_png.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "byte_order.h"

namespace korvan::package {
namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

void AppendBigEndian(std::string& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::string_view bytes) {
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : bytes) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void AppendChunk(std::string& png, std::string_view type, std::string_view data) {
  AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type) + std::string(data);
  png += typed;
  AppendBigEndian(png, Crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(std::string_view data) {
  std::string stream("\x78\x01", 2);
  std::size_t offset = 0;
  do {
    const std::size_t size = std::min<std::size_t>(data.size() - offset, 65535);
    const bool last = offset + size == data.size();
    stream += static_cast<char>(last ? 1 : 0);
    pe::AppendU16(stream, static_cast<std::uint16_t>(size));
    pe::AppendU16(stream, static_cast<std::uint16_t>(~size));
    stream.append(data.substr(offset, size));
    offset += size;
  } while (offset < data.size());
  AppendBigEndian(stream, Adler32(data));
  return stream;
}

struct Rgba {
  unsigned char r = 0, g = 0, b = 0, a = 0;
};

// The pixels of a DIB icon image, top row first. Its height counts the
// colour rows and the AND mask's rows together.
std::optional<std::vector<Rgba>> DibPixels(std::string_view dib, std::uint32_t& width, std::uint32_t& height,
                                           std::string& error) {
  const auto header = pe::ReadU32(dib, 0);
  const auto raw_width = pe::ReadU32(dib, 4);
  const auto raw_height = pe::ReadU32(dib, 8);
  const auto bits = pe::ReadU16(dib, 14);
  const auto compression = pe::ReadU32(dib, 16);
  const auto used_colours = pe::ReadU32(dib, 32);
  if (!header || *header < 40 || !raw_width || !raw_height || !bits || !compression || !used_colours) {
    error = "an image is neither PNG nor a bitmap";
    return std::nullopt;
  }
  width = *raw_width;
  height = *raw_height / 2;
  const std::uint16_t depth = *bits;
  if (*compression != 0 || width == 0 || height == 0 || width > 1024 || height > 1024 ||
      (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32)) {
    error = "an image is a bitmap of a kind icons do not use (" + std::to_string(depth) + " bits a pixel, " +
            std::to_string(width) + "x" + std::to_string(height) + ")";
    return std::nullopt;
  }
  const std::size_t palette_size = depth <= 8 ? (*used_colours ? *used_colours : 1u << depth) : 0;
  const std::size_t palette = *header;
  const std::size_t colour_stride = (width * depth + 31) / 32 * 4;
  const std::size_t mask_stride = (width + 31) / 32 * 4;
  const std::size_t colours = palette + palette_size * 4;
  const std::size_t mask = colours + colour_stride * height;
  if (palette_size > 256 || mask + mask_stride * height > dib.size()) {
    error = "an image's bitmap is shorter than its size says";
    return std::nullopt;
  }
  const auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(dib[offset]); };
  std::vector<Rgba> pixels(static_cast<std::size_t>(width) * height);
  bool any_alpha = false;
  for (std::uint32_t row = 0; row < height; ++row) {
    const std::size_t line = colours + colour_stride * (height - 1 - row);  // rows are stored bottom up
    const std::size_t mask_line = mask + mask_stride * (height - 1 - row);
    for (std::uint32_t x = 0; x < width; ++x) {
      Rgba& pixel = pixels[static_cast<std::size_t>(row) * width + x];
      std::size_t bgr = line + x * depth / 8;
      if (depth <= 8) {
        const unsigned shift = 8 - depth - (x * depth) % 8;
        const unsigned index = (byte(line + x * depth / 8) >> shift) & ((1u << depth) - 1);
        if (index >= palette_size) {
          error = "an image's bitmap names a colour outside its palette";
          return std::nullopt;
        }
        bgr = palette + index * 4;
      }
      pixel.b = byte(bgr);
      pixel.g = byte(bgr + 1);
      pixel.r = byte(bgr + 2);
      pixel.a = depth == 32 ? byte(bgr + 3) : 0;
      any_alpha = any_alpha || pixel.a != 0;
      const bool masked = (byte(mask_line + x / 8) >> (7 - x % 8)) & 1;
      if (depth != 32) pixel.a = masked ? 0 : 255;
    }
  }
  // A 32-bit image whose alpha is all zero is older: its AND mask says what shows.
  if (depth == 32 && !any_alpha) {
    for (std::uint32_t row = 0; row < height; ++row) {
      const std::size_t mask_line = mask + mask_stride * (height - 1 - row);
      for (std::uint32_t x = 0; x < width; ++x) {
        const bool masked = (byte(mask_line + x / 8) >> (7 - x % 8)) & 1;
        pixels[static_cast<std::size_t>(row) * width + x].a = masked ? 0 : 255;
      }
    }
  }
  return pixels;
}

}  // namespace

std::optional<std::string> PngFromIconImage(std::string_view image, std::string& error) {
  if (image.substr(0, kPngSignature.size()) == kPngSignature) return std::string(image);
  std::uint32_t width = 0, height = 0;
  const std::optional<std::vector<Rgba>> pixels = DibPixels(image, width, height, error);
  if (!pixels) return std::nullopt;
  std::string rows;
  for (std::uint32_t row = 0; row < height; ++row) {
    rows += '\0';  // filter type None
    for (std::uint32_t x = 0; x < width; ++x) {
      const Rgba& pixel = (*pixels)[static_cast<std::size_t>(row) * width + x];
      rows += {static_cast<char>(pixel.r), static_cast<char>(pixel.g), static_cast<char>(pixel.b),
               static_cast<char>(pixel.a)};
    }
  }
  std::string header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter choice, no interlace
  std::string png(kPngSignature);
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", StoredZlib(rows));
  AppendChunk(png, "IEND", "");
  return png;
}

}  // namespace korvan::package
