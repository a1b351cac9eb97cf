// The template document: the sheet header, the numerator rows, the
// marginal-text rows and the background image reference of the template
// being edited. Every change goes through one of its operations, and each
// operation that changes something tells the listeners once, saying what
// changed. The editors, the preview and the print page are views of it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/bitmap.h"
#include "template/background_alignment.h"
#include "template/marginal_table.h"
#include "template/numerator_table.h"
#include "template/print_job.h"
#include "template/records.h"
#include "template/step_repeat.h"

namespace zirvo {

// The two tables of a template.
enum class TemplateTable { Numerators, Marginals };

// What an operation changed. Tables: the rows of both tables at once.
enum class TemplateChange { Everything, Header, Numerators, Marginals, Background, Tables };

// The background image the preview shows under the sheet and the print page
// may print. It is never written to the template file; the screen that
// decodes the JPEG hands the decoded bitmap over.
struct BackgroundImage {
  std::string path;                      // the JPEG the bitmap was decoded from
  std::shared_ptr<const Bitmap> bitmap;  // null: no image
  bool print = false;                    // the print-the-image box

  bool Present() const { return bitmap != nullptr; }
  bool operator==(const BackgroundImage&) const = default;
};

// One item on the sheet: a row of one of the tables.
struct ItemRef {
  TemplateTable table = TemplateTable::Numerators;
  int row = 0;
  auto operator<=>(const ItemRef&) const = default;
};

// Where MoveItems puts an item, in cm.
struct ItemPosition {
  ItemRef item;
  double horizontal = 0.0;
  double vertical = 0.0;
};

class Template {
 public:
  using Listener = std::function<void(TemplateChange)>;

  // Groups the operations made while it lives into one change: the
  // listeners hear of each kind of change once, when the outermost group
  // ends, so that an undo history sees one step.
  class Step {
   public:
    explicit Step(Template& doc);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    Template& doc_;
  };

  Template() = default;
  // A document holding that content (the codec's result), no background.
  Template(SheetHeader header, NumeratorTable numerators, MarginalTable marginals);
  // Copies carry the content only: listeners stay with their document.
  Template(const Template& other);
  Template& operator=(const Template& other);

  const SheetHeader& Header() const { return header_; }
  const NumeratorTable& Numerators() const { return numerators_; }
  const MarginalTable& Marginals() const { return marginals_; }
  const TextTable& Table(TemplateTable table) const;
  const BackgroundImage& Background() const { return background_; }
  // Where the background scan lies on the sheet; none: stretched over it.
  // Saved with the template, kept when the image changes or goes.
  const std::optional<BackgroundAlignment>& Alignment() const { return alignment_; }
  // The numbering series the register keeps this template's runs under (see
  // series.h): 32 lowercase hexadecimal digits, or empty when the template
  // carries none and is known by its file.
  const std::string& Series() const { return series_; }

  // Equal content: header, series, every cell of both tables and the background.
  bool operator==(const Template& other) const;
  // Equal but for what names the template's file: its name, folder and series.
  bool SameEdits(const Template& other) const;

  // Listeners are called after each change, in the order they were added.
  // Returns the id that RemoveListener takes.
  int AddListener(Listener listener);
  void RemoveListener(int id);

  // ---- whole-document operations (TemplateChange::Everything)
  // A fresh template: the header of a new template with that name and size,
  // no rows, no background, no series. The header's Int1 is kept.
  void StartNew(const std::string& name, double width, double height);
  // No rows, no background and no series; the header is kept.
  void Clear();
  // The content of `loaded` (header, series, rows) replaces this one's; no background.
  void Replace(const Template& loaded);

  // ---- header operations (TemplateChange::Header)
  // Every header field as after a reset; Int1 is kept.
  void ResetHeader();
  void SetSheetSize(double width, double height);
  // The name (cut to 80 characters) and folder the template is known by.
  void SetIdentity(const std::string& name, const std::string& folder);
  // The series, stored in lowercase, or none (empty). False, nothing changed
  // and nobody told, for a text that is neither empty nor 32 hexadecimal digits.
  bool SetSeries(std::string_view series);

  // ---- row operations (TemplateChange::Numerators or ::Marginals)
  // Appends a row with the defaults; false (nothing changed, nobody told) at 60 rows.
  bool AddRow(TemplateTable table);
  // Removes a row and renumbers the rest; returns the row current afterwards
  // (-1 when the table is empty). An index out of range changes nothing.
  int DeleteRow(TemplateTable table, int row);
  // Stores an edited value by the cell's rule. Throws ConversionError (or
  // ZirvoError for a "|" or a line end) and leaves the cell unchanged.
  void CommitCell(TemplateTable table, int row, int cell, std::string_view text);
  // Gives a row a barcode or takes it away (nullopt). Throws ZirvoError and
  // changes nothing for a setting a template cannot store or a text the
  // symbology cannot carry.
  void SetBarcode(TemplateTable table, int row, const std::optional<BarcodeSetting>& setting);
  // Gives a numerator row a numbering rule (see numbering_rule.h). Throws
  // ZirvoError and changes nothing for a rule the row cannot take (see
  // NumeratorTable::SetRule); the same rule again changes nothing.
  void SetNumberingRule(int row, const NumberingRule& rule);
  // Adds k to every numerator's number; throws and changes nothing when one
  // does not convert, leaves the 32-bit range or no longer fits its barcode.
  void ApplyIncrement(int32_t k);
  // Moves every numerator on to the number it would print on the sheet after
  // `sheets` sheets of a run with that increment (down for one counting
  // down); throws and changes nothing when one does not convert, leaves the
  // 32-bit range or no longer fits its barcode.
  void AdvanceNumerators(int32_t sheets, int32_t increment);
  // Copies the rows of one ticket over the plan's grid (see step_repeat.h)
  // and returns the sheets the run needs. One change (TemplateChange::Tables)
  // for both tables; throws ZirvoError and changes nothing for a plan the
  // template cannot take (a bad grid, pitch or quantity, more than 60 rows
  // in a table, a copy off the sheet, numbers out of range).
  int32_t StepAndRepeat(const RepeatPlan& plan);
  // Moves every row of a table by dx, dy cm; throws and changes nothing when
  // a position does not convert.
  void ApplyDisplacement(TemplateTable table, double dx, double dy);
  // Stores each item's new position as a typed value is stored (the
  // position cells' commit rule), all as one change. Throws and changes
  // nothing when one is refused or names a row the table lacks.
  void MoveItems(const std::vector<ItemPosition>& moves);

  // ---- background operations (TemplateChange::Background)
  // A newly decoded image; its print box starts unticked.
  void SetBackground(const std::string& path, std::shared_ptr<const Bitmap> bitmap);
  void SetPrintBackground(bool print);
  void ClearBackground();
  // A new alignment, or none. Throws ZirvoError for one ValidAlignment refuses.
  void SetAlignment(const std::optional<BackgroundAlignment>& alignment);

  // ---- history
  // Takes the content of `snapshot` but what names the file (name, folder,
  // series), telling the listeners once for each kind of content that differs.
  void RestoreEdits(const Template& snapshot);

  // The record for the preview and the print page: a copy of the header, the
  // series, the exported rows and, when the image is present and its box ticked, the
  // background to print. Throws ConversionError for a cell that does not convert.
  PrintJob ToPrintJob() const;

 private:
  TextTable& MutableTable(TemplateTable table);
  void Notify(TemplateChange change);

  SheetHeader header_;
  std::string series_;
  NumeratorTable numerators_;
  MarginalTable marginals_;
  BackgroundImage background_;
  std::optional<BackgroundAlignment> alignment_;

  std::vector<std::pair<int, Listener>> listeners_;
  // Open Step guards and the changes they hold back, each kind once.
  int stepDepth_ = 0;
  std::vector<TemplateChange> heldBack_;
  int nextListenerId_ = 1;
};

}  // namespace zirvo
