#pragma once
// CAppProfile: the one preferences object of the process.
//
// It holds a few facts about the system gathered at start and every user
// preference: folders and preset files, JPEG export settings, editing and
// tool options, the two current colours, six new-document presets, the
// layout of the main window, the tool window and its panels, and the text
// tool's font. load() fills it from the settings store once at start (every
// value clamped to its range, every text bounded, a value of the wrong kind
// taken as missing), the windows read and change the fields directly while
// the program runs, and save() writes everything back once at exit.
//
// The items of the sections are described by tables (profile_items.cpp): a
// key, the field, the default and the range. Loading and saving walk them.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/paper_preset.h"

namespace pg {

class CSettingsStore;

// The key the sections live under, and the section names.
inline constexpr std::string_view kProfileRoot = "Software\\Harbelle\\Pigmora4";
enum class ProfileSection : uint8_t { FileIO, Config, Color, Paper, Window, Font };
std::string_view profileSectionName(ProfileSection section);

// Longest text the profile takes from the store; a longer one reads as missing.
inline constexpr size_t kMaxProfileText = 4096;
// Room of the floating layout.
inline constexpr int kMaxFloatForms = 16;
inline constexpr int kMaxFloatPanes = 16;
inline constexpr int kPaperPresets = 6;
inline constexpr int kDockViews = 9;
// The settings version the migration sets.
inline constexpr int32_t kProfileVersion = 20;


struct SFloatFormRec {
  int32_t PaneCount{};
  bool Visible{};
  int32_t X{}, Y{}, Width{}, Height{};
};

struct SFloatPaneRec {
  int32_t ParentForm{};
  int32_t PaneIndex{};
  int32_t ViewCount{};
  int32_t ActiveView{};
  bool Collapse{};
};

// Where one dockable view sits; the keys are the view's name and the field name.
struct SDockViewRec {
  int32_t ParentForm{};
  int32_t ParentPane{};
  int32_t ViewIndex{};
  bool Visible{};
  int32_t Width{};
  int32_t Height{};
};

// The nine dockable views in their stored order.
inline constexpr std::array<std::string_view, kDockViews> kDockViewNames = {
    "OptionView", "NavigatorView", "InfomationView", "ColorView", "SwatchView",
    "BrushListView", "LayerView", "MaskView", "EventView"};

// The settings store seen one section at a time. The profile opens each
// section through it; a section that cannot be opened is skipped.
class CProfileStorage {
 public:
  explicit CProfileStorage(CSettingsStore& store) : store_(store) {}
  virtual ~CProfileStorage() = default;
  CProfileStorage(const CProfileStorage&) = delete;
  CProfileStorage& operator=(const CProfileStorage&) = delete;

  // The section's key path. Opening for writing creates the key when it is
  // missing; for reading a missing key is as good as an empty one (and the
  // store is left unchanged).
  static std::string sectionPath(ProfileSection section);
  [[nodiscard]] virtual bool openSection(ProfileSection section, bool forWriting);
  CSettingsStore& store() { return store_; }

 private:
  CSettingsStore& store_;
};

// The stored fields have no initialisers of their own: the item tables hold
// every default, and the constructor applies them.
class CAppProfile {
 public:
  // ---- system facts (readSystemInfo; never stored)
  uint32_t userLocale = 0;
  uint32_t ansiCodePage = 0;
  uint8_t interfaceLanguage = 0;  // 2 once the language module step ran
  std::string programFileName;
  std::string programFolder;
  std::string tempFolder;
  std::string homeFolder;
  // The screen the main window is clamped to at load; 0 while unknown.
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;

  // ---- "fileIO"
  std::string loadPath, savePath, eventPath;
  std::string palPath, palFile, gradPath2, gradFile2, penPath, nibFile, brushFile;
  uint32_t FileIODir{};
  int32_t pictLoadExtIdx{};
  int32_t eventLoadExtIdx{};
  bool silentFileIO{};
  bool jpegUseProgressive{};
  bool jpegUseSmooth{};
  int32_t jpegValSmooth{};
  int32_t jpegQType{};
  int32_t jpegQuality{};
  int32_t jpegQVHigh{};
  int32_t jpegQHigh{};
  int32_t jpegQStd{};
  int32_t jpegQLow{};

  // ---- "config"
  int32_t appVerID{};
  int32_t lastCP{};
  int32_t lastLCID{};
  int32_t gridW{};
  int32_t gridH{};
  uint32_t GridColor{};
  int32_t undoMax{};
  int32_t fillLimit{};
  int32_t fillTarget{};
  int32_t wandLimit{};
  int32_t wandTarget{};
  bool fillAntiAlias{};
  bool wandAntiAlias{};
  int32_t gradType{};
  int32_t gradMap{};
  int32_t gradRep{};
  int32_t gradRepCnt{};
  bool ignoreTablet{};
  int32_t eventWait{};
  int32_t tabletType{};
  bool useRBtnColPicker{};
  bool useAutoScroll{};
  bool rgbPalBarFixed{};
  bool useFilePreview{};
  bool showScrollBar{};
  bool titleFullpath{};
  int32_t mouseMBtnFunc{};
  float opaquePaint{};
  float opaqueAreaFill{};
  float opaqueSeedFill{};
  float opaqueGradate{};
  float opaqueDraw{};
  float opaqueLine{};
  float opaqueFont{};
  bool DrawToolMode{};
  bool AutoFreeHand{};
  int32_t ShortcutMode{};
  bool UseLastFile{};
  int32_t PresetSaveAsQuit{};
  bool DrawToolAutoSave{};
  int32_t DrawToolCursor{};
  int32_t OtherToolCursor{};
  std::string CursorFile;
  bool BrushGhost{};
  bool ShowGhostCenter{};
  bool UseGrabCtrl{};
  bool CellExchange{};
  uint32_t AutoSizeAdjust{};
  bool ForceDispParam{};
  bool RotZoomDblClk{};
  bool RotGrabDblClk{};
  bool ToolFindNext{};
  bool UseVertSlider{};
  uint32_t ToolSubMode{};
  // Not stored: set at every load.
  bool labelDrag = true;
  bool labelDblClick = true;

  // ---- "color"
  uint32_t fgCol{};
  uint32_t bgCol{};

  // ---- "paper"
  std::array<SPaperPreset, kPaperPresets> paper{};

  // ---- "window"
  int32_t mainWinX{}, mainWinY{}, mainWinW{}, mainWinH{};
  bool mainWinMax{};
  bool childWinMax{};
  int32_t fontDlgX{}, fontDlgY{}, fontDlgW{}, fontDlgH{};
  int32_t FloatFormCount{};
  std::array<SFloatFormRec, kMaxFloatForms> floatForms{};
  std::array<SFloatPaneRec, kMaxFloatPanes> floatPanes{};
  bool ToolFormVisible{};
  int32_t ToolFormX{}, ToolFormY{}, ToolFormWidth{}, ToolFormHeight{};
  std::array<SDockViewRec, kDockViews> views{};
  // The floating panels' arrangement as the dock manager writes it.
  std::string DockLayout;
  bool PreviewCounterRotate{};
  bool OptionListDblClick{};
  int32_t ColorSampler{};
  int32_t SwathListType{}, BrushListType{}, EventCapacity{}, LayerListType{}, MaskListType{};
  int32_t PopBrushListWidth{}, PopBrushListHeight{}, PopPenNibListWidth{}, PopPenNibListHeight{};
  int32_t PopGradListWidth{}, PopGradListHeight{}, PopToneListWidth{}, PopToneListHeight{};
  int32_t PopBrushListType{}, PopPenNibListType{}, PopGradListType{}, PopToneListType{};
  int32_t PopGradPrevType{}, PopTonePrevType{};
  int32_t EdtBrushListType{}, EdtPenNibListType{}, EdtGradListType{}, EdtToneListType{};

  // ---- "font"
  std::string face;
  int32_t point{};
  int32_t charset{};
  int32_t spacing{};
  int32_t leading{};
  bool italic{}, bold{}, vertical{}, underline{}, strikeout{};
  bool useFont{};
  bool usePreview{};

  // The system facts of this process: locale, folders, the program's own
  // name and folder (from its path, made absolute by the caller).
  void readSystemInfo(std::string_view programPath);
  // The preset folder: the program folder and "preset".
  std::string presetFolder() const;

  // Reads every section (a section that cannot be opened keeps its fields).
  // Answers true, as a section's trouble does not stop the others.
  bool load(CProfileStorage& storage);
  bool load(CSettingsStore& store);
  // Collects the window state (saveWindowHook), writes every section and
  // saves the store once. False when a value or the store could not be
  // written; the rest is written all the same.
  [[nodiscard]] bool save(CProfileStorage& storage);
  [[nodiscard]] bool save(CSettingsStore& store);

  // Called first by save so that the main window and the tool window put
  // their present state into the fields.
  std::function<void(CAppProfile&)> saveWindowHook;

  // Stores a tool's opacity in the field of its tool mode's group.
  void storeToolSetting(int32_t toolMode, float value);

  // The settings migration the main window applies once after the load:
  // before version 11 the gradient set file is forgotten; then version 20.
  void migrate();

  // Every stored field takes the default of its table (the constructor does).
  void applyDefaults();

  CAppProfile() { applyDefaults(); }
};

// The process-wide profile; resetAppProfile gives a fresh one (tests).
CAppProfile& appProfile();
void resetAppProfile();

// The settings store of the process: start-up installs the file store; until
// then (and in tests) it is an in-memory one. Not owned.
CSettingsStore& appSettingsStore();
void setAppSettingsStore(CSettingsStore* store);

}  // namespace pg
