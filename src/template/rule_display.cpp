#include "template/rule_display.h"

#include <limits>
#include <vector>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "template/numerator_table.h"

namespace zirvo {

std::string CheckDigitName(CheckDigit method) {
  switch (method) {
    case CheckDigit::None:
      break;
    case CheckDigit::Luhn:
      return LookupText(code::kLuhn);
    case CheckDigit::Mod10Weights31:
      return LookupText(code::kMod10Weights31);
    case CheckDigit::Mod11:
      return LookupText(code::kMod11);
    case CheckDigit::Mod7:
      return LookupText(code::kMod7);
    case CheckDigit::Mod9:
      return LookupText(code::kMod9);
  }
  return LookupText(code::kNoCheckDigit);
}

std::string DescribeNumberingRule(const NumberingRule& rule) {
  if (rule.Plain()) return "";
  const NumberingRule plain;
  std::vector<std::string> parts;
  if (rule.mirror != plain.mirror)
    parts.push_back(OwnText(OwnMessage::RuleMirrorPart, ZeroPad(FormatInt(rule.mirror), 2)));
  if (rule.stepMultiplier != plain.stepMultiplier)
    parts.push_back(OwnText(OwnMessage::RuleStepPart, FormatInt(rule.stepMultiplier)));
  if (rule.sheetsPerNumber != plain.sheetsPerNumber)
    parts.push_back(OwnText(OwnMessage::RuleSheetsPart, FormatInt(rule.sheetsPerNumber)));
  if (rule.cycle != plain.cycle)
    parts.push_back(OwnText(OwnMessage::RuleCyclePart, FormatInt(rule.cycle)));
  if (rule.checkDigit != plain.checkDigit)
    parts.push_back(OwnText(OwnMessage::RuleCheckPart, CheckDigitName(rule.checkDigit)));
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : "; ") + part;
  return OwnText(OwnMessage::RuleDescription, joined);
}

std::optional<std::size_t> RecordsOfSheet(const NumeratorList& records, int64_t increment,
                                          int64_t sheet, NumeratorList& sheetRecords) {
  std::vector<int64_t> numbers;
  SheetNumbers(records, increment, sheet, numbers);
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i] < std::numeric_limits<int32_t>::min() ||
        numbers[i] > std::numeric_limits<int32_t>::max())
      return MirrorSource(records, i);
  }
  sheetRecords = records;
  for (std::size_t i = 0; i < numbers.size(); ++i)
    sheetRecords[i].Number = static_cast<int32_t>(numbers[i]);
  return std::nullopt;
}

std::optional<std::string> RuleExampleTexts(NumeratorList records, std::size_t row,
                                            const NumberingRule& rule, int64_t increment) {
  if (row >= records.size() || !ValidNumberingRule(rule, records[row].Position)) return {};
  records[row].Rule = rule;
  std::string joined, text;
  NumeratorList sheet;
  for (int64_t s = 0; s < 3; ++s) {
    if (RecordsOfSheet(records, increment, s, sheet)) return {};
    FormatListedNumeratorInto(text, sheet, row, sheet[row].Number);
    joined += (s == 0 ? "" : ", ") + text;
  }
  return joined;
}

}  // namespace zirvo
