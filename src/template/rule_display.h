// What the screens show of the numbering rules: a rule in words, the texts a
// numerator prints on the first sheets of a run, and the records of any
// sheet of a run for drawing it. Texts follow the catalog loaded last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "template/numbering_rule.h"
#include "template/records.h"

namespace zirvo {

// The catalog's name of a check-digit method ("Ninguno" for none).
std::string CheckDigitName(CheckDigit method);

// A rule in words, naming only what differs from the plain rule ("" for
// the plain rule itself).
std::string DescribeNumberingRule(const NumberingRule& rule);

// The records as sheet `sheet` (0-based) of a run with that increment draws
// them: each numerator's Number the one its rule gives it, a mirror's that of
// its source. When a number leaves the signed 32-bit range, `sheetRecords`
// is left as it was and the index of the numerator that left it (a mirror's
// source) is returned.
std::optional<std::size_t> RecordsOfSheet(const NumeratorList& records, int64_t increment,
                                          int64_t sheet, NumeratorList& sheetRecords);

// What numerator `row` of the records would print on sheets 1, 2 and 3 of a
// run with that increment if it had `rule`, joined by ", "; nothing for a
// rule that is not valid for the row or a number out of range.
std::optional<std::string> RuleExampleTexts(NumeratorList records, std::size_t row,
                                            const NumberingRule& rule, int64_t increment);

}  // namespace zirvo
