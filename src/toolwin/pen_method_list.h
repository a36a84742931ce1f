#pragma once
// The brush list: either the brushes (pen methods) of a collection, shown
// for one brush kind at a time or all together, or the five stored variants
// of one stroke tool's settings. It keeps the working paint parameters of
// the selected item, which the tool options edit; for a stroke tool every
// change of them also reaches the shared stroke settings at once.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "brush/paint_param.h"
#include "toolwin/item_list.h"

namespace pg {

class CPenMethodMngr;
class CPenMethodObj;
class CPenSettingTable;
class TStroke;

inline constexpr uint32_t kResBrushListHint = 67403;  // "E: 左のアイテムを選択, R: 右のアイテムを選択"
// The brush kinds of the collection (pen-method kinds 9..17).
inline constexpr int32_t kBrushKinds = 9;
inline constexpr int32_t kStrokeTools = 8;

class CPenMethodList final : public CItemList {
 public:
  // The source of the items.
  enum : uint8_t { kSourceVariants = 1, kSourcePenMethods = 2 };

  CPenMethodList();
  ~CPenMethodList() override;

  // Binds a collection, the shared stroke settings and the variant table
  // (none owned); unbind clears them and answers the collection.
  void bind(CPenMethodMngr* manager, TStroke* stroke, CPenSettingTable* variants);
  CPenMethodMngr* unbind();
  CPenMethodMngr* manager() const { return manager_; }
  std::function<void()> OnBind;
  std::function<void()> OnKindChange;

  uint8_t sourceKind() const { return source_; }
  // The list index 0..8 of the brush kind shown, and of the stroke tool.
  int32_t brushKind() const { return brushKind_; }
  // Shows the items of the paint kind: the brushes of its kind, or the
  // variants of its stroke tool; the working parameters load the active one.
  void selectPaintKind(uint8_t kind);
  bool showAll() const { return showAll_; }
  void setShowAll(bool on);

  // The working parameters of the selected item.
  TPaintParam& paintParam() { return *work_; }
  const TPaintParam& paintParam() const { return *work_; }
  // Writes the working parameters back into the selected brush or variant.
  [[nodiscard]] bool storeCurrent();
  // Each changes the working parameters (and, for a stroke tool, the shared
  // stroke settings), then tells the change.
  void setParamValue(TPaintParamId id, float value);
  void setName(const std::string& name);
  void setNib(const CPenShapeObj* nib);
  // After the working parameters were changed directly: a stroke tool's
  // shared settings take them, and the change is told.
  void workChanged();

  // The collection index of list index i (-1 when there is none) and back.
  int32_t managerIndexOf(int32_t i) const;
  int32_t listIndexOf(int32_t managerIndex) const;

  int32_t getCount() const override;
  bool isValidIndex(int32_t i) const override;
  uint32_t getItemFlags(int32_t i) const override;
  // The variants have no editor and take no new items.
  bool canNewItem() const override { return !variants() && CItemList::canNewItem(); }
  std::string getItemName(int32_t i) const override;
  bool setItemName(int32_t i, const std::string& name) override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  bool canDeleteKeepOne(int32_t i) const override;
  bool deleteItem(int32_t i, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;
  int32_t listKind() const override { return 4; }
  // The brushes of a collection that holds any drop down all brushes; the
  // variants have no pop-up.
  bool canOpenPopup() const override;
  // A brush of another kind picked in the pop-up brings its kind along.
  void popupPicked() override;

 protected:
  // A cancelled pop-up gives back the collection's brush (and its kind).
  int32_t popupReturnPoint() const override;
  void returnToPopupPoint(int32_t point) override;

 private:
  void showKind(int32_t kind);
  bool variants() const { return source_ != kSourcePenMethods; }
  // The list index 0..8 of a brush's kind; -1 for none.
  [[nodiscard]] static int32_t brushKindOf(const CPenMethodObj* method);
  CPenMethodObj* methodAt(int32_t i) const;
  // Loads the working parameters from list item i.
  void loadWork(int32_t i);
  void writeStroke();

  CPenMethodMngr* manager_ = nullptr;
  TStroke* stroke_ = nullptr;
  CPenSettingTable* variants_ = nullptr;
  std::unique_ptr<TPaintParam> work_;
  uint8_t source_ = kSourcePenMethods;
  int32_t brushKind_ = 0;
  int32_t strokeTool_ = 0;
  uint8_t variantKind_ = 0;  // the paint kind the variants are shown as
  std::array<int32_t, kBrushKinds> rememberedBrush_{};
  std::array<int32_t, kStrokeTools> rememberedVariant_{};
  bool showAll_ = false;
};

}  // namespace pg
