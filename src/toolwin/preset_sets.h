#pragma once
// The tool window's file commands of its four preset collections (brushes,
// nibs, gradients, swatches): load the default set, load a named file
// (replacing or appending), open one with the dialog, save to a named file
// and save with the dialog; and what the lists show after each. A replaced
// gradient set selects its first gradient and the drawing state is handed
// on again, an appended one keeps the selection; a replaced swatch set
// selects its first swatch. Nibs and brushes need no refresh here.
#include <array>
#include <functional>
#include <string>

#include "io/preset_common.h"

namespace pg {

class CGradMngr;
class CPenMethodMngr;
class CPenShapeMngr;
class CSwatchList;

enum class PresetCommand : uint8_t { LoadDefault, LoadFile, OpenDialog, SaveFile, SaveDialog };

class CPresetSets {
 public:
  // The collections (none owned); the swatches are the list's.
  CPresetSets(CPenMethodMngr& brushes, CPenShapeMngr& nibs, CGradMngr& gradients, CSwatchList& swatches);

  void setPreferences(IPresetPrefs* prefs) { prefs_ = prefs; }
  void setFileDialog(PresetFileDialog dialog) { dialog_ = std::move(dialog); }
  // The drawing state is to be handed to the document again.
  std::function<void()> OnPushStrokeParams;
  // A gradient list is to be drawn again (after an append).
  std::function<void()> OnGradientsRedraw;

  // One command on one collection; path and append where the command takes
  // them. Answers the collection's success.
  [[nodiscard]] bool run(PresetSet set, PresetCommand command, const std::string& path = {}, bool append = false);

  [[nodiscard]] bool loadDefaultBrushSet() { return run(PresetSet::PenMethods, PresetCommand::LoadDefault); }
  [[nodiscard]] bool loadBrushSet(const std::string& path, bool append) { return run(PresetSet::PenMethods, PresetCommand::LoadFile, path, append); }
  [[nodiscard]] bool openBrushSet(bool append) { return run(PresetSet::PenMethods, PresetCommand::OpenDialog, {}, append); }
  [[nodiscard]] bool saveBrushSet(const std::string& path) { return run(PresetSet::PenMethods, PresetCommand::SaveFile, path); }
  [[nodiscard]] bool saveBrushSetAs() { return run(PresetSet::PenMethods, PresetCommand::SaveDialog); }
  [[nodiscard]] bool loadDefaultNibSet() { return run(PresetSet::PenShapes, PresetCommand::LoadDefault); }
  [[nodiscard]] bool loadNibSet(const std::string& path, bool append) { return run(PresetSet::PenShapes, PresetCommand::LoadFile, path, append); }
  [[nodiscard]] bool openNibSet(bool append) { return run(PresetSet::PenShapes, PresetCommand::OpenDialog, {}, append); }
  [[nodiscard]] bool saveNibSet(const std::string& path) { return run(PresetSet::PenShapes, PresetCommand::SaveFile, path); }
  [[nodiscard]] bool saveNibSetAs() { return run(PresetSet::PenShapes, PresetCommand::SaveDialog); }
  [[nodiscard]] bool loadDefaultGradSet() { return run(PresetSet::Gradients, PresetCommand::LoadDefault); }
  [[nodiscard]] bool loadGradSet(const std::string& path, bool append) { return run(PresetSet::Gradients, PresetCommand::LoadFile, path, append); }
  [[nodiscard]] bool openGradSet(bool append) { return run(PresetSet::Gradients, PresetCommand::OpenDialog, {}, append); }
  [[nodiscard]] bool saveGradSet(const std::string& path) { return run(PresetSet::Gradients, PresetCommand::SaveFile, path); }
  [[nodiscard]] bool saveGradSetAs() { return run(PresetSet::Gradients, PresetCommand::SaveDialog); }
  [[nodiscard]] bool loadDefaultSwatchSet() { return run(PresetSet::Palette, PresetCommand::LoadDefault); }
  [[nodiscard]] bool loadSwatchSet(const std::string& path, bool append) { return run(PresetSet::Palette, PresetCommand::LoadFile, path, append); }
  [[nodiscard]] bool openSwatchSet(bool append) { return run(PresetSet::Palette, PresetCommand::OpenDialog, {}, append); }
  [[nodiscard]] bool saveSwatchSet(const std::string& path) { return run(PresetSet::Palette, PresetCommand::SaveFile, path); }
  [[nodiscard]] bool saveSwatchSetAs() { return run(PresetSet::Palette, PresetCommand::SaveDialog); }

  // The constructor's loads: the default set of every collection.
  void loadDefaultSets();

 private:
  [[nodiscard]] bool perform(PresetSet set, PresetCommand command, const std::string& path, bool append);
  void refreshAfterLoad(PresetSet set, bool replaced);

  CPenMethodMngr& brushes_;
  CPenShapeMngr& nibs_;
  CGradMngr& gradients_;
  CSwatchList& swatches_;
  IPresetPrefs* prefs_ = nullptr;
  PresetFileDialog dialog_;
};

}  // namespace pg
