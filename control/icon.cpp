#include "control/icon.h"

#include <cmath>

namespace vyn {
namespace {

struct Rgba {
  BYTE r, g, b, a;
};

// A compact disc seen from above: a silver disc with a tinted band, a dark
// rim and the clear centre hole, on `background` (transparent for icons).
RgbaImage DrawDisc(LONG size, Rgba background) {
  RgbaImage image{size, size, std::vector<BYTE>(static_cast<std::size_t>(size * size) * 4)};
  const double centre = (size - 1) / 2.0;
  const double outer = size / 2.0 - 0.5;
  const double hole = size * 0.09;
  const double hub = size * 0.2;
  for (LONG y = 0; y < size; ++y) {
    for (LONG x = 0; x < size; ++x) {
      const double distance = std::hypot(x - centre, y - centre);
      Rgba pixel = background;
      if (distance <= outer && distance > hole) {
        if (distance > outer - 1.0)
          pixel = {96, 96, 112, 255};  // rim
        else if (distance <= hub)
          pixel = {208, 208, 216, 255};  // clamping area
        else {
          // A rainbow sheen that turns with the angle.
          const double angle = std::atan2(y - centre, x - centre);
          pixel = {static_cast<BYTE>(190 + 50 * std::cos(angle)),
                   static_cast<BYTE>(200 + 40 * std::sin(angle * 2)),
                   static_cast<BYTE>(220 + 30 * std::cos(angle * 3)), 255};
        }
      }
      BYTE* out = &image.pixels[static_cast<std::size_t>(y * size + x) * 4];
      out[0] = pixel.r;
      out[1] = pixel.g;
      out[2] = pixel.b;
      out[3] = pixel.a;
    }
  }
  return image;
}

BYTE Blend(BYTE source, BYTE destination, unsigned alpha) {
  return static_cast<BYTE>((source * alpha + destination * (255 - alpha) + 127) / 255);
}

}  // namespace

const RgbaImage* FindImageResource(int id) {
  static const RgbaImage icon = DrawDisc(32, {0, 0, 0, 0});
  static const RgbaImage bitmap = DrawDisc(16, {192, 192, 192, 255});
  switch (id) {
    case kIconResource:
      return &icon;
    case kToolboxBitmapResource:
      return &bitmap;
    default:
      return nullptr;
  }
}

void DrawImage(const RgbaImage& image, RGBASURFACE& surface, LONG left, LONG top) {
  if (!surface.pixels)
    return;
  for (LONG y = 0; y < image.height; ++y) {
    const LONG target_y = top + y;
    if (target_y < 0 || target_y >= surface.height)
      continue;
    for (LONG x = 0; x < image.width; ++x) {
      const LONG target_x = left + x;
      if (target_x < 0 || target_x >= surface.width)
        continue;
      const BYTE* source = &image.pixels[static_cast<std::size_t>(y * image.width + x) * 4];
      BYTE* target = surface.pixels + static_cast<std::ptrdiff_t>(target_y) * surface.stride +
                     static_cast<std::ptrdiff_t>(target_x) * 4;
      const unsigned alpha = source[3];
      for (int channel = 0; channel < 3; ++channel)
        target[channel] = Blend(source[channel], target[channel], alpha);
      target[3] = static_cast<BYTE>(alpha + (target[3] * (255 - alpha) + 127) / 255);
    }
  }
}

}  // namespace vyn
