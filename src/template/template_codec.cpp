#include "template/template_codec.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/text.h"
#include "template/barcode_setting.h"
#include "template/numbering_rule.h"
#include "template/series.h"

namespace zirvo {
namespace {

constexpr std::string_view kBarcodeMarker = "|COD|";
constexpr std::string_view kSeriesMarker = "|SER|";
constexpr std::string_view kNumberingMarker = "|NUM|";

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
  const NumeratorTable& numerators = doc.Numerators();
  for (int r = 0; r < numerators.RowCount(); ++r)
    if (!numerators.Rule(r).Plain()) lines.push_back(NumberingLine(r, numerators.Rule(r)));
  // Last, so that a template without a series is written as it always was.
  if (!doc.Series().empty()) lines.push_back(std::string(kSeriesMarker) + doc.Series() + "|");
  if (doc.Alignment()) lines.push_back(AlignmentLine(*doc.Alignment()));
  return lines;
}

// Gives the rows the barcodes of the "|COD|" lines. A line that does not
// read, names a row the table lacks, or names a row a line before it
// already gave a barcode is skipped; `numbers` holds each line's number in
// its file.
void ReadBarcodeLines(const TemplateLines& lines, const std::vector<int>& numbers,
                      NumeratorTable& numerators, MarginalTable& marginals, SkippedLines* skipped) {
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
      skipped->push_back({numbers[i], line});
    }
  }
}

// Gives the numerators the rules of the "|NUM|" lines. A line that does not
// read, names a row the table lacks or a row a line before it gave a rule,
// or mirrors what no row can be mirrored by, is skipped.
void ReadNumberingLines(const TemplateLines& lines, const std::vector<int>& numbers,
                        NumeratorTable& numerators, SkippedLines* skipped) {
  std::vector<std::size_t> lineOfRow(static_cast<std::size_t>(numerators.RowCount()), lines.size());
  std::vector<std::size_t> refused;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].compare(0, kNumberingMarker.size(), kNumberingMarker) != 0) continue;
    const std::optional<NumberingLineValue> value = ParseNumberingLine(lines[i]);
    if (value && value->row < numerators.RowCount() &&
        lineOfRow[static_cast<std::size_t>(value->row)] == lines.size()) {
      numerators.AttachRule(value->row, value->rule);
      lineOfRow[static_cast<std::size_t>(value->row)] = i;
    } else {
      refused.push_back(i);
    }
  }
  for (int row : numerators.DropUnusableRules())
    refused.push_back(lineOfRow[static_cast<std::size_t>(row)]);
  if (skipped == nullptr) return;
  std::sort(refused.begin(), refused.end());
  for (std::size_t i : refused) skipped->push_back({numbers[i], lines[i]});
}

// Gives the template the series of the first "|SER|" line that reads: 32
// hexadecimal digits in its first field (blanks around them and later
// fields aside). Every other "|SER|" line is skipped.
void ReadSeriesLines(const TemplateLines& lines, const std::vector<int>& numbers, Template& doc,
                     SkippedLines* skipped) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.substr(0, kSeriesMarker.size()) != kSeriesMarker) continue;
    const std::string_view rest = line.substr(kSeriesMarker.size());
    const std::string field = Trim(rest.substr(0, rest.find('|')));
    const bool taken = doc.Series().empty() && IsSeriesText(field) && doc.SetSeries(field);
    if (!taken && skipped != nullptr) skipped->push_back({numbers[i], lines[i]});
  }
}

// Gives the template the background alignment of the first "|FON|" line
// that reads; every other one is skipped.
void ReadAlignmentLines(const TemplateLines& lines, const std::vector<int>& numbers, Template& doc,
                        SkippedLines* skipped) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.substr(0, kAlignmentMarker.size()) != kAlignmentMarker) continue;
    const std::optional<BackgroundAlignment> alignment = ParseAlignmentLine(line);
    const bool taken = alignment && !doc.Alignment();
    if (taken) doc.SetAlignment(alignment);
    if (!taken && skipped != nullptr) skipped->push_back({numbers[i], lines[i]});
  }
}

Template TemplateFromNumberedLines(const TemplateLines& lines, const std::vector<int>& numbers,
                                   const SheetHeader& header, SkippedLines* skipped) {
  NumeratorTable numerators;
  MarginalTable marginals;
  numerators.LoadFromLines(lines);
  marginals.LoadFromLines(lines);
  ReadBarcodeLines(lines, numbers, numerators, marginals, skipped);
  ReadNumberingLines(lines, numbers, numerators, skipped);
  Template doc(header, std::move(numerators), std::move(marginals));
  ReadSeriesLines(lines, numbers, doc, skipped);
  ReadAlignmentLines(lines, numbers, doc, skipped);
  return doc;
}

// The lines of a file that its readers take, each with its number in the
// file (from 1): the first sheet header line, the first rows of each table
// (as many as a table holds) and every barcode and series line. No other line is
// copied, so a file of anything else costs no memory beyond its bytes.
struct MarkedLines {
  TemplateLines lines;
  std::vector<int> numbers;
};

MarkedLines SelectMarkedLines(std::string_view bytes) {
  const std::string rowMarkers[] = {"|" + NumeratorTable().Layout().marker + "|",
                                    "|" + MarginalTable().Layout().marker + "|"};
  int rowsTaken[] = {0, 0};
  bool headerTaken = false;
  int64_t number = 0;
  MarkedLines marked;
  ForEachTemplateLine(bytes, [&](std::string_view line) {
    ++number;
    const std::string_view marker = line.substr(0, 5);
    bool take = marker == kBarcodeMarker || marker == kSeriesMarker || marker == kNumberingMarker;
    if (marker == kSheetHeaderMarker) {
      take = !headerTaken;
      headerTaken = true;
    }
    for (std::size_t t = 0; t < std::size(rowMarkers); ++t)
      if (marker == rowMarkers[t]) take = rowsTaken[t]++ < TextTable::kMaxRows;
    if (marker == kAlignmentMarker) take = true;
    if (take) {
      marked.lines.push_back(Cp1252ToUtf8(line));
      marked.numbers.push_back(static_cast<int>(std::min<int64_t>(number, INT32_MAX)));
    }
    return true;
  });
  return marked;
}

}  // namespace

std::string SkippedLinesMessage(const SkippedLines& skipped) {
  std::string text = OwnText(OwnMessage::LinesSkipped);
  for (const SkippedLine& line : skipped)
    text += "\n" + OwnText(OwnMessage::LineSkipped, FormatInt(line.number), line.text);
  return text;
}

std::string EncodeTemplate(const Template& doc, const std::string& targetPath) {
  return Utf8ToCp1252(JoinTemplateLines(LinesOf(doc, targetPath)));
}

std::optional<Template> DecodeTemplate(std::string_view bytes, const std::string& path,
                                       const SheetHeader& base, SkippedLines* skipped) {
  const MarkedLines marked = SelectMarkedLines(bytes);
  SheetHeader header = base;
  // A file without its sheet header line is not a template of this program.
  if (!ReadSheetHeader(header, marked.lines, path)) return std::nullopt;
  return TemplateFromNumberedLines(marked.lines, marked.numbers, header, skipped);
}

std::optional<Template> LoadTemplate(const std::string& path, const SheetHeader& base,
                                     SkippedLines* skipped) {
  return DecodeTemplate(ReadFileBytes(path), path, base, skipped);
}

void SaveTemplate(const std::string& path, const Template& doc, const WriteObserver& observer) {
  WriteTemplateBytes(path, EncodeTemplate(doc, path), observer);
}

}  // namespace zirvo
