#include "template/record_barcodes.h"

#include "base/messages.h"
#include "base/text.h"
#include "template/numerator_table.h"

namespace zirvo {
namespace {

template <class Record>
std::optional<BarcodeSetting> RecordBarcode(const Record& record) {
  if (!record.Barcode) return std::nullopt;
  int32_t kind = 0, line = 0;
  if (!TryParseInt32(Trim(record.BarcodeType), kind) ||
      !TryParseInt32(Trim(record.BarcodePosition), line) || kind < 0 || kind >= kBarcodeKindCount ||
      line < 0 || line > 2)
    return std::nullopt;
  BarcodeSetting setting;
  setting.kind = static_cast<BarcodeKind>(kind);
  setting.line = static_cast<ReadableLine>(line);
  setting.height = record.BarHeight;
  setting.length = record.BarLength;
  if (!ValidBarcodeSetting(setting)) return std::nullopt;
  return setting;
}

}  // namespace

std::optional<BarcodeSetting> BarcodeOf(const Numerator& numerator) {
  return RecordBarcode(numerator);
}

std::optional<BarcodeSetting> BarcodeOf(const MarginalText& marginal) {
  return RecordBarcode(marginal);
}

std::string NumeratorBarcodeRefusal(const Numerator& n, int32_t number, int64_t sheet) {
  const std::optional<BarcodeSetting> barcode = BarcodeOf(n);
  if (!barcode) return {};
  const std::string text = FormatNumeratorText(n.Prefix, number, n.Mask, n.Suffix);
  const BarcodeTextProblem problem = CheckBarcodeText(*barcode, text);
  if (problem == BarcodeTextProblem::None) return {};
  return OwnText(OwnMessage::BarcodeRunNumerator, FormatInt(n.Position), FormatInt(sheet)) + "\n" +
         BarcodeProblemMessage(problem, *barcode, text);
}

std::string MarginalBarcodeRefusal(const MarginalText& m) {
  const std::optional<BarcodeSetting> barcode = BarcodeOf(m);
  if (!barcode) return {};
  const std::string text = Trim(m.Text);
  const BarcodeTextProblem problem = CheckBarcodeText(*barcode, text);
  if (problem == BarcodeTextProblem::None) return {};
  return OwnText(OwnMessage::BarcodeRunMarginal, FormatInt(m.Position)) + "\n" +
         BarcodeProblemMessage(problem, *barcode, text);
}

}  // namespace zirvo
