#include "toolwin/preset_sets.h"

#include "brush/gradient_mngr.h"
#include "io/gradient_file.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "io/swatch_list.h"
#include "toolwin/swatch_list.h"

namespace pg {

namespace {

// The commands every collection offers alike, over its own manager.
template <class Mngr>
bool listCommand(Mngr& m, PresetCommand command, const std::string& path, bool append, IPresetPrefs* prefs,
                 const PresetFileDialog& dialog) {
  switch (command) {
    case PresetCommand::LoadDefault: return prefs && m.loadDefault(true, *prefs);
    case PresetCommand::LoadFile: return m.loadFromFile(path, append);
    case PresetCommand::OpenDialog: return m.openDialog(append, dialog);
    case PresetCommand::SaveFile: return m.saveToFile(path);
    case PresetCommand::SaveDialog: return m.saveAsDialog(dialog);
  }
  return false;
}

bool gradientCommand(CGradMngr& m, PresetCommand command, const std::string& path, bool append, IPresetPrefs* prefs,
                     const PresetFileDialog& dialog) {
  switch (command) {
    case PresetCommand::LoadDefault: return prefs && gradMngrLoadDefaultSet(m, true, *prefs);
    case PresetCommand::LoadFile: return gradMngrLoadFromFile(m, path, append, prefs);
    case PresetCommand::OpenDialog: return gradMngrOpenDialog(m, append, dialog, prefs);
    case PresetCommand::SaveFile: return gradMngrSaveToFile(m, path);
    case PresetCommand::SaveDialog: return gradMngrSaveAsDialog(m, dialog);
  }
  return false;
}

bool isLoad(PresetCommand c) { return c == PresetCommand::LoadDefault || c == PresetCommand::LoadFile || c == PresetCommand::OpenDialog; }

}  // namespace

CPresetSets::CPresetSets(CPenMethodMngr& brushes, CPenShapeMngr& nibs, CGradMngr& gradients, CSwatchList& swatches)
    : brushes_(brushes), nibs_(nibs), gradients_(gradients), swatches_(swatches) {}

bool CPresetSets::perform(PresetSet set, PresetCommand command, const std::string& path, bool append) {
  switch (set) {
    case PresetSet::PenMethods: return listCommand(brushes_, command, path, append, prefs_, dialog_);
    case PresetSet::PenShapes: return listCommand(nibs_, command, path, append, prefs_, dialog_);
    case PresetSet::Gradients: return gradientCommand(gradients_, command, path, append, prefs_, dialog_);
    case PresetSet::Palette: return listCommand(swatches_.manager(), command, path, append, prefs_, dialog_);
  }
  return false;
}

bool CPresetSets::run(PresetSet set, PresetCommand command, const std::string& path, bool append) {
  const bool ok = perform(set, command, path, append);
  // Loading the default set counts as a replacement.
  if (ok && isLoad(command)) refreshAfterLoad(set, command == PresetCommand::LoadDefault || !append);
  return ok;
}

void CPresetSets::refreshAfterLoad(PresetSet set, bool replaced) {
  switch (set) {
    case PresetSet::Gradients:
      if (replaced) {
        gradients_.select(0);
        if (OnPushStrokeParams) OnPushStrokeParams();
      } else if (OnGradientsRedraw) {
        OnGradientsRedraw();
      }
      break;
    case PresetSet::Palette:
      if (replaced)
        swatches_.selectItem(0, true);
      else
        swatches_.redraw();
      break;
    case PresetSet::PenShapes:
    case PresetSet::PenMethods:
      break;
  }
}

void CPresetSets::loadDefaultSets() {
  for (PresetSet set : {PresetSet::PenMethods, PresetSet::PenShapes, PresetSet::Gradients, PresetSet::Palette})
    (void)run(set, PresetCommand::LoadDefault);  // a set that cannot load falls back to the built-ins
}

}  // namespace pg
