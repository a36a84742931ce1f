#include "record/event_vocabulary.h"

#include "platform/string_table.h"
#include "record/packet_table.h"

namespace pg {

namespace {

const SEventEntry kEvents[kEventCount + 1] = {
    {"", 0, kEventDefaultImage},
    {"event.begin", 64911, 86},
    {"event.end", 64880, 86},
    {"event.undo", 65320, 86},
    {"image.create.new", 64924, 45},
    {"image.create.open", 64844, 45},
    {"image.property.size", 64926, 86},
    {"image.property.size.crop", 64898, 86},
    {"image.property.color", 64925, 86},
    {"image.transform.scale", 64927, 86},
    {"image.transform.rotate.90", 64896, 86},
    {"image.transform.rotate.180", 64909, 86},
    {"image.transform.rotate.270", 64897, 86},
    {"image.transform.flip.horizontal", 64907, 86},
    {"image.transform.flip.vertical", 64908, 86},
    {"image.adjustment.invert", 64910, 86},
    {"visiblelayer.adjustment.invert", 64903, 86},
    {"visiblelayer.transform.rotate.180", 64902, 86},
    {"visiblelayer.transform.flip.horizontal", 64900, 86},
    {"visiblelayer.transform.flip.vertical", 64901, 86},
    {"layer.create.new", 64881, 45},
    {"layer.create.paste", 64843, 45},
    {"layer.create.duplicate", 64884, 45},
    {"layer.create.split", 64833, 45},
    {"layer.delete", 64882, 46},
    {"layer.delete.link", 64879, 46},
    {"layer.merge.down", 64886, 86},
    {"layer.merge.link", 64878, 86},
    {"layer.merge.visible", 64899, 86},
    {"layer.property.activate", 64875, 86},
    {"layer.property.offset", 64887, 35},
    {"layer.property.crop", 64888, 86},
    {"layer.property.order", 64885, 86},
    {"layer.property.visibility", 64892, 86},
    {"layer.property.name", 64893, 86},
    {"layer.property.blend.mode", 64890, 86},
    {"layer.property.blend.opacity", 64891, 44},
    {"layer.property.protect.alpha", 64894, 79},
    {"layer.property.linklevel.down", 64876, 86},
    {"layer.property.linklevel.up", 64877, 86},
    {"layer.transform.scale.layer", 64871, 86},
    {"layer.transform.scale.filter", 64792, 86},
    {"layer.transform.rotate.layer", 64870, 86},
    {"layer.transform.rotate.filter", 64793, 86},
    {"layer.transform.rotate.90.layer", 64868, 86},
    {"layer.transform.rotate.180", 64874, 86},
    {"layer.transform.rotate.180.layer", 64867, 86},
    {"layer.transform.rotate.180.filter", 64798, 86},
    {"layer.transform.rotate.270.layer", 64869, 86},
    {"layer.transform.flip.horizontal", 64872, 86},
    {"layer.transform.flip.horizontal.layer", 64865, 86},
    {"layer.transform.flip.horizontal.filter", 64796, 86},
    {"layer.transform.flip.vertical", 64873, 86},
    {"layer.transform.flip.vertical.layer", 64866, 86},
    {"layer.transform.flip.vertical.filter", 64797, 86},
    {"layer.transform.polarcoordinates", 64790, 86},
    {"layer.transform.twist", 64805, 86},
    {"layer.transform.twirl", 64806, 86},
    {"layer.transform.wave", 64808, 86},
    {"layer.transform.floor", 64815, 86},
    {"layer.fill.color", 64848, 86},
    {"layer.fill.gradient", 64850, 29},
    {"layer.fill.seed", 64845, 28},
    {"layer.erase.cut", 64889, 86},
    {"layer.erase.clear", 64883, 86},
    {"layer.erase.seed", 64818, 3},
    {"layer.figure.rectangle", 64849, 24},
    {"layer.figure.ellipse", 64851, 25},
    {"layer.figure.polygon", 64852, 26},
    {"layer.figure.text", 64847, 37},
    {"layer.draw.stroke", 64768, 18},
    {"layer.draw.tiles", 64809, 86},
    {"layer.draw.clouds", 64810, 86},
    {"layer.draw.cloudsrocks", 64812, 86},
    {"layer.draw.plasma", 64813, 86},
    {"layer.adjustment.invert.layer", 64795, 86},
    {"layer.adjustment.invert.filter", 64795, 86},
    {"layer.adjustment.levels", 64828, 86},
    {"layer.adjustment.colorbalance.gamma", 64829, 86},
    {"layer.adjustment.colorbalance.color", 64804, 86},
    {"layer.adjustment.brightnesscontrast", 64830, 86},
    {"layer.adjustment.solarize", 64791, 86},
    {"layer.adjustment.posterize", 64801, 86},
    {"layer.adjustment.huesaturation", 64831, 86},
    {"layer.adjustment.gradientmap", 64789, 86},
    {"layer.adjustment.grayscale", 64800, 86},
    {"layer.adjustment.binarize", 64785, 86},
    {"layer.filter.blur", 64820, 86},
    {"layer.filter.blur.more", 64821, 86},
    {"layer.filter.blur.motionblur", 64822, 86},
    {"layer.filter.blur.radialblur", 64823, 86},
    {"layer.filter.blur.gaussianblur", 64824, 86},
    {"layer.filter.sharpen", 64825, 86},
    {"layer.filter.sharpen.more", 64826, 86},
    {"layer.filter.sharpen.custom", 64827, 86},
    {"layer.filter.custom", 64786, 86},
    {"layer.filter.findedges", 64788, 86},
    {"layer.filter.noise", 64802, 86},
    {"layer.filter.emboss", 64807, 86},
    {"layer.filter.diffuse", 64794, 86},
    {"layer.filter.mosaic", 64803, 86},
    {"layer.filter.median", 64799, 86},
    {"layer.filter.lighting", 64814, 86},
    {"layer.filter.colorhalftone", 64784, 86},
    {"layer.alpha.fill", 64895, 86},
    {"layer.alpha.invert", 64864, 86},
    {"layer.alpha.viaselection", 64841, 86},
    {"layer.alpha.viadensity", 64787, 86},
    {"mask.create.new", 64853, 45},
    {"mask.create.vialayer", 64842, 45},
    {"mask.create.duplicate", 64857, 45},
    {"mask.delete", 64854, 46},
    {"mask.merge", 64862, 86},
    {"mask.property.offset", 64860, 86},
    {"mask.property.crop", 64859, 86},
    {"mask.property.order", 64861, 86},
    {"mask.property.name", 64834, 86},
    {"mask.property.activate", 64858, 86},
    {"mask.property.enabled", 64836, 86},
    {"mask.fill.all", 64840, 86},
    {"mask.fill.none", 64855, 86},
    {"mask.fill.seed", 64846, 34},
    {"mask.fill.colorrange", 64817, 86},
    {"mask.figure.rectangle", 64837, 30},
    {"mask.figure.ellipse", 64838, 31},
    {"mask.figure.polygon", 64839, 32},
    {"mask.figure.text", 64816, 38},
    {"mask.filter.inflate", 64863, 86},
    {"mask.filter.deflate", 64832, 86},
    {"mask.adjustment.invert", 64856, 86},
    {"visibility.layer.all", 64904, 86},
    {"visibility.layer.only", 64905, 86},
    {"visibility.layer.flip", 64906, 86},
    {"visibility.selection.walkants", 64835, 86},
};

}  // namespace

const SEventEntry& eventEntry(int index) {
  if (index < 1 || index > kEventCount) return kEvents[0];
  return kEvents[index];
}

std::string_view eventIdentifier(int index) { return eventEntry(index).name; }

std::string eventDisplayName(int index) {
  if (index < 1 || index > kEventCount) return {};
  return resString(kEvents[index].resId);
}

uint8_t eventIconOf(int index) { return eventEntry(index).image; }

uint8_t filterCodeIndex(uint8_t code) {
  switch (code) {
    case 0: case 64: return 87;
    case 1: case 65: return 88;
    case 2: case 4: return 89;
    case 3: case 66: return 90;
    case 8: case 12: return 92;
    case 9: case 13: return 93;
    case 10: case 14: return 94;
    case 16: case 60: return 77;
    case 17: return 78;
    case 18: case 62: return 80;
    case 19: case 61: return 83;
    case 20: return 85;
    case 21: case 27: return 82;
    case 22: case 25: return 97;
    case 23: case 26: return 100;
    case 24: return 79;
    case 32: case 67: return 91;
    case 33: return 56;
    case 34: case 50: return 98;
    case 35: case 69: case 80: case 85: return 58;
    case 36: case 73: return 71;
    case 37: case 38: case 72: return 73;
    case 39: case 74: return 102;
    case 40: return 59;
    case 48: return 103;
    case 49: return 86;
    case 51: return 95;
    case 52: case 63: return 107;
    case 53: return 96;
    case 54: return 84;
    case 55: return 55;
    case 56: return 81;
    case 57: return 41;
    case 58: return 43;
    case 59: return 99;
    case 68: return 57;
    case 70: return 72;
    case 71: return 74;
    case 81: return 76;
    case 82: return 51;
    case 83: return 54;
    case 84: return 47;
    case 86: return 101;
    default: return 0;
  }
}

uint8_t eventNameIndex(uint8_t type, uint8_t subcode) {
  // A command packet names the event of its row of the packet table.
  if (const SPacketRow* row = packetRow(type, subcode)) return row->event;
  switch (type) {
    case kPktStrokePoints:
    case kPktStrokeLast:
      return 70;
    case kPktFilter0:
    case kPktFilter2:
    case kPktFilter4:
    case kPktFilter6:
    case kPktFilterRecord:
      return filterCodeIndex(subcode);
    default:
      return 0;
  }
}

uint8_t legacyCodeKind(uint16_t code) {
  if (code <= 4) return 70;
  switch (code) {
    case 256: return 20;
    case 257: return 24;
    case 258: return 28;
    case 259: return 22;
    case 260: return 32;
    case 261: return 26;
    case 272: return 3;
    case 273: return 29;
    case 274: return 33;
    case 275: return 36;
    case 276: return 35;
    case 277: return 33;
    case 288: return 53;
    case 289: return 50;
    case 290: return 46;
    case 291: return 75;
    case 292: return 64;
    case 293: return 60;
    case 294: return 30;
    case 295: return 66;
    case 296: return 66;
    case 297: return 68;
    case 304: return 68;
    case 305: return 70;
    case 512: return 4;
    case 513: return 8;
    case 514: return 6;
    case 515: return 9;
    case 516: return 10;
    case 517: return 12;
    case 520: return 4;
    case 528: return 19;
    case 529: return 18;
    case 530: return 17;
    case 531: return 16;
    case 65535: return 2;
    default: return 0;
  }
}

bool initEventHeader(SEventRecord& record, uint16_t layerIndex, uint16_t value, uint16_t elementSize, uint16_t count) {
  record.fill(0);
  uint32_t length = uint32_t(count) * elementSize;
  if (length > 0xFFFF) return false;
  auto put16 = [&](int at, uint16_t v) {
    record[size_t(at)] = uint8_t(v);
    record[size_t(at) + 1] = uint8_t(v >> 8);
  };
  put16(0, layerIndex);
  put16(2, value);
  put16(4, uint16_t(length));
  put16(6, count);
  put16(8, elementSize);
  return true;
}

void makeColorRecord(SColorRecord& record, uint32_t first, uint32_t second, uint8_t kind) {
  record.fill(0);
  record[0] = uint8_t(first >> 8);
  record[1] = uint8_t(first >> 16);
  record[2] = uint8_t(first >> 24);
  record[4] = uint8_t(second);
  record[5] = uint8_t(second >> 8);
  record[6] = kind;
}

}  // namespace pg
