// The confirmation dialog ConfirmDialog: a borderless window that stays on top,
// asking a question in three lines with an accept and a cancel button. Every
// question of the program goes through Confirm(question).
#pragma once

#include <QFrame>
#include <QPushButton>

#include "template/confirmation.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {

class ConfirmDialog : public BorderlessDialog {
  Q_OBJECT
 public:
  explicit ConfirmDialog(QWidget* parent = nullptr);

  // Asks `question` in the current language. The unsaved-changes question
  // answers Yes for "do not save" and Save for "save" (also Enter); the copy
  // question answers Yes for "yes" (also Enter) and No for "no".
  ConfirmAnswer Confirm(ConfirmQuestion question);

 protected:
  bool EnterAndEscapeActive() const override;
  void EnterPressed() override;

 private:
  void ResetTexts();
  // Shows the three buttons (left, middle, right) and waits for the answer.
  ConfirmAnswer AskThreeWay(QPushButton* left, QPushButton* middle);
  // The dialog's results of the save and the no button.
  static constexpr int kSaveResult = 2;
  static constexpr int kNoResult = 3;
  // Lines too long for one line each wrap, and the dialog grows to hold them.
  void WrapLines();
  void SetInnerHeight(int height);

  QFrame* background_;
  QFrame* panel_;
  QLabel* title_;
  QLabel* firstLine_;
  QLabel* secondLine_;
  QPushButton* acceptButton_;
  QPushButton* cancelButton_;
  QPushButton* saveButton_;  // the unsaved-changes question only
  QPushButton* noButton_;    // the copy question only
};

// The program's one confirmation dialog, created on first use.
ConfirmDialog& TheConfirmDialog();
// TheConfirmDialog().Confirm(question).
ConfirmAnswer Confirm(ConfirmQuestion question);

}  // namespace zirvo
