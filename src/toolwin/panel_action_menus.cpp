#include "toolwin/panel_action_menus.h"

#include <array>

#include "toolwin/item_list.h"

namespace pg {

namespace {

using S = PanelSubmenu;

// The display style items' captions: those of the brush list's menu.
constexpr uint32_t kResText = 68125, kResSmallIcons = 68126, kResIcons = 68127, kResLargeIcons = 68128,
                   kResSmallList = 68129, kResList = 68130, kResLargeList = 68131;

constexpr std::array kLayerItems = {
    SPanelActionItem{"MenuLayerNew", "ActLyrNew"},
    SPanelActionItem{"MenuLayerDuplicate", "ActLyrDup"},
    SPanelActionItem{"MenuLayerDelete", "ActLyrDel"},
    SPanelActionItem{"MenuLayerLinkDelete", "ActLyrGroupDel"},
    SPanelActionItem{},
    SPanelActionItem{"MenuLayerMergeDown", "ActLyrMergeD"},
    SPanelActionItem{"MenuLayerMergeLink", "ActLyrMergeG"},
    SPanelActionItem{"MenuLayerMergeVisible", "ActLyrMergeV"},
    SPanelActionItem{"MenuLayerIntegrate", "ActLyrMergeV2"},
    SPanelActionItem{},
    SPanelActionItem{"MenuLayerDuplicatePart", "ActLyrSelDup"},
    SPanelActionItem{"MenuLayerSeparate", "ActLyrSelNew"},
    SPanelActionItem{"MenuLayerLinkDown", "ActLyrGroupI"},
    SPanelActionItem{"MenuLayerUnLink", "ActLyrGroupO"},
    SPanelActionItem{},
    SPanelActionItem{"MenuLayerAlphaClear", "ActLyrClearA", S::Alpha},
    SPanelActionItem{"MenuLayerAlphaFill", "ActLyrFillA", S::Alpha},
    SPanelActionItem{"MenuLayerAlphaInvert", "ActLyrInvertA", S::Alpha},
    SPanelActionItem{"MenuLayerAlphaExchange", "ActLyrSel2A", S::Alpha},
    SPanelActionItem{"", "", S::Alpha},
    SPanelActionItem{"MenuLayerAlphaProtect", "ActLyrProtectA", S::Alpha},
    SPanelActionItem{"MenuLayerFilpHorizontal", "actLyrFlipLR", S::Arrange},
    SPanelActionItem{"MenuLayerFlipVertical", "actLyrFlipTB", S::Arrange},
    SPanelActionItem{"", "", S::Arrange},
    SPanelActionItem{"MenuLayerRot90", "ActLyrRot90", S::Arrange},
    SPanelActionItem{"MenuLayerRot270", "ActLyrRot270", S::Arrange},
    SPanelActionItem{"MenuLayerRot180", "actLyrRot180", S::Arrange},
    SPanelActionItem{"MenuLayerRot", "ActLyrRot", S::Arrange},
    SPanelActionItem{"", "", S::Arrange},
    SPanelActionItem{"MenuLayerScale", "ActLyrScale", S::Arrange},
    SPanelActionItem{"MenuLayerCrop", "ActLyrTrimOut", S::Arrange},
    SPanelActionItem{"MenuLayerHide", "ActViewCurLyr", S::Visible},
    SPanelActionItem{"MenuLayerShowAll", "ActViewAllLyr", S::Visible},
    SPanelActionItem{"MenuLayerHideAll", "ActViewNoLyr", S::Visible},
    SPanelActionItem{"", "", S::Visible},
    SPanelActionItem{"MenuLayerReverse", "ActViewFlipLyr", S::Visible},
    SPanelActionItem{},
    SPanelActionItem{"MenuLayerDispText", "", S::None, kListText, kResText},
    SPanelActionItem{"MenuLayerDispListS", "", S::None, kListSmallRows, kResSmallList},
    SPanelActionItem{"MenuLayerDispListM", "", S::None, kListRows, kResList},
    SPanelActionItem{"MenuLayerDispListL", "", S::None, kListLargeRows, kResLargeList},
    SPanelActionItem{},
    SPanelActionItem{"MenuLayerOption", "ActLyrOpt"},
};

constexpr std::array kMaskItems = {
    SPanelActionItem{"MenuMaskNew", "ActMaskNew"},
    SPanelActionItem{"MenuMaskNewFromDensity", "ActMaskNewFromLyrD"},
    SPanelActionItem{"MenuMaskNewFromAlpha", "ActMaskNewFromLyrA"},
    SPanelActionItem{"MenuMaskDuplicate", "ActMaskDup"},
    SPanelActionItem{"MenuMaskDelete", "ActMaskDel"},
    SPanelActionItem{},
    SPanelActionItem{"MenuMaskCrop", "ActMaskTrimOut"},
    SPanelActionItem{},
    SPanelActionItem{"MenuMaskDispText", "", S::None, kListText, kResText},
    SPanelActionItem{"MenuMaskDispIconS", "", S::None, kListSmallIcons, kResSmallIcons},
    SPanelActionItem{"MenuMaskDispIconM", "", S::None, kListIcons, kResIcons},
    SPanelActionItem{"MenuMaskDispIconL", "", S::None, kListLargeIcons, kResLargeIcons},
    SPanelActionItem{"MenuMaskDispListS", "", S::None, kListSmallRows, kResSmallList},
    SPanelActionItem{"MenuMaskDispListM", "", S::None, kListRows, kResList},
    SPanelActionItem{"MenuMaskDispListL", "", S::None, kListLargeRows, kResLargeList},
    SPanelActionItem{},
    SPanelActionItem{"MenuMaskOption", "ActMaskOption"},
};

constexpr std::array kSubmenus = {
    SPanelSubmenuDef{S::Alpha, "MenuLayerAlpha", 69385},
    SPanelSubmenuDef{S::Arrange, "MenuLayerArrange", 69386},
    SPanelSubmenuDef{S::Visible, "MenuLayerVisible", 69387},
};

}  // namespace

std::span<const SPanelActionItem> panelActionItems(PanelActionMenu menu) {
  if (menu == PanelActionMenu::Layer) return kLayerItems;
  return kMaskItems;
}

std::span<const SPanelSubmenuDef> panelSubmenus() { return kSubmenus; }

bool panelSubmenuEnabled(PanelSubmenu submenu, bool canEdit, bool standardMode) {
  switch (submenu) {
    case S::Alpha: return canEdit && standardMode;
    case S::Arrange:
    case S::Visible: return canEdit;
    case S::None: return true;
  }
  return true;
}

}  // namespace pg
