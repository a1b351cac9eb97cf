// The numerator and marginal-text editor frames as the workspace reaches them.
#pragma once

#include "marginals/marginal_editor_qt.h"
#include "numerators/numerator_editor_qt.h"
#include "template/workspace.h"

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

using NumeratorFramePort = EditorFramePort<NumeratorEditorPort, TFHFolio>;
using MarginalFramePort = EditorFramePort<MarginalEditorPort, TFHMarginal>;

}  // namespace zirvo
