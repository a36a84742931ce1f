// Link levels group layers: a layer's group is itself and the unbroken run of
// layers directly above it whose levels are greater than its own; the parent
// of a layer is the nearest layer below it with a smaller level.
#include <algorithm>
#include <new>

#include "document/layer_mngr.h"

namespace pg {

bool CLayerMngr::refreshLinkBuffer() {
  try {
    linkBuffer_.resize(static_cast<size_t>(count()));
  } catch (const std::bad_alloc&) {
    linkBuffer_.clear();
    return false;
  }
  for (int32_t i = 0; i < count(); ++i)
    linkBuffer_[static_cast<size_t>(i)] =
        static_cast<uint8_t>(std::clamp(layers_[static_cast<size_t>(i)]->linkLevel, 0, kMaxLinkLevel));
  return true;
}

int32_t CLayerMngr::maxLinkLevel(bool refresh) {
  if ((refresh || linkBuffer_.size() != layers_.size()) && !refreshLinkBuffer()) return -1;
  int32_t m = 0;
  for (uint8_t v : linkBuffer_) m = std::max<int32_t>(m, v);
  return m;
}

int32_t CLayerMngr::linkGroupLength(int32_t i, bool refresh) {
  if (!isValidIndex(i)) return -1;
  if ((refresh || linkBuffer_.size() != layers_.size()) && !refreshLinkBuffer()) return -1;
  const int32_t base = levelAt(i);
  int32_t n = 0;
  while (i + 1 + n < count() && levelAt(i + 1 + n) > base) ++n;
  return n;
}

bool CLayerMngr::canMergeDown(int32_t i) {
  if (i < 1 || i > count() - 1) return false;
  if (linkGroupLength(i, true) != 0) return false;
  const int32_t below = levelAt(i - 1);
  const int32_t level = levelAt(i);
  return below == level - 1 || below == level;
}

bool CLayerMngr::canIndent(int32_t i, bool refresh) {
  if (i < 1 || i > count() - 1) return false;
  const int32_t deepest = maxLinkLevel(refresh);
  if (deepest < 0 || deepest >= 249) return false;
  return levelAt(i - 1) >= levelAt(i);
}

bool CLayerMngr::canOutdent(int32_t i, bool refresh) {
  if (i < 1 || i > count() - 1) return false;
  if ((refresh || linkBuffer_.size() != layers_.size()) && !refreshLinkBuffer()) return false;
  return levelAt(i) > 0;
}

bool CLayerMngr::indentGroup(int32_t i, bool indent, bool refresh) {
  if (indent ? !canIndent(i, refresh) : !canOutdent(i, refresh)) return false;
  const int32_t n = linkGroupLength(i, false);
  if (n < 0) return false;
  const int32_t delta = indent ? 1 : -1;
  for (int32_t k = 0; k <= n; ++k) layers_[static_cast<size_t>(i + k)]->addLinkLevel(delta);
  (void)refreshLinkBuffer();  // an empty buffer is refilled by its next reader
  return true;
}

int32_t CLayerMngr::shiftLinkLevels(int32_t i, int32_t n, bool refresh, int32_t delta) {
  if (!clampRun(i, n)) return 0;
  for (int32_t k = 0; k < n; ++k) layers_[static_cast<size_t>(i + k)]->addLinkLevel(delta);
  if (refresh) (void)refreshLinkBuffer();  // as above
  return n;
}

bool CLayerMngr::applyLinkLevels(const uint8_t* levels, int32_t i, int32_t n) {
  if (!levels || !clampRun(i, n)) return false;
  for (int32_t k = 0; k < n; ++k) layers_[static_cast<size_t>(i + k)]->setLinkLevel(levels[k]);
  return true;
}

bool CLayerMngr::canMoveGroup(int32_t to, int32_t from, bool refresh, int32_t n) {
  if (!isValidIndex(from) || to < 0 || to > count()) return false;
  const int32_t len = linkGroupLength(from, refresh);
  if (len < 0 || len + 1 != n) return false;
  return to < from || to > from + n;
}

int32_t CLayerMngr::moveGroup(int32_t to, int32_t from, int32_t n) {
  if (!canMoveGroup(to, from, true, n)) return -1;
  // The group goes under the layer below its new place: at that layer's
  // level, one deeper when that layer already heads a group.
  int32_t base = 0;
  if (to > 0) {
    base = levelAt(to - 1);
    if (linkGroupLength(to - 1, false) > 0) base += 1;
  }
  const int32_t delta = base - levelAt(from);
  int32_t result;
  if (from >= to) {
    for (int32_t k = 0; k < n; ++k) {
      std::unique_ptr<CLayerData> l = extractLayer(from + k);
      insertAt(to + k, std::move(l));
    }
    result = to;
  } else {
    for (int32_t k = 0; k < n; ++k) {
      std::unique_ptr<CLayerData> l = extractLayer(from);
      insertAt(to - 1, std::move(l));
    }
    result = to - n;
  }
  for (int32_t k = 0; k < n; ++k) layers_[static_cast<size_t>(result + k)]->addLinkLevel(delta);
  renumber();
  (void)refreshLinkBuffer();  // an empty buffer is refilled by its next reader
  return result;
}

}  // namespace pg
