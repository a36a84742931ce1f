#include "ui/glyph_pen.h"

#include <algorithm>
#include <cmath>

namespace pg {

namespace {

constexpr float kDegToRad = 0.017453292519943295f;

float segmentDistance(float px, float py, TPointF a, TPointF b) {
  const float dx = b.X - a.X, dy = b.Y - a.Y;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0.0f ? ((px - a.X) * dx + (py - a.Y) * dy) / len2 : 0.0f;
  t = std::clamp(t, 0.0f, 1.0f);
  const float ex = a.X + t * dx - px, ey = a.Y + t * dy - py;
  return std::sqrt(ex * ex + ey * ey);
}

// Non-zero winding number of the point for the closed polygon.
bool insidePolygon(float px, float py, const std::vector<TPointF>& pts) {
  int winding = 0;
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const TPointF a = pts[i], b = pts[(i + 1) % n];
    const float cross = (b.X - a.X) * (py - a.Y) - (px - a.X) * (b.Y - a.Y);
    if (a.Y <= py) {
      if (b.Y > py && cross > 0) ++winding;
    } else if (b.Y <= py && cross < 0) {
      --winding;
    }
  }
  return winding != 0;
}

// The share of 4 x 4 samples of the pixel at (x, y) inside the shape.
template <class Inside>
float sampled(float x, float y, Inside inside) {
  int n = 0;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i)
      if (inside(x + (static_cast<float>(i) + 0.5f) / 4.0f, y + (static_cast<float>(j) + 0.5f) / 4.0f)) ++n;
  return static_cast<float>(n) / 16.0f;
}

struct Box {
  float x0, y0, x1, y1;
};

Box boundsOf(const std::vector<TPointF>& pts, float pad) {
  Box b{1e9f, 1e9f, -1e9f, -1e9f};
  for (const TPointF& p : pts) {
    b.x0 = std::min(b.x0, p.X - pad);
    b.y0 = std::min(b.y0, p.Y - pad);
    b.x1 = std::max(b.x1, p.X + pad);
    b.y1 = std::max(b.y1, p.Y + pad);
  }
  return b;
}

}  // namespace

void TGlyphPen::over(int32_t x, int32_t y, float c, uint8_t shade) {
  if (!(c > 0.0f) || !g_.contains(x, y)) return;
  c = std::min(c, 1.0f);
  uint32_t* p = g_.pixelAddr(x, y);
  const float a0 = static_cast<float>(uiAlpha(*p)) / 255.0f;
  const float g0 = static_cast<float>(uiGreen(*p));
  const float a1 = a0 + (1.0f - a0) * c;
  const float grey = (g0 * a0 * (1.0f - c) + static_cast<float>(shade) * c) / a1;
  const auto gb = static_cast<uint8_t>(std::clamp(grey + 0.5f, 0.0f, 255.0f));
  const auto ab = static_cast<uint8_t>(std::clamp(a1 * 255.0f + 0.5f, 0.0f, 255.0f));
  *p = packRgba(gb, gb, gb, ab);
}

void TGlyphPen::paint(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& coverage,
                      const std::function<uint8_t(float, float)>& shade) {
  const int32_t ix0 = std::max(0, static_cast<int32_t>(std::floor(x0)));
  const int32_t iy0 = std::max(0, static_cast<int32_t>(std::floor(y0)));
  const int32_t ix1 = std::min(g_.width() - 1, static_cast<int32_t>(std::ceil(x1)));
  const int32_t iy1 = std::min(g_.height() - 1, static_cast<int32_t>(std::ceil(y1)));
  for (int32_t y = iy0; y <= iy1; ++y)
    for (int32_t x = ix0; x <= ix1; ++x) {
      const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
      const float c = coverage(fx, fy);
      if (c > 0.0f) over(x, y, c, shade(fx + 0.5f, fy + 0.5f));
    }
}

void TGlyphPen::polyline(const std::vector<TPointF>& pts, float width, uint8_t shade, bool closed) {
  if (pts.empty()) return;
  const Box b = boundsOf(pts, width / 2.0f + 1.0f);
  const size_t segments = closed ? pts.size() : pts.size() - 1;
  paint(b.x0, b.y0, b.x1, b.y1,
        [&](float x, float y) {
          float d = 1e9f;
          const float px = x + 0.5f, py = y + 0.5f;
          if (pts.size() == 1) d = segmentDistance(px, py, pts[0], pts[0]);
          for (size_t i = 0; i < segments; ++i)
            d = std::min(d, segmentDistance(px, py, pts[i], pts[(i + 1) % pts.size()]));
          return std::clamp(width / 2.0f - d + 0.5f, 0.0f, 1.0f);
        },
        [shade](float, float) { return shade; });
}

void TGlyphPen::line(TPointF a, TPointF b, float width, uint8_t shade) { polyline({a, b}, width, shade); }

void TGlyphPen::dashed(const std::vector<TPointF>& pts, float width, float dash, float gap, uint8_t shade,
                       bool closed) {
  if (pts.size() < 2 || dash <= 0.0f) return;
  std::vector<TPointF> path = pts;
  if (closed) path.push_back(pts.front());
  float phase = 0.0f;  // distance into the current dash + gap period
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    const TPointF a = path[i], b = path[i + 1];
    const float len = std::hypot(b.X - a.X, b.Y - a.Y);
    float at = 0.0f;
    while (at < len) {
      const bool inDash = phase < dash;
      const float left = inDash ? dash - phase : dash + gap - phase;
      const float step = std::min(left, len - at);
      if (inDash) {
        const TPointF p0{a.X + (b.X - a.X) * at / len, a.Y + (b.Y - a.Y) * at / len};
        const TPointF p1{a.X + (b.X - a.X) * (at + step) / len, a.Y + (b.Y - a.Y) * (at + step) / len};
        polyline({p0, p1}, width, shade);
      }
      at += step;
      phase += step;
      if (phase >= dash + gap) phase = 0.0f;
    }
  }
}

void TGlyphPen::polygon(const std::vector<TPointF>& pts, uint8_t shade) {
  polygon(pts, [shade](float, float) { return shade; });
}

void TGlyphPen::polygon(const std::vector<TPointF>& pts, const std::function<uint8_t(float, float)>& shade) {
  if (pts.size() < 3) return;
  const Box b = boundsOf(pts, 1.0f);
  paint(b.x0, b.y0, b.x1, b.y1,
        [&](float x, float y) { return sampled(x, y, [&](float px, float py) { return insidePolygon(px, py, pts); }); },
        shade);
}

void TGlyphPen::outlined(const std::vector<TPointF>& pts, uint8_t fill, float width, uint8_t outline) {
  polygon(pts, fill);
  polyline(pts, width, outline, true);
}

void TGlyphPen::disc(TPointF c, float r, uint8_t shade) {
  paint(c.X - r - 1, c.Y - r - 1, c.X + r + 1, c.Y + r + 1,
        [&](float x, float y) {
          return std::clamp(r - std::hypot(x + 0.5f - c.X, y + 0.5f - c.Y) + 0.5f, 0.0f, 1.0f);
        },
        [shade](float, float) { return shade; });
}

void TGlyphPen::ring(TPointF c, float r, float width, uint8_t shade) {
  const float R = r + width;
  paint(c.X - R - 1, c.Y - R - 1, c.X + R + 1, c.Y + R + 1,
        [&](float x, float y) {
          const float d = std::hypot(x + 0.5f - c.X, y + 0.5f - c.Y);
          return std::clamp(width / 2.0f - std::fabs(d - r) + 0.5f, 0.0f, 1.0f);
        },
        [shade](float, float) { return shade; });
}

void TGlyphPen::ellipse(TPointF c, float rx, float ry, uint8_t shade) {
  if (rx <= 0.0f || ry <= 0.0f) return;
  paint(c.X - rx - 1, c.Y - ry - 1, c.X + rx + 1, c.Y + ry + 1,
        [&](float x, float y) {
          return sampled(x, y, [&](float px, float py) {
            const float u = (px - c.X) / rx, v = (py - c.Y) / ry;
            return u * u + v * v <= 1.0f;
          });
        },
        [shade](float, float) { return shade; });
}

std::vector<TPointF> TGlyphPen::arcPoints(TPointF c, float rx, float ry, float fromDeg, float toDeg, int steps) {
  std::vector<TPointF> pts;
  for (int i = 0; i <= steps; ++i) {
    const float a = (fromDeg + (toDeg - fromDeg) * static_cast<float>(i) / static_cast<float>(steps)) * kDegToRad;
    pts.push_back({c.X + rx * std::cos(a), c.Y - ry * std::sin(a)});
  }
  return pts;
}

void TGlyphPen::arc(TPointF c, float r, float fromDeg, float toDeg, float width, uint8_t shade) {
  polyline(arcPoints(c, r, r, fromDeg, toDeg, 48), width, shade);
}

void TGlyphPen::rect(float x0, float y0, float x1, float y1, uint8_t shade) {
  paint(x0 - 1, y0 - 1, x1 + 1, y1 + 1,
        [&](float x, float y) {
          const float w = std::clamp(std::min(x + 1.0f, x1) - std::max(x, x0), 0.0f, 1.0f);
          const float h = std::clamp(std::min(y + 1.0f, y1) - std::max(y, y0), 0.0f, 1.0f);
          return w * h;
        },
        [shade](float, float) { return shade; });
}

void TGlyphPen::arrowHead(TPointF tip, float dx, float dy, float length, float halfWidth, uint8_t shade) {
  const float len = std::hypot(dx, dy);
  if (len <= 0.0f) return;
  const float ux = dx / len, uy = dy / len;
  const TPointF base{tip.X - ux * length, tip.Y - uy * length};
  polygon({tip, {base.X - uy * halfWidth, base.Y + ux * halfWidth}, {base.X + uy * halfWidth, base.Y - ux * halfWidth}},
          shade);
}

}  // namespace pg
