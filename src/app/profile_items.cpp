#include "app/profile_items.h"

#include <array>
#include <limits>

namespace pg {

namespace {

using P = CAppProfile;
using Item = ItemSpec<P>;

constexpr double kI32Min = std::numeric_limits<int32_t>::min();
constexpr double kI32Max = std::numeric_limits<int32_t>::max();
constexpr double kU32Max = std::numeric_limits<uint32_t>::max();
// Window positions on any arrangement of screens, and window extents.
constexpr double kPosMin = -100000, kPosMax = 100000;
constexpr double kExtentMax = 16384;

constexpr Item flag(std::string_view key, bool P::*f, bool def) { return {key, f, def ? 1.0 : 0.0, 0, 1}; }
constexpr Item num(std::string_view key, int32_t P::*f, double def, double lo, double hi) { return {key, f, def, lo, hi}; }
constexpr Item bits(std::string_view key, uint32_t P::*f, double def, double hi = kU32Max) { return {key, f, def, 0, hi}; }
constexpr Item real(std::string_view key, float P::*f, double def, double lo, double hi) { return {key, f, def, lo, hi}; }
constexpr Item text(std::string_view key, std::string P::*f, TextDefault def = TextDefault::Empty) {
  return {key, f, 0, 0, 0, def};
}
// Positions: -1 stands for "not set".
constexpr Item pos(std::string_view key, int32_t P::*f) { return {key, f, -1, kPosMin, kPosMax}; }
constexpr Item extent(std::string_view key, int32_t P::*f) { return {key, f, -1, -1, kExtentMax}; }
// Styles of lists: -1 leaves the list's own.
constexpr Item style(std::string_view key, int32_t P::*f) { return {key, f, -1, -1, 255}; }

const Item kFileIO[] = {
    {"appPath", &P::programFolder, 0, 0, 0, TextDefault::Empty, ItemRule::WriteOnly},
    text("loadPath", &P::loadPath, TextDefault::HomeFolder),
    text("savePath", &P::savePath, TextDefault::HomeFolder),
    text("eventPath", &P::eventPath, TextDefault::HomeFolder),
    text("palPath", &P::palPath, TextDefault::PresetFolder),
    text("palFile", &P::palFile),
    text("gradPath2", &P::gradPath2, TextDefault::PresetFolder),
    text("gradFile2", &P::gradFile2),
    text("penPath", &P::penPath, TextDefault::PresetFolder),
    text("nibFile", &P::nibFile),
    text("brushFile", &P::brushFile),
    bits("FileIODir", &P::FileIODir, 1),
    num("pictLoadExtIdx", &P::pictLoadExtIdx, 1, 1, 64),
    num("eventLoadExtIdx", &P::eventLoadExtIdx, 1, 1, 64),
    flag("silentFileIO", &P::silentFileIO, false),
    flag("jpegUseProgressive", &P::jpegUseProgressive, false),
    flag("jpegUseSmooth", &P::jpegUseSmooth, false),
    num("jpegValSmooth", &P::jpegValSmooth, 0, 0, 100),
    num("jpegQType", &P::jpegQType, 1, 0, 4),
    num("jpegQuality", &P::jpegQuality, 90, 0, 100),
    num("jpegQVHigh", &P::jpegQVHigh, 100, 0, 100),
    num("jpegQHigh", &P::jpegQHigh, 90, 0, 100),
    num("jpegQStd", &P::jpegQStd, 75, 0, 100),
    num("jpegQLow", &P::jpegQLow, 50, 0, 100),
};

const Item kConfig[] = {
    // A missing version is 0 (a first run), so that the migration runs.
    num("appVerID", &P::appVerID, 0, 0, kI32Max),
    {"lastCP", &P::lastCP, 0, kI32Min, kI32Max, TextDefault::Empty, ItemRule::CodePage},
    {"lastLCID", &P::lastLCID, 0, kI32Min, kI32Max, TextDefault::Empty, ItemRule::Locale},
    num("gridW", &P::gridW, 32, 2, 10000),
    num("gridH", &P::gridH, 32, 2, 10000),
    bits("GridColor", &P::GridColor, 0x80000000u),
    num("undoMax", &P::undoMax, 8, 0, 1000),
    num("fillLimit", &P::fillLimit, 20, 0, 255),
    num("fillTarget", &P::fillTarget, 0, 0, 255),
    num("wandLimit", &P::wandLimit, 20, 0, 255),
    num("wandTarget", &P::wandTarget, 0, 0, 255),
    flag("fillAntiAlias", &P::fillAntiAlias, false),
    flag("wandAntiAlias", &P::wandAntiAlias, false),
    num("gradType", &P::gradType, 0, 0, 255),
    num("gradMap", &P::gradMap, 0, 0, 255),
    num("gradRep", &P::gradRep, 0, 0, 255),
    num("gradRepCnt", &P::gradRepCnt, 1, 1, 1000),
    flag("ignoreTablet", &P::ignoreTablet, false),
    num("eventWait", &P::eventWait, 0, 0, 10000),
    num("tabletType", &P::tabletType, 0, 0, 1),
    flag("useRBtnColPicker", &P::useRBtnColPicker, true),
    flag("useAutoScroll", &P::useAutoScroll, false),
    flag("rgbPalBarFixed", &P::rgbPalBarFixed, true),
    flag("useFilePreview", &P::useFilePreview, true),
    flag("showScrollBar", &P::showScrollBar, false),
    flag("titleFullpath", &P::titleFullpath, false),
    num("mouseMBtnFunc", &P::mouseMBtnFunc, 0, 0, 10),
    real("opaquePaint", &P::opaquePaint, 1.0, 0, 1),
    real("opaqueAreaFill", &P::opaqueAreaFill, 1.0, 0, 1),
    real("opaqueSeedFill", &P::opaqueSeedFill, 1.0, 0, 1),
    real("opaqueGradate", &P::opaqueGradate, 1.0, 0, 1),
    real("opaqueDraw", &P::opaqueDraw, 1.0, 0, 1),
    real("opaqueLine", &P::opaqueLine, 1.0, 0, 1),
    real("opaqueFont", &P::opaqueFont, 1.0, 0, 1),
    flag("DrawToolMode", &P::DrawToolMode, false),
    flag("AutoFreeHand", &P::AutoFreeHand, false),
    num("ShortcutMode", &P::ShortcutMode, 0, 0, 1),
    flag("UseLastFile", &P::UseLastFile, true),
    num("PresetSaveAsQuit", &P::PresetSaveAsQuit, 0, 0, 2),
    flag("DrawToolAutoSave", &P::DrawToolAutoSave, false),
    num("DrawToolCursor", &P::DrawToolCursor, 0, 0, 1),
    num("OtherToolCursor", &P::OtherToolCursor, 0, 0, 1),
    text("CursorFile", &P::CursorFile),
    flag("BrushGhost", &P::BrushGhost, false),
    flag("ShowGhostCenter", &P::ShowGhostCenter, true),
    flag("UseGrabCtrl", &P::UseGrabCtrl, true),
    flag("CellExchange", &P::CellExchange, false),
    bits("AutoSizeAdjust", &P::AutoSizeAdjust, 7, 7),
    flag("ForceDispParam", &P::ForceDispParam, false),
    flag("RotZoomDblClk", &P::RotZoomDblClk, true),
    flag("RotGrabDblClk", &P::RotGrabDblClk, true),
    flag("ToolFindNext", &P::ToolFindNext, true),
    flag("UseVertSlider", &P::UseVertSlider, true),
    bits("ToolSubMode", &P::ToolSubMode, 0),
};

// Colours are 0x00BBGGRR: the top byte holds nothing.
const Item kColor[] = {
    bits("fgCol", &P::fgCol, 0, 0xFFFFFF),
    bits("bgCol", &P::bgCol, 0xFFFFFF, 0xFFFFFF),
};

const Item kWindow[] = {
    pos("mainWinX", &P::mainWinX),
    pos("mainWinY", &P::mainWinY),
    {"mainWinW", &P::mainWinW, -1, -1, kExtentMax, TextDefault::Empty, ItemRule::ScreenWidth},
    {"mainWinH", &P::mainWinH, -1, -1, kExtentMax, TextDefault::Empty, ItemRule::ScreenHeight},
    flag("mainWinMax", &P::mainWinMax, true),
    flag("childWinMax", &P::childWinMax, false),
    text("DockLayout", &P::DockLayout),
    pos("fontDlgX", &P::fontDlgX),
    pos("fontDlgY", &P::fontDlgY),
    extent("fontDlgW", &P::fontDlgW),
    extent("fontDlgH", &P::fontDlgH),
    flag("ToolFormVisible", &P::ToolFormVisible, true),
    pos("ToolFormX", &P::ToolFormX),
    pos("ToolFormY", &P::ToolFormY),
    extent("ToolFormWidth", &P::ToolFormWidth),
    extent("ToolFormHeight", &P::ToolFormHeight),
    flag("PreviewCounterRotate", &P::PreviewCounterRotate, false),
    flag("OptionListDblClick", &P::OptionListDblClick, false),
    // (picker kind << 16) | colour space: kinds 0 and 1, spaces 0..8.
    num("ColorSampler", &P::ColorSampler, 3, 0, 0x10008),
    style("SwathListType", &P::SwathListType),
    style("BrushListType", &P::BrushListType),
    num("EventCapacity", &P::EventCapacity, -1, -1, 10000),
    style("LayerListType", &P::LayerListType),
    style("MaskListType", &P::MaskListType),
    extent("PopBrushListWidth", &P::PopBrushListWidth),
    extent("PopBrushListHeight", &P::PopBrushListHeight),
    extent("PopPenNibListWidth", &P::PopPenNibListWidth),
    extent("PopPenNibListHeight", &P::PopPenNibListHeight),
    extent("PopGradListWidth", &P::PopGradListWidth),
    extent("PopGradListHeight", &P::PopGradListHeight),
    extent("PopToneListWidth", &P::PopToneListWidth),
    extent("PopToneListHeight", &P::PopToneListHeight),
    style("PopBrushListType", &P::PopBrushListType),
    style("PopPenNibListType", &P::PopPenNibListType),
    style("PopGradListType", &P::PopGradListType),
    style("PopToneListType", &P::PopToneListType),
    style("PopGradPrevType", &P::PopGradPrevType),
    style("PopTonePrevType", &P::PopTonePrevType),
    style("EdtBrushListType", &P::EdtBrushListType),
    style("EdtPenNibListType", &P::EdtPenNibListType),
    style("EdtGradListType", &P::EdtGradListType),
    style("EdtToneListType", &P::EdtToneListType),
};

const Item kFont[] = {
    text("face", &P::face),
    num("point", &P::point, 0, 0, 1000),
    num("charset", &P::charset, -1, -1, 255),
    num("spacing", &P::spacing, 0, -1000, 1000),
    num("leading", &P::leading, 0, -1000, 1000),
    flag("italic", &P::italic, false),
    flag("bold", &P::bold, false),
    flag("vertical", &P::vertical, false),
    flag("underline", &P::underline, false),
    flag("strikeout", &P::strikeout, false),
    flag("useFont", &P::useFont, true),
    flag("usePreview", &P::usePreview, true),
};

const ItemSpec<SPaperPreset> kPaper[] = {
    {"unit", &SPaperPreset::unit, 0, 0, 3},
    {"dpi", &SPaperPreset::resolution, 72, 1, 10000},
    {"w", &SPaperPreset::width, 640, 0, 100000},
    {"h", &SPaperPreset::height, 480, 0, 100000},
    {"transparent", &SPaperPreset::transparent, 0, 0, 1},
};

// The pane count is bounded once more by the room left for panes.
const ItemSpec<SFloatFormRec> kFloatForm[] = {
    {"PaneCount", &SFloatFormRec::PaneCount, 0, 0, kMaxFloatPanes},
    {"Visible", &SFloatFormRec::Visible, 1, 0, 1},
    {"X", &SFloatFormRec::X, 0, kPosMin, kPosMax},
    {"Y", &SFloatFormRec::Y, 0, kPosMin, kPosMax},
    {"Width", &SFloatFormRec::Width, 0, 0, kExtentMax},
    {"Height", &SFloatFormRec::Height, 0, 0, kExtentMax},
};

const ItemSpec<SFloatPaneRec> kFloatPane[] = {
    {"ParentForm", &SFloatPaneRec::ParentForm, -1, -1, kMaxFloatForms - 1},
    {"PaneIndex", &SFloatPaneRec::PaneIndex, -1, -1, kMaxFloatPanes - 1},
    {"ViewCount", &SFloatPaneRec::ViewCount, 0, 0, kDockViews},
    {"ActiveView", &SFloatPaneRec::ActiveView, -1, -1, kDockViews - 1},
    {"Collapse", &SFloatPaneRec::Collapse, 0, 0, 1},
};

const ItemSpec<SDockViewRec> kDockView[] = {
    {"ParentForm", &SDockViewRec::ParentForm, -1, -1, kMaxFloatForms - 1},
    {"ParentPane", &SDockViewRec::ParentPane, -1, -1, kMaxFloatPanes - 1},
    {"ViewIndex", &SDockViewRec::ViewIndex, -1, -1, kDockViews - 1},
    {"Visible", &SDockViewRec::Visible, 1, 0, 1},
    {"Width", &SDockViewRec::Width, -1, -1, kExtentMax},
    {"Height", &SDockViewRec::Height, -1, -1, kExtentMax},
};

}  // namespace

std::span<const ItemSpec<CAppProfile>> profileItems(ProfileSection section) {
  switch (section) {
    case ProfileSection::FileIO: return kFileIO;
    case ProfileSection::Config: return kConfig;
    case ProfileSection::Color: return kColor;
    case ProfileSection::Paper: return {};
    case ProfileSection::Window: return kWindow;
    case ProfileSection::Font: return kFont;
  }
  return {};
}

std::span<const ItemSpec<SPaperPreset>> paperItems() { return kPaper; }
std::span<const ItemSpec<SFloatFormRec>> floatFormItems() { return kFloatForm; }
std::span<const ItemSpec<SFloatPaneRec>> floatPaneItems() { return kFloatPane; }
std::span<const ItemSpec<SDockViewRec>> dockViewItems() { return kDockView; }

}  // namespace pg
