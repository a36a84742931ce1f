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
FilterResult applyFloor(CFlt4Core& core, SFltFloor floor, const std::array<SFloorFileTexture, 2>& files);

// Replay: the recorded 63 bytes and the image slots (either may be null).
FilterResult replayFloor(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFltFloor& floor,
                         const TMTC* image1, const TMTC* image2, bool recordFlag);

}  // namespace pg
