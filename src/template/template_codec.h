// The template codec: a Template as the bytes of a template file and back.
// A file is the sheet header line, one "|FOL|" line per numerator, one
// "|MAR|" line per marginal text, one "|COD|" line per row with a barcode,
// for a template that carries a numbering series a "|SER|" line and, for
// one whose background scan is aligned, a last "|FON|" line; each
// ended by CR LF, in Windows-1252. The codec is where the program's UTF-8
// text meets those bytes: every byte decodes to one character (the five
// bytes the code page leaves undefined to the C1 controls of the same value)
// and encodes back to the same byte. The background image is never part of
// the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "template/template.h"
#include "template/template_file.h"

namespace zirvo {

// A line of a file that was not taken: its number (from 1) and its text.
struct SkippedLine {
  int number = 0;
  std::string text;
  bool operator==(const SkippedLine&) const = default;
};
using SkippedLines = std::vector<SkippedLine>;

// The message listing skipped lines for the user, one line each.
std::string SkippedLinesMessage(const SkippedLines& skipped);

// The bytes of `doc` saved at `targetPath`: the header line names that file
// and its folder, whatever name the document has now.
std::string EncodeTemplate(const Template& doc, const std::string& targetPath);

// The template in `bytes`, read as the file at `path`: the header's name and
// folder come from the path, fields a file does not hold (Color2) from
// `base`. Nothing (std::nullopt) for empty bytes or bytes without a sheet
// header line. Throws ConversionError for a header value that is not a
// number and ZirvoError for a header line with fewer than 21 fields. A
// "|COD|" line that does not read, names a row the table does not have or
// repeats a row is left out, and so is a "|SER|" or "|FON|" line that does
// not read or follows one that did; when `skipped` is given it lists those lines.
std::optional<Template> DecodeTemplate(std::string_view bytes, const std::string& path,
                                       const SheetHeader& base = {},
                                       SkippedLines* skipped = nullptr);

// DecodeTemplate on the file's bytes. Throws ZirvoError naming the file when
// it cannot be read.
std::optional<Template> LoadTemplate(const std::string& path, const SheetHeader& base = {},
                                     SkippedLines* skipped = nullptr);

// Writes EncodeTemplate(doc, path) through WriteTemplateBytes: the previous
// file survives any failure, and a path that is a symbolic link writes the
// file it leads to. Throws ZirvoError naming the file and the cause.
// `observer` is told the stages of the write.
void SaveTemplate(const std::string& path, const Template& doc, const WriteObserver& observer = {});

}  // namespace zirvo
