#include "template/template_history.h"

#include <utility>

namespace zirvo {

TemplateHistory::TemplateHistory(Template& doc) : doc_(doc), current_(doc) {
  listenerId_ = doc_.AddListener([this](TemplateChange) { DocumentChanged(); });
}

TemplateHistory::~TemplateHistory() { doc_.RemoveListener(listenerId_); }

void TemplateHistory::DocumentChanged() {
  if (restoring_) return;
  if (doc_.SameEdits(current_)) {
    current_ = doc_;
    return;
  }
  undo_.push_back(std::move(current_));
  if (undo_.size() > kMaxSteps) undo_.erase(undo_.begin());
  redo_.clear();
  current_ = doc_;
  Tell();
}

void TemplateHistory::Restore(std::vector<Template>& from, std::vector<Template>& to) {
  Template target = std::move(from.back());
  from.pop_back();
  to.push_back(std::move(current_));
  restoring_ = true;
  try {
    doc_.RestoreEdits(target);
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
  current_ = doc_;
  Tell();
}

bool TemplateHistory::Undo() {
  if (undo_.empty()) return false;
  Restore(undo_, redo_);
  return true;
}

bool TemplateHistory::Redo() {
  if (redo_.empty()) return false;
  Restore(redo_, undo_);
  return true;
}

void TemplateHistory::Clear() {
  undo_.clear();
  redo_.clear();
  current_ = doc_;
  Tell();
}

void TemplateHistory::Tell() const {
  if (availability_) availability_();
}

}  // namespace zirvo
