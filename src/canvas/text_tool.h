#pragma once
// The text tool's work on a document window, apart from its dialog: the
// settings the dialog edits (kept between uses through a small store the
// main window binds to the preferences), the text rendered at the clicked
// point into the flow's coverage channel, the live preview over the view and
// the commit that paints the text into the current layer or, for the
// text-select tool, makes it the selection - one recorded, undoable step.
#include <cstdint>
#include <string>
#include <vector>

#include "core/rect.h"
#include "platform/fonts.h"

namespace pg {

class TDrawWindow;

struct STextToolSettings {
  std::string faceName;  // without the "@" of the vertical form
  int32_t size = 0;      // points; 0 takes the default
  int32_t charSpacing = 0;
  int32_t lineSpacing = 0;
  uint8_t charSet = kDefaultCharSet;
  bool italic = false;
  bool bold = false;
  bool vertical = false;
  bool useFont = false;
  bool preview = true;
  std::string text = "Text Area";
  // The dialog's place and size; used only when positive.
  int32_t left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const STextToolSettings&, const STextToolSettings&) = default;
};

// Where the settings live between uses.
class ITextToolSettingsStore {
 public:
  virtual ~ITextToolSettingsStore() = default;
  virtual STextToolSettings load() const = 0;
  virtual void save(const STextToolSettings& settings) = 0;
};

// The store of a program that keeps the settings for its run only.
class CMemoryTextSettings final : public ITextToolSettingsStore {
 public:
  STextToolSettings load() const override { return kept_; }
  void save(const STextToolSettings& settings) override { kept_ = settings; }

 private:
  STextToolSettings kept_;
};

// The font a setting asks for ("@" + face for vertical writing).
SFontSpec fontSpecOf(const STextToolSettings& s);

// The text preview drawn over the view: tool-coloured pixels (premultiplied
// 0xAARRGGBB) of a document rectangle.
struct STextPreview {
  SRectXYWH rect{};  // document coordinates
  std::vector<uint32_t> pixels;
  bool shown() const { return !pixels.empty(); }
};

class CTextToolSession {
 public:
  // A session at a document point of the window.
  CTextToolSession(TDrawWindow& window, TPoint docPoint, bool selectMode);
  // Removes the preview and clears the coverage unless the text was placed.
  ~CTextToolSession();
  CTextToolSession(const CTextToolSession&) = delete;
  CTextToolSession& operator=(const CTextToolSession&) = delete;

  TPoint point() const { return point_; }
  bool selectMode() const { return selectMode_; }

  // Renders the text into the coverage channel; answers the glyphs drawn
  // (-1 when the font cannot be opened) and their document rectangle.
  int32_t render(const STextToolSettings& s, SRectXYWH& docBounds);
  // Renders the preview (an empty text removes it); the window repaints.
  void updatePreview(const STextToolSettings& s);
  void removePreview();
  const STextPreview& preview() const;
  // OK: renders once more and places the text (recorded, undoable); false
  // when nothing was drawn or the edit gate refused.
  [[nodiscard]] bool commit(const STextToolSettings& s);

 private:
  TDrawWindow& w_;
  TPoint point_;
  bool selectMode_;
  bool placed_ = false;
};

}  // namespace pg
