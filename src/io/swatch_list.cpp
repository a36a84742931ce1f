#include "io/swatch_list.h"

#include <algorithm>
#include <new>

#include "core/chunk_head.h"
#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

int32_t TSwatchMngr::insertItem(int32_t index, const TSwatchItem& item) {
  std::unique_ptr<TSwatchItem> copy;
  try {
    copy = std::make_unique<TSwatchItem>(item);
    if (index < 0 || index > count()) index = count();
    Items.insert(Items.begin() + index, std::move(copy));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  setModified(true);
  return index;
}

int32_t TSwatchMngr::addColor(int32_t index, uint32_t colour) {
  return insertItem(index, TSwatchItem{colour, std::string(kUndefinedSwatchName)});
}

bool TSwatchMngr::deleteItem(int32_t index) {
  if (!isValidIndex(index)) return false;
  Items.erase(Items.begin() + index);
  setModified(true);
  return true;
}

void TSwatchMngr::clear() {
  Items.clear();
  notifyChange();
}

bool TSwatchMngr::appendQuiet(uint32_t colour) {
  try {
    Items.push_back(std::make_unique<TSwatchItem>(TSwatchItem{colour, std::string(kUndefinedSwatchName)}));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void TSwatchMngr::addDefaultColors() {
  for (uint32_t b = 0; b < 4; ++b)
    for (uint32_t g = 0; g < 8; ++g)
      for (uint32_t r = 0; r < 8; ++r)
        if (!appendQuiet(
                paletteColor(uint8_t(r * 32 + r * 4 + r / 2), uint8_t(g * 32 + g * 4 + g / 2), uint8_t(b * 85))))
          break;
  notifyChange();
}

void TSwatchMngr::setCellSize(uint32_t width, uint32_t height) {
  CellWidth = std::clamp(width, kMinCell, kMaxCell);
  CellHeight = std::clamp(height, kMinCell, kMaxCell);
}

void TSwatchMngr::setGrid(uint32_t columns, uint32_t rows) {
  Columns = std::clamp(columns, kMinGrid, kMaxGrid);
  Rows = std::clamp(rows, kMinGrid, kMaxGrid);
}

bool TSwatchMngr::loadFromFile(const std::string& path, bool append) {
  const FileResult code = loadSwatchFile(path, *this, append);
  if (code != kRcOk) showPresetLoadFailed(kResSwatchWord, code);
  return code == kRcOk;
}

bool TSwatchMngr::saveToFile(const std::string& path) { return presetSaved(saveSwatchFile(path, *this), path); }

bool TSwatchMngr::loadDefault(bool useDefaults, IPresetPrefs& prefs) {
  return loadDefaultPresetFile(
      prefs, PresetSet::Palette, useDefaults, [&](const std::string& path) { return loadFromFile(path, false); },
      [&] { addDefaultColors(); }, [&] { setFileName(std::string()); });
}

FileResult loadSwatchFile(const std::string& path, TSwatchMngr& list, bool append) {
  if (!presetFileExists(path)) return kRcFileMissing;
  const PaletteKind kind = paletteKindFromExt(path);
  if (kind == PaletteKind::Unknown) {
    showWarning(resString(kResPaletteUnknownKind));
    return kRcPictureKind;
  }
  return guardedCode([&]() -> FileResult {
    SPaletteData data;
    if (readPaletteFile(path, kind, data) <= 0) return kRcNothing;
    if (!append) list.clear();
    // A ".kpl" names its whole grid; text only what it sets to more than 0.
    const auto pick = [](uint32_t fromFile, uint32_t current) { return fromFile > 0 ? fromFile : current; };
    if (kind == PaletteKind::Kpl) {
      list.setCellSize(data.cellWidth, data.cellHeight);
      list.setGrid(data.columns, data.rows);
    } else {
      list.setCellSize(pick(data.cellWidth, list.cellWidth()), pick(data.cellHeight, list.cellHeight()));
      list.setGrid(pick(data.columns, list.columns()), pick(data.rows, list.rows()));
    }
    FileResult code = kRcOk;
    for (uint32_t c : data.colours) {
      if (!list.appendQuiet(c)) {
        code = kRcItemRefused;
        break;
      }
    }
    list.setFileName(path);
    list.setModified(append);
    return code;
  });
}

FileResult saveSwatchFile(const std::string& path, TSwatchMngr& list) {
  const PaletteKind kind = paletteKindFromExt(path);
  if (kind == PaletteKind::Unknown) return kRcPictureKind;
  if (list.count() == 0) return kRcNothing;
  std::vector<uint32_t> colours;
  try {
    colours.reserve(size_t(list.count()));
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
  for (int32_t i = 0; i < list.count(); ++i) colours.push_back(list.getItem(i)->Color);
  const SPaletteGrid grid{list.cellWidth(), list.cellHeight(), list.columns(), list.rows()};
  const FileResult code = writePresetFile(path, [&](CStream& out) -> FileResult {
    bool ok = false;
    switch (kind) {
      case PaletteKind::Kpl:
        ok = writeKplPalette(out, colours, grid);
        break;
      case PaletteKind::Aco:
        ok = writeAcoPalette(out, colours);
        break;
      case PaletteKind::Pcs:
        ok = writeTextPalette(out, colours, grid, "\r");
        break;
      case PaletteKind::Txt:
        ok = writeTextPalette(out, colours, grid, "\r\n");
        break;
      case PaletteKind::Unknown:
        break;
    }
    return ok ? kRcOk : kRcPaletteWrite;
  });
  if (code != kRcOk) return kRcPaletteWrite;
  list.setFileName(path);
  list.setModified(false);
  return kRcOk;
}

}  // namespace pg
