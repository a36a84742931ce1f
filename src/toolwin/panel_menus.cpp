#include "toolwin/panel_menus.h"

#include <algorithm>
#include <array>

#include "platform/string_table.h"

namespace pg {

namespace {

using R = PanelMenuRole;

constexpr std::array kOptionItems = {
    SPanelMenuItem{"MenuOptItemNew", R::New},
    SPanelMenuItem{"MenuOptItemDuplicate", R::Duplicate},
    SPanelMenuItem{"MenuOptItemDelete", R::Delete},
    SPanelMenuItem{"MenuOptItemEdit", R::Edit},
    SPanelMenuItem{"", R::Separator},
    SPanelMenuItem{"MenuOptSetRevert", R::Revert},
    SPanelMenuItem{"MenuOptSetAppend", R::Append},
    SPanelMenuItem{"MenuOptSetSaveAs", R::SaveAs},
    SPanelMenuItem{"MenuOptSetOpen", R::Open},
    SPanelMenuItem{"", R::Separator},
    SPanelMenuItem{"MenuOptDblClick", R::DoubleClickEdits},
};

constexpr std::array kBrushItems = {
    SPanelMenuItem{"MenuBrushNew", R::New},
    SPanelMenuItem{"MenuBrushDuplicate", R::Duplicate},
    SPanelMenuItem{"MenuBrushDelete", R::Delete},
    SPanelMenuItem{"MenuBrushEdit", R::Edit},
    SPanelMenuItem{"", R::Separator},
    SPanelMenuItem{"MenuBrushDispText", R::Style, kListText},
    SPanelMenuItem{"MenuBrushDispIconS", R::Style, kListIconsSmall},
    SPanelMenuItem{"MenuBrushDispIconM", R::Style, kListIcons},
    SPanelMenuItem{"MenuBrushDispIconL", R::Style, kListIconsLarge},
    SPanelMenuItem{"MenuBrushDispListS", R::Style, kListSmall},
    SPanelMenuItem{"MenuBrushDispListM", R::Style, kList},
    SPanelMenuItem{"MenuBrushDispListL", R::Style, kListLarge},
    SPanelMenuItem{"", R::Separator},
    SPanelMenuItem{"MenuPMTRevert", R::Revert},
    SPanelMenuItem{"MenuPMTAppend", R::Append},
    SPanelMenuItem{"MenuPMTSaveAs", R::SaveAs},
    SPanelMenuItem{"MenuPMTOpen", R::Open},
};

constexpr std::array kSwatchItems = {
    SPanelMenuItem{"MenuSwatchAppend", R::New},
    SPanelMenuItem{"", R::Separator},
    SPanelMenuItem{"MenuSwatchDispText", R::Style, kListText},
    SPanelMenuItem{"MenuSwatchDispIconS", R::Style, kListIconsSmall},
    SPanelMenuItem{"MenuSwatchDispIconM", R::Style, kListIcons},
    SPanelMenuItem{"MenuSwatchDispIconL", R::Style, kListIconsLarge},
    SPanelMenuItem{"MenuSwatchDispListS", R::Style, kListSmall},
    SPanelMenuItem{"", R::Separator},
    SPanelMenuItem{"MenuOPLRevert", R::Revert},
    SPanelMenuItem{"MenuOPLAppend", R::Append},
    SPanelMenuItem{"MenuOPLSaveAs", R::SaveAs},
    SPanelMenuItem{"MenuOPLOpen", R::Open},
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

// The caption (or format) of an item: the text of its place in its table; an
// item outside the tables has none.
std::string textOf(PanelMenu menu, const SPanelMenuItem& item) {
  const std::span<const SPanelMenuItem> items = itemsOf(menu);
  const auto* first = items.data();
  if (&item < first || &item >= first + items.size()) return {};
  const uint32_t base = menu == PanelMenu::Option ? kResOptionMenu : menu == PanelMenu::Brush ? kResBrushMenu : kResSwatchMenu;
  return resString(base + uint32_t(&item - first));
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
