#pragma once
// The tool options' logic: the option view's brush list with its working
// paint parameters, and what a control change does to them. A control
// reaches a field only when the brush's parameter mask lets it and the value
// (after the control's scaling) differs; the change is then handed to the
// document at once (size, minimum size and opacity through the tool window's
// own state, the rest as the working parameters), stored into the brush when
// the preferences save automatically, and the panel is told.
#include <bitset>
#include <functional>

#include "toolwin/option_fields.h"
#include "toolwin/pen_method_list.h"

namespace pg {

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
  const TPaintParam& paintParam() const { return list_.paintParam(); }

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
  // The save button: the working parameters into the selected brush.
  [[nodiscard]] bool optionSave();

  // Called after every change the panel shows.
  std::function<void()> OnChanged;

 private:
  void pullFromModel();

  CToolWindowModel& model_;
  CPenMethodList list_;
  std::bitset<2> locks_;  // a parameter change, a brush load
  bool autoSave_ = false;
};

}  // namespace pg
