// Step and repeat: every number every sheet of the run prints, worked out
// from the written template as a run works it out; where the copies land;
// refusals that leave the document as it was.
#include "template/step_repeat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/messages.h"
#include "support/template_lines.h"
#include "template/template.h"

namespace zirvo {
namespace {

using N = NumeratorTable;

// A numerator's line: at 1.00, 1.00 with mask 4, counting up ("A") or down ("R").
std::string Fol(int position, int32_t number, const char* direction = "A") {
  return "|FOL|0" + std::to_string(position) + "||" + std::to_string(number) +
         "||1.00|1.00|0|04|Arial|12|0|" + direction + "||";
}
const std::string kStubOf1 = "|NUM|02|1|1|0|0|1|";  // row 2 repeats row 1

// A 21.50 x 28.00 cm template of those lines and one marginal text.
Template Ticket(TemplateLines lines) {
  SheetHeader sheet;
  sheet.Width = 21.5;
  sheet.Height = 28.0;
  lines.push_back("|MAR|01|Rifa|0.00|0.00|0|Arial|10|0||");
  return testing::DecodeLines(lines, sheet);
}
Template One() { return Ticket({Fol(1, 1)}); }
Template Raffle() { return Ticket({Fol(1, 1), Fol(2, 0), kStubOf1}); }

constexpr RepeatOrder kStack = RepeatOrder::CutAndStack;
constexpr RepeatOrder kAcross = RepeatOrder::AcrossSheet;

RepeatPlan Plan(int32_t columns, int32_t rows, int32_t quantity, RepeatOrder order = kStack,
                double pitchX = 5.0, double pitchY = 6.0) {
  return {std::nullopt, std::nullopt, columns, rows, pitchX, pitchY, quantity, order};
}

// The texts the tickets' numerators (stubs left out) print on sheet `sheet`
// (0-based) of a run with increment 1.
std::vector<std::string> TicketTexts(const NumeratorList& list, int64_t sheet) {
  std::vector<int64_t> numbers;
  SheetNumbers(list, 1, sheet, numbers);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (MirrorSource(list, i) == i)
      FormatListedNumeratorInto(texts.emplace_back(), list, i, static_cast<int32_t>(numbers[i]));
  return texts;
}

TEST(StepAndRepeat, EveryTicketNumberedOnceInTheOrderAsked) {
  using T = std::vector<std::string>;
  const struct {
    const char* what;
    Template doc;
    RepeatPlan plan;
    int32_t sheets;
    T first, last;  // the tickets' texts on the first and last sheet
  } cases[] = {
      {"1,000 tickets 4-up (2 x 2) cut and stack", One(), Plan(2, 2, 1000), 250,
       T{"0001", "0251", "0501", "0751"}, T{"0250", "0500", "0750", "1000"}},
      {"the same 4 x 1", One(), Plan(4, 1, 1000), 250, T{"0001", "0251", "0501", "0751"},
       T{"0250", "0500", "0750", "1000"}},
      {"raffle 5-up across the sheet with stubs", Raffle(), Plan(5, 1, 50, kAcross), 10,
       T{"0001", "0002", "0003", "0004", "0005"}, T{"0046", "0047", "0048", "0049", "0050"}},
      {"a quantity the positions do not divide, with stubs", Raffle(), Plan(1, 3, 10), 4,
       T{"0001", "0005", "0009"}, T{"0004", "0008", "0012"}},
      {"counting down from 12, 3-up", Ticket({Fol(1, 12, "R")}), Plan(3, 1, 12), 4,
       T{"0012", "0008", "0004"}, T{"0009", "0005", "0001"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Template doc = c.doc;
    const auto ticketRows = static_cast<std::size_t>(doc.Numerators().RowCount());
    ASSERT_EQ(doc.StepAndRepeat(c.plan), c.sheets);
    const NumeratorList list = doc.ToPrintJob().Numerators;
    ASSERT_EQ(list.size(), ticketRows * static_cast<std::size_t>(c.plan.Positions()));
    EXPECT_EQ(TicketTexts(list, 0), c.first);
    EXPECT_EQ(TicketTexts(list, c.sheets - 1), c.last);

    // Every number of every sheet. The ticket at position p of sheet s is
    // the rank-th from the start, rank = p x sheets + s cut and stacked
    // (each pile consecutive, the next going on after it) or s x P + p
    // across: every number appears once. Each stub prints its own ticket's.
    const int64_t first = list.front().Number, step = list.front().Reverse ? -1 : 1;
    const int64_t positions = c.plan.Positions();
    int wrong = 0;
    std::vector<int64_t> numbers;
    for (int64_t s = 0; s < c.sheets; ++s) {
      SheetNumbers(list, 1, s, numbers);
      for (std::size_t i = 0; i < list.size(); ++i) {
        const auto p = static_cast<int64_t>(i / ticketRows);
        const int64_t rank = c.plan.order == kAcross ? s * positions + p : p * c.sheets + s;
        const std::size_t source = MirrorSource(list, i);
        wrong += source / ticketRows != i / ticketRows || numbers[i] != first + step * rank;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(StepAndRepeat, ChosenRowsLandAtTheirPlacesInOneChange) {
  Template doc = Ticket({Fol(1, 1), Fol(2, 500), Fol(3, 0), "|NUM|03|1|1|0|0|1|"});
  doc.CommitCell(TemplateTable::Numerators, 0, N::kHorizontal, "1.10");
  std::vector<TemplateChange> notices;
  doc.AddListener([&](TemplateChange change) { notices.push_back(change); });
  RepeatPlan plan = Plan(4, 1, 20, kAcross, 2.15);
  plan.numeratorRows = std::vector<int>{2, 0};
  plan.marginalRows = std::vector<int>{};
  EXPECT_EQ(doc.StepAndRepeat(plan), 5);
  EXPECT_EQ(notices, std::vector<TemplateChange>{TemplateChange::Tables});
  const NumeratorTable& rows = doc.Numerators();
  ASSERT_EQ(rows.RowCount(), 9);
  EXPECT_EQ(doc.Marginals().RowCount(), 1);
  // The last copy of row 1 (1.10 + 3 x 2.15, stored as the grid stores a
  // typed 7.55) and of its stub follow the rows left alone; the copy of the
  // stub repeats the copy of its ticket.
  EXPECT_EQ(rows.Row(7), (std::vector<std::string>{"08", "", "4", "", "7.55", "1.00", "0", "04",
                                                   "Arial", "12", "0", "A", ""}));
  EXPECT_EQ(rows.Rule(8).mirror, 8);
  EXPECT_EQ(rows.Cell(8, N::kHorizontal), "7.45");
  EXPECT_EQ(rows.Rule(0).stepMultiplier, 4);
  EXPECT_EQ(rows.Rule(1).stepMultiplier, 1);  // not in the ticket
}

TEST(StepAndRepeat, RefusalsChangeNothing) {
  const auto only = [](RepeatPlan plan, std::vector<int> numerators, std::vector<int> marginals) {
    plan.numeratorRows = numerators;
    plan.marginalRows = marginals;
    return plan;
  };
  const struct {
    const char* what;
    Template doc;
    RepeatPlan plan;
    OwnMessage message;
  } cases[] = {
      {"61 numerators: 2 rows, one 60-up", Ticket({Fol(1, 1), Fol(2, 1)}),
       only(Plan(60, 1, 60, kStack, 0.3), {0}, {0}), OwnMessage::StepRepeatTooManyNumerators},
      {"off the right edge: 1.00 + 4 x 5.15", One(), Plan(5, 1, 5, kStack, 5.15),
       OwnMessage::StepRepeatOffSheet},
      {"off the foot: 1.00 + 9 x 3.01", One(), Plan(1, 10, 5, kStack, 0, 3.01),
       OwnMessage::StepRepeatOffSheet},
      {"no columns", One(), Plan(0, 2, 5), OwnMessage::StepRepeatGridInvalid},
      {"copies on top of each other", One(), Plan(2, 1, 5, kStack, 0.0),
       OwnMessage::StepRepeatPitchInvalid},
      {"a pitch that is no number", One(), Plan(2, 1, 5, kStack, NAN),
       OwnMessage::StepRepeatPitchInvalid},
      {"no tickets", One(), Plan(2, 2, 0), OwnMessage::StepRepeatQuantityInvalid},
      {"a row the table does not have", One(), only(Plan(2, 2, 4), {1}, {}),
       OwnMessage::StepRepeatRowMissing},
      {"nothing to repeat", One(), only(Plan(2, 2, 4), {}, {}), OwnMessage::StepRepeatNoRows},
      {"piles past the largest number", Ticket({Fol(1, 2000000000)}), Plan(2, 2, 2000000000),
       OwnMessage::StepRepeatNumberOutOfRange},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Template doc = c.doc;
    int notices = 0;
    doc.AddListener([&](TemplateChange) { ++notices; });
    try {
      doc.StepAndRepeat(c.plan);
      ADD_FAILURE() << "not refused";
    } catch (const ZirvoError& e) {
      // The message's text before its first argument and after its last.
      const std::string text = e.what(), expected = OwnText(c.message, "\x01", "\x01");
      EXPECT_TRUE(text.starts_with(expected.substr(0, expected.find('\x01')))) << text;
      EXPECT_TRUE(text.ends_with(expected.substr(expected.rfind('\x01') + 1))) << text;
    }
    EXPECT_TRUE(doc == c.doc);
    EXPECT_EQ(notices, 0);
  }
  // At the limits: 60 rows, the last copy on the sheet's edge (21.5025 stored as 21.50).
  Template doc = One();
  EXPECT_EQ(doc.StepAndRepeat(only(Plan(60, 1, 60, kAcross, 0.3475), {0}, {})), 1);
  EXPECT_EQ(doc.Numerators().RowCount(), 60);
  EXPECT_EQ(doc.Numerators().Cell(59, N::kHorizontal), "21.50");
}

}  // namespace
}  // namespace zirvo
