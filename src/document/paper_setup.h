#pragma once
// What setting up a new image records. The document's recorder answers these
// calls besides its IDocRecorder ones; a recorder that does not implement
// this interface records no image creation.
#include <cstdint>

namespace pg {

class IImageCreateRecorder {
 public:
  virtual ~IImageCreateRecorder() = default;
  // A new image: its size, the transparent and canvas-colour-off switches,
  // the resolution and the size of its first layer.
  virtual bool recordImageCreate(int32_t width, int32_t height, bool transparent, bool canvasColourOff,
                                 int32_t resolution, int32_t layerHeight, int32_t layerWidth) = 0;
  // The reset point a replay starts from.
  virtual bool recordResetPoint() = 0;
};

}  // namespace pg
