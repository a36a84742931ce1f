#pragma once
// The pen-method tools every document window shares: the main window's dab
// renderer (CPenRender), the tool window's nib object and the stroke values
// of the stroke manager. The tool window feeds them from the working brush
// (applyStrokeParams); every document's pen engine paints with them; the
// recorder reads them back as the pen state of each stroke.
#include <memory>

#include "brush/paint_param_records.h"
#include "record/record_sources.h"

namespace pg {

class CPenRender;
class CPenShapeObj;
class CStrokeMngr;
class TPaintParam;
class TStroke;

class CPenTools final : public IToolStateSource {
 public:
  // The renderer is the main window's and outlives this object.
  explicit CPenTools(CPenRender& render);
  ~CPenTools() override;
  CPenTools(const CPenTools&) = delete;
  CPenTools& operator=(const CPenTools&) = delete;

  CPenRender& render() const { return render_; }
  // The nib the renderer draws with when the brush has an image nib.
  const CPenShapeObj& penShape() const { return *shape_; }
  // The stroke manager's values of the working brush.
  const SStrokeParam& strokeParam() const { return strokeParam_; }

  // Hands the working brush to the next stroke: the stroke settings, the
  // stroke manager's record (to the engine when there is one), and the
  // pen-shape, edge, grade-map and render records and the nib to the
  // renderer. The nib object keeps its identity while the brush's nib does
  // not change, so that a recording defines each nib image once.
  void applyStrokeParams(const TPaintParam& param, TStroke& stroke, CStrokeMngr* engine);

  // IToolStateSource: the renderer's records, the stroke values and the
  // nib it draws with.
  [[nodiscard]] bool penState(SPenStateValues& out) const override;

 private:
  CPenRender& render_;
  std::unique_ptr<CPenShapeObj> shape_;
  SStrokeParam strokeParam_;
};

// Whether two nibs paint alike: kind, records, scale and image pixels.
[[nodiscard]] bool sameNib(const CPenShapeObj& a, const CPenShapeObj& b);

}  // namespace pg
