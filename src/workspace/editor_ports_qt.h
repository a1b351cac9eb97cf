// The numerator and marginal-text editor frames as the workspace reaches them.
#pragma once

#include "editors/marginal_editor_qt.h"
#include "editors/numerator_editor_qt.h"
#include "template/editing_session.h"

namespace zirvo {

template <class Port, class Editor>
class EditorFramePort : public Port {
 public:
  explicit EditorFramePort(Editor& editor) : editor_(editor) {}
  void InitEditor() override { editor_.InitEditor(); }
  void ApplyLanguage() override { editor_.ApplyLanguage(); }
  bool CommitOpenEditor() override { return editor_.CommitOpenEditor(); }

 protected:
  Editor& editor_;
};

using NumeratorFramePort = EditorFramePort<NumeratorEditorPort, NumeratorEditor>;
using MarginalFramePort = EditorFramePort<MarginalEditorPort, MarginalEditor>;

}  // namespace zirvo
