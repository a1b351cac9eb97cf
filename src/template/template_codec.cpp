#include "template/template_codec.h"

#include "base/file_io.h"

namespace zirvo {
namespace {

TemplateLines LinesOf(const Template& doc, const std::string& targetPath) {
  SheetHeader written = doc.Header();
  TemplateLines lines;
  WriteSheetHeader(written, lines, targetPath);
  doc.Numerators().SaveToLines(lines);
  doc.Marginals().SaveToLines(lines);
  return lines;
}

}  // namespace

std::string EncodeTemplate(const Template& doc, const std::string& targetPath) {
  return JoinTemplateLines(LinesOf(doc, targetPath));
}

Template TemplateFromLines(const TemplateLines& lines, const SheetHeader& header) {
  NumeratorTable numerators;
  MarginalTable marginals;
  numerators.LoadFromLines(lines);
  marginals.LoadFromLines(lines);
  return Template(header, std::move(numerators), std::move(marginals));
}

std::optional<Template> DecodeTemplate(std::string_view bytes, const std::string& path,
                                       const SheetHeader& base) {
  const TemplateLines lines = SplitTemplateBytes(bytes);
  if (lines.empty()) return std::nullopt;
  SheetHeader header = base;
  // A file without its sheet header line is not a template of this program.
  if (!ReadSheetHeader(header, lines, path)) return std::nullopt;
  return TemplateFromLines(lines, header);
}

std::optional<Template> LoadTemplate(const std::string& path, const SheetHeader& base) {
  return DecodeTemplate(ReadFileBytes(path), path, base);
}

void SaveTemplate(const std::string& path, const Template& doc) {
  WriteFileAtomically(path, EncodeTemplate(doc, path));
}

}  // namespace zirvo
