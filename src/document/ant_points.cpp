#include "document/ant_points.h"

#include <new>
#include <vector>

#include "core/fixed_point.h"
#include "core/planes.h"

namespace pg {

namespace {
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// Floor of a 16.16 value held in 64 bits (an arithmetic shift).
inline int32_t floorFix(int64_t v) { return static_cast<int32_t>(v >> 16); }
}  // namespace

CAntPoints::CAntPoints(const CAntsView* view, uint8_t pattern)
    : view_(view), basePattern_(pattern), pattern_(pattern) {}

void CAntPoints::clear() {
  ++generation_;
  // A list left without a block takes one at its first add().
  (void)left_.reset();  // freeing the block cannot fail
  (void)right_.reset();  // as above
  (void)top_.reset();  // as above
  (void)bottom_.reset();  // as above
}

void CAntPoints::clearAll() {
  clear();
  originX_ = 0;
  originY_ = 0;
}

void CAntPoints::step() { pattern_ = static_cast<uint8_t>((pattern_ >> 1) | (pattern_ << 7)); }

bool CAntPoints::hasPoints() const {
  return left_.count() > 0 && right_.count() > 0 && top_.count() > 0 && bottom_.count() > 0;
}

namespace {
// Adds the edges edge(y, x) for y in [yFirst, yEnd) to the list column by
// column, each column from the top. The plane is read row by row (a column
// walk would touch a new cache line per pixel): the edges are counted per
// column first, then sorted into place.
template <class EdgeFn>
bool addColumnEdges(int32_t w, CPointList& list, EdgeFn edge, int32_t yFirst, int32_t yEnd) {
  try {
    std::vector<int64_t> at(static_cast<size_t>(w) + 1, 0);
    for (int32_t y = yFirst; y < yEnd; ++y)
      for (int32_t x = 0; x < w; ++x)
        if (edge(y, x)) ++at[static_cast<size_t>(x) + 1];
    for (int32_t x = 0; x < w; ++x) at[static_cast<size_t>(x) + 1] += at[static_cast<size_t>(x)];
    std::vector<int32_t> ys(static_cast<size_t>(at[static_cast<size_t>(w)]));
    std::vector<int64_t> next(at.begin(), at.end() - 1);
    for (int32_t y = yFirst; y < yEnd; ++y)
      for (int32_t x = 0; x < w; ++x)
        if (edge(y, x)) ys[static_cast<size_t>(next[static_cast<size_t>(x)]++)] = y;
    for (int32_t x = 0; x < w; ++x)
      for (int64_t k = at[static_cast<size_t>(x)]; k < at[static_cast<size_t>(x) + 1]; ++k)
        if (!list.add(x, ys[static_cast<size_t>(k)])) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
}  // namespace

template <class RowFn>
bool CAntPoints::traceRows(int32_t w, int32_t h, RowFn row, bool keep) {
  if (!keep) clear();
  ++generation_;
  originX_ = 0;
  originY_ = 0;
  if (w <= 0 || h <= 0) return true;
  // Left edges, row by row: a selected pixel whose left neighbour is not.
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* r = row(y);
    if (r[0] && !left_.add(0, y)) return false;
    for (int32_t x = 1; x < w; ++x)
      if (r[x] && !r[x - 1] && !left_.add(x, y)) return false;
  }
  // Right edges, row by row: an unselected pixel whose left neighbour is
  // selected, and the row end after a selected last pixel.
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* r = row(y);
    for (int32_t x = 1; x < w; ++x)
      if (!r[x] && r[x - 1] && !right_.add(x, y)) return false;
    if (r[w - 1] && !right_.add(w, y)) return false;
  }
  // Top edges (a selected pixel under an unselected one or the top border)
  // and bottom edges (below a selected pixel), each column by column.
  return addColumnEdges(w, top_, [&](int32_t y, int32_t x) {
           return row(y)[x] && (y == 0 || !row(y - 1)[x]);
         }, 0, h) &&
         addColumnEdges(w, bottom_, [&](int32_t y, int32_t x) {
           return row(y - 1)[x] && (y == h || !row(y)[x]);
         }, 1, h + 1);
}

bool CAntPoints::trace(const TChannel& plane, bool keep) {
  if (!plane.IsAllocated()) return traceRows(0, 0, [](int32_t) -> const uint8_t* { return nullptr; }, keep);
  return traceRows(
      plane.Width, plane.Height,
      [&plane](int32_t y) { return static_cast<const uint8_t*>(plane.pixelAt(0, y)); }, keep);
}

bool CAntPoints::trace(const uint8_t* rows, int32_t w, int32_t h, int64_t stride, bool keep) {
  if (!rows) return traceRows(0, 0, [](int32_t) -> const uint8_t* { return nullptr; }, keep);
  return traceRows(w, h, [rows, stride](int32_t y) { return rows + y * stride; }, keep);
}

template <class Sink>
void CAntPoints::drawList(const CPointList& list, bool leading, bool horizontal, Sink& sink) const {
  const bool magnified = magnified_;
  // One pixel per edge point below 1:1, else the zoom rounded (.375 and up).
  const int32_t n = magnified ? static_cast<int32_t>((static_cast<int64_t>(zoom_) + 40960) >> 16) : 1;
  // Steps per drawn pixel along the edge, in 16.16.
  const int64_t sx = horizontal ? cosine_ : sine_;
  const int64_t sy = horizontal ? -static_cast<int64_t>(sine_) : cosine_;
  list.forEach([&](const TPoint& p) {
    // The origin is a document offset, so it is applied before the mapping.
    int32_t x = static_cast<int32_t>(static_cast<int64_t>(p.X) + originX_);
    int32_t y = static_cast<int32_t>(static_cast<int64_t>(p.Y) + originY_);
    view_->paperToWindow(x, y);
    if (!clip_.contains(x, y)) return;
    if (!leading) {
      const int32_t shift = magnified ? -1 : 1;
      if (horizontal)
        y += shift;
      else
        x += shift;
    }
    int64_t ax = static_cast<int64_t>(x) * 65536 + 24576;
    int64_t ay = static_cast<int64_t>(y) * 65536 + 24576;
    for (int32_t i = 0; i < n; ++i) {
      sink(x, y, isBlackAt(pattern_, x, y));
      ax += sx;
      ay += sy;
      x = floorFix(ax);
      y = floorFix(ay);
    }
  });
}

template <class Sink>
bool CAntPoints::drawAll(const SAntsClip& clip, Sink& sink) {
  if (!hasPoints() || !view_) return false;
  clip_ = clip;
  const float z = view_->zoom();
  magnified_ = z >= 1.0f;
  zoom_ = floatToFix(z);
  sine_ = floatToFix(view_->sinA());
  cosine_ = floatToFix(view_->cosA());
  drawList(left_, true, false, sink);
  drawList(top_, true, true, sink);
  drawList(right_, false, false, sink);
  drawList(bottom_, false, true, sink);
  return true;
}

bool CAntPoints::draw(TMTC& target, const SAntsClip& clip) {
  if (!target.IsAllocated()) return false;
  const int32_t w = target.Width;
  const int32_t h = target.Height;
  auto sink = [&target, w, h](int32_t x, int32_t y, bool black) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    *target.pixelAt(x, y) = black ? kBlack : kWhite;
  };
  return drawAll(clip, sink);
}

bool CAntPoints::draw(const SAntsClip& clip, const std::function<void(int32_t, int32_t, bool)>& sink) {
  if (!sink) return false;
  return drawAll(clip, sink);
}

}  // namespace pg
