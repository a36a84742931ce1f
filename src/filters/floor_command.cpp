#include "filters/floor_command.h"

#include <algorithm>

#include "filters/filter_run.h"
#include "filters/floor_filter.h"

namespace pg {

std::array<SFloorFileTexture, 2>& floorRememberedTextures() {
  static std::array<SFloorFileTexture, 2> textures;
  return textures;
}

FilterResult applyFloor(CFlt4Core& core, SFltFloor floor, const std::array<SFloorFileTexture, 2>& files) {
  if (!core.isValid()) return FilterResult::Refused;
  const TRect area = core.bounds();
  TMTC source;
  std::unique_ptr<TMTC> areaCopy;
  SFltFloorW rec;
  initFltFloorW(rec);
  const auto nominal = [](int32_t v) { return uint16_t(std::clamp(v, 1, 0xFFFF)); };
  uint16_t* nominals[2][2] = {{&floor.CeilingTexWidth, &floor.CeilingTexHeight},
                              {&floor.FloorTexWidth, &floor.FloorTexHeight}};
  for (size_t i = 0; i < 2; ++i) {
    const uint8_t bit = uint8_t(1u << i);
    if ((floor.TextureFromFile & bit) != 0 && files[i].image != nullptr) {
      // The kernel only reads the texture.
      rec.Textures[i].Image = const_cast<TMTC*>(files[i].image.get());
      rec.Textures[i].FileName = files[i].fileName;
      continue;
    }
    floor.TextureFromFile = uint8_t(floor.TextureFromFile & ~bit);
    if (areaCopy == nullptr) {
      if (!core.sourceRegion(area, source)) return FilterResult::Refused;
      areaCopy = floorAreaTexture(source, TRect{0, 0, source.Width, source.Height});
      if (areaCopy == nullptr) return FilterResult::Refused;
    }
    rec.Textures[i].Image = areaCopy.get();
    *nominals[i][0] = nominal(area.Right - area.Left);
    *nominals[i][1] = nominal(area.Bottom - area.Top);
  }
  rec.Floor = floor;
  return core.apply87(kFloorOp, rec) ? FilterResult::Done : FilterResult::Refused;
}

bool CFloorDialogTextures::open(CFlt4Core& core) {
  if (!core.isValid()) return false;
  const TRect area = core.bounds();
  TMTC source;
  if (!core.sourceRegion(area, source)) return false;
  areaCopy_ = floorAreaTexture(source, TRect{0, 0, source.Width, source.Height});
  areaW_ = area.Right - area.Left;
  areaH_ = area.Bottom - area.Top;
  return areaCopy_ != nullptr;
}

bool CFloorDialogTextures::setFile(size_t plane, std::shared_ptr<const TMTC> image, std::string fileName) {
  if (plane >= 2 || image == nullptr || image->Width <= 0 || image->Height <= 0 ||
      image->Width > kFloorTextureMaxSide || image->Height > kFloorTextureMaxSide)
    return false;
  files_[plane] = SFloorFileTexture{std::move(image), std::move(fileName)};
  return true;
}

void CFloorDialogTextures::release(size_t plane) {
  if (plane < 2) files_[plane] = SFloorFileTexture{};
}

bool CFloorDialogTextures::build(std::vector<uint8_t>& bytes, SFltFloorW& out) const {
  if (bytes.size() != SFltFloor::kSize || areaCopy_ == nullptr) return false;
  SFltFloor f = SFltFloor::read(bytes.data());
  initFltFloorW(out);
  const auto nominal = [](int32_t v) { return uint16_t(std::clamp(v, 1, 0xFFFF)); };
  uint16_t* nominals[2][2] = {{&f.CeilingTexWidth, &f.CeilingTexHeight}, {&f.FloorTexWidth, &f.FloorTexHeight}};
  f.TextureFromFile = 0;
  for (size_t i = 0; i < 2; ++i) {
    const bool file = fromFile(i);
    const TMTC* image = file ? files_[i].image.get() : areaCopy_.get();
    out.Textures[i].Image = const_cast<TMTC*>(image);  // the kernel only reads it
    out.Textures[i].FileName = file ? files_[i].fileName : std::string();
    if (file) f.TextureFromFile = uint8_t(f.TextureFromFile | (1u << i));
    *nominals[i][0] = nominal(file ? image->Width : areaW_);
    *nominals[i][1] = nominal(file ? image->Height : areaH_);
  }
  out.Floor = f;
  f.write(bytes.data());
  return true;
}

FilterResult replayFloor(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFltFloor& floor,
                         const TMTC* image1, const TMTC* image2, bool recordFlag) {
  CFlt4Core core(doc, view, recordFlag, &floorKernel, layerIndex);
  if (!core.isValid()) return FilterResult::Refused;
  // The slots are the engine's; the textures only borrow them for the run.
  const auto borrow = [](const TMTC* t) { return std::shared_ptr<const TMTC>(t, [](const TMTC*) {}); };
  const std::array<SFloorFileTexture, 2> files = {SFloorFileTexture{borrow(image1), {}},
                                                  SFloorFileTexture{borrow(image2), {}}};
  return applyFloor(core, floor, files);
}

}  // namespace pg
