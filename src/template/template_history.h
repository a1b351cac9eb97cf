// The undo history of a template document: copies of its content before
// each change. It listens to the document, so every operation that changes
// the content is one step, whatever the operation; a Template::Step groups
// several operations into one. What names the file (its name, folder and
// series) is not content: a save is no step and an undo keeps the file.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "template/template.h"

namespace zirvo {

class TemplateHistory {
 public:
  static constexpr std::size_t kMaxSteps = 200;

  explicit TemplateHistory(Template& doc);
  ~TemplateHistory();
  TemplateHistory(const TemplateHistory&) = delete;
  TemplateHistory& operator=(const TemplateHistory&) = delete;

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Takes the document back one step, or forward again; false when there is none.
  bool Undo();
  bool Redo();
  // Forgets every step: the document as it is now is where undoing stops.
  void Clear();
  // Called whenever CanUndo or CanRedo may have changed.
  void SetAvailabilityListener(std::function<void()> listener) {
    availability_ = std::move(listener);
  }

 private:
  void DocumentChanged();
  void Restore(std::vector<Template>& from, std::vector<Template>& to);
  void Tell() const;

  Template& doc_;
  int listenerId_ = 0;
  Template current_;  // the content after the last step
  std::vector<Template> undo_;
  std::vector<Template> redo_;
  bool restoring_ = false;
  std::function<void()> availability_;
};

}  // namespace zirvo
