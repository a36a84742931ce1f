#pragma once
// Per-tool stroke settings (TStroke): what the painting tool is set to (stroke
// kind, colours, width, minimum width, pressure gamma, opacity, the three
// effect values, the pressure switches, tone, gradation and keep-alpha
// switches, spacing) and the running state of one stroke (the last eight input
// points, dirty rectangles, step count, travelled distance, picked-up colour
// and samples). One TStroke is shared by the tool window and the documents;
// paint parameters are converted into it before a stroke.
//
// Each tool kind also keeps five numbered settings records (SPenSetting) in the
// settings store under "penSetting"; readPenSetting and writePenSetting move
// one record through an open key.
//
// The stroke does not see the plotting side or the document: the painter
// chooses its plot call-backs from the stroke's switches when painting
// starts, and tells the stroke then whether its document paints at full
// opacity; the document hands over the neutral colour of the target layer's
// blend mode when a stroke begins.
#include <cstdint>
#include <string>
#include <string_view>

#include "brush/falloff_tables.h"
#include "core/pen_patch.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CSettingsKey;
class TStroke;

// ---- Stroke kinds ------------------------------------------------------------

enum TStrokeKind : uint8_t {
  skPen = 0,
  skWatercolor = 1,
  skBlur = 2,
  skEraser = 3,
  skBlur2 = 4,
  skAirbrush = 5,
  skRubpen = 6,   // finger
  skDarken = 7,   // burn
  skLighten = 8,  // dodge
};
inline constexpr uint32_t kStrokeKindCount = 9;

// One row of the stroke kind table. FixedSpacing is the kind's own dab
// spacing as a fraction of the width, or -1 where the stroke's penSpacing is
// used.
struct SStrokeKindInfo {
  const char* Name;  // the settings key name: "pen", "wc", ...
  float FixedSpacing;
  bool UsesMin;
  bool AcceptsTone;
  bool AcceptsGradation;
};

// The row of a kind 0..8; nullptr for any other value.
const SStrokeKindInfo* strokeKindInfo(uint32_t kind);
// The kind's settings key name; empty for kinds beyond 8.
std::string_view strokeToolName(uint32_t kind);

// ---- Stored settings records -------------------------------------------------

// One tool kind's stored settings (five per kind, slots 1..5). The field order
// is the stored form of the tool window's variant table: keep it.
struct SPenSetting {
  float MIN = 1.0f;    // minimum width, percent of WIDTH
  float WIDTH = 1.0f;  // dab width in pixels
  float GAMMA = 1.0f;  // pressure gamma
  float EFFECT = 0.0f;
  float ENV = 0.0f;
  float SPEED = 0.0f;
  uint8_t ifSIZE = 0;          // pressure changes size
  uint8_t ifTRANSPARENCY = 0;  // pressure changes opacity
  uint8_t ifEDGE = 0;          // pressure-sensitive edge
  uint8_t useTone = 0;
  uint8_t useGradation = 0;
  float opaque = 1.0f;      // the opacity
  float penSpacing = 0.5f;  // own spacing
  int32_t airMap = 3;       // airbrush falloff curve code
};

// The base defaults, then the kind's own changes. True for kinds 0-3 and 5-8;
// false for kind 4 and kinds beyond 8, which keep the base defaults.
bool strokeDefaults(SPenSetting& rec, uint32_t kind);
// key := root\penSetting\<kind name><slot>. False (key untouched) for kinds
// beyond 8.
[[nodiscard]] bool penSettingKey(uint32_t kind, int32_t slot, std::string_view root, std::string& key);
// Reads an open key in four groups (MIN, WIDTH, GAMMA / EFFECT, ENV, SPEED /
// ifSIZE, ifTRANSPARENCY, ifEDGE / useGradation, opaque, penSpacing, airMap).
// A group is read only when all its values exist; the first incomplete group
// stops the read (false), leaving it and the later groups as they were.
// useTone is set to 0 after group 3: it is never read. The store is outside
// data: values are brought into their ranges (below) as they are read.
[[nodiscard]] bool readPenSetting(const CSettingsKey& reg, SPenSetting& rec);
// Writes all fourteen values; useTone is always written as false. False when
// a value could not be stored.
[[nodiscard]] bool writePenSetting(CSettingsKey& reg, const SPenSetting& rec);

// Ranges the settings keep (the setters of TStroke and readPenSetting clamp to
// them; a value that is not a number becomes the low end).
inline constexpr float kStrokeWidthMin = 0.1f, kStrokeWidthMax = 200.0f;
inline constexpr float kStrokeGammaMin = 0.01f, kStrokeGammaMax = 6.0f;
inline constexpr float kStrokeOpacityMin = 0.01f, kStrokeOpacityMax = 1.0f;
inline constexpr float kStrokeSpacingMin = 0.02f, kStrokeSpacingMax = 2.0f;
// MIN, EFFECT, ENV and SPEED are percentages.
inline constexpr float kStrokePercentMin = 0.0f, kStrokePercentMax = 100.0f;

// ---- TStroke -----------------------------------------------------------------

struct SStrokePoint {
  float x = 0.0f;
  float y = 0.0f;
  float pressure = 0.0f;
  friend bool operator==(const SStrokePoint&, const SStrokePoint&) = default;
};

// A dirty rectangle in the stroke's own field order: left, right, top, bottom.
struct SStrokeDirty {
  float left = 65535.0f;
  float right = -65535.0f;
  float top = 65535.0f;
  float bottom = -65535.0f;
  friend bool operator==(const SStrokeDirty&, const SStrokeDirty&) = default;
};

// A watercolour dab is laid at this fraction of the stroke's opacity (times
// the pressure when pressure drives the opacity); the 16.16 form is what the
// pen-method engine multiplies by.
inline constexpr float kWatercolorDabOpacity = 0.35f;
inline constexpr int32_t kWatercolorDabOpacity16 = 22937;  // 0.35 in 16.16, truncated

// The watercolour state: colours as pixels (blue in the low byte), the carried
// colour as three floats, red, green, blue.
struct SWatercolorState {
  uint32_t pickedColor = 0;
  uint32_t startColor = 0;
  uint32_t paintColor = 0;
  float carried[3] = {0.0f, 0.0f, 0.0f};
};

// Creation codes: the tool window's shared settings are created with 2, the
// document window's and the recorder's own with 0.
inline constexpr uint8_t kStrokeCreatedByTool = 2;

class TStroke {
 public:
  static constexpr int kPointCount = 8;

  explicit TStroke(uint8_t creationCode = 0);
  virtual ~TStroke();
  TStroke(const TStroke&) = delete;
  TStroke& operator=(const TStroke&) = delete;

  // -- virtual operations, in slot order --
  // The drawing colour (a pixel); raises the changed flag when it differs.
  virtual void setColor(uint32_t colour);
  // Stored unconditionally, no changed flag.
  virtual void setLayerIndex(int32_t index);
  virtual void setColorQuiet(uint32_t colour);
  virtual void setSubColor(uint32_t colour);
  // Stored unconditionally, clamped to 0.01..1.0; no changed flag.
  virtual void setOpacity(float v);
  // Store; changed flag on a change. Answer whether the value changed. The
  // painter reads the switches when its painting starts, so `refresh` asks
  // for nothing more.
  virtual bool setUseTone(bool on, bool refresh);
  virtual bool setUseGradation(bool on, bool refresh);
  // The keep-alpha switch (no changed flag).
  virtual bool setOpaqueMode(bool on, bool refresh);
  virtual bool canUseTone() const;
  virtual bool canUseGradation() const;

  // -- setters: store when different and raise the changed flag --
  void setMinSize(float v);  // MIN, 0..100
  void setWidth(float v);    // WIDTH; clamped to 0.1..200 also when unchanged
  void setKind(uint8_t kind);
  void setPressureSize(bool on);
  void setPressureOpacity(bool on);
  void setPressureEdge(bool on);
  void setGamma(float v);  // clamped to 0.01..6.0
  void setEffect(float v);
  void setEnv(float v);
  void setSpeed(float v);
  // penSpacing, stored unconditionally, clamped to 0.02..2.0; no changed flag.
  void setSpacing(float v);
  void setChanged(bool on) { changed = on ? 1 : 0; }

  // -- getters --
  // The opacity, or 1.0 while the plot document ignores opacity.
  float getOpacity() const;
  // 255 while the plot document ignores opacity, else trunc(opacity * 255).
  uint32_t getOpacity255() const;
  // The kind's fixed spacing or penSpacing, never below 0.02.
  float getSpacing() const;
  bool usesMinSize() const;
  // The dab width at pressure p: between WIDTH * MIN / 100 and WIDTH when the
  // kind uses MIN and ifSIZE is on, else WIDTH.
  float pressureWidth(float p) const;
  // Point i (0 the newest); the newest for an index outside 0..7.
  SStrokePoint getPoint(int32_t i) const;
  SStrokePoint getLastPoint() const { return points[0]; }
  // The rectangles as integers with all four edges even.
  void getDirtyRect(SRectXYWH& rect) const;
  void getTotalRect(SRectXYWH& rect) const;
  // The sample to smear: nullptr while fewer than one pick was made, else
  // cache (pickCount + 1) & 1, the one picked before the newest.
  const CPenTC* getCurrentSample() const;

  // -- stroke life --
  // Resets the counters and the dirty rectangle, keeps the neutral colour of
  // the target layer's blend mode and sets all eight points to (x, y, 0).
  void prepare(uint32_t layerNeutral, float x, float y);
  // The kind's start work: watercolour picks the colour, finger the sample,
  // darken and lighten build their tone curve.
  void prepareKind(const TMTC& image, float x, float y);
  void beginStroke(uint32_t layerNeutral, const TMTC& image, float x, float y);
  // The same on a flow image plane whose pixel (0, 0) lies at origin of the
  // layer: the kind's start work reads at (x + origin.X, y + origin.Y).
  void beginStrokeFlow(uint32_t layerNeutral, const TMTC& flowPlane, TPoint origin, float x, float y);
  // Shifts the points and stores the new one as point 0; unless exactPoints,
  // point 1 becomes the mean of points 0 and 2.
  void addPoint(float x, float y, float pressure);
  // The two ends of a straight segment as points 1 and 2.
  void setSegment(float x0, float y0, float p0, float x1, float y1, float p1);
  // Grows the dirty rectangles by the boxes of WIDTH + 2 around points 1 and 2.
  void updateDirty();
  void incDabCount() { ++stepCount; }
  void setTravel(float v) { travel = v; }
  void addTravel(float d) { travel += d; }

  // -- sample picks (finger and spread) --
  // Starts the picks: count 0, caches cleared, cache 0 takes the dab-sized
  // copy of the image at (x, y).
  [[nodiscard]] bool pickSample(const TMTC& image, float size, float x, float y);
  // When the integer position moved: count + 1, cache (count & 1) takes the
  // copy; false (nothing done) when it did not move.
  bool pickSmudge(const TMTC& image, float size, float x, float y);
  bool pickSmudgeHere(const TMTC& image, float x, float y) { return pickSmudge(image, WIDTH, x, y); }
  // The spread dab's pick: when the position moved, count := 1 and cache 0
  // takes the copy.
  bool pickSpread(const TMTC& image, float size, float x, float y);

  // -- kind work --
  // The 11 x 11 average around (x, y) becomes the picked and carried colour;
  // the start colour is it moved toward the stroke colour by 255 - EFFECT%.
  void pickColor(const TMTC& image, float x, float y);
  // The burn (darken) or dodge (lighten) kind's lightness curve from EFFECT
  // into table; false (table untouched) for the other kinds.
  [[nodiscard]] bool buildToneCurve(CurveTable& table) const;

  // -- fields (in the stored order; other parts of the engine read them) --
  SStrokeDirty dirtySinceLast;
  SStrokeDirty dirtyWhole;
  SStrokePoint points[kPointCount];
  uint32_t subColor = 0xFFFFFF;   // second colour (a pixel)
  float opacity = 1.0f;           // 0.01..1.0
  uint8_t falloffCurveType = 3;   // airbrush falloff curve code, 0..4 (the plot mode)
  uint8_t useTone = 0;
  uint8_t useGradation = 0;
  uint8_t exactPoints = 0;        // keep the points as given (no smoothing)
  uint8_t opaque = 0;             // keep alpha
  uint8_t changed = 0;
  uint32_t color = 0;             // drawing colour (a pixel)
  int32_t layerIndex = 0;
  uint8_t kind = 0;
  uint8_t ifSIZE = 0;
  uint8_t ifTRANSPARENCY = 0;
  uint8_t ifEDGE = 0;
  float MIN = 1.0f;    // percent of WIDTH
  float WIDTH = 1.0f;  // 0.1..200
  float GAMMA = 1.0f;  // 0.01..6.0
  float EFFECT = 0.0f;
  float ENV = 0.0f;
  float SPEED = 0.0f;
  uint32_t stepCount = 0;  // steps walked in this stroke
  float travel = 0.0f;     // distance travelled, weighted by pressure
  float penSpacing = 0.5f; // 0.02..2.0
  TPoint lastPick;         // integer position of the last sample pick
  uint32_t layerNeutral = 0;
  int32_t pickCount = -1;
  CPenTC sampleCache[2];
  SWatercolorState watercolor;

  // Fields the canvas, the shape tools and the recorder keep in the settings.
  uint8_t creationCode = 0;   // 2 for the tool window's settings, else 0
  uint32_t dabCount = 0;      // dabs painted in this stroke
  uint8_t inputSource = 0;    // 1 when the points come from the tablet or replay
  uint8_t straightInput = 0;  // second unsmoothed-input switch (straight input)
  uint8_t shapeFlags[2] = {0, 0};  // set by the brush shape tools for their strokes
  uint8_t drawMode = 0;       // set at each stroke begin, kept after its end
  // Set by the painter when painting starts: the document replays in the
  // older format, whose strokes paint at full opacity.
  uint8_t fullOpacity = 0;
};

}  // namespace pg
