#include "template/step_repeat.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/text.h"
#include "template/cell_values.h"

namespace zirvo {
namespace {

// A moved position is committed as a user typing it would: this many
// decimals hand the cell's own rounding the value, not a rounded one.
constexpr int kCommittedDecimals = 9;

bool ValidPitch(double pitch, int32_t count) {
  return std::isfinite(pitch) && pitch >= 0.0 && pitch <= SheetHeader::kMaxLengthCm &&
         (count == 1 || pitch > 0.0);
}

// The chosen rows in table order, each once; every row for no choice.
std::vector<int> TicketRows(const std::optional<std::vector<int>>& chosen, int rowCount) {
  std::vector<int> rows;
  if (!chosen) {
    for (int r = 0; r < rowCount; ++r) rows.push_back(r);
    return rows;
  }
  rows = *chosen;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (int r : rows)
    if (r < 0 || r >= rowCount)
      throw ZirvoError(OwnText(OwnMessage::StepRepeatRowMissing, FormatInt(int64_t{r} + 1)));
  return rows;
}

void RequireRoom(const TextTable& table, std::size_t ticketRows, int32_t positions,
                 OwnMessage refusal) {
  const int64_t total =
      table.RowCount() + static_cast<int64_t>(ticketRows) * (int64_t{positions} - 1);
  if (total > TextTable::kMaxRows) throw ZirvoError(OwnText(refusal, FormatInt(total)));
}

// Appends the copies of the ticket's rows of one table, position by
// position, and moves each to its place. Returns the row of each copy:
// copies[p][t] is the copy at position p of the ticket's row t.
std::vector<std::vector<int>> PlaceCopies(TextTable& table, const std::vector<int>& ticket,
                                          const RepeatPlan& plan, const SheetHeader& sheet) {
  const TableLayout& layout = table.Layout();
  std::vector<std::vector<int>> copies{ticket};
  for (int32_t p = 1; p < plan.Positions(); ++p) {
    const int32_t column = p % plan.columns;
    const int32_t gridRow = p / plan.columns;
    const auto moved = [&](int row, int cell, double distance, double limit) {
      const double value = CellReal(table.Cell(row, cell), 0.0) + distance;
      table.CommitCell(row, cell, FormatFixed(value, kCommittedDecimals));
      const double stored = CellReal(table.Cell(row, cell), 0.0);
      if (!(stored >= 0.0 && stored <= limit))
        throw ZirvoError(
            OwnText(OwnMessage::StepRepeatOffSheet, FormatInt(column + 1), FormatInt(gridRow + 1)));
    };
    std::vector<int>& rows = copies.emplace_back();
    for (int source : ticket) {
      table.AppendCopyOf(source);
      const int row = table.RowCount() - 1;
      moved(row, layout.horizontalCell, column * plan.pitchX, sheet.Width);
      moved(row, layout.verticalCell, gridRow * plan.pitchY, sheet.Height);
      rows.push_back(row);
    }
  }
  return copies;
}

// Where copy p of a numerator starts, and its rule. Numbers are worked out
// for a run with increment 1.
struct CopyStart {
  int64_t number = 0;
  NumberingRule rule;
};

CopyStart StartOfCopy(const Numerator& n, const RepeatPlan& plan, int32_t sheets, int32_t p) {
  CopyStart start{n.Number, n.Rule};
  const int64_t step = n.Rule.stepMultiplier;
  int64_t offset = 0;
  if (plan.order == RepeatOrder::AcrossSheet) {
    offset = p * step;
    start.rule.stepMultiplier = static_cast<int32_t>(
        std::min<int64_t>(step * plan.Positions(), int64_t{NumberingRule::kMaxFactor} + 1));
  } else if (n.Rule.cycle == 0) {
    // Each pile goes on after every number the piles before it print; a
    // cycling numerator (a page in its book) counts the same in every pile.
    offset = p * RuleDistinctNumbers(n.Rule, sheets) * step;
  }
  start.number = n.Reverse ? n.Number - offset : n.Number + offset;
  return start;
}

void RequireInRange(const Numerator& n, const CopyStart& start, int32_t sheets) {
  const int64_t last = RuleNumber(start.number, n.Reverse, start.rule, 1, int64_t{sheets} - 1);
  for (int64_t number : {start.number, last})
    if (number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max())
      throw ZirvoError(OwnText(OwnMessage::StepRepeatNumberOutOfRange, FormatInt(n.Position)));
}

// The numbers and rules of the numerators' copies: rows that print their
// own number first, then the stubs, which must find their source's copy
// already numbered.
void NumberCopies(NumeratorTable& table, const NumeratorList& records,
                  const std::vector<int>& ticket, const std::vector<std::vector<int>>& copies,
                  const RepeatPlan& plan, int32_t sheets) {
  for (std::size_t p = 0; p < copies.size(); ++p) {
    for (std::size_t t = 0; t < ticket.size(); ++t) {
      const Numerator& n = records[static_cast<std::size_t>(ticket[t])];
      if (n.Rule.mirror != 0) continue;
      const CopyStart start = StartOfCopy(n, plan, sheets, static_cast<int32_t>(p));
      RequireInRange(n, start, sheets);
      const int row = copies[p][t];
      table.CommitCell(row, NumeratorTable::kNumber, FormatInt(start.number));
      table.SetRule(row, start.rule);
    }
  }
  for (std::size_t p = 1; p < copies.size(); ++p) {
    for (std::size_t t = 0; t < ticket.size(); ++t) {
      NumberingRule rule = records[static_cast<std::size_t>(ticket[t])].Rule;
      if (rule.mirror == 0) continue;
      // A stub of a numerator outside the ticket keeps repeating that one.
      const auto source = std::find(ticket.begin(), ticket.end(), rule.mirror - 1);
      if (source != ticket.end())
        rule.mirror = copies[p][static_cast<std::size_t>(source - ticket.begin())] + 1;
      table.SetRule(copies[p][t], rule);
    }
  }
}

}  // namespace

void RequireValidRepeatPlan(const RepeatPlan& plan) {
  const auto side = [](int32_t count) { return count >= 1 && count <= RepeatPlan::kMaxSide; };
  if (!side(plan.columns) || !side(plan.rows))
    throw ZirvoError(OwnText(OwnMessage::StepRepeatGridInvalid));
  if (!ValidPitch(plan.pitchX, plan.columns) || !ValidPitch(plan.pitchY, plan.rows))
    throw ZirvoError(OwnText(OwnMessage::StepRepeatPitchInvalid));
  if (plan.quantity < 1) throw ZirvoError(OwnText(OwnMessage::StepRepeatQuantityInvalid));
}

int32_t RepeatSheets(const RepeatPlan& plan) {
  const int64_t positions = plan.Positions();
  return static_cast<int32_t>((int64_t{plan.quantity} + positions - 1) / positions);
}

void RepeatTicket(const RepeatPlan& plan, const SheetHeader& sheet, NumeratorTable& numerators,
                  MarginalTable& marginals) {
  RequireValidRepeatPlan(plan);
  const std::vector<int> numeratorTicket = TicketRows(plan.numeratorRows, numerators.RowCount());
  const std::vector<int> marginalTicket = TicketRows(plan.marginalRows, marginals.RowCount());
  if (numeratorTicket.empty() && marginalTicket.empty())
    throw ZirvoError(OwnText(OwnMessage::StepRepeatNoRows));
  RequireRoom(numerators, numeratorTicket.size(), plan.Positions(),
              OwnMessage::StepRepeatTooManyNumerators);
  RequireRoom(marginals, marginalTicket.size(), plan.Positions(),
              OwnMessage::StepRepeatTooManyMarginals);

  // The records as they were: starts, directions and rules of the ticket.
  const NumeratorList records = numerators.ExportRecords();
  const auto copies = PlaceCopies(numerators, numeratorTicket, plan, sheet);
  PlaceCopies(marginals, marginalTicket, plan, sheet);
  NumberCopies(numerators, records, numeratorTicket, copies, plan, RepeatSheets(plan));
}

}  // namespace zirvo
