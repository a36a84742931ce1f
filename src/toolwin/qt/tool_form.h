#pragma once
// The tool window: sixteen tool buttons, the colour pair and the tool
// opacity, over the toolkit-free CToolWindowModel that holds their state. It
// is a plain widget of fixed size that the main window places into a panel;
// the brush size sits in a separate options panel the main window may place
// beside it.
//
// What the main window calls:
//   createToolWindow(mainWindow)       once, before any document exists
//   setDocWindow(window or nullptr)    on every change of the active document window
//   releaseDocWindow(window)           when a document window closes
//   handleShortcutKey(key event)       for keys while no edit field has the focus
//   selectToolButton(0 or 1)           the second-tool switch
//   destroyToolWindow(form)            at shut-down
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "toolwin/preset_editor_rules.h"

#include "toolwin/qt/tool_cursor_art.h"
#include "toolwin/qt/preset_popup_form.h"
#include "toolwin/qt/tool_options_panel.h"
#include "toolwin/tool_button_clicks.h"
#include "document/tool_window_link.h"
#include "toolwin/qt/colour_panel_view.h"
#include "toolwin/qt/layer_panel_view.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/tool_options_panel.h"
#include "toolwin/qt/view_grabber.h"
#include "toolwin/pen_settings.h"
#include "brush/gradient_mngr.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "toolwin/preset_list_commands.h"
#include "toolwin/preset_sets.h"
#include "toolwin/qt/brush_editor_form.h"
#include "toolwin/swatch_list.h"
#include "toolwin/tool_gradient_link.h"
#include "toolwin/tool_options.h"
#include "toolwin/tool_window_model.h"
#include "toolwin/value_labels.h"
#include "ui/colour_model.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QSpinBox;
class QTimer;
class QToolButton;

namespace pg {

class TToolButton;
class TItemListView;
class TToolColourCell;

class TToolForm : public QWidget, private IToolWindowView, private CToolWindowLink {
  Q_OBJECT
 public:
  explicit TToolForm(QWidget* parent = nullptr);
  ~TToolForm() override;

  CToolWindowModel& model() { return model_; }
  const CToolWindowModel& model() const { return model_; }

  // The main window's side: preferences, the replay wait, the panel toggle.
  void setHost(IToolWindowHost* host) { model_.setHost(host); }

  void setDocWindow(IToolTarget* window);
  void releaseDocWindow(IToolTarget* window);

  [[nodiscard]] bool selectTool(ToolId tool, bool endPrevious) { return model_.selectTool(tool, endPrevious); }
  void selectToolButton(int slot) { model_.selectToolButton(slot); }

  // True when the tool window used the key; the main window then stops it.
  [[nodiscard]] bool handleShortcutKey(const QKeyEvent& event);
  [[nodiscard]] bool handleShortcutKey(int32_t vk, uint32_t shift) { return model_.handleShortcutKey(vk, shift); }

  // After the preference dialog and at start: the cursor rows (and the
  // cursor file); the bound document window shows its cursor again.
  void applyPreferences(const SCursorPrefs& prefs);
  const TToolCursors& cursors() const { return cursors_; }
  // The document window's view for the hand and zoom buttons' double-clicks
  // (nullptr without one), and their preferences.
  void setViewCommands(IViewCommands* view) { viewCommands_ = view; }
  void setButtonPreferences(const SToolButtonPrefs& prefs) { buttonPrefs_ = prefs; }

  // The tool button of index 0..15 (taken modulo 128); nullptr otherwise.
  TToolButton* toolButton(int index) const;
  QSpinBox* opacityEdit() const { return opacityEdit_; }
  // The gradients as a drop-down under the opacity; its button is the
  // gradation switch of brush strokes.
  TItemListView* gradientListView() const { return gradientView_; }
  TToolColourCell* colourCell() const { return colourCell_; }
  // The options panel; it has no parent until the main window places it,
  // and the tool window frees it unless its new parent did first.
  TToolOptionsPanel* optionsPanel() const { return optionsPanel_; }
  // The other panels, made like the options panel: without a parent until
  // the main window places them (the mask panel is the layer panel's
  // maskPanel()).
  TLayerPanelView* layerPanel() const { return layerPanel_; }
  QWidget* maskPanel() const;
  TColourPanelView* colourPanel() const { return colourPanel_; }
  TNavigatorPanelView* navigatorPanel() const { return navigatorPanel_; }
  TInfoPanelView* infoPanel() const { return infoPanel_; }
  // The swatches: a click picks the active colour, a click after the last
  // one adds it.
  QWidget* swatchPanel() const { return swatchPanel_; }
  TItemListView* swatchListView() const { return swatchView_; }
  // The swatch buttons: new appends a colour (or a swatch dropped on it);
  // delete takes a swatch dropped on it and is enabled only while one that
  // may go is dragged.
  QToolButton* swatchNewButton() const { return swatchNew_; }
  QToolButton* swatchDeleteButton() const { return swatchDelete_; }
  // The swatch panel's menu (PopSwatch): new colour, display styles and the
  // palette commands (revert, append, save, replace).
  QMenu* swatchMenu() const { return swatchMenu_; }
  // The colour picker of the swatches' new and edit (a double click on a
  // swatch, "new colour..."); true when the colour was chosen. The picker
  // dialog unless replaced.
  std::function<bool(SColorRec&)> RunColorDialog;
  // The brush-set panel: every brush of the collection; a pick makes it the
  // brush of its tool (brushSetPicked). Like the other panels it has no
  // parent until the main window places it.
  QWidget* brushSetPanel() const { return brushSetPanel_; }
  TItemListView* brushSetListView() const { return brushSetView_; }
  QMenu* brushSetMenu() const { return brushMenu_; }
  // The option list's menu for the gradient tool (PopOption over the
  // gradients).
  QMenu* gradientListMenu() const { return gradientMenu_; }
  // The display styles of the swatch, brush-set, layer and mask lists (the
  // preferences SwathListType, BrushListType, LayerListType, MaskListType);
  // a stored -1 (or any style a list does not take) leaves the list's own.
  struct SListStyles {
    int32_t swatches = -1, brushSet = -1, layers = -1, masks = -1;
  };
  void setListStyles(const SListStyles& styles);
  SListStyles listStyles() const;
  // The preset sets asked about at exit, in the order they are asked: the
  // tool window registers its swatches; the owners of the brush, nib and
  // gradient sets register theirs (addPresetSet keeps the order of kinds).
  void addPresetSet(SPresetSetEntry set);
  // querySavePresets: false cancels closing. mode is the preference
  // PresetSaveAsQuit (0 ask, 1 overwrite, 2 nothing); the question and the
  // save dialog are Qt's unless the query brings its own.
  [[nodiscard]] bool querySavePresets(int32_t mode, SPresetExitQuery query = {});

  // The layer and mask lists' menus over the main window's actions.
  void bindPanelMenus(std::function<QAction*(std::string_view name)> action, std::function<void()> refresh);
  CSwatchList& swatches() { return swatches_; }
  // The five stored variants of each stroke tool's settings; the main
  // window reads them from the settings store at start and writes them back
  // at exit.
  CPenSettingTable& penSettings() { return penSettings_; }
  // The brushes, nibs and gradients the tool window owns, and the tool
  // options' logic over them.
  CPenMethodMngr& brushes() { return brushes_; }
  CPenShapeMngr& nibs() { return nibs_; }
  CGradMngr& gradients() { return gradients_; }
  CToolOptions& toolOptions() { return toolOptions_; }
  // The file commands of the four collections; the main window gives them
  // the preferences and the file dialog.
  CPresetSets& presetSets() { return presetSets_; }

  // The preferences the preset editors and the option list keep (each may
  // be null): the editors' list styles and whether a double click in the
  // option list opens the brush editor.
  struct SPresetEditorPrefs {
    int32_t* brushListStyle = nullptr;
    int32_t* nibListStyle = nullptr;
    int32_t* gradientListStyle = nullptr;
    bool* optionListDoubleClick = nullptr;
  };
  // The sets' preferences (files and folders, colours) and the editors'.
  void setPresetPreferences(IPresetPrefs* prefs, const SPresetEditorPrefs& editorPrefs);
  // The preset pop-ups' display styles and sizes (PopBrushListType and its
  // siblings), restored when one opens and stored when it closes.
  struct SPresetPopupPrefsSet {
    SPresetPopupPrefs brushes, nibs, gradients;
  };
  void setPresetPopupPreferences(const SPresetPopupPrefsSet& prefs) { popupPrefs_ = prefs; }
  // At start: the default set of every collection (the stored file of each
  // when there is one), none counting as modified. At exit: the sets' files
  // go into the preferences, so that the next start loads them.
  void loadPresetSets();
  void storePresetFiles();
  // The editors over the tool window's sets (index in the set); each
  // answers whether anything was applied. The new ones copy the current
  // preset to the end first.
  [[nodiscard]] bool editBrush(int32_t index);
  [[nodiscard]] bool newBrush();
  [[nodiscard]] bool editNib(int32_t index);
  [[nodiscard]] bool newNib();
  [[nodiscard]] bool editGradient(int32_t index);
  [[nodiscard]] bool newGradient();
  // The option list's menu (brushes: item and set commands).
  QMenu* optionListMenu() const { return optionMenu_; }
  // A double click in the option list opens the editor (the preference).
  void setOptionListDoubleClick(bool on);
  // The panels look at the document again: the navigator's picture and
  // frame, the loupe, the pointer's position and colour.
  void refreshPanels();
  // The view grabber: the main window names the widget of the active
  // document window it may sit on (nullptr for none); it sits there while
  // the hand tool is current and the preference wants it.
  void setGrabberHost(QWidget* host);
  void setViewPreferences(bool useGrabCtrl, bool forceDispParam);
  TViewGrabber* grabber() const { return grabber_; }
  // A double click in the document window: a shown grabber goes back to
  // 100 % (true then).
  [[nodiscard]] bool resetGrabberScale();

 private:
  // The shortcut keys that step the option lists, the nib scale and the
  // layer list.
  void wireShortcutLists();
  void toolWindowChanged(uint32_t parts) override;
  bool isVariantMenuOpen(int button) const override;
  void buildSwatchButtons();
  void buildBrushSetPanel();
  void buildListMenus();
  void bindValueLabels();
  [[nodiscard]] bool pickSwatchColour(SColorRec& colour);
  void buildButtons();
  QMenu* buildVariantMenu(int button);
  void buildPanels();
  void bindPanels();
  void makeGrabber();
  void updateGrabber();

  // ---- CToolWindowLink: what the document asks of the panels ----
  int32_t layerThumbHeight() const override;
  int32_t maskThumbHeight() const override;
  void updateLayerPanel() override;
  void updateMaskPanel() override;
  void refreshLayerList() override;
  void refreshMaskList() override;

  void refreshDocCursor();
  void wirePresetLists();
  // The commands and preferences of the preset pop-ups the panels drop down.
  SPresetPopupSetup popupSetup(PresetPopupKind kind);
  SPresetEditorContext editorContext(int32_t* listStyle) const;
  SPanelMenuContext optionMenuContext();
  void brushesReloaded();
  // The sets' files by PresetSet.
  std::array<std::string, 4> currentPresetFiles();

  CToolWindowModel model_;
  TToolCursors cursors_;
  CValueLabels valueLabels_;
  IViewCommands* viewCommands_ = nullptr;
  SToolButtonPrefs buttonPrefs_;
  CPenSettingTable penSettings_;
  CPenMethodMngr brushes_;
  CPenShapeMngr nibs_;
  CGradMngr gradients_{true};
  // The documents and the gradient map take the active gradient through it.
  CToolGradientLink gradientLink_{gradients_};
  CToolOptions toolOptions_{model_};
  ToolMode optionsMode_ = ToolMode::Pencil;
  CSwatchList swatches_;
  CPresetSets presetSets_{brushes_, nibs_, gradients_, swatches_};
  IPresetPrefs* presetPrefs_ = nullptr;
  std::array<std::string, 4> loadedFiles_;  // the sets' files after start-up
  SPresetEditorPrefs editorPrefs_;
  SPresetPopupPrefsSet popupPrefs_;
  CItemListMenu brushListMenu_{toolOptions_.brushList()};
  CPresetSetMenu brushSetMenu_{presetSets_, PresetSet::PenMethods, [this] { return brushes_.fileName(); },
                               [this] { return brushes_.modified(); }, [this] { brushesReloaded(); }};
  QMenu* optionMenu_ = nullptr;
  CItemListMenu brushSetListMenu_{toolOptions_.brushSetList()};
  CItemListMenu swatchListMenu_{swatches_};
  CPresetSetMenu swatchSetMenu_{presetSets_, PresetSet::Palette, [this] { return swatches_.manager().fileName(); },
                                [this] { return swatches_.manager().modified(); }};
  CItemListMenu gradientListMenu_{toolOptions_.gradientList()};
  CPresetSetMenu gradientSetMenu_{presetSets_, PresetSet::Gradients, [this] { return gradients_.fileName(); },
                                  [this] { return gradients_.modified(); }};
  QMenu* swatchMenu_ = nullptr;
  QMenu* brushMenu_ = nullptr;
  QMenu* gradientMenu_ = nullptr;
  TItemListView* brushSetView_ = nullptr;
  QPointer<QWidget> brushSetPanel_;
  // The modified sets asked about at exit, in their fixed order.
  std::vector<SPresetSetEntry> exitQuerySets_;
  TItemListView* swatchView_ = nullptr;
  QToolButton* swatchNew_ = nullptr;
  QToolButton* swatchDelete_ = nullptr;
  std::array<TToolButton*, kToolButtonCount> buttons_{};
  TToolColourCell* colourCell_ = nullptr;
  QSpinBox* opacityEdit_ = nullptr;
  QLabel* opacityUnit_ = nullptr;
  TItemListView* gradientView_ = nullptr;
  QPointer<TToolOptionsPanel> optionsPanel_;
  QPointer<TLayerPanelView> layerPanel_;
  QPointer<TColourPanelView> colourPanel_;
  QPointer<TNavigatorPanelView> navigatorPanel_;
  QPointer<TInfoPanelView> infoPanel_;
  QPointer<QWidget> swatchPanel_;
  QPointer<TViewGrabber> grabber_;
  QPointer<QWidget> grabberHost_;
  bool useGrabCtrl_ = true;
  bool forceDispParam_ = false;
  CToolWindowLink* previousLink_ = nullptr;
  QTimer* panelTimer_ = nullptr;
  QPoint lastPointer_{-1, -1};
  uint32_t panelTicks_ = 0;
  bool refreshing_ = false;
};

// The virtual-key number of a Qt key as the tool window's shortcuts know it;
// 0 for keys it never uses.
int32_t toolShortcutKeyOf(int qtKey);
// The modifier bits of the shortcuts (Shift 1, Alt 2, Ctrl 4).
uint32_t toolShortcutShiftOf(Qt::KeyboardModifiers modifiers);

// Creates the tool window as a child of the main window and makes it ready:
// pencil current, normal display, no document.
TToolForm* createToolWindow(QWidget* mainForm);
// Frees the tool window (and its options panel) and clears the pointer.
void destroyToolWindow(TToolForm*& form);

}  // namespace pg
