#pragma once
// TNumMngr: the model behind every numeric field and slider. One 32-bit float
// value with a range, a default, an optional centre that splits the range into
// two halves with their own steps, and an optional wrap-around range for
// cyclic quantities such as angles. Controls attach as listeners (through
// INumListener::setAssociate); whenever the value changes every listener but
// the one that caused it refreshes, and onChange tells the owner.
//
// Every intermediate is a 32-bit float on purpose: the fields round-trip
// through stored forms as floats, and wrapping must give the same value there.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

class TNumMngr;

// A control that shows a model's value.
class INumListener {
 public:
  INumListener() = default;
  INumListener(const INumListener&) = delete;
  INumListener& operator=(const INumListener&) = delete;
  // A listener that is destroyed leaves its model's list by itself.
  virtual ~INumListener();

  TNumMngr* associate() const { return associate_; }
  // Leaves the old model's list, joins the new one's (nullptr for none) and
  // refreshes.
  void setAssociate(TNumMngr* model);
  // Re-reads the model (or shows the no-model state).
  virtual void numRefresh() = 0;

 private:
  friend class TNumMngr;
  TNumMngr* associate_ = nullptr;
};

class TNumMngr {
 public:
  TNumMngr() = default;
  TNumMngr(const TNumMngr&) = delete;
  TNumMngr& operator=(const TNumMngr&) = delete;
  // Detaches every listener (their associate becomes none).
  ~TNumMngr();

  // ---- listeners -------------------------------------------------------------
  // The listener's index afterwards (a listener already there moves last);
  // -1 for none.
  int32_t addListener(INumListener* l);
  // The index it had, or -1 when it was not there.
  int32_t removeListener(INumListener* l);
  const std::vector<INumListener*>& listeners() const { return listeners_; }

  // ---- value ------------------------------------------------------------------
  float value() const { return value_; }
  // The core setter: wraps or clamps, refreshes every listener but the sender
  // and fires onChange; nothing at all when x equals the value exactly.
  float setValueFrom(INumListener* sender, float x);
  void setValue(float x) { setValueFrom(nullptr, x); }
  // One step up or down (x10 when large); every listener refreshes.
  void increment(bool large);
  void decrement(bool large);
  void resetToDefault() { setValueFrom(nullptr, valueDefault_); }
  // False (nothing changed) when minimum > maximum.
  [[nodiscard]] bool setRange(float value, float minimum, float maximum);
  // The slider mapping 0..1 and its inverse.
  float getRatio() const;
  void setRatio(float ratio);
  bool atMinimum() const { return value_ <= valueMin_; }
  bool atMaximum() const { return value_ >= valueMax_; }
  bool isSigned() const { return valueMin_ < 0.0f; }

  // ---- bounds and steps (setters push the neighbouring bounds) ----------------
  float valueMin() const { return valueMin_; }
  float valueMax() const { return valueMax_; }
  float valueDefault() const { return valueDefault_; }
  float valueCenter() const { return valueCenter_; }
  float wrapMin() const { return wrapMin_; }
  float wrapMax() const { return wrapMax_; }
  bool wrapAround() const { return wrapAround_; }
  void setValueMin(float x);
  void setValueMax(float x);
  void setValueDefault(float x);
  void setValueCenter(float x);
  void setWrapMin(float x);
  void setWrapMax(float x);
  void setWrapAround(bool on);

  // Plain fields.
  float Amount = 1.0f;
  bool UseCenter = false;
  float AmountLow = 1.0f;
  float AmountHigh = 1.0f;
  std::function<void(TNumMngr&)> onChange;

  // While loading saved values the setters store raw values and skip the
  // cross-adjustments.
  void beginLoad() { loading_ = true; }
  void endLoad() { loading_ = false; }
  bool loading() const { return loading_; }

 private:
  void refreshAll(INumListener* except);
  void doChange();
  float clampValue(float x) const;

  std::vector<INumListener*> listeners_;
  float valueMin_ = 0.0f;
  float valueMax_ = 255.0f;
  float valueDefault_ = 0.0f;
  float value_ = 0.0f;
  float valueCenter_ = 0.0f;
  bool wrapAround_ = false;
  float wrapMin_ = 0.0f;
  float wrapMax_ = 255.0f;
  bool loading_ = false;
};

// The text filter of numeric fields: keeps digits, one leading minus (when
// allowed) and the first decimal separator, drops everything else, and
// converts. Fails (silently) for an empty result, a lone minus, a lone
// separator or one that does not convert (such as "-.").
[[nodiscard]] std::optional<float> parseNumber(std::string_view text, bool allowNegative, char decimalSep = '.');
// The parsed text through setValueFrom(none, ...), or the unchanged value.
float valueFromText(TNumMngr& model, std::string_view text, char decimalSep = '.');

// Formats a value by a printf-style format holding one floating-point
// conversion such as "%1.0f" or "%1.2f" (width, precision and the text around
// it are honoured), with the given decimal separator. A format without a
// usable conversion gives the value with no decimals.
std::string formatValue(std::string_view format, float value, char decimalSep = '.');

// The key filter of a numeric edit: whether a typed character may go into
// the text. Control characters always pass; a separator is refused when the
// text has one already; a minus only for signed fields (or without a model).
bool acceptNumChar(std::string_view text, char32_t ch, bool allowNegative, char decimalSep = '.');

}  // namespace pg
