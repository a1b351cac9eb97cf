// Templates from and to the lines of a file, through the program's codec.
#pragma once

#include <string_view>

#include "template/template.h"
#include "template/template_file.h"

namespace zirvo::testing {

// The template of a file holding `lines` (rows and barcode lines) under the
// sheet header `header`, read as the program reads a file; the series comes
// from a "|SER|" line among `lines`, if any.
Template DecodeLines(const TemplateLines& lines, const SheetHeader& header = {});

// The lines of a file's bytes; CR, LF and CR LF each end a line.
TemplateLines SplitLines(std::string_view bytes);

}  // namespace zirvo::testing
