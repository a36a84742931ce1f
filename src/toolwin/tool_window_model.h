#pragma once
// The tool window's state without its widgets: the current tool mode and the
// tool id it gives the document window, the sixteen tool buttons with the
// variant and opacity each remembers, the two button slots, the shortcut keys,
// the colour pair, the brush size, and the document window it follows.
//
// The document window is reached only through IToolTarget and the main
// window only through IToolWindowHost; the widget that shows this state
// listens through IToolWindowView. None of them is owned.
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string_view>

#include "canvas/tool_numbering.h"
#include "toolwin/tool_tables.h"
#include "toolwin/tool_target.h"

namespace pg {

// Modifier bits of handleShortcutKey.
enum : uint32_t { kShortcutShift = 1, kShortcutAlt = 2, kShortcutCtrl = 4 };

// Virtual keys of the bracket keys, which step the brush size.
enum : int32_t { kVkBracketLeft = 0xDB, kVkBracketRight = 0xDD };

// What changed, for the widget that shows the state.
enum : uint32_t {
  kToolViewButtons = 1,  // glyphs, pressed and enabled buttons
  kToolViewOpacity = 2,  // the tool opacity value or whether it applies
  kToolViewColours = 4,
  kToolViewSize = 8,
};

class IToolWindowView {
 public:
  virtual ~IToolWindowView() = default;
  virtual void toolWindowChanged(uint32_t parts) = 0;
  // Whether the button's variant menu is open right now.
  virtual bool isVariantMenuOpen(int button) const = 0;
};

struct SToolPreferences {
  bool toolFindNext = false;  // a letter key on the current tool steps to its next variant
  bool autoFreeHand = false;  // a brush mode always starts freehand
  bool cellExchange = false;  // a click on the background colour swaps the pair instead
};

class CToolWindowModel {
 public:
  // Update-lock elements: a mode switch, a slot flip, a tool selection.
  static constexpr int kLockMode = 1;
  static constexpr int kLockSlot = 20;
  static constexpr int kLockTool = 32;

  // The freshly constructed tool window: mode and tool id 0, slot 0 holding
  // button 0 and slot 1 button 1, every button on its default mode with
  // opacity 100, and the replay display still set (finishCreation clears it).
  CToolWindowModel();
  CToolWindowModel(const CToolWindowModel&) = delete;
  CToolWindowModel& operator=(const CToolWindowModel&) = delete;

  // The rest of creating the tool window: the switch to normal display and
  // the remembered buttons per display (0 normal, 14 replay).
  void finishCreation();

  void setView(IToolWindowView* view) { view_ = view; }
  void setHost(IToolWindowHost* host) { host_ = host; }
  void setPreferences(const SToolPreferences& prefs) { prefs_ = prefs; }
  const SToolPreferences& preferences() const { return prefs_; }

  // ---- document binding ----
  // The active document window, or nullptr when none is active. A window
  // with a ready document takes the drawing state at once.
  void setDocWindow(IToolTarget* target);
  // A document window that closes: unbinds it when it is the bound one and
  // leaves the binding alone otherwise.
  void releaseDocWindow(IToolTarget* target);
  IToolTarget* docWindow() const { return target_; }

  // ---- tools ----
  ToolMode toolMode() const { return mode_; }
  ToolId toolId() const { return toolId_; }
  int currentButton() const { return slotButton_[slot_]; }
  int buttonSlot() const { return slot_; }
  ToolMode rememberedMode(int button) const { return rememberedMode_[button % kToolButtonCount]; }
  float rememberedOpacity(int button) const { return rememberedOpacity_[button % kToolButtonCount]; }
  // A button is usable while one of its modes is (the hand and the zoom
  // only, while a replay is shown).
  bool buttonEnabled(int button) const;
  // Which modes can be used now, as far as their tools exist; every mode
  // unless a filter is set. A mode that cannot be used is never selected.
  void setModeFilter(std::function<bool(ToolMode)> available);
  bool modeAvailable(ToolMode mode) const { return !available_ || available_(mode); }
  // The glyph a button shows: that of its remembered mode.
  uint8_t buttonGlyph(int button) const { return glyphOfMode(rememberedMode(button)); }

  void setToolMode(ToolMode mode);
  // Makes a tool id current here and in the bound document window; answers
  // whether it changed. The document window also calls it for its temporary
  // tools (held keys and buttons), which leave the tool mode alone.
  bool selectTool(ToolId tool, bool endPrevious);
  void selectToolButton(int slot);
  void selectButtonMode(int button, bool next);
  // A click on a tool button: with Alt (and the click did not open the
  // button's menu) the current button steps to its next variant.
  void buttonClicked(int button, bool alt, bool openedMenu);
  // A variant-menu item chosen by its name; false for names of no tool.
  bool menuClicked(std::string_view itemName);

  // The brush shape (0 freehand, 1 line, 2 multi line, 3 rectangle,
  // 4 ellipse, 5 polygon) that the brush modes draw with.
  int32_t subPaintShape() const { return subPaint_; }
  void setSubPaintShape(int32_t shape);

  // The variant mask of the stored preference ToolSubMode. Applying it picks
  // the pencil's variant at once and only remembers the others.
  uint32_t toolSubMode() const { return packToolSubMode(rememberedMode_); }
  void applyToolSubMode(uint32_t mask);

  // ---- replay display ----
  bool replayDisplay() const { return replayDisplay_; }
  void updateEventPanel(bool on);

  // ---- keys ----
  // A key the main window routes here when no edit field has the focus: vk is
  // a virtual-key number, shift holds kShortcutShift, kShortcutAlt and
  // kShortcutCtrl. True when the key was used.
  bool handleShortcutKey(int32_t vk, uint32_t shift);

  // ---- tool opacity (per cent, 1..100) ----
  float toolOpacity() const { return opacity_; }
  bool opacityApplies() const { return opacityApplies_; }
  void setToolOpacity(float percent);

  // ---- the gradation switch: strokes paint with the current gradient ----
  bool gradation() const { return gradation_; }
  void setGradation(bool on);

  // ---- colours (pixels: blue low, alpha high; alpha is always 255) ----
  uint32_t fgColor() const { return fg_; }
  uint32_t bgColor() const { return bg_; }
  void setFgColor(uint32_t pixel);
  void setBgColor(uint32_t pixel);
  // The side the colour edits work on: 1 foreground, 2 background.
  int activeSide() const { return activeSide_; }
  void setActiveSide(int side);
  // A click on a side of a colour pair: with the exchange preference the
  // background side swaps the two colours and the foreground stays active.
  void chooseColourSide(int side);
  uint32_t activeColor() const { return activeSide_ == 2 ? bg_ : fg_; }
  void setActiveColor(uint32_t pixel);
  void swapColors();

  // ---- brush size ----
  float toolSize() const { return size_; }
  void setToolSize(float pixels);  // clamped to 0.1..200
  float minSize() const { return minSize_; }
  void setMinSize(float percent);  // clamped to 0..100
  void stepSizeUp(bool shift);
  void stepSizeDown(bool shift);

  // Keys that belong to the panels (the tool window wires them): E and R
  // step the option panel's brush list, or the gradient list, by -1 or +1;
  // the nib-image scale of a brush with a nib becomes a new value (per
  // cent); Ctrl and Alt with the bracket keys move the active layer up or
  // down through its link group, or select the next visible layer above or
  // below.
  enum class LayerKey : uint8_t { MoveUp, MoveDown, NextVisibleAbove, NextVisibleBelow };
  std::function<void(int32_t step)> OnStepBrushList;
  std::function<void(float percent)> OnNibScale;
  std::function<void(LayerKey key)> OnLayerKey;

  // The working paint parameters of the tool options (not owned), handed
  // to the document window with the drawing state while the current mode
  // draws with their kind.
  void setPaintParam(const TPaintParam* param) { paintParam_ = param; }

  // The drawing state as the document window takes it.
  SToolParams toolParams() const;
  // Hands the drawing state to the bound window (unless it replays) and the
  // tool opacity to the preferences of the current mode.
  void pushStrokeParams();

 private:
  void stepSize(bool up, bool shift);
  void notify(uint32_t parts);
  // Stores a value from outside, clamped; a change is shown and handed on.
  void setClamped(float& field, float value, float low, float high, uint32_t part);
  ToolId toolIdForMode(ToolMode mode) const;

  IToolWindowView* view_ = nullptr;
  IToolWindowHost* host_ = nullptr;
  IToolTarget* target_ = nullptr;
  SToolPreferences prefs_;
  std::function<bool(ToolMode)> available_;
  const TPaintParam* paintParam_ = nullptr;

  ToolMode mode_ = ToolMode::Pencil;
  ToolId toolId_ = ToolId::Brush;
  int slot_ = 0;
  std::array<int, 2> slotButton_ = {0, 1};
  std::array<ToolMode, kToolButtonCount> rememberedMode_{};
  std::array<float, kToolButtonCount> rememberedOpacity_{};
  std::array<int, 2> displayButton_ = {0, 14};  // normal, replay
  std::bitset<40> locks_;
  bool replayDisplay_ = true;
  int32_t subPaint_ = 0;

  float opacity_ = 100.0f;
  bool gradation_ = false;
  bool opacityApplies_ = true;
  uint32_t fg_ = 0xFF000000u;
  uint32_t bg_ = 0xFFFFFFFFu;
  int activeSide_ = 1;
  float size_ = 10.0f;
  float minSize_ = 0.0f;
};

}  // namespace pg
