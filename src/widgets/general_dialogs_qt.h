// The dialogs of the general operations of the editors: IncrementDialog asks for the
// increment added to every numerator, DisplacementDialog for the distances by which
// every numerator or marginal text is moved. They only collect the values.
#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "template/barcode_setting.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {

// Shared look of the two dialogs: a title band on top, a white body, a row of
// two clickable labels (apply, cancel) at the bottom.
class GeneralDialog : public BorderlessDialog {
  Q_OBJECT
 public:
 protected:
  GeneralDialog(const char* name, int width, int height);
  QLabel* AddLabel(const char* name, const QRect& geometry, bool bold = false);
  QLineEdit* AddEdit(const char* name, const QRect& geometry, int maxLength, KeyFilterKind kind);
  QComboBox* AddList(const char* name, const QRect& geometry);
  void SetCommonCaptions();
  // Hands the fields' choice over: `apply` returns the message refusing it
  // ("" when taken) or throws ZirvoError. A refusal is shown and the dialog
  // stays open; true when the choice was taken.
  bool TakeChoice(const std::function<std::string()>& apply);
  TitleBand* title_;
  ClickLabel* applyCommand_;
  ClickLabel* cancelCommand_;
};

class IncrementDialog : public GeneralDialog {
  Q_OBJECT
 public:
  IncrementDialog();

  // Shows the dialog with the text it had when it was last closed. On
  // confirmation returns true and sets `text` to the field, trimmed.
  bool Run(std::string& text);

 private:
  QLabel* incrementLabel_;
  QLineEdit* incrementField_;
};

class DisplacementDialog : public GeneralDialog {
  Q_OBJECT
 public:
  DisplacementDialog();

  // Shows the dialog titled with two blanks and `title`, both fields "0.00".
  // On confirmation returns true and sets the two texts, trimmed.
  bool Run(const std::string& title, std::string& horizontal, std::string& vertical);

 private:
  QLabel* heading_;
  QLabel* horizontalLabel_;
  QLabel* verticalLabel_;
  QLineEdit* horizontalField_;
  QLineEdit* verticalField_;
};

// The barcode of one numerator or marginal-text row: the symbology (or none),
// the human-readable line and the sizes in cm. A QR Code has one size, the
// side of its square, and no line above.
class BarcodeDialog : public GeneralDialog {
  Q_OBJECT
 public:
  // Takes the choice (nullopt: no barcode); returns the message refusing it,
  // or "" when it was taken.
  using Apply = std::function<std::string(const std::optional<BarcodeSetting>&)>;

  BarcodeDialog();

  // Shows the dialog on `current`. On confirmation the choice goes to
  // `apply`; a refused choice shows its message and the dialog stays open.
  // True when a choice was taken.
  bool Run(const std::optional<BarcodeSetting>& current, Apply apply);

 protected:
  void accept() override;

 private:
  void KindChanged();
  // The fields as a setting; throws ConversionError for a size that is not a number.
  std::optional<BarcodeSetting> Choice() const;

  Apply apply_;
  QLabel* kindLabel_;
  QComboBox* kindBox_;  // none, then the symbologies in the order of BarcodeKind
  QLabel* readableLabel_;
  QComboBox* readableBox_;  // none, above, below
  QLabel* heightLabel_;
  QLineEdit* heightField_;
  QLabel* widthLabel_;
  QLineEdit* widthField_;
};

// The program's one instance of a dialog, created on first use and deleted
// with the application.
template <class Dialog>
Dialog& ProgramInstance() {
  static Dialog* dialog = nullptr;
  if (dialog == nullptr) {
    dialog = new Dialog();
    qAddPostRoutine([] {
      delete dialog;
      dialog = nullptr;
    });
  }
  return *dialog;
}

// The program's one instance of each dialog, created on first use.
IncrementDialog& TheIncrementDialog();
DisplacementDialog& TheDisplacementDialog();
BarcodeDialog& TheBarcodeDialog();

// On confirmation k becomes the integer typed (0 for an empty field); on
// cancellation k is left as it is. A text that is not a signed 32-bit integer
// throws ConversionError.
void ShowIncrementDialog(int32_t& k);
// On confirmation dx and dy become the distances typed in cm (0 for an empty
// field); on cancellation they are left as they are. A text that is not a
// number throws ConversionError, and then neither value changes.
void ShowDisplacementDialog(const std::string& title, double& dx, double& dy);

}  // namespace zirvo
