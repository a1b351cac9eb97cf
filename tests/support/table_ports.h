// Editor ports for the workspace where no editor frame is on screen (tools
// and tests of the workspace's logic), and a recorder of what a document
// tells its views.
#pragma once

#include <vector>

#include "template/editing_session.h"
#include "template/template.h"

namespace zirvo {

// An editor without a cell editor open: every commit succeeds unless told.
template <class Port>
class RecordingPort : public Port {
 public:
  bool CommitOpenEditor() override {
    ++commitCalls;
    return commits;
  }

  bool commits = true;
  int commitCalls = 0;
};

using TableNumeratorPort = RecordingPort<NumeratorEditorPort>;
using TableMarginalPort = RecordingPort<MarginalEditorPort>;

// Listens to a document as a view does: every change in order, and the
// sheet header as a view showing the sheet size last read it.
class ChangeRecorder {
 public:
  explicit ChangeRecorder(Template& document) : document_(document) {
    id_ = document_.AddListener([this](TemplateChange change) {
      changes.push_back(change);
      if (change == TemplateChange::Everything || change == TemplateChange::Header) {
        shownSheet = document_.Header();
      }
    });
  }
  ~ChangeRecorder() { document_.RemoveListener(id_); }
  ChangeRecorder(const ChangeRecorder&) = delete;
  ChangeRecorder& operator=(const ChangeRecorder&) = delete;

  std::vector<TemplateChange> changes;
  SheetHeader shownSheet;

 private:
  Template& document_;
  int id_ = 0;
};

}  // namespace zirvo
