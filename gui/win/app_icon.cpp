#include "gui/win/app_icon.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "base/palette.h"

namespace corvane::gui::win {

namespace {

constexpr Color kTop = palette::kSkyBlue;
constexpr Color kBottom = palette::kBlue;

// Coverage of a pixel by the shield: a rectangle whose lower half narrows to a point.
double ShieldCoverage(double x, double y, double size) {
  const double margin = size * 0.08;
  const double left = margin;
  const double right = size - margin;
  const double top = margin;
  const double bottom = size - margin * 0.5;
  const double middle = top + (bottom - top) * 0.45;
  if (y < top || y > bottom) return 0.0;
  double halfWidth = (right - left) / 2.0;
  if (y > middle) halfWidth *= std::cos((y - middle) / (bottom - middle) * 1.5707963);
  const double center = size / 2.0;
  const double distance = std::fabs(x - center);
  if (distance > halfWidth + 0.5) return 0.0;
  if (distance < halfWidth - 0.5) return 1.0;
  return halfWidth + 0.5 - distance;
}

// Distance from point p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax;
  const double dy = by - ay;
  double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  const double cx = ax + t * dx - px;
  const double cy = ay + t * dy - py;
  return std::sqrt(cx * cx + cy * cy);
}

}  // namespace

corvane::win::UniqueIcon CreateAppIcon(int size) {
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof(header);
  header.bV5Width = size;
  header.bV5Height = -size;  // top-down
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;

  void* bits = nullptr;
  HBITMAP color = nullptr;
  {
    const corvane::win::WindowDc screen(nullptr);
    color = ::CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  if (color == nullptr || bits == nullptr) return {};
  corvane::win::UniqueGdiObject colorOwner(color);

  auto* pixels = static_cast<std::uint32_t*>(bits);
  const double s = size;
  const double stroke = s * 0.09;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const double shield = ShieldCoverage(px, py, s);
      // Top light blue to the program's blue.
      const double t = py / s;
      double r = RedOf(kTop) + (RedOf(kBottom) - RedOf(kTop)) * t;
      double g = GreenOf(kTop) + (GreenOf(kBottom) - GreenOf(kTop)) * t;
      double b = BlueOf(kTop) + (BlueOf(kBottom) - BlueOf(kTop)) * t;
      // The check mark.
      const double d = std::min(SegmentDistance(px, py, s * 0.30, s * 0.50, s * 0.45, s * 0.66),
                                SegmentDistance(px, py, s * 0.45, s * 0.66, s * 0.72, s * 0.34));
      double mark = stroke - d + 0.5;
      mark = mark < 0 ? 0 : (mark > 1 ? 1 : mark);
      r += (255 - r) * mark;
      g += (255 - g) * mark;
      b += (255 - b) * mark;
      const auto alpha = static_cast<std::uint32_t>(shield * 255.0 + 0.5);
      // Premultiplied, as icons with alpha expect.
      const auto pr = static_cast<std::uint32_t>(r * shield + 0.5);
      const auto pg = static_cast<std::uint32_t>(g * shield + 0.5);
      const auto pb = static_cast<std::uint32_t>(b * shield + 0.5);
      pixels[y * size + x] = (alpha << 24) | (pr << 16) | (pg << 8) | pb;
    }
  }

  HBITMAP mask = ::CreateBitmap(size, size, 1, 1, nullptr);
  corvane::win::UniqueGdiObject maskOwner(mask);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  return corvane::win::UniqueIcon(::CreateIconIndirect(&info));
}

}  // namespace corvane::gui::win
