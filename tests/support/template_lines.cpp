#include "support/template_lines.h"

#include <stdexcept>
#include <string>

#include "base/text.h"
#include "template/template_codec.h"

namespace zirvo::testing {

Template DecodeLines(const TemplateLines& lines, const SheetHeader& header) {
  SheetHeader written = header;
  TemplateLines file;
  WriteSheetHeader(written, file, "/t/Caja.pla");
  file.insert(file.end(), lines.begin(), lines.end());
  const auto read = DecodeTemplate(Utf8ToCp1252(JoinTemplateLines(file)), "/t/Caja.pla", header);
  if (!read) throw std::logic_error("the lines do not decode");
  Template doc(header, read->Numerators(), read->Marginals());
  if (!read->Series().empty()) doc.SetSeries(read->Series());
  return doc;
}

TemplateLines SplitLines(std::string_view bytes) {
  TemplateLines lines;
  ForEachTemplateLine(bytes, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  });
  return lines;
}

}  // namespace zirvo::testing
