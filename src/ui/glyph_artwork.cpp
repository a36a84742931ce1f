// The pictures of the tool and option glyphs. Tools that are held in the hand
// (pencil, brush, eraser, pipette, ...) lie along the diagonal with their tip
// at the lower left; the two variants of a brush tool differ by a dab at the
// lower right: soft for the one, hard for the other.
#include "ui/glyph_artwork.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>
#include <utility>

#include "ui/glyph_pen.h"
#include "ui/glyph_types.h"

namespace pg {

namespace {

using P = TPointF;
using Pts = std::vector<TPointF>;
constexpr float kDiag = 0.70710678f;

// A tool's own axes: u along the tool from its tip, v across it.
struct Axis {
  P o;
  float ux, uy;
  P at(float u, float v) const { return {o.X + u * ux - v * uy, o.Y + u * uy + v * ux}; }
};
// Tip at the lower left, the tool rising toward the upper right.
Axis diagonal(float x, float y) { return {{x, y}, kDiag, -kDiag}; }

P rotated(P local, P centre, float deg) {
  const float a = deg * 0.017453292519943295f;
  return {centre.X + local.X * std::cos(a) - local.Y * std::sin(a),
          centre.Y + local.X * std::sin(a) + local.Y * std::cos(a)};
}

// Catmull-Rom curve through the points.
Pts smooth(const Pts& pts, bool closed, int steps = 8) {
  Pts out;
  const size_t n = pts.size();
  const size_t segs = closed ? n : n - 1;
  auto pt = [&](int64_t i) {
    if (closed) return pts[static_cast<size_t>((i % static_cast<int64_t>(n) + static_cast<int64_t>(n)) % n)];
    return pts[static_cast<size_t>(std::clamp<int64_t>(i, 0, static_cast<int64_t>(n) - 1))];
  };
  for (size_t s = 0; s < segs; ++s) {
    const auto i = static_cast<int64_t>(s);
    const P p0 = pt(i - 1), p1 = pt(i), p2 = pt(i + 1), p3 = pt(i + 2);
    for (int k = 0; k < steps; ++k) {
      const float t = static_cast<float>(k) / static_cast<float>(steps);
      const float t2 = t * t, t3 = t2 * t;
      auto cr = [&](float a, float b, float c, float d) {
        return 0.5f * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
      };
      out.push_back({cr(p0.X, p1.X, p2.X, p3.X), cr(p0.Y, p1.Y, p2.Y, p3.Y)});
    }
  }
  if (!closed) out.push_back(pts.back());
  return out;
}

Pts rectPts(float x0, float y0, float x1, float y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }
Pts ellipsePts(P c, float rx, float ry) { return TGlyphPen::arcPoints(c, rx, ry, 0, 360, 64); }
Pts pentagon(P c, float r) {
  Pts pts;
  for (int i = 0; i < 5; ++i) pts.push_back(rotated({0, -r}, c, 72.0f * static_cast<float>(i)));
  return pts;
}
Pts star(P c, float outer, float inner) {
  Pts pts;
  for (int i = 0; i < 10; ++i) pts.push_back(rotated({0, -(i % 2 == 0 ? outer : inner)}, c, 36.0f * static_cast<float>(i)));
  return pts;
}
Pts blob() { return smooth({{5, 8}, {10, 3.5f}, {17, 4.5f}, {20.5f, 10}, {17, 15}, {12, 14}, {8, 19.5f}, {3.5f, 16}}, true); }
// A drop with its point at the top.
Pts drop(P centre, float r, float pointUp) {
  Pts pts{{centre.X, centre.Y - pointUp}};
  const Pts round = TGlyphPen::arcPoints(centre, r, r, 60, -240, 30);
  pts.insert(pts.end(), round.begin(), round.end());
  return pts;
}

uint8_t mix(float from, float to, float t) {
  return static_cast<uint8_t>(std::clamp(from + (to - from) * std::clamp(t, 0.0f, 1.0f), 0.0f, 255.0f));
}

// A line with a paper halo, so that it reads on any background.
void haloLine(TGlyphPen& p, const Pts& pts, float width) {
  p.polyline(pts, width + 2.0f, kPaper);
  p.polyline(pts, width, kInk);
}

// The dab that tells the two variants of a brush tool apart.
void variantDab(TGlyphPen& p, bool soft) {
  const P c{19.0f, 19.0f};
  if (soft) {
    p.disc(c, 4.0f, 200);
    p.disc(c, 3.0f, 140);
    p.disc(c, 2.0f, 80);
    p.disc(c, 1.0f, 20);
  } else {
    p.disc(c, 2.8f, kInk);
  }
}

// ---- hand tools ---------------------------------------------------------------

void pencil(TGlyphPen& p) {
  const Axis a = diagonal(4.5f, 19.5f);
  p.outlined({a.at(5, -2.6f), a.at(18, -2.6f), a.at(18, 2.6f), a.at(5, 2.6f)}, kPaper, 1.1f);
  p.line(a.at(5.8f, 0), a.at(17.2f, 0), 0.8f, 150);
  p.outlined({a.at(18, -2.6f), a.at(21, -2.6f), a.at(21, 2.6f), a.at(18, 2.6f)}, 110, 1.1f);
  p.outlined({a.at(0, 0), a.at(5, -2.6f), a.at(5, 2.6f)}, 215, 1.0f);
  p.polygon({a.at(-0.3f, 0), a.at(2.2f, -1.2f), a.at(2.2f, 1.2f)}, kInk);
}

void eraser(TGlyphPen& p, float length) {
  const Axis a = diagonal(5.0f, 19.0f);
  p.outlined({a.at(0, -4.2f), a.at(length, -4.2f), a.at(length, 4.2f), a.at(0, 4.2f)}, kPaper, 1.2f);
  p.polygon({a.at(0.6f, -3.6f), a.at(4.5f, -3.6f), a.at(4.5f, 3.6f), a.at(0.6f, 3.6f)}, 110);
  p.line(a.at(4.5f, -4.2f), a.at(4.5f, 4.2f), 1.1f);
}

void brush(TGlyphPen& p) {
  const Axis a = diagonal(4.0f, 20.0f);
  p.polygon({a.at(0, 0), a.at(2, -1.4f), a.at(4.5f, -2.3f), a.at(6.5f, -2.3f), a.at(6.5f, 2.3f), a.at(4.5f, 2.3f),
             a.at(2, 1.4f)},
            40);
  p.outlined({a.at(6.5f, -2.4f), a.at(9.5f, -2.4f), a.at(9.5f, 2.4f), a.at(6.5f, 2.4f)}, 170, 1.0f);
  p.line(a.at(9.5f, 0), a.at(20.5f, 0), 3.0f);
  p.outlined(drop({6.0f, 7.5f}, 3.0f, 5.5f), 215, 1.0f);
}

void airbrush(TGlyphPen& p) {
  const Axis a = diagonal(6.5f, 17.5f);
  p.polygon({a.at(0, 0), a.at(3.2f, -1.6f), a.at(3.2f, 1.6f)}, kInk);
  p.outlined({a.at(3, -3), a.at(15, -3), a.at(16.5f, 0), a.at(15, 3), a.at(3, 3)}, kPaper, 1.2f);
  p.line(a.at(8.5f, -3.2f), a.at(8.5f, -6), 2.0f);
  p.disc(a.at(8.5f, -6.2f), 1.4f);
  for (const auto& [x, y, r] : {std::tuple{2.5f, 21.5f, 0.8f}, {1.5f, 19.0f, 0.7f}, {4.2f, 22.6f, 0.6f},
                                {3.6f, 19.6f, 0.9f}, {1.2f, 22.3f, 0.6f}, {5.4f, 20.8f, 0.5f}})
    p.disc({x, y}, r, kInk);
}

void blurDrop(TGlyphPen& p) {
  const P c{9.5f, 11.5f};
  p.polygon(drop(c, 6.5f, 9.5f), [c](float x, float y) { return mix(20, 235, std::hypot(x - c.X, y - c.Y) / 8.0f); });
}

// A fingertip seen from behind, its nail at the tip, over a smear.
void fingertip(TGlyphPen& p) {
  p.polyline(smooth({{2.0f, 21.0f}, {6.0f, 19.2f}, {10.0f, 20.4f}, {14.0f, 19.0f}}, false), 2.6f, 150);
  p.line({11.5f, -1.0f}, {11.5f, 12.5f}, 9.0f, kInk);
  p.line({11.5f, -1.0f}, {11.5f, 12.5f}, 6.8f, kPaper);
  p.outlined(smooth({{9.4f, 11.0f}, {13.6f, 11.0f}, {13.8f, 14.0f}, {11.5f, 15.4f}, {9.2f, 14.0f}}, true, 6), 225,
             0.8f, 90);
  for (float y : {4.5f, 6.3f}) p.line({9.8f, y}, {13.2f, y}, 0.9f, 110);
}

void paletteKnife(TGlyphPen& p) {
  const Axis a = diagonal(3.5f, 20.5f);
  p.outlined(smooth({a.at(0.3f, 0), a.at(1.5f, -3.0f), a.at(10, -3.3f), a.at(11, 0), a.at(10, 3.3f),
                     a.at(1.5f, 3.0f)},
                    true, 4),
             235, 1.1f);
  p.line(a.at(11, 0), a.at(14, 0), 1.2f);
  p.line(a.at(14, 0), a.at(21.5f, 0), 3.6f);
}

void flame(TGlyphPen& p) {
  const Pts outer = smooth({{10, 2}, {14, 8}, {15.5f, 13}, {14, 17.5f}, {10.5f, 20}, {6.5f, 18}, {4.5f, 13.5f},
                            {6, 9.5f}, {7.5f, 11}, {8.5f, 6}},
                           true, 6);
  p.outlined(outer, 60, 1.2f);
  p.polygon(smooth({{10, 9.5f}, {12.5f, 14}, {11.5f, 17.8f}, {9, 18}, {7.8f, 15.5f}}, true, 6), 230);
}

void sun(TGlyphPen& p) {
  const P c{10.5f, 10.5f};
  p.disc(c, 4.2f, kPaper);
  p.ring(c, 4.2f, 1.3f);
  for (int i = 0; i < 8; ++i) {
    const float deg = 45.0f * static_cast<float>(i);
    p.line(rotated({6.3f, 0}, c, deg), rotated({9.0f, 0}, c, deg), 1.5f);
  }
}

// ---- shapes and selections -------------------------------------------------------

void locus(TGlyphPen& p) {
  p.polyline(smooth({{3, 18}, {5, 10}, {8, 6}, {11, 8}, {12, 13}, {14, 17}, {17, 17}, {19, 12}, {21, 6}}, false), 1.8f);
}

void endSquare(TGlyphPen& p, P c) { p.rect(c.X - 1.6f, c.Y - 1.6f, c.X + 1.6f, c.Y + 1.6f); }

void straightLine(TGlyphPen& p) {
  p.line({4.5f, 19.5f}, {19.5f, 4.5f}, 1.8f);
  endSquare(p, {4.5f, 19.5f});
  endSquare(p, {19.5f, 4.5f});
}

void multiLine(TGlyphPen& p) {
  const Pts pts{{3.5f, 19.5f}, {7.5f, 5.5f}, {13.5f, 15.5f}, {20.5f, 4.5f}};
  p.polyline(pts, 1.6f);
  for (const P& v : pts) endSquare(p, v);
}

const Pts kRectShape = rectPts(3.5f, 5.5f, 20.5f, 18.5f);

void shapeOutline(TGlyphPen& p, const Pts& shape) { p.polyline(shape, 1.8f, kInk, true); }
void shapeFilled(TGlyphPen& p, const Pts& shape) { p.outlined(shape, 70, 1.4f); }
void shapeSelected(TGlyphPen& p, const Pts& shape) { p.dashed(shape, 1.4f, 2.6f, 1.6f); }

void bucket(TGlyphPen& p) {
  const P c{10.0f, 13.0f};
  const float tilt = -28.0f;
  auto r = [&](float x, float y) { return rotated({x, y}, c, tilt); };
  p.outlined({r(-6, -5), r(6, -5), r(4.5f, 6), r(-4.5f, 6)}, kPaper, 1.4f);
  Pts handle;
  for (const P& q : TGlyphPen::arcPoints({0, -5}, 6, 6, 180, 0, 24)) handle.push_back(r(q.X, q.Y));
  p.polyline(handle, 1.2f);
  const P lip = r(6, -5);
  p.line(lip, {19.5f, 14.5f}, 1.8f);
  p.outlined(drop({19.5f, 18.5f}, 2.4f, 4.2f), kInk, 0.8f);
}

void ramp(TGlyphPen& p, float x0, float y0, float x1, float y1, const std::function<uint8_t(float, float)>& shade) {
  p.polygon(rectPts(x0, y0, x1, y1), shade);
  p.polyline(rectPts(x0, y0, x1, y1), 1.1f, kInk, true);
}

void linearRamp(TGlyphPen& p, float x0, float y0, float x1, float y1, float light) {
  ramp(p, x0, y0, x1, y1, [=](float x, float) { return mix(light == 0 ? 0 : light - 60, light == 0 ? 235 : 250, (x - x0) / (x1 - x0)); });
}

void lasso(TGlyphPen& p) {
  p.polyline(ellipsePts({13.0f, 8.5f}, 8.0f, 5.5f), 1.6f, kInk, true);
  p.polyline(smooth({{7.0f, 12.0f}, {5.5f, 16.5f}, {3.0f, 19.5f}, {4.5f, 22.0f}, {7.0f, 20.5f}}, false), 1.4f);
  p.disc({7.0f, 12.2f}, 1.5f);
}

void magicWand(TGlyphPen& p) {
  p.line({3.5f, 20.5f}, {14.0f, 10.0f}, 3.0f);
  p.line({12.0f, 12.0f}, {14.0f, 10.0f}, 1.2f, kPaper);
  p.polygon(star({17.5f, 6.5f}, 5.2f, 2.2f), kInk);
  p.line({21.5f, 11.5f}, {21.5f, 14.5f}, 0.9f);
  p.line({20.0f, 13.0f}, {23.0f, 13.0f}, 0.9f);
  p.line({10.0f, 2.0f}, {10.0f, 5.0f}, 0.9f);
  p.line({8.5f, 3.5f}, {11.5f, 3.5f}, 0.9f);
}

void fourArrows(TGlyphPen& p, float reach, float head, float width) {
  const P c{12, 12};
  p.line({c.X, c.Y - reach + head}, {c.X, c.Y + reach - head}, width);
  p.line({c.X - reach + head, c.Y}, {c.X + reach - head, c.Y}, width);
  p.arrowHead({c.X, c.Y - reach}, 0, -1, head, head * 0.7f);
  p.arrowHead({c.X, c.Y + reach}, 0, 1, head, head * 0.7f);
  p.arrowHead({c.X - reach, c.Y}, -1, 0, head, head * 0.7f);
  p.arrowHead({c.X + reach, c.Y}, 1, 0, head, head * 0.7f);
}

const Pts kLetterA{{3, 21}, {10, 3}, {14, 3}, {21, 21}, {17, 21}, {15.2f, 16}, {8.8f, 16}, {7, 21}};
const Pts kLetterACounter{{10, 12.8f}, {12, 7}, {14, 12.8f}};

void cropMarks(TGlyphPen& p) {
  p.polyline({{6.5f, 2}, {6.5f, 17.5f}, {22, 17.5f}}, 2.2f);
  p.polyline({{2, 6.5f}, {17.5f, 6.5f}, {17.5f, 22}}, 2.2f);
}

void pipette(TGlyphPen& p, float x, float y, float scale) {
  const Axis a{{x, y}, kDiag * scale, -kDiag * scale};
  p.line(a.at(0, 0), a.at(2.5f, 0), 1.2f * scale);
  p.outlined({a.at(2.5f, -1.9f), a.at(11, -1.9f), a.at(11, 1.9f), a.at(2.5f, 1.9f)}, kPaper, 1.0f);
  p.polygon({a.at(3, -1.4f), a.at(6.5f, -1.4f), a.at(6.5f, 1.4f), a.at(3, 1.4f)}, 60);
  p.polygon({a.at(11, -3.4f), a.at(13, -3.4f), a.at(13, 3.4f), a.at(11, 3.4f)}, kInk);
  p.line(a.at(13, 0), a.at(18.5f, 0), 5.2f * scale);
}

void hand(TGlyphPen& p) {
  struct Stroke {
    P a, b;
    float w;
  };
  const Stroke parts[] = {{{7.5f, 13}, {7.5f, 6.5f}, 2.4f},   {{10.5f, 13}, {10.5f, 4.2f}, 2.4f},
                          {{13.5f, 13}, {13.5f, 4.2f}, 2.4f}, {{16.5f, 13}, {16.5f, 6.5f}, 2.4f},
                          {{6.5f, 15.5f}, {3.2f, 11.5f}, 2.4f}, {{9.5f, 16.5f}, {14.5f, 16.5f}, 8.0f}};
  for (const Stroke& s : parts) p.line(s.a, s.b, s.w + 1.8f, kInk);
  for (const Stroke& s : parts) p.line(s.a, s.b, s.w, kPaper);
}

void circularArrow(TGlyphPen& p) {
  const P c{12, 12};
  p.arc(c, 7.5f, 100, 390, 2.0f);
  const float t = 30.0f * 0.017453292519943295f;
  const P end{c.X + 7.5f * std::cos(t), c.Y - 7.5f * std::sin(t)};
  p.arrowHead({end.X - 1.6f * std::sin(t), end.Y - 1.6f * std::cos(t)}, -std::sin(t), -std::cos(t), 4.5f, 3.2f);
  p.disc(c, 1.3f);
}

void magnifier(TGlyphPen& p) {
  const P c{9.5f, 9.5f};
  p.disc(c, 5.6f, 235);
  p.ring(c, 6.5f, 2.2f);
  p.line({14.6f, 14.6f}, {20.5f, 20.5f}, 3.8f);
}

void padlock(TGlyphPen& p, P c, float scale) {
  p.arc({c.X, c.Y - 3.0f * scale}, 3.6f * scale, 0, 180, 2.0f * scale);
  p.line({c.X - 3.6f * scale, c.Y - 3.0f * scale}, {c.X - 3.6f * scale, c.Y - 1.0f * scale}, 2.0f * scale);
  p.line({c.X + 3.6f * scale, c.Y - 3.0f * scale}, {c.X + 3.6f * scale, c.Y - 1.0f * scale}, 2.0f * scale);
  p.rect(c.X - 5.5f * scale, c.Y - 1.0f * scale, c.X + 5.5f * scale, c.Y + 7.0f * scale);
}

void singleLayer(TGlyphPen& p) { p.outlined(rectPts(6, 8, 19, 21), 215, 1.1f); }
void stackedLayers(TGlyphPen& p) {
  p.outlined(rectPts(8.5f, 4.5f, 21.5f, 17.5f), 240, 1.1f);
  p.outlined(rectPts(3.5f, 8.5f, 16.5f, 21.5f), 215, 1.1f);
}
void circleMarker(TGlyphPen& p, P c) {
  p.ring(c, 5.0f, 1.6f);
  p.line({c.X - 2, c.Y}, {c.X + 2, c.Y}, 1.0f);
  p.line({c.X, c.Y - 2}, {c.X, c.Y + 2}, 1.0f);
}

// A small pipette sampling at the point.
void samplerPipette(TGlyphPen& p, P at) {
  const Axis a{at, kDiag, -kDiag};
  p.line(a.at(0, 0), a.at(11.5f, 0), 4.2f, kPaper);
  p.line(a.at(0, 0), a.at(2, 0), 1.0f);
  p.outlined({a.at(2, -1.3f), a.at(7, -1.3f), a.at(7, 1.3f), a.at(2, 1.3f)}, kPaper, 0.9f);
  p.line(a.at(7.5f, 0), a.at(11, 0), 3.2f);
}

// ---- option indicators ---------------------------------------------------------

enum class Look { None, Use, UnUse };

void indicator(TGlyphPen& p, Look look, bool tone) {
  const bool light = look != Look::Use;
  const float x0 = 4, y0 = 4, x1 = 20, y1 = 20;
  if (tone) {
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i)
        p.disc({6.0f + 4.0f * static_cast<float>(i), 6.0f + 4.0f * static_cast<float>(j)},
               0.7f + 0.35f * static_cast<float>(i), light ? 180 : kInk);
  } else {
    p.polygon(rectPts(x0, y0, x1, y1),
              [=](float x, float) { return mix(light ? 170 : 0, light ? 250 : 235, (x - x0) / (x1 - x0)); });
  }
  if (look == Look::None)
    p.dashed(rectPts(3.5f, 3.5f, 20.5f, 20.5f), 1.1f, 2.2f, 1.6f);
  else
    p.polyline(rectPts(3.5f, 3.5f, 20.5f, 20.5f), 1.2f, kInk, true);
  if (look == Look::UnUse) haloLine(p, {{3.5f, 20.5f}, {20.5f, 3.5f}}, 1.8f);
}

void pressArrow(TGlyphPen& p) {
  p.line({12, 2}, {12, 8}, 2.0f);
  p.arrowHead({12, 11.5f}, 0, 1, 4.0f, 3.5f);
}

using Art = void (*)(TGlyphPen&);

const Art kArt[kGlyphTypeCount] = {
    [](TGlyphPen& p) { pencil(p), variantDab(p, true); },
    [](TGlyphPen& p) { pencil(p), variantDab(p, false); },
    [](TGlyphPen& p) { eraser(p, 13), variantDab(p, true); },
    [](TGlyphPen& p) {  // seed eraser: the eraser over a flooded area
      p.polygon(rectPts(13.5f, 13.5f, 21.5f, 21.5f), 200);
      p.dashed(rectPts(13.5f, 13.5f, 21.5f, 21.5f), 1.1f, 2.0f, 1.4f);
      eraser(p, 11);
    },
    [](TGlyphPen& p) { eraser(p, 13), variantDab(p, false); },
    [](TGlyphPen& p) { brush(p), variantDab(p, true); },
    [](TGlyphPen& p) { brush(p), variantDab(p, false); },
    [](TGlyphPen& p) { airbrush(p), variantDab(p, true); },
    [](TGlyphPen& p) { airbrush(p), variantDab(p, false); },
    [](TGlyphPen& p) { blurDrop(p), variantDab(p, true); },
    [](TGlyphPen& p) { blurDrop(p), variantDab(p, false); },
    [](TGlyphPen& p) { fingertip(p), variantDab(p, true); },
    [](TGlyphPen& p) { fingertip(p), variantDab(p, false); },
    [](TGlyphPen& p) { paletteKnife(p), variantDab(p, true); },
    [](TGlyphPen& p) { flame(p), variantDab(p, true); },
    [](TGlyphPen& p) { flame(p), variantDab(p, false); },
    [](TGlyphPen& p) { sun(p), variantDab(p, true); },
    [](TGlyphPen& p) { sun(p), variantDab(p, false); },
    locus,
    straightLine,
    multiLine,
    [](TGlyphPen& p) { shapeOutline(p, kRectShape); },
    [](TGlyphPen& p) { shapeOutline(p, ellipsePts({12, 12}, 9, 7)); },
    [](TGlyphPen& p) { shapeOutline(p, pentagon({12, 12.8f}, 9)); },
    [](TGlyphPen& p) { shapeFilled(p, kRectShape); },
    [](TGlyphPen& p) { shapeFilled(p, ellipsePts({12, 12}, 9, 7)); },
    [](TGlyphPen& p) { shapeFilled(p, pentagon({12, 12.8f}, 9)); },
    [](TGlyphPen& p) { shapeFilled(p, blob()); },
    bucket,
    [](TGlyphPen& p) {  // gradient: a ramp and the drag that makes it
      linearRamp(p, 3, 5, 21, 19, 0);
      haloLine(p, {{6, 15.5f}, {16, 9.5f}}, 1.3f);
      p.disc({6, 15.5f}, 1.8f, kPaper);
      p.disc({6, 15.5f}, 1.1f);
      p.arrowHead({19, 7.7f}, 10, -6, 4.0f, 2.6f, kPaper);
      p.arrowHead({18.6f, 8.0f}, 10, -6, 3.0f, 1.8f);
    },
    [](TGlyphPen& p) { shapeSelected(p, kRectShape); },
    [](TGlyphPen& p) { shapeSelected(p, ellipsePts({12, 12}, 9, 7)); },
    [](TGlyphPen& p) { shapeSelected(p, pentagon({12, 12.8f}, 9)); },
    lasso,
    magicWand,
    [](TGlyphPen& p) { fourArrows(p, 10.5f, 4.5f, 1.8f); },
    [](TGlyphPen& p) {
      p.dashed(rectPts(1.5f, 1.5f, 22.5f, 22.5f), 1.1f, 2.4f, 1.6f);
      fourArrows(p, 8.0f, 3.6f, 1.6f);
    },
    [](TGlyphPen& p) { p.polygon(kLetterA), p.polygon(kLetterACounter, kPaper); },
    [](TGlyphPen& p) {
      p.dashed(kLetterA, 1.1f, 2.0f, 1.3f);
      p.dashed(kLetterACounter, 1.1f, 2.0f, 1.3f);
    },
    cropMarks,
    [](TGlyphPen& p) { pipette(p, 3.0f, 21.0f, 1.0f); },
    hand,
    circularArrow,
    magnifier,
    [](TGlyphPen& p) {  // density: a drop filling from light to dark
      const Pts d = drop({12, 14}, 6.5f, 11);
      p.polygon(d, [](float, float y) { return mix(245, 20, (y - 4) / 16); });
      p.polyline(d, 1.2f, kInk, true);
    },
    [](TGlyphPen& p) {  // create: a new page
      p.outlined({{5, 2.5f}, {14, 2.5f}, {18.5f, 7}, {18.5f, 21.5f}, {5, 21.5f}}, kPaper, 1.2f);
      p.polyline({{14, 2.5f}, {14, 7}, {18.5f, 7}}, 1.1f);
      haloLine(p, {{17.5f, 14}, {17.5f, 21}}, 2.2f);
      haloLine(p, {{14, 17.5f}, {21, 17.5f}}, 2.2f);
      p.line({17.5f, 14}, {17.5f, 21}, 2.2f);
    },
    [](TGlyphPen& p) {  // delete: a waste bin
      p.line({4, 6.5f}, {20, 6.5f}, 2.0f);
      p.polyline({{9.5f, 6}, {9.5f, 3.5f}, {14.5f, 3.5f}, {14.5f, 6}}, 1.4f);
      p.outlined({{6, 8}, {18, 8}, {17, 21.5f}, {7, 21.5f}}, kPaper, 1.4f);
      for (float x : {9.8f, 12.0f, 14.2f}) p.line({x, 10.5f}, {x, 19.5f}, 1.1f, 60);
    },
    [](TGlyphPen& p) {  // save: a disk
      p.outlined({{3, 3}, {18, 3}, {21, 6}, {21, 21}, {3, 21}}, kInk, 1.0f);
      p.rect(7, 3, 16, 9.5f, kPaper);
      p.rect(12.8f, 4.5f, 14.8f, 8, kInk);
      p.rect(6, 13, 18, 21, kPaper);
      p.line({8, 16}, {16, 16}, 1.0f, 150);
      p.line({8, 18.5f}, {16, 18.5f}, 1.0f, 150);
    },
    [](TGlyphPen& p) {  // anti-aliasing: a circle, in coarse steps on the left and smooth on the right
      const P c{12, 12};
      p.paint(1, 1, 12, 23,
              [c](float x, float y) {
                const float bx = std::floor(x / 2) * 2 + 1.0f, by = std::floor(y / 2) * 2 + 1.0f;
                const float d = std::hypot(bx - c.X, by - c.Y);
                return bx < c.X && std::fabs(d - 8.0f) < 1.2f ? 1.0f : 0.0f;
              },
              [](float, float) { return kInk; });
      p.arc(c, 8.0f, -90, 90, 2.2f);
    },
    [](TGlyphPen& p) {  // brush spacing: dabs and the distance between them
      for (float x : {5.0f, 12.0f, 19.0f}) p.disc({x, 9}, 2.8f);
      p.line({5, 17}, {12, 17}, 1.2f);
      p.line({5, 14.5f}, {5, 19.5f}, 1.0f);
      p.line({12, 14.5f}, {12, 19.5f}, 1.0f);
    },
    [](TGlyphPen& p) {
      pressArrow(p);
      linearRamp(p, 3, 14.5f, 21, 20.5f, 0);
    },
    [](TGlyphPen& p) {
      pressArrow(p);
      p.polygon({{3, 17.5f}, {21, 13.5f}, {21, 21.5f}});
    },
    [](TGlyphPen& p) {  // nib radius
      p.ring({11, 12}, 8.0f, 1.4f);
      p.disc({11, 12}, 1.4f);
      p.line({11, 12}, {16.5f, 12}, 1.3f);
      p.arrowHead({19.2f, 12}, 1, 0, 3.2f, 2.2f);
    },
    [](TGlyphPen& p) {  // smallest nib radius
      p.dashed(ellipsePts({12, 12}, 8.5f, 8.5f), 1.2f, 2.2f, 1.6f, 90);
      p.disc({12, 12}, 3.4f);
      p.line({15.4f, 12}, {18, 12}, 1.2f);
      p.arrowHead({15.6f, 12}, -1, 0, 2.4f, 1.8f);
    },
    [](TGlyphPen& p) { indicator(p, Look::None, false); },
    [](TGlyphPen& p) { indicator(p, Look::Use, false); },
    [](TGlyphPen& p) { indicator(p, Look::UnUse, false); },
    [](TGlyphPen& p) { indicator(p, Look::None, true); },
    [](TGlyphPen& p) { indicator(p, Look::Use, true); },
    [](TGlyphPen& p) { indicator(p, Look::UnUse, true); },
    [](TGlyphPen& p) {  // linear
      linearRamp(p, 3.5f, 3.5f, 20.5f, 20.5f, 0);
      haloLine(p, {{5.5f, 12}, {16, 12}}, 1.3f);
      p.arrowHead({19.5f, 12}, 1, 0, 4.0f, 3.0f, kPaper);
      p.arrowHead({19, 12}, 1, 0, 3.0f, 2.0f);
    },
    [](TGlyphPen& p) {  // radial: the colours sweep round the start point (gradient shape 1)
      // Clockwise from the drag's direction (to the right), where the last
      // colour meets the first.
      ramp(p, 3.5f, 3.5f, 20.5f, 20.5f, [](float x, float y) {
        float t = std::atan2(y - 12, x - 12) / 6.2831853f;
        if (t < 0) t += 1;
        return mix(0, 245, t);
      });
      p.disc({12, 12}, 1.6f);
    },
    [](TGlyphPen& p) {  // circular: rings round the start point (gradient shape 2)
      ramp(p, 3.5f, 3.5f, 20.5f, 20.5f, [](float x, float y) { return mix(0, 255, std::hypot(x - 12, y - 12) / 11); });
    },
    [](TGlyphPen& p) {  // round trip
      ramp(p, 3.5f, 3.5f, 20.5f, 20.5f, [](float x, float) { return mix(0, 245, 1 - std::fabs(x - 12) / 8.5f); });
    },
    [](TGlyphPen& p) {  // repeat
      ramp(p, 3.5f, 3.5f, 20.5f, 20.5f, [](float x, float) {
        const float t = (x - 3.5f) / 17 * 3;
        return mix(0, 245, t - std::floor(t));
      });
    },
    [](TGlyphPen& p) {  // endless
      Pts pts;
      for (int i = 0; i <= 64; ++i) {
        const float t = static_cast<float>(i) / 64 * 6.2831853f;
        const float d = 1 + std::sin(t) * std::sin(t);
        pts.push_back({12 + 9 * std::cos(t) / d, 12 + 9 * std::sin(t) * std::cos(t) / d});
      }
      p.polyline(pts, 2.2f, kInk, true);
    },
    [](TGlyphPen& p) {  // own settings: a ramp with a bookmark
      linearRamp(p, 3.5f, 6, 15, 18, 0);
      p.outlined({{15.5f, 3}, {21, 3}, {21, 21}, {18.25f, 17.5f}, {15.5f, 21}}, kInk, 0.8f);
    },
    [](TGlyphPen& p) {
      magnifier(p);
      p.line({6.5f, 9.5f}, {12.5f, 9.5f}, 1.8f);
      p.line({9.5f, 6.5f}, {9.5f, 12.5f}, 1.8f);
    },
    [](TGlyphPen& p) {
      magnifier(p);
      p.line({6.5f, 9.5f}, {12.5f, 9.5f}, 1.8f);
    },
    [](TGlyphPen& p) {  // grid
      p.polyline(rectPts(3.5f, 3.5f, 20.5f, 20.5f), 1.2f, kInk, true);
      for (float v : {9.17f, 14.83f}) {
        p.line({v, 3.5f}, {v, 20.5f}, 1.1f);
        p.line({3.5f, v}, {20.5f, v}, 1.1f);
      }
    },
    [](TGlyphPen& p) {  // sample an area of one layer
      singleLayer(p);
      p.polyline(rectPts(8, 10, 17, 19), 1.6f, kInk, true);
      samplerPipette(p, {12.5f, 14.5f});
    },
    [](TGlyphPen& p) { stackedLayers(p), circleMarker(p, {10, 15}), samplerPipette(p, {10, 15}); },
    [](TGlyphPen& p) { singleLayer(p), circleMarker(p, {12.5f, 14.5f}), samplerPipette(p, {12.5f, 14.5f}); },
    [](TGlyphPen& p) {  // sampler slider
      p.line({3, 15}, {21, 15}, 2.0f, 90);
      for (float x : {3.0f, 7.5f, 12.0f, 16.5f, 21.0f}) p.line({x, 18}, {x, 20.5f}, 1.0f);
      p.outlined({{11.5f, 5}, {16.5f, 5}, {16.5f, 11}, {14, 13.8f}, {11.5f, 11}}, kPaper, 1.2f);
    },
    [](TGlyphPen& p) {  // flat: a plateau
      p.outlined({{2, 20}, {6.5f, 8}, {17.5f, 8}, {22, 20}}, 150, 1.1f);
      p.line({6.5f, 8}, {17.5f, 8}, 2.4f);
    },
    [](TGlyphPen& p) {  // add
      p.line({12, 4}, {12, 20}, 3.0f);
      p.line({4, 12}, {20, 12}, 3.0f);
    },
    [](TGlyphPen& p) {  // offset along x
      p.line({3.5f, 6}, {3.5f, 18}, 1.6f);
      p.line({6, 12}, {18, 12}, 1.8f);
      p.arrowHead({21.5f, 12}, 1, 0, 4.5f, 3.2f);
    },
    [](TGlyphPen& p) {  // offset along y
      p.line({6, 3.5f}, {18, 3.5f}, 1.6f);
      p.line({12, 6}, {12, 18}, 1.8f);
      p.arrowHead({12, 21.5f}, 0, 1, 4.5f, 3.2f);
    },
    [](TGlyphPen& p) {  // invert: half dark, half light
      p.disc({12, 12}, 8.5f, kPaper);
      Pts half = TGlyphPen::arcPoints({12, 12}, 8.5f, 8.5f, 90, 270, 32);
      p.polygon(half, kInk);
      p.ring({12, 12}, 8.5f, 1.4f);
    },
    [](TGlyphPen& p) {  // protect transparency: a lock over a checkerboard
      p.paint(3, 9, 21, 21, [](float x, float y) { return x >= 3 && x < 21 && y >= 9 && y < 21 ? 1.0f : 0.0f; },
              [](float x, float y) { return (static_cast<int>(x / 3) + static_cast<int>(y / 3)) % 2 ? 150 : 245; });
      padlock(p, {12, 9.5f}, 1.0f);
      p.disc({12, 13}, 1.3f, kPaper);
    },
    [](TGlyphPen& p) {  // extend: arrows out of a square
      p.polyline(rectPts(8, 8, 16, 16), 1.4f, kInk, true);
      for (const auto& [x, y] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
        p.line({12 + 5 * x, 12 + 5 * y}, {12 + 7.5f * x, 12 + 7.5f * y}, 1.5f);
        p.arrowHead({12 + 10.5f * x, 12 + 10.5f * y}, x, y, 3.8f, 2.6f);
      }
    },
    [](TGlyphPen& p) {  // event lock: a lock with a recording dot
      padlock(p, {12, 11}, 1.25f);
      p.disc({12, 15.5f}, 2.6f, kPaper);
    },
    [](TGlyphPen& p) { p.polygon({{7, 4}, {19.5f, 12}, {7, 20}}); },
    [](TGlyphPen& p) { p.rect(6, 5, 10.5f, 19), p.rect(13.5f, 5, 18, 19); },
    [](TGlyphPen& p) { p.polygon({{5, 4}, {15.5f, 12}, {5, 20}}), p.rect(16.5f, 4.5f, 19.5f, 19.5f); },
    [](TGlyphPen& p) { p.rect(6, 6, 18, 18); },
    [](TGlyphPen& p) {  // menu
      for (float y : {7.0f, 12.0f, 17.0f}) p.line({4.5f, y}, {19.5f, y}, 2.2f);
    },
};

}  // namespace

void drawGlyphArt(uint8_t type, TMemoryGraphic& g) {
  if (type >= kGlyphTypeCount) return;
  TGlyphPen pen(g);
  kArt[type](pen);
}

bool buildGlyphSheet(TMTC& sheet) {
  if (!sheet.Resize(kGlyphSize, kGlyphSize * kGlyphTypeCount)) return false;
  TMemoryGraphic cell(kGlyphSize, kGlyphSize, uiClearWhite);
  if (!cell.isValid()) return false;
  for (uint8_t type = 0; type < kGlyphTypeCount; ++type) {
    cell.clear();
    drawGlyphArt(type, cell);
    for (int32_t y = 0; y < kGlyphSize; ++y)
      for (int32_t x = 0; x < kGlyphSize; ++x) {
        const uint32_t px = cell.getPixel(x, y);
        const uint8_t coverage = uiAlpha(px);
        const uint8_t shade = coverage == 0 ? kPaper : uiGreen(px);
        *sheet.pixelAt(x, type * kGlyphSize + y) = packRgba(0, shade, coverage, 255);
      }
  }
  return true;
}

}  // namespace pg
