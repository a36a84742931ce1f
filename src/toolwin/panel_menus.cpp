#include "toolwin/panel_menus.h"

#include <algorithm>
#include <array>

#include "platform/string_table.h"

namespace pg {

namespace {

using R = PanelMenuRole;

constexpr std::array kOptionItems = {
    SPanelMenuItem{"MenuOptItemNew", R::New, "新規%s(&N)%s"},
    SPanelMenuItem{"MenuOptItemDuplicate", R::Duplicate, "%sを複製(&D)"},
    SPanelMenuItem{"MenuOptItemDelete", R::Delete, "%sを削除(&R)%s"},
    SPanelMenuItem{"MenuOptItemEdit", R::Edit, "%sを編集(&E)%s"},
    SPanelMenuItem{"", R::Separator, ""},
    SPanelMenuItem{"MenuOptSetRevert", R::Revert, "%sを復帰(&V)%s"},
    SPanelMenuItem{"MenuOptSetAppend", R::Append, "%sを追加(&A)%s"},
    SPanelMenuItem{"MenuOptSetSaveAs", R::SaveAs, "%sを保存(&S)%s"},
    SPanelMenuItem{"MenuOptSetOpen", R::Open, "%sを置き換え(&O)%s"},
    SPanelMenuItem{"", R::Separator, ""},
    SPanelMenuItem{"MenuOptDblClick", R::DoubleClickEdits, "ダブルクリックで編集(&K)"},
};

constexpr std::array kBrushItems = {
    SPanelMenuItem{"MenuBrushNew", R::New, "新規ブラシ(&N)..."},
    SPanelMenuItem{"MenuBrushDuplicate", R::Duplicate, "ブラシを複製(&D)"},
    SPanelMenuItem{"MenuBrushDelete", R::Delete, "ブラシを削除(&R)..."},
    SPanelMenuItem{"MenuBrushEdit", R::Edit, "ブラシを編集(&E)..."},
    SPanelMenuItem{"", R::Separator, ""},
    SPanelMenuItem{"MenuBrushDispText", R::Style, "テキスト(&T)", kListText},
    SPanelMenuItem{"MenuBrushDispIconS", R::Style, "小さいアイコン(&1)", kListIconsSmall},
    SPanelMenuItem{"MenuBrushDispIconM", R::Style, "アイコン(&2)", kListIcons},
    SPanelMenuItem{"MenuBrushDispIconL", R::Style, "大きいアイコン(&3)", kListIconsLarge},
    SPanelMenuItem{"MenuBrushDispListS", R::Style, "小さいリスト(&4)", kListSmall},
    SPanelMenuItem{"MenuBrushDispListM", R::Style, "リスト(&5)", kList},
    SPanelMenuItem{"MenuBrushDispListL", R::Style, "大きいリスト(&6)", kListLarge},
    SPanelMenuItem{"", R::Separator, ""},
    SPanelMenuItem{"MenuPMTRevert", R::Revert, "ブラシ集を復帰(&V)..."},
    SPanelMenuItem{"MenuPMTAppend", R::Append, "ブラシ集を追加(&A)..."},
    SPanelMenuItem{"MenuPMTSaveAs", R::SaveAs, "ブラシ集を保存(&S)..."},
    SPanelMenuItem{"MenuPMTOpen", R::Open, "ブラシ集の置き換え(&O)..."},
};

constexpr std::array kSwatchItems = {
    SPanelMenuItem{"MenuSwatchAppend", R::New, "新規カラー(&N)..."},
    SPanelMenuItem{"", R::Separator, ""},
    SPanelMenuItem{"MenuSwatchDispText", R::Style, "テキスト(&T)", kListText},
    SPanelMenuItem{"MenuSwatchDispIconS", R::Style, "小さいアイコン(&1)", kListIconsSmall},
    SPanelMenuItem{"MenuSwatchDispIconM", R::Style, "アイコン(&2)", kListIcons},
    SPanelMenuItem{"MenuSwatchDispIconL", R::Style, "大きいアイコン(&3)", kListIconsLarge},
    SPanelMenuItem{"MenuSwatchDispListS", R::Style, "小さいリスト(&4)", kListSmall},
    SPanelMenuItem{"", R::Separator, ""},
    SPanelMenuItem{"MenuOPLRevert", R::Revert, "色見本を復帰(&R)..."},
    SPanelMenuItem{"MenuOPLAppend", R::Append, "色見本を追加(&A)..."},
    SPanelMenuItem{"MenuOPLSaveAs", R::SaveAs, "色見本を保存(&S)..."},
    SPanelMenuItem{"MenuOPLOpen", R::Open, "色見本の置き換え(&O)..."},
};

// The menus' texts: an item's caption is the text of its table's base plus
// its place in the table; then the item words and the delete question.
constexpr uint32_t kResOptionMenu = 68100, kResBrushMenu = 68120, kResSwatchMenu = 68140;
constexpr uint32_t kResBrushWord = 68160, kResBrushSetWord = 68161, kResGradientWord = 68162,
                   kResGradientSetWord = 68163, kResDeleteQuestion = 68164;

std::string kindWord(const SPanelMenuContext& c) { return resString(c.gradientTool ? kResGradientWord : kResBrushWord); }
std::string setWord(const SPanelMenuContext& c) { return resString(c.gradientTool ? kResGradientSetWord : kResBrushSetWord); }

// The format's %s in turn replaced by the words (missing words: empty).
std::string fill(std::string_view format, std::initializer_list<std::string_view> words) {
  std::string out;
  auto next = words.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
      if (next != words.end()) out += *next++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::span<const SPanelMenuItem> itemsOf(PanelMenu menu);

// The caption (or format) of an item in the language of the texts; an item
// outside the tables keeps its own.
std::string textOf(PanelMenu menu, const SPanelMenuItem& item) {
  const std::span<const SPanelMenuItem> items = itemsOf(menu);
  const auto* first = items.data();
  if (&item < first || &item >= first + items.size()) return std::string(item.caption);
  const uint32_t base = menu == PanelMenu::Option ? kResOptionMenu : menu == PanelMenu::Brush ? kResBrushMenu : kResSwatchMenu;
  const uint32_t id = base + uint32_t(&item - first);
  return hasResString(id) ? resString(id) : std::string(item.caption);
}

std::string captionOf(PanelMenu menu, const SPanelMenuItem& item, const SPanelMenuContext& c) {
  const std::string text = textOf(menu, item);
  if (menu != PanelMenu::Option) return text;
  switch (item.role) {
    case R::New: case R::Delete: case R::Edit: return fill(text, {kindWord(c), "..."});
    case R::Duplicate: return fill(text, {kindWord(c)});
    case R::Revert: case R::Append: case R::SaveAs: case R::Open: return fill(text, {setWord(c), "..."});
    default: return text;
  }
}

}  // namespace

std::span<const SPanelMenuItem> panelMenuItems(PanelMenu menu) { return itemsOf(menu); }

namespace {

std::span<const SPanelMenuItem> itemsOf(PanelMenu menu) {
  switch (menu) {
    case PanelMenu::Option: return kOptionItems;
    case PanelMenu::Brush: return kBrushItems;
    case PanelMenu::Swatch: return kSwatchItems;
  }
  return {};
}

}  // namespace

std::string deleteQuestion(std::string_view itemWord) { return fill(resString(kResDeleteQuestion), {itemWord}); }

int32_t clampLogCapacity(int32_t lines) { return std::clamp(lines, 0, 50); }

SPanelMenuItemState panelMenuItemState(PanelMenu menu, const SPanelMenuItem& item, const SPanelMenuContext& c) {
  SPanelMenuItemState s;
  s.caption = captionOf(menu, item, c);
  const IPanelItemList* l = c.list;
  const IPresetSetCommands* set = c.set;
  switch (item.role) {
    case R::New: s.enabled = l && l->canAddItem(); break;
    case R::Duplicate: s.enabled = l && l->canCopyActive(); break;
    case R::Delete: s.enabled = l && l->canDeleteActive(); break;
    case R::Edit: s.enabled = l && l->canEditActive(); break;
    case R::Revert: s.enabled = set && set->hasPath() && set->isModified(); break;
    case R::Append: case R::SaveAs: case R::Open: s.enabled = set != nullptr; break;
    case R::DoubleClickEdits:
      s.enabled = true;
      s.checked = c.doubleClickEdits;
      break;
    case R::Style:
      s.enabled = l != nullptr;
      s.checked = l && l->displayStyle() == item.style;
      break;
    case R::Separator: break;
  }
  return s;
}

void panelMenuClick(PanelMenu menu, const SPanelMenuItem& item, const SPanelMenuContext& c) {
  // A click reaches only an item the menu showed enabled; the state is
  // checked again, since the list may have changed since the menu opened.
  if (!panelMenuItemState(menu, item, c).enabled) return;
  IPanelItemList* l = c.list;
  IPresetSetCommands* set = c.set;
  switch (item.role) {
    case R::New: l->addItem(); break;
    case R::Duplicate: l->copyActiveToEnd(); break;
    case R::Delete: {
      const std::string word = menu == PanelMenu::Option ? kindWord(c) : resString(kResBrushWord);
      if (c.confirm && c.confirm(deleteQuestion(word))) l->deleteActive();
      break;
    }
    case R::Edit: l->editActive(); break;
    case R::Revert: set->revert(); break;
    case R::Append: set->openAppend(); break;
    case R::SaveAs: set->saveAs(); break;
    case R::Open: set->openReplace(); break;
    case R::DoubleClickEdits:
      if (c.setDoubleClickEdits) c.setDoubleClickEdits(!c.doubleClickEdits);
      break;
    case R::Style: l->setDisplayStyle(item.style); break;
    case R::Separator: return;
  }
  if (l) l->reselectActive();
}

}  // namespace pg
