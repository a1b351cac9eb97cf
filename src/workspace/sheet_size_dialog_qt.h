// The sheet-size dialog: width and height of the sheet in centimetres, for
// New and for the Sheet size command of the workspace.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "template/records.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {

class SheetSizeDialog : public BorderlessDialog {
  Q_OBJECT
 public:
  static constexpr double kDefaultWidth = 21.6;
  static constexpr double kDefaultHeight = 28.0;
  static constexpr double kMaximum = SheetHeader::kMaxLengthCm;

  explicit SheetSizeDialog(QWidget* parent = nullptr);

  // Shows the dialog with the title and the sizes (0 = no size yet, the
  // defaults are proposed). On Apply writes the sizes and returns true;
  // otherwise leaves them unchanged and returns false.
  bool AskSheetSize(const std::string& title, double& width, double& height);

 protected:
  // Enter applies wherever the focus is; Escape cancels.
  void EnterPressed() override { Apply(); }

 private:
  void ApplyLanguage();
  // The apply button: reads both edits; refuses text that is not a number and
  // sizes of 0 or less, keeping the dialog open.
  void Apply();
  // Reads one edit: its trimmed text, or `empty` when there is none.
  bool ReadSize(QLineEdit* edit, double empty, double& value);
  // Replaces a value above the maximum by "149.99" as soon as it is typed.
  void LimitSize(QLineEdit* edit);

  double width_ = 0.0;
  double height_ = 0.0;
  TitleBand* title_;
  QLabel* customLabel_;
  QLabel* widthLabel_;
  QLineEdit* widthField_;
  QLabel* widthUnit_;
  QLabel* heightLabel_;
  QLineEdit* heightField_;
  QLabel* heightUnit_;
  QPushButton* cancelButton_;
  QPushButton* applyButton_;
};

}  // namespace zirvo
