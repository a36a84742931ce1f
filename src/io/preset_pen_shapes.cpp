#include "io/preset_pen_shapes.h"

#include <new>

#include "core/chunk_head.h"
#include "io/pen_shape_file.h"

namespace pg {

namespace {

SPenShapeRecord record(int32_t type, int32_t a, int32_t b, int32_t size, int32_t aspect, int32_t angle, int32_t minSize,
                       int32_t edge) {
  SPenShapeRecord r;
  r.grade = {type, a, b};
  r.shape.size = size;
  r.shape.aspect = aspect;
  r.shape.angle = angle;
  r.shape.minSize = minSize;
  r.edge.hard = edge;
  return r;
}

const SPenShapeRecord kBuiltins[kBuiltinPenShapeCount] = {
    record(3, 1000, 0, 100, 1000, 0, 750, 0),   record(3, 1000, 0, 1600, 1000, 0, 333, 0),
    record(3, 1000, 0, 1200, 1000, 0, 1000, 0), record(3, 0, 0, 1200, 1000, 0, 1000, 0),
    record(3, 0, 0, 3000, 1000, 0, 600, 0),     record(3, 0, 0, 1500, 1000, 0, 600, 0),
    record(0, 0, 0, 2500, 1000, 0, 600, 0),
};

}  // namespace

const SPenShapeRecord& builtinPenShape(int32_t i) { return kBuiltins[i]; }

void CPenShapeMngr::clear() {
  Items.clear();
  CurrentIndex = -1;
  notifyChange();
}

void CPenShapeMngr::select(int32_t i) {
  if (!isValidIndex(i)) return;
  CurrentIndex = i;
  notifyChange();
}

int32_t CPenShapeMngr::addFromRecord(const SPenShapeRecord& r) {
  std::unique_ptr<CPenShapeObj> shape(new (std::nothrow) CPenShapeObj());
  if (!shape) return -1;
  shape->setParametric(&r.grade, &r.shape, &r.edge);
  return add(std::move(shape));
}

int32_t CPenShapeMngr::insert(int32_t index, std::unique_ptr<CPenShapeObj> shape) {
  if (!shape || index < 0 || index > count()) return -1;
  try {
    Items.insert(Items.begin() + index, std::move(shape));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  setModified(true);
  return index;
}

bool CPenShapeMngr::deleteItem(int32_t i) {
  if (!isValidIndex(i)) return false;
  Items.erase(Items.begin() + i);
  if (CurrentIndex >= count()) CurrentIndex = count() - 1;
  setModified(true);
  return true;
}

int32_t CPenShapeMngr::addDefaults() {
  int32_t added = 0;
  for (const SPenShapeRecord& r : kBuiltins)
    if (addFromRecord(r) >= 0) ++added;
  select(0);
  return added;
}

void CPenShapeMngr::resetToDefaults() {
  if (addDefaults() == 0 || !isValidIndex(CurrentIndex)) select(0);
}

bool CPenShapeMngr::loadFromFile(const std::string& path, bool append) {
  const FileResult code = loadPenShapeFile(path, *this, append);
  if (code != kRcOk) showPresetLoadFailed(kResPenShapeSetWord, code);
  return code == kRcOk;
}

bool CPenShapeMngr::saveToFile(const std::string& path) { return presetSaved(savePenShapeFile(path, *this), path); }

bool CPenShapeMngr::loadDefault(bool useBuiltins, IPresetPrefs& prefs) {
  return loadDefaultPresetFile(
      prefs, PresetSet::PenShapes, useBuiltins, [&](const std::string& path) { return loadFromFile(path, false); },
      [&] { resetToDefaults(); }, [&] { setFileName(std::string()); });
}

}  // namespace pg
