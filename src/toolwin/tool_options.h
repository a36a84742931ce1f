#pragma once
// The tool options' logic: the option view's brush list with its working
// paint parameters, and what a control change does to them. A control
// reaches a field only when the brush's parameter mask lets it and the value
// (after the control's scaling) differs; the change is then handed to the
// document at once (size, minimum size and opacity through the tool window's
// own state, the rest as the working parameters), stored into the brush when
// the preferences save automatically, and the panel is told.
#include <array>
#include <bitset>
#include <functional>
#include <memory>

#include "canvas/canvas_shared.h"
#include "toolwin/gradient_options.h"
#include "toolwin/option_fields.h"
#include "toolwin/pen_method_list.h"
#include "toolwin/preset_lists.h"

namespace pg {

// The delete button's question and the two item words it names.
inline constexpr uint32_t kResDeleteItemQuestion = 68214;
inline constexpr uint32_t kResItemWordBrush = 68215;
inline constexpr uint32_t kResItemWordGradient = 68216;

class CGradMngr;
class TPaintParam;
struct SReplayPenState;
class CPenMethodMngr;
class CPenSettingTable;
class CToolWindowModel;
class TStroke;

class CToolOptions {
 public:
  explicit CToolOptions(CToolWindowModel& model);
  ~CToolOptions();
  CToolOptions(const CToolOptions&) = delete;
  CToolOptions& operator=(const CToolOptions&) = delete;

  // The collections the brush list shows (none owned).
  void bind(CPenMethodMngr* brushes, TStroke* stroke, CPenSettingTable* variants);
  CPenMethodList& brushList() { return list_; }
  // The brush-set panel's list: every brush of the collection, the
  // collection's current one active.
  CPenMethodList& brushSetList() { return brushSet_; }
  const CPenMethodList& brushSetList() const { return brushSet_; }
  // A brush picked in the brush-set list: the tool of its kind becomes
  // current and the option list shows and loads it, so the next stroke
  // paints with it.
  void brushSetPicked();
  // The brush the panel shows: while the tool window shows a replay, the
  // replayed brush once one is loaded; otherwise the working parameters.
  const TPaintParam& paintParam() const;

  // ---- the replayed brush ----
  // The replayed stroke settings of a stroke made by the dab walker (the
  // replayed document's stroke mode below 2): the panel shows them. True
  // when the shown brush changed.
  bool loadReplayStroke(const TStroke& stroke, uint8_t strokeMode);
  // The replayed pen-method state (renderer, stroke manager, falloff and
  // nib); true when the shown brush changed.
  bool loadReplayParts(const SReplayPenState& state);
  // Forgets the replayed brush: the user's own shows again.
  void clearReplayBrush();
  bool showsReplayBrush() const;

  // The preference that stores every effective change into the brush at
  // once (and disables the save button).
  bool autoSave() const { return autoSave_; }
  void setAutoSave(bool on) { autoSave_ = on; }

  // Follows the tool window's current mode: a mode with a pen slot shows the
  // brushes or variants of its paint kind and loads the selected one.
  void followMode();
  // Whether the mode has brush settings at all, and whether a field's
  // control is shown for the current brush.
  bool hasBrush() const;
  bool shows(EParamField field) const;
  // The field as its control shows it.
  double controlValue(EParamField field) const;
  // A control's value; true when the brush changed.
  bool paramChange(EParamField field, double controlValue);
  // The falloff picker: its type and values (per cent) into the working
  // brush by the kind's falloff style; true when the brush changed.
  bool falloffChange(uint8_t kind, float valueA, float valueB);
  // The save button: the working parameters into the selected brush.
  [[nodiscard]] bool optionSave();

  // The aspect editor's values as it shows them: the anti-alias switch, the
  // falloff values (per cent), the angle, the flattening (100 - aspect per
  // cent), the minimum size (per cent), the size in pixels and the nib
  // image's scale (per cent).
  struct SAspectValues {
    bool antiAlias = true;
    float falloffB = 0, falloffA = 0;
    float angle = 0, flattening = 0;
    float minSize = 0, size = 1;
    float nibScale = 100;
    friend bool operator==(const SAspectValues&, const SAspectValues&) = default;
  };
  SAspectValues aspectValues() const;
  // The values an edit in the aspect editor means: those the editor changed
  // since it was loaded (`shown`) over the brush's own. The editor clamps
  // what it shows (the minimum size to 1 %, the angle to -180..180), and a
  // value it only clamped must not reach the brush.
  static SAspectValues editedAspect(const SAspectValues& brush, const SAspectValues& shown, const SAspectValues& now);
  // The aspect editor changed: the size (or with a nib image its scale),
  // then the minimum size, aspect and angle, each under its mask bit; one
  // change for the brush. True when the brush changed.
  bool aspectChange(const SAspectValues& v);

  // ---- the gradient tool ----
  // The tool window's gradients (not owned) and the list that shows them.
  void bindGradients(CGradMngr* gradients);
  CGradientList& gradientList() { return gradients_; }
  // The second list of the same gradients (the compact drop-down beside the
  // strip); a pick in either moves the other onto the same item.
  CGradientList& gradientDropList() { return gradientDrop_; }
  // The tool window's own drop-down of the gradients, on the same item as
  // the two above; its toggle button is the gradation switch (brush strokes
  // paint with the current gradient while it is down).
  CGradientList& toolGradientList() { return toolGradients_; }
  bool isGradientTool() const;
  // The attribute buttons and the repeat count changed; true when the
  // current gradient took a new repeat.
  bool gradAttrChange(const SGradAttrControls& controls);
  SGradAttrView gradAttrs() const;

  // ---- the name of the brush or gradient ----
  // The working brush's name, or the current gradient's.
  std::string itemName() const;
  // Whether it may be renamed: the brush under its mask, a gradient other
  // than the set's fixed entry.
  bool canRename() const;
  // A typed name: the working brush takes it (stored into the brush when
  // the preferences save automatically), or the current gradient; true
  // when it changed.
  bool nameChange(const std::string& name);

  // ---- the new and delete item buttons ----
  // The list they work on: the gradients for the gradient tool, the brushes
  // for a brush tool that paints with the brush collection; nullptr for the
  // tools whose settings are stored variants, and for the others.
  CItemList* itemList();
  bool canNewItem();
  bool canDeleteItem();
  // Duplicates the active item to the end of the list.
  bool newItem();
  // Deletes the active item; unless `withoutAsking` (Alt held), the question
  // "delete the selected brush / gradient?" must be answered Yes first.
  bool deleteItem(bool withoutAsking);

  // ---- the fill tools ----
  // Where the range settings live (not owned; nullptr for the options' own):
  // the bucket fill and the magic eraser share `fill`, the automatic
  // selection has `wand`.
  void bindSeeds(SSeedSettings* fill, SSeedSettings* wand);
  // The settings of the current tool; nullptr for a tool that fills nothing.
  const SSeedSettings* seedSettings() const;
  // The range (rounded half up, 0..255), the visible-picture switch and
  // anti-aliasing for the current fill tool; true when they changed.
  bool seedParamChange(double range, bool visible, bool antiAlias);

  // Called after every change the panel shows.
  std::function<void()> OnChanged;

 private:
  void pullFromModel();
  // A replayed brush to show unless it shows alike already.
  bool takeReplayBrush(std::unique_ptr<TPaintParam> shown);
  // After an effective change of the working brush: stored when saving
  // automatically, handed to the document, shown.
  void workChanged();

  SSeedSettings* seedsOfMode() const;

  CToolWindowModel& model_;
  CPenMethodList list_;
  CPenMethodList brushSet_;
  CGradientList gradients_;
  CGradientList gradientDrop_;
  CGradientList toolGradients_;
  std::array<CGradientList*, 3> gradientLists() { return {&gradients_, &gradientDrop_, &toolGradients_}; }
  bool syncingGradients_ = false;
  SSeedSettings ownFill_, ownWand_;
  SSeedSettings* fill_ = &ownFill_;
  SSeedSettings* wand_ = &ownWand_;
  std::bitset<4> locks_;  // a parameter change, a brush load, gradient attributes, seed settings
  bool autoSave_ = false;
  std::unique_ptr<TPaintParam> replayParam_;
  // The user's working brush while a replay is watched with the hand: the
  // tool change back at its end would reload the stored brush and drop
  // unsaved changes the user never chose to leave.
  std::unique_ptr<TPaintParam> ownBrush_;
};

}  // namespace pg
