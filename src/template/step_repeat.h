// Step and repeat: the rows that make one ticket (numerators and marginal
// texts) copied over a grid of positions on the sheet, with the start
// numbers and rules that number a given quantity of tickets in the order the
// printed sheets will be handled: cut into piles, or read across the sheet.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "template/marginal_table.h"
#include "template/numerator_table.h"
#include "template/records.h"

namespace zirvo {

enum class RepeatOrder {
  // Each position's pile, once the sheets are cut and stacked, runs on
  // without a gap from the previous pile's last number.
  CutAndStack,
  // The positions of one sheet carry consecutive numbers, the next sheet
  // going on after them.
  AcrossSheet,
};

struct RepeatPlan {
  static constexpr int32_t kMaxSide = 60;

  // The rows of one ticket, 0-based; nothing: every row of the table.
  std::optional<std::vector<int>> numeratorRows;
  std::optional<std::vector<int>> marginalRows;
  int32_t columns = 1;
  int32_t rows = 1;
  double pitchX = 0.0;   // cm from one column to the next
  double pitchY = 0.0;   // cm from one row to the next
  int32_t quantity = 1;  // tickets to number
  RepeatOrder order = RepeatOrder::CutAndStack;

  // The ticket positions of one sheet: columns x rows.
  int32_t Positions() const { return columns * rows; }
  bool operator==(const RepeatPlan&) const = default;
};

// Throws ZirvoError for a grid, pitch or quantity the plan may not have.
void RequireValidRepeatPlan(const RepeatPlan& plan);

// The sheets a run needs to number the plan's quantity of tickets:
// quantity / positions, rounded up. The plan must be valid.
int32_t RepeatSheets(const RepeatPlan& plan);

// Writes the copies of the ticket's rows into the tables: copy p (0 is the
// rows themselves; p = row x columns + column) sits p's column x pitchX and
// row x pitchY further right and down, its numerators starting where the
// order needs (for a run with increment 1) and a stub's copy repeating its
// own copy's ticket numerator. Throws ZirvoError, the tables then left
// half-written, for a plan the template cannot take: the caller works on
// copies of its tables.
void RepeatTicket(const RepeatPlan& plan, const SheetHeader& sheet, NumeratorTable& numerators,
                  MarginalTable& marginals);

}  // namespace zirvo
