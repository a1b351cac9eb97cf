#include "template/template.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>

#include "base/messages.h"
#include "base/text.h"
#include "template/series.h"
#include "template/template_file.h"

namespace zirvo {

Template::Template(SheetHeader header, NumeratorTable numerators, MarginalTable marginals)
    : header_(std::move(header)),
      numerators_(std::move(numerators)),
      marginals_(std::move(marginals)) {}

Template::Template(const Template& other)
    : header_(other.header_),
      series_(other.series_),
      numerators_(other.numerators_),
      marginals_(other.marginals_),
      background_(other.background_),
      alignment_(other.alignment_) {}

Template& Template::operator=(const Template& other) {
  if (this != &other) {
    header_ = other.header_;
    series_ = other.series_;
    numerators_ = other.numerators_;
    marginals_ = other.marginals_;
    background_ = other.background_;
    alignment_ = other.alignment_;
  }
  return *this;
}

bool Template::operator==(const Template& other) const {
  return header_ == other.header_ && series_ == other.series_ && alignment_ == other.alignment_ &&
         numerators_.Rows() == other.numerators_.Rows() &&
         marginals_.Rows() == other.marginals_.Rows() &&
         numerators_.Barcodes() == other.numerators_.Barcodes() &&
         numerators_.Rules() == other.numerators_.Rules() &&
         marginals_.Barcodes() == other.marginals_.Barcodes() && background_ == other.background_;
}

bool Template::SameEdits(const Template& other) const {
  Template named = other;
  named.header_.Name = header_.Name;
  named.header_.Folder = header_.Folder;
  named.series_ = series_;
  return *this == named;
}

Template::Step::Step(Template& doc) : doc_(doc) { ++doc_.stepDepth_; }

Template::Step::~Step() {
  if (--doc_.stepDepth_ > 0) return;
  const std::vector<TemplateChange> changes = std::move(doc_.heldBack_);
  doc_.heldBack_.clear();
  const bool everything =
      std::find(changes.begin(), changes.end(), TemplateChange::Everything) != changes.end();
  if (everything) {
    doc_.Notify(TemplateChange::Everything);
    return;
  }
  for (const TemplateChange change : changes) doc_.Notify(change);
}

const TextTable& Template::Table(TemplateTable table) const {
  if (table == TemplateTable::Numerators) return numerators_;
  return marginals_;
}

TextTable& Template::MutableTable(TemplateTable table) {
  if (table == TemplateTable::Numerators) return numerators_;
  return marginals_;
}

int Template::AddListener(Listener listener) {
  const int id = nextListenerId_++;
  listeners_.emplace_back(id, std::move(listener));
  return id;
}

void Template::RemoveListener(int id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void Template::Notify(TemplateChange change) {
  if (stepDepth_ > 0) {
    if (std::find(heldBack_.begin(), heldBack_.end(), change) == heldBack_.end())
      heldBack_.push_back(change);
    return;
  }
  // A listener may add or remove listeners: call a copy of the list.
  const auto listeners = listeners_;
  for (const auto& entry : listeners) entry.second(change);
}

void Template::StartNew(const std::string& name, double width, double height) {
  StartNewSheetHeader(header_, name, width, height);
  series_.clear();
  numerators_.Clear();
  marginals_.Clear();
  background_ = {};
  alignment_.reset();
  Notify(TemplateChange::Everything);
}

void Template::Clear() {
  series_.clear();
  numerators_.Clear();
  marginals_.Clear();
  background_ = {};
  alignment_.reset();
  Notify(TemplateChange::Everything);
}

void Template::Replace(const Template& loaded) {
  header_ = loaded.header_;
  series_ = loaded.series_;
  numerators_ = loaded.numerators_;
  marginals_ = loaded.marginals_;
  background_ = {};
  alignment_ = loaded.alignment_;
  Notify(TemplateChange::Everything);
}

void Template::ResetHeader() {
  ResetSheetHeader(header_);
  Notify(TemplateChange::Header);
}

void Template::SetSheetSize(double width, double height) {
  header_.Width = width;
  header_.Height = height;
  Notify(TemplateChange::Header);
}

void Template::SetIdentity(const std::string& name, const std::string& folder) {
  header_.SetName(name);
  header_.Folder = folder;
  Notify(TemplateChange::Header);
}

bool Template::SetSeries(std::string_view series) {
  if (!series.empty() && !IsSeriesText(series)) return false;
  series_ = series;
  std::transform(series_.begin(), series_.end(), series_.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  Notify(TemplateChange::Header);
  return true;
}

namespace {

TemplateChange ChangeOf(TemplateTable table) {
  return table == TemplateTable::Numerators ? TemplateChange::Numerators
                                            : TemplateChange::Marginals;
}

}  // namespace

bool Template::AddRow(TemplateTable table) {
  if (!MutableTable(table).AddRow()) return false;
  Notify(ChangeOf(table));
  return true;
}

int Template::DeleteRow(TemplateTable table, int row) {
  TextTable& rows = MutableTable(table);
  const bool inRange = row >= 0 && row < rows.RowCount();
  const int current = rows.DeleteRow(row);
  if (inRange) Notify(ChangeOf(table));
  return current;
}

void Template::CommitCell(TemplateTable table, int row, int cell, std::string_view text) {
  MutableTable(table).CommitCell(row, cell, text);
  Notify(ChangeOf(table));
}

void Template::SetBarcode(TemplateTable table, int row,
                          const std::optional<BarcodeSetting>& setting) {
  MutableTable(table).SetBarcode(row, setting);
  Notify(ChangeOf(table));
}

void Template::SetNumberingRule(int row, const NumberingRule& rule) {
  if (numerators_.Rule(row) == rule) return;
  numerators_.SetRule(row, rule);
  Notify(TemplateChange::Numerators);
}

void Template::ApplyIncrement(int32_t k) {
  numerators_.ApplyIncrement(k);
  Notify(TemplateChange::Numerators);
}

void Template::AdvanceNumerators(int32_t sheets, int32_t increment) {
  numerators_.AdvanceNumbers(sheets, increment);
  Notify(TemplateChange::Numerators);
}

int32_t Template::StepAndRepeat(const RepeatPlan& plan) {
  NumeratorTable numerators = numerators_;
  MarginalTable marginals = marginals_;
  RepeatTicket(plan, header_, numerators, marginals);
  const bool changed = numerators.Rows() != numerators_.Rows() ||
                       numerators.Rules() != numerators_.Rules() ||
                       marginals.Rows() != marginals_.Rows();
  if (changed) {
    numerators_ = std::move(numerators);
    marginals_ = std::move(marginals);
    Notify(TemplateChange::Tables);
  }
  return RepeatSheets(plan);
}

void Template::ApplyDisplacement(TemplateTable table, double dx, double dy) {
  MutableTable(table).ApplyDisplacement(dx, dy);
  Notify(ChangeOf(table));
}

namespace {

// A text the position cells' rule reads back as exactly `value`.
std::string ExactText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

void Template::MoveItems(const std::vector<ItemPosition>& moves) {
  // The moves are made on copies, so that a refused one changes nothing.
  NumeratorTable numerators = numerators_;
  MarginalTable marginals = marginals_;
  bool moved[2] = {false, false};
  for (const ItemPosition& move : moves) {
    TextTable& rows = move.item.table == TemplateTable::Numerators
                          ? static_cast<TextTable&>(numerators)
                          : static_cast<TextTable&>(marginals);
    if (move.item.row < 0 || move.item.row >= rows.RowCount())
      throw std::out_of_range("no such row");
    rows.CommitCell(move.item.row, rows.Layout().horizontalCell, ExactText(move.horizontal));
    rows.CommitCell(move.item.row, rows.Layout().verticalCell, ExactText(move.vertical));
    moved[move.item.table == TemplateTable::Numerators ? 0 : 1] = true;
  }
  const Step step(*this);
  if (moved[0] && numerators.Rows() != numerators_.Rows()) {
    numerators_ = std::move(numerators);
    Notify(TemplateChange::Numerators);
  }
  if (moved[1] && marginals.Rows() != marginals_.Rows()) {
    marginals_ = std::move(marginals);
    Notify(TemplateChange::Marginals);
  }
}

void Template::SetAlignment(const std::optional<BackgroundAlignment>& alignment) {
  if (alignment && !ValidAlignment(*alignment))
    throw ZirvoError(OwnText(OwnMessage::AlignmentInvalid));
  alignment_ = alignment;
  Notify(TemplateChange::Background);
}

void Template::RestoreEdits(const Template& snapshot) {
  // Everything but what names the file comes back, whatever a table holds;
  // every view hears of each kind of content once.
  const Step step(*this);
  const std::string name = header_.Name;
  const std::string folder = header_.Folder;
  const std::string series = series_;
  *this = snapshot;
  header_.Name = name;
  header_.Folder = folder;
  series_ = series;
  for (const TemplateChange change : {TemplateChange::Header, TemplateChange::Numerators,
                                      TemplateChange::Marginals, TemplateChange::Background})
    Notify(change);
}

void Template::SetBackground(const std::string& path, std::shared_ptr<const Bitmap> bitmap) {
  background_ = {path, std::move(bitmap), false};
  Notify(TemplateChange::Background);
}

void Template::SetPrintBackground(bool print) {
  background_.print = print;
  Notify(TemplateChange::Background);
}

void Template::ClearBackground() {
  background_ = {};
  Notify(TemplateChange::Background);
}

PrintJob Template::ToPrintJob() const {
  PrintJob job;
  job.Sheet = header_;
  job.Series = series_;
  job.Numerators = numerators_.ExportRecords();
  job.Marginals = marginals_.ExportRecords();
  job.NumeratorCount = static_cast<int32_t>(job.Numerators.size());
  job.MarginalCount = static_cast<int32_t>(job.Marginals.size());
  job.PrintBackground = background_.Present() && background_.print;
  if (job.PrintBackground) job.Background = background_.bitmap;
  job.Alignment = alignment_;
  return job;
}

}  // namespace zirvo
