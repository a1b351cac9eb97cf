// The items selected on the sheet, shared by the two grids and the preview:
// selecting a row selects its item and the other way round.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "template/template.h"

namespace zirvo {

class SheetSelection {
 public:
  using Listener = std::function<void()>;

  // In table order: the numerators first, then the marginal texts.
  const std::vector<ItemRef>& Items() const { return items_; }
  bool Empty() const { return items_.empty(); }
  bool Contains(ItemRef item) const;
  // The item chosen last, or nothing.
  std::optional<ItemRef> Primary() const { return primary_; }

  // Each changes the selection and tells the listeners when it changed.
  void Set(std::vector<ItemRef> items, std::optional<ItemRef> primary);
  void Select(ItemRef item) { Set({item}, item); }
  // Adds the item, or takes it out when it is selected.
  void Toggle(ItemRef item);
  void Clear() { Set({}, std::nullopt); }
  // Leaves out rows the document no longer has.
  void KeepWithin(const Template& doc);

  int AddListener(Listener listener);
  void RemoveListener(int id);

 private:
  std::vector<ItemRef> items_;
  std::optional<ItemRef> primary_;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextListenerId_ = 1;
};

}  // namespace zirvo
