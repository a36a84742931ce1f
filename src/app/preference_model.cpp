#include "app/preference_model.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/app_profile.h"
#include "app/dialog_texts.h"

namespace pg {

namespace {

// Bits of the stored file-folder switches and of the fit-after-resize switches.
constexpr uint32_t kPriorityFilePath = 1, kOtherIoPath = 2;
constexpr uint32_t kAutoSize = 1, kAutoSizeOnlyEvent = 2, kAutoSizeOnlyZoomOut = 4;

uint32_t withBit(uint32_t value, uint32_t bit, bool on) { return on ? value | bit : value & ~bit; }

using Get = double (*)(const CAppProfile&);
using Set = void (*)(CAppProfile&, double);
using GetText = std::string (*)(const CAppProfile&);
using SetText = void (*)(CAppProfile&, const std::string&);

struct SEnable {
  std::string_view by;
  double when = 1;
};

SPreferenceRow row(std::string_view name, PrefControl kind, EPreferencePage page, uint32_t group, uint32_t caption,
                   double initial, Get get, Set set, uint32_t effect, SEnable enable = {}) {
  SPreferenceRow r{};
  r.control = name;
  r.kind = kind;
  r.page = page;
  r.group = group;
  r.caption = caption;
  r.lo = 0;
  r.hi = kind == PrefControl::Check || kind == PrefControl::Radio ? 1 : 0;
  r.initial = initial;
  r.init = PrefInit::Reset;
  r.get = get;
  r.set = set;
  r.enabledBy = enable.by;
  r.enabledWhen = enable.when;
  r.effect = effect;
  return r;
}

SPreferenceRow check(std::string_view name, EPreferencePage page, uint32_t group, uint32_t caption, bool initial,
                     Get get, Set set, uint32_t effect, SEnable enable = {}) {
  return row(name, PrefControl::Check, page, group, caption, initial ? 1 : 0, get, set, effect, enable);
}

SPreferenceRow combo(std::string_view name, EPreferencePage page, uint32_t group, uint32_t caption, uint32_t items,
                     int32_t count, Get get, Set set, uint32_t effect) {
  SPreferenceRow r = row(name, PrefControl::Combo, page, group, caption, 0, get, set, effect);
  r.items = items;
  r.hi = count - 1;
  return r;
}

SPreferenceRow radio(std::string_view first, std::string_view second, EPreferencePage page, uint32_t group,
                     uint32_t caption, uint32_t secondCaption, Get get, Set set, uint32_t effect) {
  SPreferenceRow r = row(first, PrefControl::Radio, page, group, caption, 0, get, set, effect);
  r.second = second;
  r.items = secondCaption;
  return r;
}

SPreferenceRow number(std::string_view name, PrefControl kind, EPreferencePage page, uint32_t group, uint32_t caption,
                      double lo, double hi, double initial, Get get, Set set, uint32_t effect) {
  SPreferenceRow r = row(name, kind, page, group, caption, initial, get, set, effect);
  r.lo = lo;
  r.hi = hi;
  return r;
}

SPreferenceRow path(std::string_view name, EPreferencePage page, uint32_t group, int32_t browse, GetText get,
                    SetText set, uint32_t effect, SEnable enable) {
  SPreferenceRow r = row(name, PrefControl::Path, page, group, 0, 0, nullptr, nullptr, effect, enable);
  r.getText = get;
  r.setText = set;
  r.browse = browse;
  return r;
}

// A control whose preference is not part of this program: it shows, keeps
// its value for the session and is disabled.
SPreferenceRow unbacked(SPreferenceRow r) {
  r.init = PrefInit::Keep;
  r.effect = kEffectNone;
  return r;
}

// The preferences read as 0/1 and written from a non-zero test.
#define PG_BOOL(field) [](const CAppProfile& p) { return p.field ? 1.0 : 0.0; }, [](CAppProfile& p, double v) { p.field = v != 0; }
#define PG_NOT(field) [](const CAppProfile& p) { return p.field ? 0.0 : 1.0; }, [](CAppProfile& p, double v) { p.field = v == 0; }
#define PG_INT(field) [](const CAppProfile& p) { return double(p.field); }, [](CAppProfile& p, double v) { p.field = int32_t(v); }
#define PG_BIT(field, bit) \
  [](const CAppProfile& p) { return (p.field & (bit)) != 0 ? 1.0 : 0.0; }, \
  [](CAppProfile& p, double v) { p.field = withBit(p.field, (bit), v != 0); }
#define PG_TEXT(field) [](const CAppProfile& p) { return p.field; }, [](CAppProfile& p, const std::string& v) { p.field = v; }

std::vector<SPreferenceRow> makeRows() {
  constexpr uint32_t canvas = kEffectCanvas, tools = kEffectTools;
  std::vector<SPreferenceRow> r;
  // ---- page 1: tools
  r.push_back(combo("CmbShortCut", kPageTool, kResPrefPageTool, kResPrefShortcut, kResPrefShortcutItems, 2,
                    PG_INT(ShortcutMode), canvas));
  r.push_back(combo("CmbMButtonProc", kPageTool, kResPrefPageTool, kResPrefMiddle, kResPrefMiddleItems, 11,
                    PG_INT(mouseMBtnFunc), canvas));
  r.push_back(number("EdtUndo", PrefControl::Number, kPageTool, kResPrefPageTool, kResPrefUndo, 0, 1000, 8,
                     PG_INT(undoMax), kEffectUndo));
  r.push_back(check("ChkRightButton", kPageTool, kResPrefPageTool, kResPrefRightButton, true, PG_BOOL(useRBtnColPicker),
                    canvas));
  r.push_back(check("ChkUseGrabCtrl", kPageTool, kResPrefPageTool, kResPrefGrabCtrl, true, PG_BOOL(UseGrabCtrl), tools));
  // The box asks for Shift to switch within a group: the inverse of the stored switch.
  r.push_back(check("ChkToolFindNext", kPageTool, kResPrefPageTool, kResPrefFindNext, false, PG_NOT(ToolFindNext), tools));
  r.push_back(check("ChkDrawToolAutoSave", kPageTool, kResPrefPalette, kResPrefAutoSave, false, PG_BOOL(DrawToolAutoSave),
                    tools));
  r.push_back(check("ChkGrabToolDblClk", kPageTool, kResPrefPalette, kResPrefGrabDbl, true, PG_BOOL(RotGrabDblClk), tools));
  r.push_back(check("ChkZoomToolDblClk", kPageTool, kResPrefPalette, kResPrefZoomDbl, true, PG_BOOL(RotZoomDblClk), tools));
  r.push_back(check("ChkExColor", kPageTool, kResPrefPalette, kResPrefExColor, false, PG_BOOL(CellExchange), tools));
  r.push_back(check("ChkAutoFreeHand", kPageTool, kResPrefPalette, kResPrefFreeHand, false, PG_BOOL(AutoFreeHand), tools));
  r.push_back(check("ChkVerticalPopup", kPageTool, kResPrefPalette, kResPrefVertPopup, true, PG_BOOL(UseVertSlider),
                    kEffectOnUse));
  // ---- page 2: cursors and grid
  r.push_back(radio("RadDrawCursorS", "RadDrawCursorP", kPageCursorGrid, kResPrefDrawCursor, kResPrefCursorStd,
                    kResPrefCursorFine,
                    [](const CAppProfile& p) { return p.DrawToolCursor == 1 ? 1.0 : 0.0; },
                    [](CAppProfile& p, double v) { p.DrawToolCursor = v != 0 ? 1 : 0; }, canvas | tools));
  r.push_back(path("EdtCursorPath", kPageCursorGrid, kResPrefDrawCursor, -1, PG_TEXT(CursorFile), tools,
                   {"RadDrawCursorS", 0}));
  r.push_back(check("ChkBrushGhost", kPageCursorGrid, kResPrefDrawCursor, kResPrefGhost, false, PG_BOOL(BrushGhost), canvas));
  r.push_back(check("ChkGhostCenter", kPageCursorGrid, kResPrefDrawCursor, kResPrefGhostCentre, true,
                    PG_BOOL(ShowGhostCenter), canvas, {"ChkBrushGhost", 1}));
  r.push_back(radio("RadOtherCursorT", "RadOtherCursorE", kPageCursorGrid, kResPrefOtherCursor, kResPrefOtherStd,
                    kResPrefOtherFine,
                    [](const CAppProfile& p) { return p.OtherToolCursor == 1 ? 1.0 : 0.0; },
                    [](CAppProfile& p, double v) { p.OtherToolCursor = v != 0 ? 1 : 0; }, canvas | tools));
  r.push_back(number("NumGridX", PrefControl::Number, kPageCursorGrid, kResPrefGrid, kResPrefGridWidth, 2, 10000, 32,
                     PG_INT(gridW), kEffectGrid));
  r.push_back(number("NumGridY", PrefControl::Number, kPageCursorGrid, kResPrefGrid, kResPrefGridHeight, 2, 10000, 32,
                     PG_INT(gridH), kEffectGrid));
  // The grid colour is one stored value: the colour in the low three bytes
  // (red in the low byte) and the opacity 0..255 in the top byte.
  r.push_back(number(
      "BoxGridColor", PrefControl::Colour, kPageCursorGrid, kResPrefGrid, kResPrefGridColour, 0, 0xFFFFFF, 0,
      [](const CAppProfile& p) {
        const uint32_t c = p.GridColor;
        return double(((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu));
      },
      [](CAppProfile& p, double v) {
        const uint32_t rgb = uint32_t(v) & 0xFFFFFFu;
        p.GridColor = (p.GridColor & 0xFF000000u) | ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
      },
      kEffectGrid));
  r.push_back(number(
      "NumGridOpaque", PrefControl::Percent, kPageCursorGrid, kResPrefGrid, kResPrefGridOpacity, 0, 100,
      128 * 100.0 / 255.0,
      [](const CAppProfile& p) {
        const uint32_t alpha = p.GridColor >> 24;
        return alpha == 0 ? 50.0 : alpha * 100.0 / 255.0;
      },
      [](CAppProfile& p, double v) {
        const double a = std::clamp(v, 0.0, 100.0) * 255.0 / 100.0 + 0.5;
        p.GridColor = (static_cast<uint32_t>(a) << 24) | (p.GridColor & 0xFFFFFFu);
      },
      kEffectGrid));
  // ---- page 3: documents
  r.push_back(check("ChkDispScrollBar", kPageDocument, kResPrefDocs, kResPrefScrollBar, false, PG_BOOL(showScrollBar),
                    canvas | kEffectLayout));
  r.push_back(check("ChkDispFullPath", kPageDocument, kResPrefDocs, kResPrefFullPath, false, PG_BOOL(titleFullpath),
                    kEffectTitle));
  r.push_back(check("ChkUseAutoScroll", kPageDocument, kResPrefDocs, kResPrefAutoScroll, false, PG_BOOL(useAutoScroll),
                    canvas));
  r.push_back(check("ChkForceDisp", kPageDocument, kResPrefDocs, kResPrefForceDisp, false, PG_BOOL(ForceDispParam), tools));
  r.push_back(check("ChkAutoSize", kPageDocument, kResPrefDocs, kResPrefAutoSize, true, PG_BIT(AutoSizeAdjust, kAutoSize),
                    canvas | kEffectOnUse));
  r.push_back(check("ChkAutoSizeOnlyZoomOut", kPageDocument, kResPrefDocs, kResPrefAutoSizeOut, true,
                    PG_BIT(AutoSizeAdjust, kAutoSizeOnlyZoomOut), canvas | kEffectOnUse, {"ChkAutoSize", 1}));
  r.push_back(check("ChkAutoSizeOnlyEvent", kPageDocument, kResPrefDocs, kResPrefAutoSizeEvent, true,
                    PG_BIT(AutoSizeAdjust, kAutoSizeOnlyEvent), canvas | kEffectOnUse, {"ChkAutoSize", 1}));
  r.push_back(unbacked(check("ChkPlayAntiOff", kPageDocument, kResPrefDocs, kResPrefPlayAntiOff, false, nullptr, nullptr,
                             kEffectNone)));
  // The box asks for a confirmation: the inverse of the stored silent switch.
  r.push_back(check("ChkSaveConfirm", kPageDocument, kResPrefSave, kResPrefSaveConfirm, true, PG_NOT(silentFileIO),
                    kEffectOnUse));
  r.push_back(unbacked(combo("CmbPSD", kPageDocument, kResPrefSave, kResPrefPsdVersion, kResPrefPsdVersionItems, 3,
                             nullptr, nullptr, kEffectNone)));
  r.push_back(check("ChkImageIOOtherPath", kPageDocument, kResPrefSave, kResPrefOtherPath, false,
                    PG_BIT(FileIODir, kOtherIoPath), kEffectOnUse));
  r.push_back(check("ChkPriorityFilePath", kPageDocument, kResPrefSave, kResPrefFilePath, true,
                    PG_BIT(FileIODir, kPriorityFilePath), kEffectOnUse));
  // ---- page 4: start-up files (kinds 3 to 6 of the file dialogs)
  const SEnable notLast{"ChkUseLastFile", 0};
  r.push_back(path("EdtPMT", kPageStartFiles, kResPrefBrushFile, 3, PG_TEXT(brushFile), kEffectNextStart, notLast));
  r.push_back(path("EdtPSH", kPageStartFiles, kResPrefNibFile, 4, PG_TEXT(nibFile), kEffectNextStart, notLast));
  r.push_back(path("EdtOPL", kPageStartFiles, kResPrefSwatchFile, 5, PG_TEXT(palFile), kEffectNextStart, notLast));
  r.push_back(path("EdtOGS", kPageStartFiles, kResPrefGradFile, 6, PG_TEXT(gradFile2), kEffectNextStart, notLast));
  r.push_back(unbacked(path("EdtOTS", kPageStartFiles, kResPrefToneFile, 0, nullptr, nullptr, kEffectNone, {})));
  r.push_back(check("ChkUseLastFile", kPageStartFiles, 0, kResPrefUseLast, true, PG_BOOL(UseLastFile), kEffectOnUse));
  r.push_back(combo("CmbSaveAsQuit", kPageStartFiles, 0, kResPrefSaveAsQuit, kResPrefSaveAsQuitItems, 3,
                    PG_INT(PresetSaveAsQuit), kEffectOnUse));
  return r;
}

#undef PG_BOOL
#undef PG_NOT
#undef PG_INT
#undef PG_BIT
#undef PG_TEXT

double clampTo(const SPreferenceRow& r, double v) {
  if (!std::isfinite(v)) v = r.lo;
  return r.lo < r.hi ? std::clamp(v, r.lo, r.hi) : v;
}

const std::string kNoText;

}  // namespace

std::span<const SPreferenceRow> preferenceRows() {
  static const std::vector<SPreferenceRow> rows = makeRows();
  return rows;
}

int32_t preferenceRowIndex(std::string_view control) {
  std::span<const SPreferenceRow> rows = preferenceRows();
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].control == control || (!rows[i].second.empty() && rows[i].second == control)) return int32_t(i);
  return -1;
}

SPreferenceValues::SPreferenceValues() {
  const size_t n = preferenceRows().size();
  numbers.resize(n);
  texts.resize(n);
  initialize();
}

SPreferenceValues SPreferenceValues::load(const CAppProfile& p) {
  SPreferenceValues v;
  std::span<const SPreferenceRow> rows = preferenceRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].get) v.numbers[i] = clampTo(rows[i], rows[i].get(p));
    if (rows[i].getText) v.texts[i] = rows[i].getText(p);
  }
  return v;
}

uint32_t SPreferenceValues::store(CAppProfile& p) const {
  uint32_t effects = 0;
  std::span<const SPreferenceRow> rows = preferenceRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const SPreferenceRow& r = rows[i];
    if (r.set) {
      const double before = r.get(p);
      r.set(p, clampTo(r, numbers[i]));
      if (r.get(p) != before) effects |= r.effect;
    }
    if (r.setText) {
      const std::string before = r.getText(p);
      r.setText(p, texts[i]);
      if (r.getText(p) != before) effects |= r.effect;
    }
  }
  return effects;
}

void SPreferenceValues::initialize() {
  std::span<const SPreferenceRow> rows = preferenceRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].init == PrefInit::Keep) continue;
    numbers[i] = rows[i].initial;
    texts[i].clear();
  }
}

double SPreferenceValues::number(std::string_view control) const {
  int32_t i = preferenceRowIndex(control);
  return i < 0 ? 0.0 : numbers[size_t(i)];
}

void SPreferenceValues::setNumber(std::string_view control, double value) {
  int32_t i = preferenceRowIndex(control);
  if (i >= 0) numbers[size_t(i)] = clampTo(preferenceRows()[size_t(i)], value);
}

const std::string& SPreferenceValues::text(std::string_view control) const {
  int32_t i = preferenceRowIndex(control);
  return i < 0 ? kNoText : texts[size_t(i)];
}

void SPreferenceValues::setText(std::string_view control, const std::string& value) {
  int32_t i = preferenceRowIndex(control);
  if (i >= 0) texts[size_t(i)] = value;
}

bool SPreferenceValues::enabled(std::string_view control) const {
  int32_t i = preferenceRowIndex(control);
  if (i < 0) return false;
  const SPreferenceRow& r = preferenceRows()[size_t(i)];
  if (!r.hasPreference()) return false;
  return r.enabledBy.empty() || number(r.enabledBy) == r.enabledWhen;
}

int32_t preferencePageShown(int32_t listIndex) {
  return listIndex >= 0 && listIndex < kPageAvi ? listIndex : -1;
}

}  // namespace pg
