#include "template/record_barcodes.h"

#include "base/messages.h"
#include "base/text.h"
#include "template/numerator_table.h"

namespace zirvo {

std::string NumeratorBarcodeRefusal(const Numerator& n, int32_t number, int64_t sheet,
                                    CheckDigit check) {
  const std::optional<BarcodeSetting>& barcode = n.Barcode;
  if (!barcode) return {};
  const std::string text = FormatNumeratorText(n.Prefix, number, n.Mask, n.Suffix, check);
  const BarcodeTextProblem problem = CheckBarcodeText(*barcode, text);
  if (problem == BarcodeTextProblem::None) return {};
  return OwnText(OwnMessage::BarcodeRunNumerator, FormatInt(n.Position), FormatInt(sheet)) + "\n" +
         BarcodeProblemMessage(problem, *barcode, text);
}

std::string MarginalBarcodeRefusal(const MarginalText& m) {
  const std::optional<BarcodeSetting>& barcode = m.Barcode;
  if (!barcode) return {};
  const std::string text = Trim(m.Text);
  const BarcodeTextProblem problem = CheckBarcodeText(*barcode, text);
  if (problem == BarcodeTextProblem::None) return {};
  return OwnText(OwnMessage::BarcodeRunMarginal, FormatInt(m.Position)) + "\n" +
         BarcodeProblemMessage(problem, *barcode, text);
}

}  // namespace zirvo
