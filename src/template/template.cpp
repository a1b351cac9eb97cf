#include "template/template.h"

#include <algorithm>
#include <cctype>

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
      background_(other.background_) {}

Template& Template::operator=(const Template& other) {
  if (this != &other) {
    header_ = other.header_;
    series_ = other.series_;
    numerators_ = other.numerators_;
    marginals_ = other.marginals_;
    background_ = other.background_;
  }
  return *this;
}

bool Template::operator==(const Template& other) const {
  return header_ == other.header_ && series_ == other.series_ &&
         numerators_.Rows() == other.numerators_.Rows() &&
         marginals_.Rows() == other.marginals_.Rows() &&
         numerators_.Barcodes() == other.numerators_.Barcodes() &&
         numerators_.Rules() == other.numerators_.Rules() &&
         marginals_.Barcodes() == other.marginals_.Barcodes() && background_ == other.background_;
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
  Notify(TemplateChange::Everything);
}

void Template::Clear() {
  series_.clear();
  numerators_.Clear();
  marginals_.Clear();
  background_ = {};
  Notify(TemplateChange::Everything);
}

void Template::Replace(const Template& loaded) {
  header_ = loaded.header_;
  series_ = loaded.series_;
  numerators_ = loaded.numerators_;
  marginals_ = loaded.marginals_;
  background_ = {};
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
  return job;
}

}  // namespace zirvo
