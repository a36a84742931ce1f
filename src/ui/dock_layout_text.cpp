// The saved arrangement of the dock model: a short text kept in the
// preferences. It is read back as untrusted input: every line, count, index
// and size is checked, and anything wrong rejects the whole text so that the
// caller falls back to the default arrangement.
//
//   PGDOCK 1
//   screen <left> <top> <right> <bottom>
//   form <left> <top> <right> <bottom> <visible 0|1> <pinned 0|1>
//   pane <active index> <collapsed 0|1>
//   view <name> <width> <height> <shown 0|1>
//   end
#include <charconv>
#include <string>
#include <vector>

#include "ui/dock_model.h"

namespace pg {

namespace {

constexpr const char* kLayoutMagic = "PGDOCK 1";
constexpr size_t kMaxLayoutText = 16 * 1024;
constexpr int32_t kMinCaptionVisible = 32;
constexpr int64_t kMaxFormHeight = 1 << 20;

void appendInts(std::string& out, std::initializer_list<int32_t> values) {
  for (int32_t v : values) {
    out += ' ';
    out += std::to_string(v);
  }
}

std::vector<std::string_view> splitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size() && words.size() < 16) {
    while (i < line.size() && line[i] == ' ') ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool toInt(std::string_view word, int32_t& out) {
  const char* end = word.data() + word.size();
  const auto r = std::from_chars(word.data(), end, out);
  return r.ec == std::errc() && r.ptr == end;
}

bool toFlag(std::string_view word, bool& out) {
  int32_t v = 0;
  if (!toInt(word, v) || (v != 0 && v != 1)) return false;
  out = v == 1;
  return true;
}

struct SSavedView {
  int32_t id = -1;
  int32_t width = 0;
  int32_t height = 0;
  bool shown = true;
};

struct SSavedPane {
  int32_t active = 0;
  bool collapsed = false;
  std::vector<SSavedView> views;
};

struct SSavedForm {
  TRect bounds;
  bool visible = true;
  bool pinned = false;
  std::vector<SSavedPane> panes;
};

// A window whose caption cannot be reached on this screen is useless.
bool reachable(const TRect& b, const TRect& screen) {
  const int64_t w = int64_t{b.Right} - b.Left;
  const int64_t h = int64_t{b.Bottom} - b.Top;
  // A form may be taller than the screen (its panes decide), never wider.
  if (w < 1 || h < 1 || w > int64_t{screen.Right} - screen.Left || h > kMaxFormHeight) return false;
  if (b.Top < screen.Top || int64_t{b.Top} + kDockBorder + kDockCaptionHeight > screen.Bottom) return false;
  const int64_t overlap = std::min<int64_t>(b.Right, screen.Right) - std::max<int64_t>(b.Left, screen.Left);
  return overlap >= kMinCaptionVisible;
}

}  // namespace

std::string CDockModel::saveLayout(const TRect& screen) const {
  std::string out = kLayoutMagic;
  out += "\nscreen";
  appendInts(out, {screen.Left, screen.Top, screen.Right, screen.Bottom});
  for (const SDockForm& f : forms_) {
    out += "\nform";
    const bool visible = f.visible || (hidden_ && f.wasVisible);
    appendInts(out, {f.bounds.Left, f.bounds.Top, f.bounds.Right, f.bounds.Bottom, visible ? 1 : 0, f.pinned ? 1 : 0});
    for (const SDockPane& p : f.panes) {
      out += "\npane";
      const bool collapsed = p.activeIndex >= 0 && views_[p.views[p.activeIndex]].collapsed;
      appendInts(out, {p.activeIndex, collapsed ? 1 : 0});
      for (int32_t v : p.views) {
        const SDockView& dv = views_[v];
        out += "\nview ";
        out += dv.name;
        appendInts(out, {dv.width, dv.height, dv.shown ? 1 : 0});
      }
    }
  }
  out += "\nend\n";
  return out;
}

bool CDockModel::restoreLayout(std::string_view text, const TRect& screen) {
  if (text.size() > kMaxLayoutText) return false;
  std::vector<SSavedForm> forms;
  std::vector<bool> placed(views_.size(), false);
  int32_t floating = 0;
  int32_t panes = 0;
  bool sawScreen = false;
  bool sawEnd = false;
  size_t lineNo = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    const std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (sawEnd) {
      if (!line.empty()) return false;
      continue;
    }
    if (lineNo++ == 0) {
      if (line != kLayoutMagic) return false;
      continue;
    }
    const auto w = splitWords(line);
    if (w.empty()) return false;
    if (w[0] == "screen") {
      if (sawScreen || w.size() != 5) return false;
      TRect s;
      if (!toInt(w[1], s.Left) || !toInt(w[2], s.Top) || !toInt(w[3], s.Right) || !toInt(w[4], s.Bottom)) return false;
      if (!(s == screen)) return false;  // saved for another screen
      sawScreen = true;
    } else if (w[0] == "form") {
      if (!sawScreen || w.size() != 7) return false;
      SSavedForm f;
      if (!toInt(w[1], f.bounds.Left) || !toInt(w[2], f.bounds.Top) || !toInt(w[3], f.bounds.Right) ||
          !toInt(w[4], f.bounds.Bottom) || !toFlag(w[5], f.visible) || !toFlag(w[6], f.pinned))
        return false;
      if (!reachable(f.bounds, screen)) return false;
      if (f.pinned) {
        if (!forms.empty()) return false;  // only the first form may be the tool window
      } else if (++floating > kDockMaxForms) {
        return false;
      }
      forms.push_back(std::move(f));
    } else if (w[0] == "pane") {
      if (forms.empty() || w.size() != 3 || ++panes > kDockMaxPanes) return false;
      SSavedPane p;
      if (!toInt(w[1], p.active) || !toFlag(w[2], p.collapsed)) return false;
      forms.back().panes.push_back(std::move(p));
    } else if (w[0] == "view") {
      if (forms.empty() || forms.back().panes.empty() || w.size() != 5) return false;
      SSavedView v;
      v.id = viewByName(w[1]);
      if (v.id < 0 || placed[v.id]) return false;  // unknown or placed twice
      if (!toInt(w[2], v.width) || !toInt(w[3], v.height) || !toFlag(w[4], v.shown)) return false;
      const SDockView& dv = views_[v.id];
      if (v.width < dv.minWidth || v.width > screen.Right - screen.Left) return false;
      if (v.height < dv.minHeight || v.height > screen.Bottom - screen.Top) return false;
      if (dv.maxHeight > 0 && v.height > dv.maxHeight) return false;
      placed[v.id] = true;
      forms.back().panes.back().views.push_back(v);
    } else if (w[0] == "end") {
      if (w.size() != 1) return false;
      sawEnd = true;
    } else {
      return false;
    }
  }
  if (!sawEnd || !sawScreen) return false;
  const bool havePinned = !forms_.empty() && forms_[0].pinned;
  if (havePinned != (!forms.empty() && forms[0].pinned)) return false;
  for (const SSavedForm& f : forms) {
    if (f.panes.empty() && !f.pinned) return false;
    for (const SSavedPane& p : f.panes)
      if (p.views.empty() || p.active < 0 || p.active >= static_cast<int32_t>(p.views.size())) return false;
  }

  // Everything checked: rebuild.
  clear();
  for (const SSavedForm& sf : forms) {
    int32_t f = 0;
    if (sf.pinned) {
      forms_[0].bounds = sf.bounds;
    } else {
      f = newForm(sf.bounds);
    }
    for (const SSavedPane& sp : sf.panes) {
      const int32_t p = paneCount(f);
      for (const SSavedView& sv : sp.views) {
        views_[sv.id].width = sv.width;
        views_[sv.id].height = sv.height;
        views_[sv.id].shown = sv.shown;
        (void)addView(f, p, sv.id);  // the saved layout was checked whole above
      }
      setActiveIndex(f, p, sp.active);
      setAllHidden(f, p, sp.collapsed);
    }
    fitHeight(f);
    forms_[f].visible = sf.visible;
  }
  return true;
}

}  // namespace pg
