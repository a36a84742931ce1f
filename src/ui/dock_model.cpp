#include "ui/dock_model.h"

#include <algorithm>
#include <cmath>

namespace pg {

namespace {

int32_t widthOf(const TRect& r) { return r.Right - r.Left; }
int32_t heightOf(const TRect& r) { return r.Bottom - r.Top; }

bool validName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

// ---- views ----------------------------------------------------------------

int32_t CDockModel::registerView(const SDockView& view) {
  if (viewCount() >= kDockMaxViews || !validName(view.name) || viewByName(view.name) >= 0) return -1;
  SDockView v = view;
  v.minWidth = std::max(1, v.minWidth);
  v.minHeight = std::max(1, v.minHeight);
  if (v.maxHeight != 0 && v.maxHeight < v.minHeight) v.maxHeight = v.minHeight;
  v.width = std::max(v.width, v.minWidth);
  v.height = std::max(v.height, v.minHeight);
  v.defaultWidth = std::max(v.defaultWidth, v.minWidth);
  v.defaultHeight = std::max(v.defaultHeight, v.minHeight);
  v.shown = true;
  v.collapsed = false;
  v.active = false;
  views_.push_back(std::move(v));
  return viewCount() - 1;
}

int32_t CDockModel::viewByName(std::string_view name) const {
  for (int32_t i = 0; i < viewCount(); ++i)
    if (views_[i].name == name) return i;
  return -1;
}

SDockPlace CDockModel::placeOf(int32_t view) const {
  for (int32_t f = 0; f < formCount(); ++f)
    for (int32_t p = 0; p < paneCount(f); ++p) {
      const auto& vs = forms_[f].panes[p].views;
      for (int32_t i = 0; i < static_cast<int32_t>(vs.size()); ++i)
        if (vs[i] == view) return {f, p, i};
    }
  return {};
}

bool CDockModel::viewVisible(int32_t view) const {
  if (!validView(view)) return false;
  const SDockView& v = views_[view];
  return v.active && v.shown && !v.collapsed;
}

int32_t CDockModel::showState(int32_t view) const {
  const SDockPlace at = placeOf(view);
  if (at.form < 0 || !forms_[at.form].visible) return kDockStateNoForm;
  if (views_[view].collapsed) return kDockStateCollapsed;
  if (!viewVisible(view)) return kDockStateHidden;
  return kDockStateShown;
}

void CDockModel::setViewSize(int32_t view, int32_t width, int32_t height) {
  if (!validView(view)) return;
  SDockView& v = views_[view];
  v.width = std::max(width, v.minWidth);
  v.height = std::max(height, v.minHeight);
  if (v.maxHeight > 0) v.height = std::min(v.height, v.maxHeight);
}

// ---- forms and panes --------------------------------------------------------

int32_t CDockModel::formIndexOfId(uint32_t id) const {
  for (int32_t f = 0; f < formCount(); ++f)
    if (forms_[f].id == id) return f;
  return -1;
}

int32_t CDockModel::paneIndexOfId(int32_t form, uint32_t id) const {
  for (int32_t p = 0; p < paneCount(form); ++p)
    if (forms_[form].panes[p].id == id) return p;
  return -1;
}

int32_t CDockModel::totalPanes() const {
  int32_t n = 0;
  for (const auto& f : forms_) n += static_cast<int32_t>(f.panes.size());
  return n;
}

int32_t CDockModel::floatingFormCount() const {
  int32_t n = 0;
  for (const auto& f : forms_)
    if (!f.pinned) ++n;
  return n;
}

bool CDockModel::addPinnedForm(const TRect& bounds) {
  if (!forms_.empty() && forms_[0].pinned) return false;
  SDockForm f;
  f.id = nextId_++;
  f.bounds = bounds;
  f.pinned = true;
  forms_.insert(forms_.begin(), std::move(f));
  return true;
}

int32_t CDockModel::newForm(const TRect& bounds) {
  if (floatingFormCount() >= kDockMaxForms) return -1;
  SDockForm f;
  f.id = nextId_++;
  f.bounds = bounds;
  forms_.push_back(std::move(f));
  return formCount() - 1;
}

void CDockModel::setFormBounds(int32_t form, const TRect& bounds) {
  if (form >= 0 && form < formCount()) forms_[form].bounds = bounds;
}

void CDockModel::setFormVisible(int32_t form, bool visible) {
  if (form >= 0 && form < formCount()) forms_[form].visible = visible;
}

SDockPane* CDockModel::paneAt(int32_t form, int32_t pane) {
  if (form < 0 || form >= formCount() || pane < 0 || pane >= paneCount(form)) return nullptr;
  return &forms_[form].panes[pane];
}

int32_t CDockModel::insertPane(int32_t form, int32_t at) {
  if (totalPanes() >= kDockMaxPanes) return -1;
  auto& panes = forms_[form].panes;
  if (at < 0 || at > static_cast<int32_t>(panes.size())) at = static_cast<int32_t>(panes.size());
  SDockPane p;
  p.id = nextId_++;
  panes.insert(panes.begin() + at, std::move(p));
  return at;
}

void CDockModel::applyActive(SDockPane& p) {
  const int32_t n = static_cast<int32_t>(p.views.size());
  for (int32_t i = 0; i < n; ++i) views_[p.views[i]].active = (i == p.activeIndex);
}

bool CDockModel::addView(int32_t form, int32_t paneIndex, int32_t view) {
  if (!validView(view) || form < 0 || form >= formCount() || placeOf(view).form >= 0) return false;
  if (paneIndex < 0 || paneIndex >= paneCount(form)) {
    paneIndex = insertPane(form, -1);
    if (paneIndex < 0) return false;
  }
  SDockPane& p = forms_[form].panes[paneIndex];
  p.views.push_back(view);
  setActiveIndex(form, paneIndex, static_cast<int32_t>(p.views.size()) - 1);
  return true;
}

void CDockModel::dropEmpty(int32_t form, int32_t pane) {
  auto& panes = forms_[form].panes;
  if (panes[pane].views.empty()) panes.erase(panes.begin() + pane);
  if (panes.empty() && !forms_[form].pinned) {
    forms_.erase(forms_.begin() + form);
    return;
  }
  fitHeight(form);
}

bool CDockModel::removeView(int32_t view) {
  const SDockPlace at = placeOf(view);
  if (at.form < 0) return false;
  SDockPane& p = forms_[at.form].panes[at.pane];
  p.views.erase(p.views.begin() + at.index);
  SDockView& v = views_[view];
  v.active = false;
  v.collapsed = false;
  if (!p.views.empty()) {
    p.activeIndex = std::clamp(p.activeIndex, 0, static_cast<int32_t>(p.views.size()) - 1);
    applyActive(p);
  } else {
    p.activeIndex = -1;
  }
  dropEmpty(at.form, at.pane);
  return true;
}

void CDockModel::setActiveIndex(int32_t form, int32_t pane, int32_t index) {
  SDockPane* p = paneAt(form, pane);
  if (!p || index < 0 || index >= static_cast<int32_t>(p->views.size())) return;
  p->activeIndex = index;
  applyActive(*p);
  // Activating a tab opens a folded pane.
  for (int32_t v : p->views) views_[v].collapsed = false;
  fitHeight(form);
}

bool CDockModel::activeHidden(int32_t form, int32_t pane) const {
  if (form < 0 || form >= formCount() || pane < 0 || pane >= paneCount(form)) return false;
  const SDockPane& p = forms_[form].panes[pane];
  if (p.activeIndex < 0) return false;
  return views_[p.views[p.activeIndex]].collapsed;
}

void CDockModel::setAllHidden(int32_t form, int32_t pane, bool collapsed) {
  SDockPane* p = paneAt(form, pane);
  if (!p) return;
  for (int32_t v : p->views) views_[v].collapsed = collapsed;
  fitHeight(form);
}

int32_t CDockModel::shownCount(int32_t form, int32_t pane) const {
  if (form < 0 || form >= formCount() || pane < 0 || pane >= paneCount(form)) return 0;
  int32_t n = 0;
  for (int32_t v : forms_[form].panes[pane].views)
    if (views_[v].shown) ++n;
  return n;
}

int32_t CDockModel::nextShown(int32_t form, int32_t pane, int32_t index) const {
  if (form < 0 || form >= formCount() || pane < 0 || pane >= paneCount(form)) return -1;
  const auto& vs = forms_[form].panes[pane].views;
  const int32_t n = static_cast<int32_t>(vs.size());
  for (int32_t i = index + 1; i < n; ++i)
    if (views_[vs[i]].shown) return i;
  for (int32_t i = std::min(index, n) - 1; i >= 0; --i)
    if (views_[vs[i]].shown) return i;
  return -1;
}

void CDockModel::setShown(int32_t view, bool shown) {
  if (!validView(view)) return;
  views_[view].shown = shown;
  const SDockPlace at = placeOf(view);
  if (at.form < 0) return;
  SDockForm& f = forms_[at.form];
  SDockPane& p = f.panes[at.pane];
  if (shown) {
    for (int32_t v : p.views) views_[v].collapsed = false;
    p.activeIndex = at.index;
    applyActive(p);
    f.visible = true;
    fitHeight(at.form);
    return;
  }
  if (p.activeIndex == at.index) {
    const int32_t next = nextShown(at.form, at.pane, at.index);
    if (next >= 0) {
      p.activeIndex = next;
      applyActive(p);
    } else if (f.panes.size() > 1) {
      for (int32_t v : p.views) views_[v].collapsed = true;
    } else {
      f.visible = false;
    }
  }
  // A pane never keeps an active view the user cannot bring back by its tab.
  const int32_t active = p.views[p.activeIndex];
  if (!views_[active].shown) views_[active].shown = true;
  fitHeight(at.form);
}

bool CDockModel::allCollapsed(int32_t form) const {
  if (form < 0 || form >= formCount() || forms_[form].panes.empty()) return false;
  for (int32_t p = 0; p < paneCount(form); ++p)
    if (!activeHidden(form, p)) return false;
  return true;
}

void CDockModel::setAllCollapsed(int32_t form, bool collapsed) {
  if (form < 0 || form >= formCount() || forms_[form].panes.empty()) return;
  for (auto& p : forms_[form].panes)
    for (int32_t v : p.views) views_[v].collapsed = collapsed;
  fitHeight(form);
}

// ---- layout ------------------------------------------------------------------

int32_t CDockModel::paneHeight(int32_t form, int32_t pane) const {
  const SDockPane& p = forms_[form].panes[pane];
  int32_t h = stripHeight(form, pane);
  if (p.activeIndex >= 0 && viewVisible(p.views[p.activeIndex])) h += views_[p.views[p.activeIndex]].height;
  return h;
}

int32_t CDockModel::fittedClientHeight(int32_t form) const {
  int32_t h = 0;
  for (int32_t p = 0; p < paneCount(form); ++p) h += paneHeight(form, p);
  return h;
}

std::vector<SDockPaneLayout> CDockModel::layout(int32_t form, int32_t clientHeight) const {
  std::vector<SDockPaneLayout> out;
  int32_t y = 0;
  const int32_t n = paneCount(form);
  for (int32_t i = 0; i < n; ++i) {
    const SDockPane& p = forms_[form].panes[i];
    SDockPaneLayout l;
    l.top = y;
    l.stripHeight = stripHeight(form, i);
    y += l.stripHeight;
    l.viewTop = y;
    if (p.activeIndex >= 0 && viewVisible(p.views[p.activeIndex])) {
      l.viewHeight = views_[p.views[p.activeIndex]].height;
      if (i == n - 1) l.viewHeight = std::max(l.viewHeight, clientHeight - y);
      y += l.viewHeight;
    }
    out.push_back(l);
  }
  return out;
}

TRect CDockModel::clientOf(const TRect& b) {
  return {b.Left + kDockBorder, b.Top + kDockBorder + kDockCaptionHeight, b.Right - kDockBorder,
          b.Bottom - kDockBorder};
}

TRect CDockModel::boundsForClient(int32_t left, int32_t top, int32_t clientWidth, int32_t clientHeight) {
  return {left, top, left + clientWidth + 2 * kDockBorder,
          top + clientHeight + 2 * kDockBorder + kDockCaptionHeight};
}

void CDockModel::fitHeight(int32_t form) {
  if (form < 0 || form >= formCount()) return;
  SDockForm& f = forms_[form];
  if (f.panes.empty()) return;
  const TRect c = clientOf(f.bounds);
  int32_t width = widthOf(c);
  for (int32_t p = 0; p < paneCount(form); ++p) {
    const SDockPane& pane = f.panes[p];
    if (pane.activeIndex >= 0) width = std::max(width, views_[pane.views[pane.activeIndex]].minWidth);
  }
  for (auto& p : f.panes)
    for (int32_t v : p.views) views_[v].width = std::max(width, views_[v].minWidth);
  f.bounds = boundsForClient(f.bounds.Left, f.bounds.Top, width, fittedClientHeight(form));
}

void CDockModel::trackLimits(int32_t form, int32_t& minWidth, int32_t& minHeight, int32_t& maxHeight) const {
  const int32_t frameW = 2 * kDockBorder;
  const int32_t frameH = 2 * kDockBorder + kDockCaptionHeight;
  minWidth = frameW + 1;
  minHeight = frameH;
  maxHeight = 0;
  const int32_t n = paneCount(form);
  if (n == 0) return;
  int32_t widest = 200;  // a pane's own minimum width
  int32_t others = 0;
  for (int32_t i = 0; i < n; ++i) {
    const SDockPane& p = forms_[form].panes[i];
    if (p.activeIndex >= 0 && viewVisible(p.views[p.activeIndex]))
      widest = std::max(widest, views_[p.views[p.activeIndex]].minWidth);
    if (i < n - 1) others += paneHeight(form, i);
  }
  minWidth = widest + frameW;
  const SDockPane& last = forms_[form].panes[n - 1];
  const int32_t strip = stripHeight(form, n - 1);
  const SDockView* av = last.activeIndex >= 0 ? &views_[last.views[last.activeIndex]] : nullptr;
  int32_t share = 0;
  if (av && av->shown) share = av->collapsed ? strip : strip + av->minHeight;
  minHeight = others + share + frameH;
  if (!av || !viewVisible(last.views[last.activeIndex]))
    maxHeight = others + strip + frameH;
  else if (av->maxHeight > 0)
    maxHeight = others + strip + av->maxHeight + frameH;
}

void CDockModel::resizeForm(int32_t form, const TRect& bounds) {
  if (form < 0 || form >= formCount()) return;
  SDockForm& f = forms_[form];
  f.bounds = bounds;
  const int32_t n = paneCount(form);
  if (n == 0) return;
  const TRect c = clientOf(bounds);
  for (auto& p : f.panes)
    for (int32_t v : p.views) views_[v].width = std::max(widthOf(c), views_[v].minWidth);
  const SDockPane& last = f.panes[n - 1];
  if (last.activeIndex >= 0 && viewVisible(last.views[last.activeIndex])) {
    int32_t above = 0;
    for (int32_t i = 0; i < n - 1; ++i) above += paneHeight(form, i);
    setViewSize(last.views[last.activeIndex], views_[last.views[last.activeIndex]].width,
                heightOf(c) - above - stripHeight(form, n - 1));
  }
}

bool CDockModel::dragGrip(int32_t form, int32_t pane, int32_t dy) {
  if (form < 0 || form >= formCount() || pane <= 0 || pane >= paneCount(form)) return false;
  for (int32_t i = pane - 1; i >= 0; --i) {
    const SDockPane& p = forms_[form].panes[i];
    if (p.activeIndex < 0) continue;
    const int32_t v = p.views[p.activeIndex];
    if (!viewVisible(v)) continue;
    setViewSize(v, views_[v].width, views_[v].height + dy);
    fitHeight(form);
    return true;
  }
  return false;
}

// ---- docking -------------------------------------------------------------------

int32_t CDockModel::findDropPosition(int32_t form, int32_t y) const {
  const int32_t n = paneCount(form);
  for (int32_t i = 0; i < n; ++i) {
    if (y < kDockGripHeight || (i > 0 && y < 2 * kDockGripHeight)) return i + n;
    const int32_t h = paneHeight(form, i);
    if (y < h - kDockGripHeight) return i;
    y -= h;
  }
  return -1;
}

TRect CDockModel::dropIndicator(int32_t form, int32_t position) const {
  const int32_t n = paneCount(form);
  const int32_t width = widthOf(clientOf(forms_[form].bounds));
  int32_t top = 0;
  std::vector<int32_t> tops;
  for (int32_t i = 0; i < n; ++i) {
    tops.push_back(top);
    top += paneHeight(form, i);
  }
  if (position >= 0 && position < n) {
    const int32_t t = tops[position] + (position > 0 ? kDockGripHeight : 0);
    return {0, t, width, tops[position] + paneHeight(form, position)};
  }
  if (position >= n && position < 2 * n) {
    const int32_t i = position - n;
    const int32_t t = tops[i] - (i > 0 ? 2 : 4);
    return {0, t, width, t + 8};
  }
  return {0, top - 4, width, top + 4};
}

DockDrop CDockModel::endDock(int32_t view, int32_t form, int32_t position) {
  const SDockPlace at = placeOf(view);
  if (at.form < 0 || form < 0 || form >= formCount()) return DockDrop::Refused;
  const int32_t n = paneCount(form);
  // Alone in its own form: dropping it there only opens it again.
  if (at.form == form && n == 1 && forms_[form].panes[0].views.size() == 1) {
    setAllHidden(form, 0, false);
    return DockDrop::Uncollapsed;
  }
  const bool alone = forms_[at.form].panes[at.pane].views.size() == 1;
  const uint32_t formId = forms_[form].id;
  if (position >= 0 && position < n) {
    if (at.form == form && at.pane == position) {
      setAllHidden(form, position, false);
      return DockDrop::Uncollapsed;
    }
    const uint32_t paneId = forms_[form].panes[position].id;
    (void)removeView(view);  // placed, checked above
    const int32_t f = formIndexOfId(formId);
    const int32_t p = paneIndexOfId(f, paneId);
    (void)addView(f, p, view);  // an existing pane always takes the view
    forms_[f].visible = true;
    return DockDrop::Moved;
  }
  if (!alone && totalPanes() >= kDockMaxPanes) return DockDrop::Refused;
  int32_t insertAt = position - n;
  if (insertAt < 0 || insertAt >= n) insertAt = n;
  if (alone && at.form == form && at.pane < insertAt) --insertAt;
  (void)removeView(view);  // placed, checked above
  const int32_t f = formIndexOfId(formId);
  const int32_t p = insertPane(f, insertAt);
  (void)addView(f, p, view);  // the form and its new pane were just found and made
  forms_[f].visible = true;
  return DockDrop::Moved;
}

TRect CDockModel::floatBoundsFor(int32_t view, TPoint p) const {
  const SDockView& v = views_[view];
  return boundsForClient(p.X, p.Y, v.width, kDockTopStripHeight + v.height);
}

bool CDockModel::floatView(int32_t view, const TRect& bounds) {
  const SDockPlace at = placeOf(view);
  if (at.form >= 0) {
    const SDockForm& f = forms_[at.form];
    if (!f.pinned && f.panes.size() == 1 && f.panes[0].views.size() == 1) {
      // Already alone in a form of its own: the form simply moves.
      forms_[at.form].bounds = bounds;
      forms_[at.form].visible = true;
      setAllHidden(at.form, 0, false);
      return true;
    }
  }
  const bool alone = at.form >= 0 && forms_[at.form].panes[at.pane].views.size() == 1;
  if (floatingFormCount() >= kDockMaxForms) return false;
  if (!alone && totalPanes() >= kDockMaxPanes) return false;
  (void)removeView(view);  // false only for a view not placed yet, which has nothing to leave
  const int32_t f = newForm(bounds);
  (void)addView(f, -1, view);  // the form was just made: the counts were checked above
  return true;
}

// ---- hiding all ------------------------------------------------------------------

void CDockModel::hideAll() {
  for (auto& f : forms_) {
    if (!(hidden_ && !f.visible)) f.wasVisible = f.visible;
    f.visible = false;
  }
  hidden_ = true;
}

void CDockModel::showAll() {
  for (auto& f : forms_)
    if (f.wasVisible) f.visible = true;
  hidden_ = false;
}

// ---- arrangement -------------------------------------------------------------------

void CDockModel::clear() {
  for (int32_t v = 0; v < viewCount(); ++v) (void)removeView(v);  // unplaced views answer false
  std::erase_if(forms_, [](const SDockForm& f) { return !f.pinned; });
  hidden_ = false;
}

void CDockModel::floatUnplaced(const TRect& area) {
  int32_t k = 0;
  for (int32_t v = 0; v < viewCount(); ++v) {
    if (placeOf(v).form >= 0) continue;
    const TRect b = floatBoundsFor(v, {area.Left + 24 * k, area.Top + 24 * k});
    ++k;
    const int32_t f = newForm(b);
    if (f < 0 || !addView(f, -1, v)) {
      if (f >= 0 && forms_[f].panes.empty()) forms_.erase(forms_.begin() + f);
      return;
    }
  }
}

void CDockModel::defaultArrangement(const TRect& area) {
  clear();
  for (auto& v : views_) {
    v.width = v.defaultWidth;
    v.height = v.defaultHeight;
    v.shown = true;
  }
  if (!forms_.empty() && forms_[0].pinned) {
    SDockForm& t = forms_[0];
    t.bounds = {area.Left, area.Top, area.Left + widthOf(t.bounds), area.Top + heightOf(t.bounds)};
    t.visible = true;
  }
  // Groups in the order their first view was registered.
  std::vector<int32_t> groups;
  std::vector<int32_t> singles;
  for (int32_t v = 0; v < viewCount(); ++v) {
    const int32_t g = views_[v].defaultGroup;
    if (g < 0)
      groups.push_back(-1 - v);  // a view of its own
    else if (std::find(groups.begin(), groups.end(), g) == groups.end())
      groups.push_back(g);
  }
  // Down the right edge; a form that would pass the bottom starts a new
  // column to the left, so that no panel is placed off the area.
  int32_t y = area.Top;
  int32_t right = area.Right;
  int32_t columnLeft = area.Right;
  int32_t cornerX = area.Left;
  int32_t last = -1;
  std::vector<int32_t> column;  // the forms placed along the right edge
  for (int32_t g : groups) {
    std::vector<int32_t> members;
    for (int32_t v = 0; v < viewCount(); ++v)
      if ((g < 0 && v == -1 - g) || (g >= 0 && views_[v].defaultGroup == g)) members.push_back(v);
    const int32_t f = newForm(floatBoundsFor(members[0], {area.Left, y}));
    if (f < 0) break;
    for (int32_t v : members) (void)addView(f, 0, v);  // the form was just made and each member is placed nowhere yet
    setActiveIndex(f, 0, 0);
    SDockForm& form = forms_[f];
    // Placed by the size the form will really take: its panes' minimum may
    // exceed the size its first view asked for.
    int32_t minW = 0, minH = 0, maxH = 0;
    trackLimits(f, minW, minH, maxH);
    // Wide enough that the tabs of the pane stand side by side.
    std::vector<int32_t> tabs;
    for (int32_t v : members) tabs.push_back(views_[v].tabWidth);
    const int32_t tabsWidth = widthOf(boundsForClient(0, 0, dockTabsStripWidth(tabs), 1));
    const int32_t w = std::max({widthOf(form.bounds), minW, tabsWidth});
    const int32_t h = std::max(heightOf(form.bounds), minH);
    if (views_[members[0]].defaultAtCorner) {
      form.bounds = {cornerX, area.Top, cornerX + w, area.Top + h};
      cornerX += w;
      continue;
    }
    if (y > area.Top && y + h > area.Bottom) {
      // The column ends: its last form reaches the bottom, as the last of all does.
      if (last >= 0 && forms_[last].bounds.Bottom < area.Bottom) {
        TRect b = forms_[last].bounds;
        b.Bottom = area.Bottom;
        resizeForm(last, b);
      }
      right = columnLeft;
      y = area.Top;
    }
    form.bounds = {right - w, y, right, y + h};
    columnLeft = std::min(columnLeft, right - w);
    y = form.bounds.Bottom;
    last = f;
    column.push_back(f);
  }
  // The forms of one column share its widest width.
  for (int32_t f : column) {
    int32_t left = forms_[f].bounds.Left;
    for (int32_t g : column)
      if (forms_[g].bounds.Right == forms_[f].bounds.Right) left = std::min(left, forms_[g].bounds.Left);
    forms_[f].bounds.Left = left;
  }
  if (last >= 0 && forms_[last].bounds.Bottom < area.Bottom) {
    TRect b = forms_[last].bounds;
    b.Bottom = area.Bottom;
    resizeForm(last, b);
  }
}

// ---- tab layout -----------------------------------------------------------------------

int32_t dockTabsStripWidth(const std::vector<int32_t>& widths) {
  // layoutDockTabs pulls the tabs left once the row's end reaches the strip
  // width minus 30.
  int32_t x = 4;
  for (int32_t w : widths) x += w - 9;
  return x + 31;
}

std::vector<int32_t> layoutDockTabs(const std::vector<int32_t>& widths, const std::vector<bool>& shown,
                                    int32_t stripWidth) {
  const int32_t n = static_cast<int32_t>(std::min(widths.size(), shown.size()));
  std::vector<int32_t> pos(n, -1);
  int32_t x = 4;
  for (int32_t i = 0; i < n; ++i) {
    if (!shown[i]) continue;
    pos[i] = x;
    x += widths[i] - 9;
  }
  const int32_t limit = stripWidth - 30;
  if (x >= limit && n > 1) {
    const double overflow = x - limit;
    int32_t k = 0;
    for (int32_t i = 1; i < n; ++i) {
      if (!shown[i]) continue;
      ++k;
      pos[i] -= static_cast<int32_t>(std::nearbyint(k * overflow / (n - 1) + 0.5));
    }
  }
  return pos;
}

}  // namespace pg
