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
  void ClearEditor() override { editor_.ClearEditor(); }
  bool CommitOpenEditor() override { return editor_.CommitOpenEditor(); }
  void SetSheet(const SheetHeader& header) override { editor_.SetSheet(header); }
  void ShowSheetSize() override { editor_.ShowSheetSize(); }
  void LoadFromLines(const TemplateLines& lines) override { editor_.LoadFromLines(lines); }
  int SaveToLines(TemplateLines& lines) const override { return editor_.SaveToLines(lines); }

 protected:
  Editor& editor_;
};

class NumeratorFramePort : public EditorFramePort<NumeratorEditorPort, TFHFolio> {
 public:
  using EditorFramePort::EditorFramePort;
  void AddRow() override { editor_.AddRow(); }
  NumeratorList ExportRecords() const override {
    NumeratorList records;
    editor_.ExportRecords(records);
    return records;
  }
};

class MarginalFramePort : public EditorFramePort<MarginalEditorPort, TFHMarginal> {
 public:
  using EditorFramePort::EditorFramePort;
  MarginalTextList ExportRecords() const override {
    MarginalTextList records;
    editor_.ExportRecords(records);
    return records;
  }
};

}  // namespace zirvo
