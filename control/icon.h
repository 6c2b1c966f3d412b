// The control's images, embedded in the module: icon 202 (32 × 32, drawn
// when a host shows the control) and bitmap 101 (16 × 16, the toolbox
// picture registration points at). Both are made in code on first use.
//
// Immutable once made; thread-safe.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com/ole_view.h"

namespace vyn {

inline constexpr int kIconResource = 202;
inline constexpr int kToolboxBitmapResource = 101;

// Pixels as RGBA bytes, straight alpha, rows top-down without padding.
struct RgbaImage {
  LONG width = 0;
  LONG height = 0;
  std::vector<BYTE> pixels;
};

// The image with that resource id; null for any other id.
const RgbaImage* FindImageResource(int id);

// Blends `image` over `surface` with its top-left corner at (left, top),
// unscaled; what falls outside the surface is clipped.
void DrawImage(const RgbaImage& image, RGBASURFACE& surface, LONG left, LONG top);

}  // namespace vyn
