// The confirmation dialog ConfirmDialog: a borderless window that stays on top,
// asking a question in three lines with an accept and a cancel button. Every
// question of the program goes through Confirm(mode).
#pragma once

#include <QFrame>
#include <QPushButton>

#include "widgets/dialog_parts_qt.h"

namespace zirvo {

class ConfirmDialog : public BorderlessDialog {
  Q_OBJECT
 public:
  explicit ConfirmDialog(QWidget* parent = nullptr);

  // Asks the question of `mode` (6 open, 7 close, 8 new template, 12 quit,
  // 13 delete a row, 14 unsaved changes, 16 whether a copy continues the
  // numbering) in the current language. Returns -1 when the user accepted, 1
  // otherwise (cancel, Escape, window closed), 0 for an unknown mode without
  // showing anything. The unsaved-changes question accepts with "do not
  // save" and returns kSaveAnswer for "save" (also Enter). The copy question
  // accepts with "yes" (also Enter) and returns kNoAnswer for "no".
  int Confirm(int mode);
  static constexpr int kUnsavedMode = 14;
  static constexpr int kCopyNumberingMode = 16;
  static constexpr int kSaveAnswer = 2;
  static constexpr int kNoAnswer = 3;

  QLabel* Et_Titulo;
  QLabel* Et_Lin01;
  QLabel* Et_Lin02;
  QPushButton* Bt_Aceptar;
  QPushButton* Bt_Cancelar;
  QPushButton* Bt_Guardar;  // the unsaved-changes question only
  QPushButton* Bt_No;       // the copy question only

 protected:
  bool EnterAndEscapeActive() const override;
  void EnterPressed() override;

 private:
  void ResetTexts();
  // Shows the three buttons (left, middle, right) and waits for the answer.
  int AskThreeWay(QPushButton* left, QPushButton* middle);
  // Lines too long for one line each wrap, and the dialog grows to hold them.
  void WrapLines();
  void SetInnerHeight(int height);

  QFrame* background_;
  QFrame* panel_;
};

// The program's one confirmation dialog, created on first use.
ConfirmDialog& FCaratGda();
// FCaratGda().Confirm(mode).
int Confirm(int mode);

}  // namespace zirvo
