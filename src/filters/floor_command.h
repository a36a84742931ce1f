#pragma once
// Running the floor filter for its command, for a repeat and for replay:
// the record with its two textures. A plane whose texture does not come
// from a file shows a 256 x 256 reduced copy of the filter area, made anew
// for every run (and so on replay, where only file textures travel).
#include <array>
#include <memory>
#include <string>

#include "core/planes.h"
#include "filters/filter_params.h"
#include "filters/filter_table.h"

namespace pg {

class CFlt4Core;

// A texture the user took from an image file: the image and its file name.
struct SFloorFileTexture {
  std::shared_ptr<const TMTC> image;
  std::string fileName;
};

// The file textures that OK in the floor dialog leaves for a repeat without
// the dialog (ceiling first); kept until the program ends.
std::array<SFloorFileTexture, 2>& floorRememberedTextures();

// Applies the floor through the core (recorded when the core records). For
// each plane with its from-file bit, files[i] is its image; a plane whose
// image is missing shows the layer copy (its bit cleared).
[[nodiscard]] FilterResult applyFloor(CFlt4Core& core, SFltFloor floor, const std::array<SFloorFileTexture, 2>& files);

// The floor dialog's textures: the reduced copy of the filter area made when
// it opens, and the images the user takes from files.
class CFloorDialogTextures {
 public:
  // False when the core is not usable or the copy cannot be made.
  [[nodiscard]] bool open(CFlt4Core& core);
  // A file's image for a plane (0 ceiling, 1 floor); false (nothing
  // changed) for an image without pixels or too large to wrap.
  [[nodiscard]] bool setFile(size_t plane, std::shared_ptr<const TMTC> image, std::string fileName);
  void release(size_t plane);
  [[nodiscard]] bool fromFile(size_t plane) const { return plane < 2 && files_[plane].image != nullptr; }
  const std::array<SFloorFileTexture, 2>& files() const { return files_; }
  // The record's bytes (63) get the from-file bits and the nominal sizes of
  // the textures; out is the kernel's whole record over them. False for
  // bytes of another size or before open.
  [[nodiscard]] bool build(std::vector<uint8_t>& bytes, SFltFloorW& out) const;

 private:
  std::unique_ptr<TMTC> areaCopy_;
  int32_t areaW_ = 0, areaH_ = 0;
  std::array<SFloorFileTexture, 2> files_;
};

// Replay: the recorded 63 bytes and the image slots (either may be null).
[[nodiscard]] FilterResult replayFloor(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFltFloor& floor,
                         const TMTC* image1, const TMTC* image2, bool recordFlag);

}  // namespace pg
