#pragma once

#include <cstdint>
#include <vector>

// A true-colour picture, one 0x00RRGGBB value per pixel, rows top to bottom.
struct SImage {
  int nWidth = 0;
  int nHeight = 0;
  std::vector<std::uint32_t> pixels;

  SImage() = default;
  SImage(int w, int h, std::uint32_t fill = 0)
      : nWidth(w), nHeight(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * nWidth + x]; }
  std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * nWidth + x]; }
};

inline std::uint32_t PackRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}
