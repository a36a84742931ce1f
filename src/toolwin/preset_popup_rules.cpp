#include "toolwin/preset_popup_rules.h"

#include "platform/message_service.h"
#include "platform/string_table.h"
#include "toolwin/item_list.h"
#include "toolwin/preset_editor_rules.h"

namespace pg {

namespace {

// The string ids of a kind's item word and set word.
struct SWordIds {
  uint32_t kind, set;
};

SWordIds wordIds(PresetPopupKind kind) {
  switch (kind) {
    case PresetPopupKind::PenMethod: return {68160, 68161};
    case PresetPopupKind::PenNib: return {69390, 65271};
    case PresetPopupKind::Swatch: return {69391, 65035};
    case PresetPopupKind::Gradient: return {68162, 68163};
    case PresetPopupKind::Other: break;
  }
  return {69392, 69393};
}

// The items' formats in menu order: the item word, then the set word, each
// followed by its tail ("..." where a dialog or question follows).
constexpr uint32_t kItemFormats[kPresetPopupItemCount] = {68100, 68101, 68102, 68103, 68105, 68106, 68107, 68108};

}  // namespace

SPresetPopupWords presetPopupWords(PresetPopupKind kind) {
  const SWordIds ids = wordIds(kind);
  return {resString(ids.kind), resString(ids.set)};
}

SPresetPopupMenuState presetPopupMenuState(const CItemList& list, const SPresetPopupContext& c) {
  SPresetPopupMenuState s;
  const SPresetPopupWords w = presetPopupWords(c.kind);
  const int32_t a = list.getActiveIndex(), n = list.getCount();
  struct Row {
    bool setWord;
    std::string_view tail;
    bool enabled;
  };
  const bool nFixed = list.isValidIndex(n) && (list.getItemFlags(n) & kItemFixed) != 0;
  const Row rows[kPresetPopupItemCount] = {
      {false, "...", !nFixed},
      {false, "", list.isValidIndex(a) && list.canCopyFrom(n, &list, a)},
      {false, "...", list.isValidIndex(a) && list.canDeleteKeepOne(a)},
      {false, "...", list.canEditItem(a)},
      {true, "...", c.setFileExists && c.setModified},
      {true, "...", list.isValidIndex(a) && list.canAppendFrom(&list, a)},
      {true, "...", true},
      {true, "...", true},
  };
  for (int i = 0; i < kPresetPopupItemCount; ++i) {
    const Row& r = rows[i];
    s.items[size_t(i)].caption = formatRes(kItemFormats[i], {r.setWord ? w.set : w.kind, r.tail});
    s.items[size_t(i)].enabled = r.enabled;
  }
  s.showAllVisible = c.showAllSupported;
  s.showAllChecked = c.showAllSupported && c.showAll;
  const auto display = editorDisplayItems();
  for (size_t k = 0; k < display.size(); ++k) {
    const int32_t style = display[k].style;
    s.styleVisible[k] = (list.allowedStyles() & (1u << style)) != 0;
    s.styleChecked[k] = list.displayStyle() == style;
  }
  s.previewVisible = c.previewSupported;
  for (int32_t k = 0; k < 4; ++k) s.previewChecked[size_t(k)] = c.previewSupported && c.previewSize == k;
  return s;
}

int32_t presetPopupStyle(const CItemList& list, int32_t stored, int32_t fallback) {
  const int32_t style = stored & 0xFF;
  if (style < 16 && (list.allowedStyles() & (1u << style)) != 0) return style;
  return fallback;
}

int32_t presetPreviewHeight(int32_t size) {
  switch (size) {
    case 1: return 48;
    case 2: return 96;
    case 3: return 192;
    default: return -4;
  }
}

TRect presetPopupCloseGlyph(int32_t clientWidth, SSize glyph) {
  const int32_t x = clientWidth - glyph.W - 2;
  return TRect{x, 2, x + glyph.W, 2 + glyph.H};
}

TRect presetPopupMenuGlyph(int32_t clientWidth, SSize glyph) {
  const int32_t x = clientWidth - glyph.W - 2;
  return TRect{x, 20, x + glyph.W, 20 + glyph.H};
}

}  // namespace pg
