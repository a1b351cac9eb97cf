#include "template/template_codec.h"

#include "base/file_io.h"
#include "base/messages.h"
#include "base/text.h"
#include "template/barcode_setting.h"

namespace zirvo {
namespace {

constexpr char kBarcodeMarker[] = "|COD|";

void AppendBarcodeLines(const TextTable& table, BarcodeTable kind, TemplateLines& lines) {
  for (int r = 0; r < table.RowCount(); ++r)
    if (const auto& barcode = table.Barcode(r)) lines.push_back(BarcodeLine(kind, r, *barcode));
}

TemplateLines LinesOf(const Template& doc, const std::string& targetPath) {
  SheetHeader written = doc.Header();
  TemplateLines lines;
  WriteSheetHeader(written, lines, targetPath);
  doc.Numerators().SaveToLines(lines);
  doc.Marginals().SaveToLines(lines);
  AppendBarcodeLines(doc.Numerators(), BarcodeTable::Numerators, lines);
  AppendBarcodeLines(doc.Marginals(), BarcodeTable::Marginals, lines);
  return lines;
}

// Gives the rows the barcodes of the "|COD|" lines. A line that does not
// read, names a row the table lacks, or names a row a line before it
// already gave a barcode is skipped.
void ReadBarcodeLines(const TemplateLines& lines, NumeratorTable& numerators,
                      MarginalTable& marginals, SkippedLines* skipped) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.compare(0, 5, kBarcodeMarker) != 0) continue;
    const std::optional<BarcodeLineValue> value = ParseBarcodeLine(line);
    TextTable* table = nullptr;
    if (value)
      table = value->table == BarcodeTable::Numerators ? static_cast<TextTable*>(&numerators)
                                                       : static_cast<TextTable*>(&marginals);
    if (table != nullptr && value->row < table->RowCount() && !table->Barcode(value->row)) {
      table->AttachBarcode(value->row, value->setting);
    } else if (skipped != nullptr) {
      skipped->push_back({static_cast<int>(i) + 1, line});
    }
  }
}

}  // namespace

std::string SkippedLinesMessage(const SkippedLines& skipped) {
  std::string text = OwnText(OwnMessage::BarcodeLinesSkipped);
  for (const SkippedLine& line : skipped)
    text += "\n" + OwnText(OwnMessage::BarcodeLineSkipped, FormatInt(line.number), line.text);
  return text;
}

std::string EncodeTemplate(const Template& doc, const std::string& targetPath) {
  return JoinTemplateLines(LinesOf(doc, targetPath));
}

Template TemplateFromLines(const TemplateLines& lines, const SheetHeader& header,
                           SkippedLines* skipped) {
  NumeratorTable numerators;
  MarginalTable marginals;
  numerators.LoadFromLines(lines);
  marginals.LoadFromLines(lines);
  ReadBarcodeLines(lines, numerators, marginals, skipped);
  return Template(header, std::move(numerators), std::move(marginals));
}

std::optional<Template> DecodeTemplate(std::string_view bytes, const std::string& path,
                                       const SheetHeader& base, SkippedLines* skipped) {
  const TemplateLines lines = SplitTemplateBytes(bytes);
  if (lines.empty()) return std::nullopt;
  SheetHeader header = base;
  // A file without its sheet header line is not a template of this program.
  if (!ReadSheetHeader(header, lines, path)) return std::nullopt;
  return TemplateFromLines(lines, header, skipped);
}

std::optional<Template> LoadTemplate(const std::string& path, const SheetHeader& base,
                                     SkippedLines* skipped) {
  return DecodeTemplate(ReadFileBytes(path), path, base, skipped);
}

void SaveTemplate(const std::string& path, const Template& doc) {
  WriteFileAtomically(path, EncodeTemplate(doc, path));
}

}  // namespace zirvo
