// Step and repeat: every number every sheet of the run prints, worked out
// from the written template as a run works it out; where the copies land;
// refusals that leave the document as it was.
#include "template/step_repeat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/messages.h"
#include "template/template.h"

namespace zirvo {
namespace {

using N = NumeratorTable;
using M = MarginalTable;

// A 21.50 x 28.00 cm template with one numerator per entry of `starts`
// (mask 4, at 1.00, 1.00), a stub of numerator 1 when asked, and one
// marginal text.
Template Ticket(std::vector<int32_t> starts, bool stub = false, bool reverse = false) {
  Template doc;
  doc.StartNew("Boletos", 21.5, 28.0);
  for (int32_t start : starts) {
    doc.AddRow(TemplateTable::Numerators);
    const int row = doc.Numerators().RowCount() - 1;
    doc.CommitCell(TemplateTable::Numerators, row, N::kNumber, std::to_string(start));
    doc.CommitCell(TemplateTable::Numerators, row, N::kHorizontal, "1.00");
    doc.CommitCell(TemplateTable::Numerators, row, N::kVertical, "1.00");
    if (reverse) doc.CommitCell(TemplateTable::Numerators, row, N::kDirection, "");
  }
  if (stub) {
    doc.AddRow(TemplateTable::Numerators);
    NumberingRule mirror;
    mirror.mirror = 1;
    doc.SetNumberingRule(doc.Numerators().RowCount() - 1, mirror);
  }
  doc.AddRow(TemplateTable::Marginals);
  doc.CommitCell(TemplateTable::Marginals, 0, M::kText, "Rifa");
  return doc;
}

RepeatPlan Plan(int32_t columns, int32_t rows, int32_t quantity, RepeatOrder order) {
  RepeatPlan plan;
  plan.columns = columns;
  plan.rows = rows;
  plan.pitchX = 5.0;
  plan.pitchY = 6.0;
  plan.quantity = quantity;
  plan.order = order;
  return plan;
}

// The texts the numerators print on sheet `sheet` (0-based) of a run with increment 1.
std::vector<std::string> SheetTexts(const NumeratorList& list, int64_t sheet) {
  std::vector<int64_t> numbers;
  SheetNumbers(list, 1, sheet, numbers);
  std::vector<std::string> texts(list.size());
  for (std::size_t i = 0; i < list.size(); ++i)
    FormatListedNumeratorInto(texts[i], list, i, static_cast<int32_t>(numbers[i]));
  return texts;
}

TEST(StepAndRepeat, EveryTicketNumberedOnceInTheOrderAsked) {
  const struct {
    const char* what;
    Template doc;
    RepeatPlan plan;
    int32_t sheets;
    std::vector<std::string> first, last;  // numerators' texts on the first and last sheet
  } cases[] = {
      {"1,000 tickets 4-up (2 x 2) cut and stack",
       Ticket({1}),
       Plan(2, 2, 1000, RepeatOrder::CutAndStack),
       250,
       {"0001", "0251", "0501", "0751"},
       {"0250", "0500", "0750", "1000"}},
      {"the same 4 x 1",
       Ticket({1}),
       Plan(4, 1, 1000, RepeatOrder::CutAndStack),
       250,
       {"0001", "0251", "0501", "0751"},
       {"0250", "0500", "0750", "1000"}},
      {"raffle 5-up across the sheet with stubs",
       Ticket({1}, true),
       Plan(5, 1, 50, RepeatOrder::AcrossSheet),
       10,
       {"0001", "0001", "0002", "0002", "0003", "0003", "0004", "0004", "0005", "0005"},
       {"0046", "0046", "0047", "0047", "0048", "0048", "0049", "0049", "0050", "0050"}},
      {"a quantity the positions do not divide, stubs cut and stacked",
       Ticket({1}, true),
       Plan(1, 3, 10, RepeatOrder::CutAndStack),
       4,
       {"0001", "0001", "0005", "0005", "0009", "0009"},
       {"0004", "0004", "0008", "0008", "0012", "0012"}},
      {"counting down from 12, 3-up cut and stack",
       Ticket({12}, false, true),
       Plan(3, 1, 12, RepeatOrder::CutAndStack),
       4,
       {"0012", "0008", "0004"},
       {"0009", "0005", "0001"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Template doc = c.doc;
    const int32_t ticketRows = doc.Numerators().RowCount();
    ASSERT_EQ(doc.StepAndRepeat(c.plan), c.sheets);
    const NumeratorList list = doc.ToPrintJob().Numerators;
    ASSERT_EQ(list.size(), static_cast<std::size_t>(ticketRows * c.plan.Positions()));
    EXPECT_EQ(SheetTexts(list, 0), c.first);
    EXPECT_EQ(SheetTexts(list, c.sheets - 1), c.last);

    // Every number of every sheet: the tickets' numbers by position, each
    // stub the same as its ticket on the same sheet.
    std::vector<std::vector<int64_t>> piles(static_cast<std::size_t>(c.plan.Positions()));
    std::map<int64_t, int> seen;
    std::vector<int64_t> numbers;
    for (int64_t s = 0; s < c.sheets; ++s) {
      SheetNumbers(list, 1, s, numbers);
      for (std::size_t i = 0; i < list.size(); ++i) {
        const std::size_t source = MirrorSource(list, i);
        if (source != i) {
          EXPECT_EQ(numbers[i], numbers[source]) << "stub " << i << " sheet " << s;
          continue;
        }
        piles[i / static_cast<std::size_t>(ticketRows)].push_back(numbers[i]);
        ++seen[numbers[i]];
      }
    }
    for (int64_t n = 1; n <= c.plan.quantity; ++n) EXPECT_EQ(seen[n], 1) << n;
    // Cut and stack: each pile consecutive, the next pile going on after
    // it. Across: the positions of a sheet consecutive, sheet after sheet.
    const bool down = list.front().Reverse;
    std::vector<int64_t> order;
    if (c.plan.order == RepeatOrder::CutAndStack) {
      for (const auto& pile : piles) order.insert(order.end(), pile.begin(), pile.end());
    } else {
      for (int64_t s = 0; s < c.sheets; ++s)
        for (const auto& pile : piles) order.push_back(pile[static_cast<std::size_t>(s)]);
    }
    for (std::size_t k = 1; k < order.size(); ++k)
      ASSERT_EQ(order[k], order[k - 1] + (down ? -1 : 1)) << k;
  }
}

TEST(StepAndRepeat, CopiesLandAtTheirPlacesAsTheGridStoresThem) {
  Template doc = Ticket({1});
  doc.CommitCell(TemplateTable::Numerators, 0, N::kHorizontal, "1.10");
  doc.CommitCell(TemplateTable::Marginals, 0, M::kVertical, "0.35");
  RepeatPlan plan = Plan(4, 2, 8, RepeatOrder::CutAndStack);
  plan.pitchX = 2.15;
  plan.pitchY = 0.13;
  doc.StepAndRepeat(plan);
  const struct {
    TemplateTable table;
    int row;
    int horizontal, vertical;
    const char* x;
    const char* y;
  } cases[] = {
      {TemplateTable::Numerators, 0, N::kHorizontal, N::kVertical, "1.10", "1.00"},
      {TemplateTable::Numerators, 3, N::kHorizontal, N::kVertical, "7.55", "1.00"},
      {TemplateTable::Numerators, 4, N::kHorizontal, N::kVertical, "1.10", "1.13"},
      {TemplateTable::Numerators, 7, N::kHorizontal, N::kVertical, "7.55", "1.13"},
      {TemplateTable::Marginals, 5, M::kHorizontal, M::kVertical, "2.15", "0.48"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    const TextTable& table = doc.Table(c.table);
    EXPECT_EQ(table.Cell(c.row, c.horizontal), c.x);
    EXPECT_EQ(table.Cell(c.row, c.vertical), c.y);
    EXPECT_EQ(table.Cell(c.row, 0), (c.row < 9 ? "0" : "") + std::to_string(c.row + 1));
  }
  EXPECT_EQ(doc.Marginals().Cell(7, M::kText), "Rifa");
}

TEST(StepAndRepeat, ChosenRowsOnlyAndOneNotice) {
  Template doc = Ticket({1, 500}, true);  // rows: ticket, book, stub of the ticket
  std::vector<TemplateChange> notices;
  doc.AddListener([&](TemplateChange change) { notices.push_back(change); });
  RepeatPlan plan = Plan(2, 1, 20, RepeatOrder::AcrossSheet);
  plan.numeratorRows = std::vector<int>{2, 0};
  plan.marginalRows = std::vector<int>{};
  EXPECT_EQ(doc.StepAndRepeat(plan), 10);
  EXPECT_EQ(notices, std::vector<TemplateChange>{TemplateChange::Tables});
  ASSERT_EQ(doc.Numerators().RowCount(), 5);
  EXPECT_EQ(doc.Marginals().RowCount(), 1);
  // The copies of row 1 and its stub (row 3) follow the rows left alone;
  // the copy of the stub repeats the copy of its ticket.
  EXPECT_EQ(doc.Numerators().Cell(3, N::kNumber), "2");
  EXPECT_EQ(doc.Numerators().Rule(4).mirror, 4);
  EXPECT_EQ(doc.Numerators().Rule(0).stepMultiplier, 2);
  EXPECT_EQ(doc.Numerators().Rule(1).stepMultiplier, 1);  // not in the ticket
}

TEST(StepAndRepeat, RefusalsChangeNothing) {
  const auto with = [](std::function<void(RepeatPlan&)> change) {
    RepeatPlan plan = Plan(2, 2, 100, RepeatOrder::CutAndStack);
    change(plan);
    return plan;
  };
  const auto rows = [](int numerators, int marginals) {
    Template doc = Ticket(std::vector<int32_t>(static_cast<std::size_t>(numerators), 1));
    for (int m = 1; m < marginals; ++m) doc.AddRow(TemplateTable::Marginals);
    return doc;
  };
  const struct {
    const char* what;
    Template doc;
    RepeatPlan plan;
    OwnMessage message;
  } cases[] = {
      {"61 numerators: 2 rows, one of them 60-up", rows(2, 0), with([](RepeatPlan& p) {
         p.columns = 60, p.rows = 1, p.pitchX = 0.3, p.numeratorRows = std::vector<int>{0};
       }),
       OwnMessage::StepRepeatTooManyNumerators},
      {"61 marginal texts: 16 rows, 15 of them 4-up", rows(1, 16), with([](RepeatPlan& p) {
         p.numeratorRows = std::vector<int>{};
         p.marginalRows = std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
       }),
       OwnMessage::StepRepeatTooManyMarginals},
      {"off the sheet's right edge: 1.00 + 4 x 5.15", Ticket({1}),
       with([](RepeatPlan& p) { p.columns = 5, p.rows = 1, p.pitchX = 5.15; }),
       OwnMessage::StepRepeatOffSheet},
      {"off the sheet's foot: 1.00 + 9 x 3.01", Ticket({1}),
       with([](RepeatPlan& p) { p.columns = 1, p.rows = 10, p.pitchY = 3.01; }),
       OwnMessage::StepRepeatOffSheet},
      {"no columns", Ticket({1}), with([](RepeatPlan& p) { p.columns = 0; }),
       OwnMessage::StepRepeatGridInvalid},
      {"61 rows of grid", Ticket({1}), with([](RepeatPlan& p) { p.rows = 61; }),
       OwnMessage::StepRepeatGridInvalid},
      {"copies on top of each other", Ticket({1}), with([](RepeatPlan& p) { p.pitchX = 0.0; }),
       OwnMessage::StepRepeatPitchInvalid},
      {"a pitch to the left", Ticket({1}), with([](RepeatPlan& p) { p.pitchY = -1.0; }),
       OwnMessage::StepRepeatPitchInvalid},
      {"a pitch that is no number", Ticket({1}), with([](RepeatPlan& p) { p.pitchX = NAN; }),
       OwnMessage::StepRepeatPitchInvalid},
      {"no tickets", Ticket({1}), with([](RepeatPlan& p) { p.quantity = 0; }),
       OwnMessage::StepRepeatQuantityInvalid},
      {"a row the table does not have", Ticket({1}),
       with([](RepeatPlan& p) { p.numeratorRows = std::vector<int>{1}; }),
       OwnMessage::StepRepeatRowMissing},
      {"nothing to repeat", Ticket({1}), with([](RepeatPlan& p) {
         p.numeratorRows = std::vector<int>{};
         p.marginalRows = std::vector<int>{};
       }),
       OwnMessage::StepRepeatNoRows},
      {"piles past the largest number", Ticket({2000000000}),
       with([](RepeatPlan& p) { p.quantity = 2000000000; }),
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
      // The message's text around its arguments.
      const std::string text = e.what();
      const std::string expected = OwnText(c.message, "\x01", "\x01");
      const std::size_t first = expected.find('\x01'), last = expected.rfind('\x01');
      EXPECT_TRUE(text.starts_with(expected.substr(0, first))) << text;
      if (last != std::string::npos) {
        EXPECT_TRUE(text.ends_with(expected.substr(last + 1))) << text;
      }
    }
    EXPECT_TRUE(doc == c.doc);
    EXPECT_EQ(notices, 0);
  }
}

TEST(StepAndRepeat, TheLastRowsAndTheSheetsEdgesAreTaken) {
  Template doc = Ticket({1});
  RepeatPlan plan = Plan(60, 1, 60, RepeatOrder::AcrossSheet);
  plan.pitchX = 0.35;  // the last copy at 1.00 + 59 x 0.35 = 21.65: past 21.50
  EXPECT_THROW(doc.StepAndRepeat(plan), ZirvoError);
  plan.pitchX = 0.3475;  // 21.5025: stored as 21.50, the sheet's edge
  plan.marginalRows = std::vector<int>{};
  EXPECT_EQ(doc.StepAndRepeat(plan), 1);
  EXPECT_EQ(doc.Numerators().RowCount(), 60);
  EXPECT_EQ(doc.Numerators().Cell(59, N::kHorizontal), "21.50");
  EXPECT_EQ(doc.Numerators().Rule(59).stepMultiplier, 60);
}

}  // namespace
}  // namespace zirvo
