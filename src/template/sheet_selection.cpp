#include "template/sheet_selection.h"

#include <algorithm>

namespace zirvo {

bool SheetSelection::Contains(ItemRef item) const {
  return std::binary_search(items_.begin(), items_.end(), item);
}

void SheetSelection::Set(std::vector<ItemRef> items, std::optional<ItemRef> primary) {
  std::sort(items.begin(), items.end());
  items.erase(std::unique(items.begin(), items.end()), items.end());
  if (primary && !std::binary_search(items.begin(), items.end(), *primary)) primary.reset();
  if (!primary && !items.empty()) primary = items.front();
  if (items == items_ && primary == primary_) return;
  items_ = std::move(items);
  primary_ = primary;
  const auto listeners = listeners_;
  for (const auto& entry : listeners) entry.second();
}

void SheetSelection::Toggle(ItemRef item) {
  std::vector<ItemRef> items = items_;
  const auto at = std::find(items.begin(), items.end(), item);
  if (at != items.end()) {
    items.erase(at);
    Set(std::move(items), primary_ == item ? std::nullopt : primary_);
  } else {
    items.push_back(item);
    Set(std::move(items), item);
  }
}

void SheetSelection::KeepWithin(const Template& doc) {
  std::vector<ItemRef> items = items_;
  std::erase_if(items,
                [&doc](ItemRef item) { return item.row >= doc.Table(item.table).RowCount(); });
  Set(std::move(items), primary_);
}

int SheetSelection::AddListener(Listener listener) {
  const int id = nextListenerId_++;
  listeners_.emplace_back(id, std::move(listener));
  return id;
}

void SheetSelection::RemoveListener(int id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

}  // namespace zirvo
