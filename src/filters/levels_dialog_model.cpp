// The levels dialog's track bars and model.
#include "filters/levels_dialog_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "filters/filter_dialog_model.h"
#include "filters/histogram.h"

namespace pg {

TRect CLevelsTrack::track(int32_t width) const { return TRect{3, 0, 3 + std::max(width - 6, 1), input ? 3 : 8}; }

namespace {

float partPosition(const CLevelsTrack& t, ELevelsPart part) {
  switch (part) {
    case ELevelsPart::Min:
      return t.positionMin;
    case ELevelsPart::Max:
      return t.positionMax;
    case ELevelsPart::Mid:
      return t.positionMin + (t.positionMax - t.positionMin) * t.positionMid;
    case ELevelsPart::None:
      break;
  }
  return 0.0f;
}

}  // namespace

int32_t CLevelsTrack::handleX(ELevelsPart part, int32_t width, int32_t glyphWidth) const {
  return int32_t(std::lround(double(width - glyphWidth) * partPosition(*this, part)));
}

ELevelsPart CLevelsTrack::hitTest(int32_t x, int32_t width, int32_t glyphWidth) const {
  auto distance = [&](ELevelsPart p) { return std::abs(handleX(p, width, glyphWidth) + glyphWidth / 2 - x); };
  const int32_t dMin = distance(ELevelsPart::Min), dMax = distance(ELevelsPart::Max);
  ELevelsPart best = dMin < dMax ? ELevelsPart::Min : ELevelsPart::Max;
  if (input && distance(ELevelsPart::Mid) <= std::min(dMin, dMax)) best = ELevelsPart::Mid;
  return best;
}

bool CLevelsTrack::setPosition(ELevelsPart part, float v) {
  v = std::clamp(v, 0.0f, 1.0f);
  float* target = part == ELevelsPart::Min ? &positionMin : part == ELevelsPart::Max ? &positionMax
                                                           : part == ELevelsPart::Mid ? &positionMid : nullptr;
  if (target == nullptr || *target == v) return false;
  *target = v;
  changed = part;
  return true;
}

bool CLevelsTrack::dragTo(int32_t x, int32_t width) {
  const TRect t = track(width);
  const float p = float(x - t.Left) / float(t.Right - t.Left);
  if (!input) return setPosition(held, p);
  switch (held) {
    case ELevelsPart::Min:
      return setPosition(held, std::min(p, positionMax));
    case ELevelsPart::Max:
      return setPosition(held, std::max(p, positionMin));
    case ELevelsPart::Mid: {
      const float span = positionMax - positionMin;
      return span > 0.0f && setPosition(held, (p - positionMin) / span);
    }
    case ELevelsPart::None:
      break;
  }
  return false;
}

SLevelsRemembered& levelsRemembered() {
  static SLevelsRemembered r;
  return r;
}

CLevelsDialogModel::CLevelsDialogModel(const SHistogram* histogram) : histogram_(histogram) {
  for (TNumMngr* n : {&inMin, &inMax, &outMin, &outMax}) {
    (void)n->setRange(0.0f, 0.0f, 255.0f);  // constant ranges: the minimum is below the maximum
    n->Amount = n->AmountLow = n->AmountHigh = 1.0f;
  }
  (void)inMid.setRange(1.0f, 0.01f, 1.99f);  // as above
  inMid.setValueDefault(1.0f);
  inMid.Amount = inMid.AmountLow = inMid.AmountHigh = 0.01f;
  inMax.setValueDefault(255.0f);
  outMax.setValueDefault(255.0f);
  linear = levelsRemembered().linear;
  reset();
}

void CLevelsDialogModel::barsFromValues() {
  inBar.positionMin = inMin.value() / 255.0f;
  inBar.positionMax = inMax.value() / 255.0f;
  inBar.positionMid = (inMid.value() - 0.01f) / 1.98f;
  outBar.positionMin = outMin.value() / 255.0f;
  outBar.positionMax = outMax.value() / 255.0f;
}

void CLevelsDialogModel::reset() {
  record_ = SFltLevels{};
  setChannel(channel_);
}

void CLevelsDialogModel::setChannel(int32_t c) {
  channel_ = std::clamp(c, 0, 3);
  const size_t i = size_t(channel_);
  inMin.setValue(record_.InLow[i]);
  inMid.setValue(record_.Mid[i] / 100.0f);
  inMax.setValue(record_.InHigh[i]);
  outMin.setValue(record_.OutLow[i]);
  outMax.setValue(record_.OutHigh[i]);
  barsFromValues();
}

void CLevelsDialogModel::readControls() {
  const size_t i = size_t(channel_);
  auto byte = [](float v) { return uint8_t(std::clamp(roundHalfAway(v), 0, 255)); };
  record_.InLow[i] = byte(inMin.value());
  record_.Mid[i] = uint8_t(std::clamp(roundHalfAway(inMid.value() * 100.0f), 1, 199));
  record_.InHigh[i] = byte(inMax.value());
  record_.OutLow[i] = byte(outMin.value());
  record_.OutHigh[i] = byte(outMax.value());
  record_.Linear = linear ? 1 : 0;
}

void CLevelsDialogModel::inputFieldLeft(bool leftMin) {
  if (inMin.value() < inMax.value()) return;
  if (leftMin)
    inMin.setValue(inMax.value() - 1.0f);
  else
    inMax.setValue(inMin.value() + 1.0f);
  barsFromValues();
}

EPreviewRequest CLevelsDialogModel::controlChanged(int32_t sender) {
  switch (sender) {
    case kLvInMin:
      if (inMax.value() > inMin.value()) inMin.setValue(std::min(inMin.value(), inMax.value() - 1.0f));
      barsFromValues();
      return EPreviewRequest::Later;
    case kLvInMax:
      if (inMax.value() > inMin.value()) inMax.setValue(std::max(inMax.value(), inMin.value() + 1.0f));
      barsFromValues();
      return EPreviewRequest::Later;
    case kLvInMid:
    case kLvOutMin:
    case kLvOutMax:
      barsFromValues();
      return EPreviewRequest::Later;
    case kLvInputBar:
      if (inBar.changed == ELevelsPart::Min) {
        inMin.setValue(std::round(inBar.positionMin * 255.0f));
        if (inMin.value() >= inMax.value()) inMin.setValue(inMax.value() - 1.0f);
      } else if (inBar.changed == ELevelsPart::Max) {
        inMax.setValue(std::round(inBar.positionMax * 255.0f));
        if (inMin.value() >= inMax.value()) inMax.setValue(inMin.value() + 1.0f);
      } else if (inBar.changed == ELevelsPart::Mid) {
        inMid.setValue(0.01f + inBar.positionMid * 1.98f);
      }
      barsFromValues();
      return EPreviewRequest::Later;
    case kLvOutputBar:
      if (outBar.changed == ELevelsPart::Min) outMin.setValue(std::round(outBar.positionMin * 255.0f));
      if (outBar.changed == ELevelsPart::Max) outMax.setValue(std::round(outBar.positionMax * 255.0f));
      return EPreviewRequest::Later;
    case kLvLinear:
      return EPreviewRequest::Now;
    case kLvDefaults:
      reset();
      return EPreviewRequest::Now;
    case kLvAuto:
      reset();
      if (histogram_ != nullptr)
        for (size_t c = 1; c <= 3; ++c) {
          const int32_t lo = histogram_->lowest[c - 1], hi = histogram_->highest[c - 1];
          record_.InLow[c] = uint8_t(std::max(std::min(lo, (lo + hi - 1) / 2), 0));
          record_.InHigh[c] = uint8_t(std::min(std::max(hi, lo + 1), 255));
        }
      setChannel(channel_);
      return EPreviewRequest::Now;
    case kLvChannel:
      setChannel(pendingChannel_);
      return EPreviewRequest::None;
    default:
      return EPreviewRequest::None;
  }
}

}  // namespace pg
