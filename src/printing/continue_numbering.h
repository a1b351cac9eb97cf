// Continuing the numbering after a run: the template file moves on past the
// numbers printed, so that the next run starts at the next number.
#pragma once

#include <cstdint>
#include <string>

#include "template/template.h"

namespace zirvo {

// After a completed run of `sheets` sheets at `increment` of `printed` (the
// template as the run loaded it), writes into the template file at `path`
// the number each numerator carries on the sheet after the run. The file
// written is the real one (links resolved, the link kept), read again and
// written under its folder's save lock, with every other line as it now
// holds it. A numerator the file holds further on already, in its own
// direction (another station continued meanwhile), keeps that number: no
// numerator ever moves back. Throws ZirvoError naming the file when a number
// leaves the 32-bit range or its barcode, or the file cannot be read as a
// template or written; the file then stays as it was.
void ContinueTemplateFile(const std::string& path, const Template& printed, int32_t sheets,
                          int32_t increment);

}  // namespace zirvo
