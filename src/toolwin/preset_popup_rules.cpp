#include "toolwin/preset_popup_rules.h"

#include "platform/message_service.h"
#include "toolwin/item_list.h"
#include "toolwin/preset_editor_rules.h"

namespace pg {

SPresetPopupWords presetPopupWords(PresetPopupKind kind) {
  switch (kind) {
    case PresetPopupKind::PenMethod: return {"ブラシ", "ブラシ集"};
    case PresetPopupKind::PenNib: return {"ペン先", "ペン先集"};
    case PresetPopupKind::Swatch: return {"色", "色見本"};
    case PresetPopupKind::Gradient: return {"グラデーション", "グラデーション集"};
    case PresetPopupKind::Other: break;
  }
  return {"アイテム", "セット"};
}

SPresetPopupMenuState presetPopupMenuState(const CItemList& list, const SPresetPopupContext& c) {
  SPresetPopupMenuState s;
  const SPresetPopupWords w = presetPopupWords(c.kind);
  const int32_t a = list.getActiveIndex(), n = list.getCount();
  struct Row {
    std::string_view format;
    bool setWord;
    std::string_view tail;
    bool enabled;
  };
  const bool nFixed = list.isValidIndex(n) && (list.getItemFlags(n) & kItemFixed) != 0;
  const Row rows[kPresetPopupItemCount] = {
      {"新規%s(&N)%s", false, "...", !nFixed},
      {"%sを複製(&D)%s", false, "", list.isValidIndex(a) && list.canCopyFrom(n, &list, a)},
      {"%sを削除(&R)%s", false, "...", list.isValidIndex(a) && list.canDeleteKeepOne(a)},
      {"%sを編集(&E)%s", false, "...", list.canEditItem(a)},
      {"%sを復帰(&V)%s", true, "...", c.setFileExists && c.setModified},
      {"%sを追加(&A)%s", true, "...", list.isValidIndex(a) && list.canAppendFrom(&list, a)},
      {"%sを保存(&S)%s", true, "...", true},
      {"%sを置き換え(&O)%s", true, "...", true},
  };
  for (int i = 0; i < kPresetPopupItemCount; ++i) {
    const Row& r = rows[i];
    s.items[size_t(i)].caption = formatText(r.format, {r.setWord ? w.set : w.kind, r.tail});
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
