// The sheet-size dialog: width and height of the sheet in centimetres, for
// New and for the Sheet size command of the workspace.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

namespace zirvo {

class TFNuevo : public QDialog {
  Q_OBJECT
 public:
  static constexpr double kDefaultWidth = 21.6;
  static constexpr double kDefaultHeight = 28.0;
  static constexpr double kMaximum = 149.99;

  explicit TFNuevo(QWidget* parent = nullptr);

  // Shows the dialog with the title and the sizes (0 = no size yet, the
  // defaults are proposed). On Apply writes the sizes and returns true;
  // otherwise leaves them unchanged and returns false.
  bool AskSheetSize(const std::string& title, double& width, double& height);

  QLabel* PanTitulo;
  QLabel* Et_Personal;
  QLabel* Et_Horiz;
  QLineEdit* EdHoriz;
  QLabel* EqVerCm;
  QLabel* Et_Vert;
  QLineEdit* EdVert;
  QLabel* EqHorCm;
  QPushButton* Bt_Cancela;
  QPushButton* Bt_Aplica;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ApplyLanguage();
  // Bt_AplicaClick: reads both edits; refuses text that is not a number and
  // sizes of 0 or less, keeping the dialog open.
  void Apply();
  // Reads one edit: its trimmed text, or `empty` when there is none.
  bool ReadSize(QLineEdit* edit, double empty, double& value);
  // Replaces a value above the maximum by "149.99" as soon as it is typed.
  void LimitSize(QLineEdit* edit);
  // RealKeyPress: the keystroke filter of both edits.
  bool RejectKey(QLineEdit* edit, QKeyEvent* event) const;

  double width_ = 0.0;
  double height_ = 0.0;
};

}  // namespace zirvo
