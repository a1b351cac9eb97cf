#include "printing/print_engine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "base/text.h"
#include "catalog/catalog.h"
#include "render/sheet_render.h"
#include "template/numbering_rule.h"
#include "template/numerator_table.h"
#include "template/record_barcodes.h"
#include "template/series.h"

namespace zirvo {
namespace {

RunObserver& SilentObserver() {
  static RunObserver silent;
  return silent;
}

bool InInt32(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() &&
         value <= std::numeric_limits<int32_t>::max();
}

// Case-blind text order of the reposition list, byte by byte from the left.
bool RepositionLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y));
  });
}

// Sets `flag` for the life of the object.
class RunningScope {
 public:
  explicit RunningScope(std::atomic<bool>& flag) : flag_(flag) { flag_ = true; }
  ~RunningScope() { flag_ = false; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  std::atomic<bool>& flag_;
};

// Hides a panel's status line when a run stops before it has run: a refusal
// thrown or a question answered No. A run that has run leaves the line to
// what it showed last.
class StatusUntilRun {
 public:
  StatusUntilRun(RunObserver& observer, RunPanel panel) : observer_(observer), panel_(panel) {}
  ~StatusUntilRun() {
    if (!ran_) observer_.HideStatus(panel_);
  }
  StatusUntilRun(const StatusUntilRun&) = delete;
  StatusUntilRun& operator=(const StatusUntilRun&) = delete;
  void Ran() { ran_ = true; }

 private:
  RunObserver& observer_;
  RunPanel panel_;
  bool ran_ = false;
};

// Throw the refusal, before anything is printed, when a barcode cannot carry
// what a sheet would print: numerator `n` printing `number` on `sheet`, or a
// marginal text.
void RequireBarcodes(const Numerator& n, int64_t number, int64_t sheet, CheckDigit check) {
  const std::string refusal =
      NumeratorBarcodeRefusal(n, static_cast<int32_t>(number), sheet, check);
  if (!refusal.empty()) throw ZirvoError(refusal);
}

void RequireBarcodes(const MarginalTextList& marginals) {
  for (const MarginalText& m : marginals) {
    const std::string refusal = MarginalBarcodeRefusal(m);
    if (!refusal.empty()) throw ZirvoError(refusal);
  }
}

// The status line of a cancelled run: up to where the printing system
// completed it, for a device that follows its jobs; otherwise after which
// sheet it stopped and, for a PDF file, that the file was not written.
std::string CancelledStatus(const PrinterSetting& setting, std::optional<int32_t> completed,
                            int32_t done) {
  if (completed) return OwnText(OwnMessage::CompletedUpTo, FormatInt(*completed));
  const std::string status = OwnText(OwnMessage::RunCancelled, FormatInt(done));
  if (setting.target != PrinterSetting::Target::PdfFile) return status;
  // An aborted document leaves nothing on disk: a file of that name is the
  // one that was there before.
  std::error_code error;
  const bool earlier = std::filesystem::exists(setting.outputFile, error);
  const std::string name = std::filesystem::path(setting.outputFile).filename().string();
  return status + " " +
         OwnText(earlier ? OwnMessage::PdfNotWrittenKept : OwnMessage::PdfNotWritten, name);
}

// The last sheet of an aborted run that may be on paper (0 for none).
int32_t ReachedPrinter(const PageDevice& device) {
  return std::max(device.CompletedSheets().value_or(0), device.ReachedPrinterSheets().value_or(0));
}

// Where a run prints, as the register records it: the queue, or the PDF
// file with its whole path.
std::string RecordedTarget(const PrinterSetting& setting) {
  if (setting.target != PrinterSetting::Target::PdfFile) return setting.DisplayName();
  std::error_code error;
  const std::filesystem::path whole = std::filesystem::absolute(setting.outputFile, error);
  return error ? setting.outputFile : whole.string();
}

}  // namespace

int32_t RunSettingValue(std::string_view text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return 1;
  return ParseInt32(trimmed);
}

// What one run prints. Sheet k (from 1) of the document is sheet
// SheetIndex(k) of the run (from 0; the last first when the run prints last
// to first, the listed sheet of a reposition by sheet), on which numerator
// i prints by its rule, a mirror its source's number. A reposition of a
// template without rules moves every numerator by the sheet's delta instead,
// one running against numerator 1 down by it.
struct PrintEngine::RunPlan {
  RunPanel panel = RunPanel::Run;
  RunKind kind = RunKind::Run;
  int32_t increment = 0;  // as the journal records it: never negative
  int32_t sheets = 0;
  int32_t pagesPerSheet = 1;
  int32_t progressMaximum = 0;
  bool lastFirst = false;
  NumeratorList numerators;           // the working numerators, numbers as stored
  std::vector<std::size_t> sources;   // per numerator: whose number it prints
  std::vector<int64_t> sheetIndexes;  // per sheet of a reposition by the rules; else empty
  std::vector<int64_t> deltas;        // per sheet of a reposition without rules; else empty
  std::vector<int32_t> repositions;   // the listed numbers printed, for the journal
  std::vector<int64_t> signs;         // per numerator: +1, or -1 against numerator 1's direction

  void SetNumerators(const NumeratorList& list) {
    numerators = list;
    sources.clear();
    for (std::size_t i = 0; i < numerators.size(); ++i)
      sources.push_back(MirrorSource(numerators, i));
  }
  const Numerator& Source(std::size_t i) const { return numerators[sources[i]]; }
  bool IsMirror(std::size_t i) const { return sources[i] != i; }
  int64_t Step(std::size_t i) const {
    const Numerator& n = Source(i);
    const int64_t step = int64_t{n.Rule.stepMultiplier} * increment;
    return n.Reverse ? -step : step;
  }
  int64_t SheetIndex(int32_t k) const {
    if (!sheetIndexes.empty()) return sheetIndexes[static_cast<std::size_t>(k - 1)];
    return lastFirst ? int64_t{sheets} - k : int64_t{k} - 1;
  }
  // What numerator i prints on sheet `sheet` of the run (from 0).
  int64_t NumberOnRunSheet(std::size_t i, int64_t sheet) const {
    const Numerator& n = Source(i);
    return RuleNumber(n.Number, n.Reverse, n.Rule, increment, sheet);
  }
  // What numerator i prints on sheet k (from 1) of the document.
  int64_t Number(std::size_t i, int32_t k) const {
    if (!deltas.empty())
      return Source(i).Number + signs[sources[i]] * deltas[static_cast<std::size_t>(k - 1)];
    return NumberOnRunSheet(i, SheetIndex(k));
  }
  // The numbers numerator i prints on run sheets [from, to), each once: a
  // progression from the first sheet's number, guarded unless the numerator
  // starts again (a cycle) or repeats another's (a mirror). A cycle the
  // sheets go round is recorded whole.
  Progression NumbersOnRunSheets(std::size_t i, int64_t from, int64_t to) const {
    const Numerator& n = Source(i);
    const NumberingRule& rule = n.Rule;
    // The moves of the number over those sheets, before a cycle folds them.
    const NumberingRule unfolded{1, rule.sheetsPerNumber, 0, CheckDigit::None, 0};
    const int64_t firstMove = RuleSteps(unfolded, from);
    const int64_t lastMove = RuleSteps(unfolded, to - 1);
    const bool roundTheCycle = rule.cycle > 0 && (lastMove - firstMove + 1 >= rule.cycle ||
                                                  firstMove % rule.cycle > lastMove % rule.cycle);
    Progression p = roundTheCycle ? Progression::Of(PositionOf(i), n.Number, rule.cycle, Step(i))
                                  : Progression::Of(PositionOf(i), NumberOnRunSheet(i, from),
                                                    lastMove - firstMove + 1, Step(i));
    p.guarded = rule.cycle == 0 && !IsMirror(i);
    return p;
  }
  // The numbers of the first `done` sheets of the document, as the register
  // holds them: one progression per numerator, or for a reposition one
  // number per sheet and numerator. None for no sheet.
  std::vector<Progression> Numbers(int32_t done) const {
    std::vector<Progression> numbers;
    if (kind != RunKind::Reposition) {
      if (done < 1) return numbers;
      const int64_t from = lastFirst ? int64_t{sheets} - done : 0;
      for (std::size_t i = 0; i < numerators.size(); ++i)
        numbers.push_back(NumbersOnRunSheets(i, from, from + done));
      return numbers;
    }
    for (int32_t k = 1; k <= done; ++k)
      for (std::size_t i = 0; i < numerators.size(); ++i)
        numbers.push_back(Progression::Single(PositionOf(i), Number(i, k)));
    return numbers;
  }
  // What numerator i prints after its number has moved `moves` times.
  int64_t NumberAfterMoves(std::size_t i, int64_t moves) const {
    return NumberOnRunSheet(i, moves * Source(i).Rule.sheetsPerNumber);
  }
  // Throws the refusal, before anything is printed, when a number of the run
  // leaves the 32-bit range or a barcode cannot carry it. A numerator's
  // numbers move one way from its start, so its last distinct number is its
  // extreme; a text that grows past its barcode (or turns negative) fails
  // from that number on, so the first number that fails is found by
  // halving, and the refusal names its sheet and how many sheets before it
  // can be printed.
  void RequireRunFits() const {
    for (std::size_t i = 0; i < numerators.size(); ++i) {
      if (IsMirror(i)) continue;
      const int64_t moves = RuleDistinctNumbers(Source(i).Rule, sheets);
      if (!InInt32(NumberAfterMoves(i, std::max<int64_t>(moves - 1, 0))))
        throw ZirvoError(OwnText(OwnMessage::NumberOutOfRange, FormatInt(numerators[i].Position)));
    }
    int64_t refusedSheet = 0;
    std::string refusal;
    for (std::size_t i = 0; i < numerators.size(); ++i) {
      const int32_t perNumber = Source(i).Rule.sheetsPerNumber;
      const auto refusalAt = [&](int64_t move) {
        return NumeratorBarcodeRefusal(numerators[i],
                                       static_cast<int32_t>(NumberAfterMoves(i, move)),
                                       move * perNumber + 1, Source(i).Rule.checkDigit);
      };
      const int64_t last = std::max<int64_t>(1, RuleDistinctNumbers(Source(i).Rule, sheets)) - 1;
      if (refusalAt(last).empty()) continue;
      int64_t fitting = -1, failing = last;  // fitting < first failing move <= failing
      while (failing - fitting > 1) {
        const int64_t middle = fitting + (failing - fitting) / 2;
        if (refusalAt(middle).empty())
          fitting = middle;
        else
          failing = middle;
      }
      const int64_t sheet = failing * perNumber + 1;
      if (refusedSheet == 0 || sheet < refusedSheet) {
        refusedSheet = sheet;
        refusal = refusalAt(failing);
      }
    }
    if (refusedSheet == 0) return;
    if (refusedSheet > 1)
      refusal += " " + OwnText(OwnMessage::BarcodeRunSheetsFit, FormatInt(refusedSheet - 1));
    throw ZirvoError(refusal);
  }
  // The first sheet of the run (from 1) on which a numerator counting down
  // from 0 or more prints a number below 0, and that numerator; 0 for none.
  std::pair<int64_t, int32_t> FirstNegativeSheet() const {
    std::pair<int64_t, int32_t> first{0, 0};
    for (std::size_t i = 0; i < numerators.size(); ++i) {
      const Numerator& n = Source(i);
      if (IsMirror(i) || n.Number < 0 || Step(i) >= 0) continue;
      const int64_t move = n.Number / -Step(i) + 1;
      if (move >= RuleDistinctNumbers(n.Rule, sheets)) continue;
      const int64_t sheet = move * n.Rule.sheetsPerNumber + 1;
      if (first.first == 0 || sheet < first.first) first = {sheet, n.Position};
    }
    return first;
  }
  // A numerator as the register names it: its position, or its place in the
  // list when the position is none a template can hold.
  int32_t PositionOf(std::size_t i) const {
    const int32_t position = numerators[i].Position;
    return position >= 1 && position <= 60 ? position : static_cast<int32_t>(i + 1);
  }
};

// A run whose `started` record the register holds.
struct PrintEngine::ReservedRun {
  NumberRegister* reg = nullptr;
  std::unique_ptr<NumberRegister> opened;  // the register, unless the engine keeps it
  std::string id;
};

PrintEngine::PrintEngine(PageDevice& device, RunObserver* observer)
    : device_(device),
      observer_(observer != nullptr ? observer : &SilentObserver()),
      place_(RegisterPlace::OfThisMachine()),
      series_(NewSeries()) {
  setting_ = device_.DefaultSetting();
}

bool PrintEngine::LoadPrintJob(const PrintJob& job) {
  if (running_) return false;
  job_.Sheet = job.Sheet;
  job_.NumeratorCount = job.NumeratorCount;
  job_.MarginalCount = job.MarginalCount;
  job_.Numerators = job.CountedNumerators();
  job_.Marginals = job.CountedMarginals();
  job_.PrintBackground = job.PrintBackground && job.Background && !job.Background->Empty();
  job_.Background = job_.PrintBackground ? job.Background : nullptr;
  job_.Alignment = job.Alignment;
  job_.TemplateFile = job.TemplateFile;
  job_.Series = job.Series;
  series_ = SeriesOfJob(job);
  if (series_.empty()) series_ = NewSeries();
  templateName_ = std::filesystem::path(job.TemplateFile).filename().string();
  journalImported_.clear();
  return true;
}

bool PrintEngine::SetRegisterPlace(RegisterPlace place) {
  if (running_) return false;
  place_ = std::move(place);
  journalImported_.clear();
  server_.reset();
  return true;
}

NumberRegister& PrintEngine::RegisterForRun(std::unique_ptr<NumberRegister>& opened) {
  // A server's register stays connected from one run to the next (one that
  // restarted meanwhile is reached again). The file of an embedded one is
  // opened for each run: a file replaced meanwhile is never written through
  // an old handle.
  const RegisterChoice choice = RegisterChoiceOf(place_);
  NumberRegister* reg = nullptr;
  if (choice.Embedded()) {
    opened = OpenRegisterOf(place_, job_.TemplateFile, choice);
    reg = opened.get();
  } else {
    if (!server_ || serverConnection_ != choice.connection) {
      server_.reset();
      server_ = OpenRegisterOf(place_, job_.TemplateFile, choice);
      serverConnection_ = choice.connection;
    }
    reg = server_.get();
  }
  // A template printed before the register existed brings the runs of its
  // old journal along; a journal that cannot be read leaves its numbers
  // unguarded, so nothing prints until it can.
  if (journalImported_.count(reg->Description()) == 0) {
    const std::string notice = ImportOldJournal(*reg, job_.TemplateFile, series_);
    if (!notice.empty()) Observer().Notice(notice);
    journalImported_.insert(reg->Description());
  }
  return *reg;
}

PrintEngine::JobRegister PrintEngine::OpenJobRegister() {
  JobRegister opened;
  opened.series = series_;
  try {
    opened.reg = OpenRegisterOf(place_, job_.TemplateFile);
    opened.problem = ImportOldJournal(*opened.reg, job_.TemplateFile, series_);
  } catch (const ZirvoError& e) {
    opened.problem = e.what();
  }
  return opened;
}

void PrintEngine::SelectPrinter(const PrinterSetting& setting, std::string shownName) {
  setting_ = setting;
  selectedPrinter_ = std::move(shownName);
}

void PrintEngine::ApplyPrinter() { device_.SetPrinter(setting_); }

void PrintEngine::ResetPrinters() {
  setting_ = device_.DefaultSetting();
  selectedPrinter_.clear();
}

void PrintEngine::SetRunSettings(std::string increment, std::string copies, std::string sheets) {
  incrementText_ = std::move(increment);
  copiesText_ = std::move(copies);
  sheetsText_ = std::move(sheets);
}

bool PrintEngine::PrintTestSheet() {
  if (running_ || Trim(selectedPrinter_).empty()) return false;
  ApplyPrinter();
  RunSettingValue(sheetsText_);  // a field that is not a number stops the test sheet too
  return PlanRun(1, RunKind::Test);
}

bool PrintEngine::PrintAll() {
  if (running_ || Trim(selectedPrinter_).empty()) return false;
  ApplyPrinter();
  return PrintRun(RunSettingValue(sheetsText_));
}

bool PrintEngine::PrintRun(int32_t sheets) { return PlanRun(sheets, RunKind::Run); }

int32_t PrintEngine::RunIncrement(int64_t increment) const {
  // -2147483648 would step by a number no numerator can hold.
  if (increment > INT32_MAX)
    throw ZirvoError(OwnText(OwnMessage::IncrementOutOfRange, Trim(incrementText_)));
  return static_cast<int32_t>(increment);
}

bool PrintEngine::PlanRun(int32_t sheets, RunKind kind) {
  if (running_) return false;
  lastOutcome_.reset();
  if (sheets < 0) throw ZirvoError(OwnText(OwnMessage::NegativeSheets, FormatInt(sheets)));

  RunPlan plan;
  plan.panel = RunPanel::Run;
  plan.kind = kind;
  plan.sheets = sheets;
  plan.progressMaximum = sheets;
  if (job_.NumeratorCount > 0) plan.SetNumerators(job_.Numerators);

  Observer().ShowStatus(RunPanel::Run, OwnText(OwnMessage::StatusProcessing));
  // A field that is not a number leaves the first status showing.
  const int64_t increment = std::llabs(static_cast<int64_t>(RunSettingValue(incrementText_)));
  const int64_t copies = std::llabs(static_cast<int64_t>(RunSettingValue(copiesText_)));
  StatusUntilRun status(Observer(), RunPanel::Run);
  plan.increment = RunIncrement(increment);
  if (copies > kMaxCopies)
    throw ZirvoError(
        OwnText(OwnMessage::CopiesOutOfRange, Trim(copiesText_), FormatInt(kMaxCopies)));
  plan.pagesPerSheet = static_cast<int32_t>(std::max<int64_t>(copies, 1));

  plan.lastFirst = lastFirst_ && kind == RunKind::Run;
  plan.RequireRunFits();
  if (job_.MarginalCount > 0) RequireBarcodes(job_.Marginals);

  const auto [negativeSheet, negative] = plan.FirstNegativeSheet();
  if (negativeSheet > 0 &&
      !Observer().ConfirmNegative(
          OwnText(OwnMessage::TurnsNegative, FormatInt(negative), FormatInt(negativeSheet))))
    return false;
  if (!ReserveAndExecute(plan)) return false;
  status.Ran();
  return true;
}

bool PrintEngine::ReserveAndExecute(const RunPlan& plan) {
  // The job cannot change from the first question to the last page.
  RunningScope running(running_);
  std::optional<ReservedRun> reserved = Reserve(plan);
  if (!reserved) return false;
  ExecuteRun(plan, *reserved);
  return true;
}

std::optional<PrintEngine::ReservedRun> PrintEngine::Reserve(const RunPlan& plan) {
  ReservedRun reserved;
  reserved.reg = &RegisterForRun(reserved.opened);
  RunRecord run = NewRun(series_, plan.kind);
  run.templateName = templateName_;
  run.target = RecordedTarget(setting_);
  if (run.target.empty()) run.target = selectedPrinter_;  // the system's default queue
  run.sheets = plan.sheets;
  run.copies = plan.pagesPerSheet;
  run.increment = plan.increment;
  run.planned = plan.Numbers(plan.sheets);
  run.listed = plan.repositions;
  reserved.id = run.id;

  // Each leave the user gives is asked for once, and the register checks
  // again with it: what another station printed meanwhile is still seen.
  bool allowReprint = false;
  bool passDamaged = false;
  for (;;) {
    std::string facts, question;
    try {
      const Reservation reservation = reserved.reg->Reserve(run, allowReprint, passDamaged);
      if (reservation.reserved) return reserved;
      facts = OverlapText(*reservation.overlap);
      question = OwnText(OwnMessage::ReprintQuestion);
      allowReprint = true;
    } catch (const RegisterError& e) {
      if (e.Fault() != RegisterFault::DamagedRecords || passDamaged) throw;
      facts = e.what();
      question = OwnText(OwnMessage::PrintAnyway);
      passDamaged = true;
    }
    if (!Observer().ConfirmReprint(facts, question)) return std::nullopt;
  }
}

bool PrintEngine::AddRepositionEntry(const std::string& text) {
  if (running_) return false;
  if (Trim(text).empty()) return false;
  int32_t value = 0;
  if (!TryParseInt32(Trim(text), value))
    throw ZirvoError(OwnText(OwnMessage::RepositionNotInteger, text));
  reposition_.insert(std::upper_bound(reposition_.begin(), reposition_.end(), text, RepositionLess),
                     text);
  return true;
}

bool PrintEngine::DeleteRepositionEntry(int index) {
  if (running_ || index < 0 || index >= static_cast<int>(reposition_.size())) return false;
  reposition_.erase(reposition_.begin() + index);
  return true;
}

bool PrintEngine::ClearRepositionEntries() {
  if (running_) return false;
  reposition_.clear();
  return true;
}

bool PrintEngine::PrintReposition() {
  if (running_ || Trim(selectedPrinter_).empty()) return false;
  lastOutcome_.reset();
  ApplyPrinter();

  RunPlan plan;
  plan.panel = RunPanel::Reposition;
  plan.kind = RunKind::Reposition;
  plan.progressMaximum = static_cast<int32_t>(reposition_.size());
  plan.sheets = std::min(plan.progressMaximum, kRepositionSheetsPerRun);
  if (job_.NumeratorCount > 0) plan.SetNumerators(job_.Numerators);

  Observer().ShowStatus(RunPanel::Reposition, OwnText(OwnMessage::StatusProcessing));
  StatusUntilRun status(Observer(), RunPanel::Reposition);
  // Entries were checked when they were added.
  std::vector<int64_t> entries;
  for (int32_t k = 0; k < plan.sheets; ++k) entries.push_back(ParseInt32(Trim(reposition_[k])));
  const bool rules = std::any_of(plan.numerators.begin(), plan.numerators.end(),
                                 [](const Numerator& n) { return !n.Rule.Plain(); });
  if (plan.numerators.empty()) {
    plan.deltas.assign(static_cast<size_t>(plan.sheets), 0);
  } else if (!rules && !repositionBySheet_) {
    PlanRepositionByDeltas(plan, entries);
  } else {
    plan.increment =
        RunIncrement(std::llabs(static_cast<int64_t>(RunSettingValue(incrementText_))));
    PlanRepositionBySheets(plan, entries);
  }
  if (job_.MarginalCount > 0) RequireBarcodes(job_.Marginals);
  if (!ReserveAndExecute(plan)) return false;
  status.Ran();

  if (!cancel_ && plan.progressMaximum > plan.sheets) {
    std::string rest;
    for (size_t i = static_cast<size_t>(plan.sheets); i < reposition_.size(); ++i) {
      if (!rest.empty()) rest += ", ";
      rest += reposition_[i];
    }
    Observer().Notice(OwnText(OwnMessage::RepositionNotPrinted, rest));
  }
  return true;
}

void PrintEngine::PlanRepositionByDeltas(RunPlan& plan, const std::vector<int64_t>& entries) {
  // The listed number is numerator 1's; every other numerator moves by the
  // same count of sheets, so one running the other way moves down by it.
  for (const Numerator& n : plan.numerators)
    plan.signs.push_back(n.Reverse == plan.numerators.front().Reverse ? 1 : -1);
  const int64_t first = plan.numerators.front().Number;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const int64_t delta = entries[k] - first;
    for (size_t i = 0; i < plan.numerators.size(); ++i) {
      const Numerator& n = plan.numerators[i];
      if (!InInt32(n.Number + plan.signs[i] * delta))
        throw ZirvoError(OwnText(OwnMessage::NumberOutOfRange, FormatInt(n.Position)));
      RequireBarcodes(n, n.Number + plan.signs[i] * delta, static_cast<int64_t>(k + 1),
                      CheckDigit::None);
    }
    plan.deltas.push_back(delta);
    plan.repositions.push_back(static_cast<int32_t>(entries[k]));
  }
}

void PrintEngine::PlanRepositionBySheets(RunPlan& plan, const std::vector<int64_t>& entries) {
  const Numerator& first = plan.Source(0);
  const int64_t step = plan.Step(0);
  const std::string firstPosition = FormatInt(plan.numerators.front().Position);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    int64_t sheet = entries[k] - 1;  // a sheet of the run from the numbers the template holds
    if (repositionBySheet_) {
      if (entries[k] < 1)
        throw ZirvoError(OwnText(OwnMessage::RepositionSheetNotPositive, FormatInt(entries[k])));
    } else {
      // A listed number names a sheet only when numerator 1 never repeats one.
      if (first.Rule.sheetsPerNumber > 1 || first.Rule.cycle > 0 || step == 0)
        throw ZirvoError(OwnText(OwnMessage::RepeatsNumbers, firstPosition));
      const int64_t distance = entries[k] - first.Number;
      if (distance % step != 0)
        throw ZirvoError(
            OwnText(OwnMessage::RepositionNotOnProgression, FormatInt(entries[k]), firstPosition));
      sheet = distance / step;
    }
    for (size_t i = 0; i < plan.numerators.size(); ++i) {
      const int64_t number = plan.NumberOnRunSheet(i, sheet);
      if (!InInt32(number))
        throw ZirvoError(
            OwnText(OwnMessage::NumberOutOfRange, FormatInt(plan.numerators[i].Position)));
      RequireBarcodes(plan.numerators[i], number, static_cast<int64_t>(k + 1),
                      plan.Source(i).Rule.checkDigit);
    }
    plan.sheetIndexes.push_back(sheet);
    plan.repositions.push_back(static_cast<int32_t>(plan.NumberOnRunSheet(0, sheet)));
  }
}

void PrintEngine::ExecuteRun(const RunPlan& plan, ReservedRun& reserved) {
  const RunPanel panel = plan.panel;
  Observer().ShowStatus(panel, OwnText(OwnMessage::StatusLoading));
  Observer().ShowStatus(panel, OwnText(OwnMessage::StatusStarting));

  const std::string title = FirstCharacters("Zirvo: " + job_.Sheet.Name, kTitleCapacity);
  device_.SetTitle(title);
  device_.SetRunName(job_.Sheet.Name);
  // The end record: what the printing system completed. One that cannot be
  // stored leaves the run interrupted, guarding its whole plan.
  auto recordEnd = [&](RunEvent event, int32_t completed) {
    lastOutcome_ = Outcome{plan.kind, event, completed, plan.increment, plan.lastFirst};
    try {
      const int32_t sheets = std::clamp(completed, 0, plan.sheets);
      reserved.reg->Finish(reserved.id, event, sheets, plan.Numbers(sheets));
    } catch (const ZirvoError& e) {
      Observer().Notice(e.what());
    }
  };

  device_.SetRunHooks([this] { return cancel_.load(); },
                      [this, panel](const std::string& text) {
                        if (text.empty())
                          Observer().HideStatus(panel);
                        else
                          Observer().ShowStatus(panel, text);
                      });

  try {
    device_.BeginDoc();
    const int32_t offsetLeft = device_.Capability(DeviceCap::PhysicalOffsetX);
    const int32_t offsetTop = device_.Capability(DeviceCap::PhysicalOffsetY);
    const int32_t width = device_.Capability(DeviceCap::PhysicalWidth);
    const int32_t height = device_.Capability(DeviceCap::PhysicalHeight);
    const DeviceMapping mapping =
        DeviceMapping::Print(device_.Capability(DeviceCap::LogPixelsY), offsetLeft, offsetTop);

    cancel_ = false;
    Observer().HideStatus(panel);
    Observer().SetProgressMaximum(panel, plan.progressMaximum);
    Observer().ShowProgress(panel, true);
    Observer().ShowCancel(panel, true);

    SheetContent content;
    content.numerators = &plan.numerators;
    content.marginals = job_.MarginalCount > 0 ? &job_.Marginals : nullptr;
    if (job_.PrintBackground && job_.Background) {
      // Where its alignment puts it on the sheet, or the whole paper, edge
      // to edge, relative to the drawing origin.
      content.background = job_.Background.get();
      content.backgroundRect = BackgroundRect(mapping, job_.Alignment, *job_.Background,
                                              {-offsetLeft, -offsetTop, width, height});
    }
    // Everything but the numbers is the same on every sheet: worked out once.
    PreparedSheet sheet(mapping, content);
    std::vector<int32_t> numbers(plan.numerators.size());
    // Numerator 1's printed text, for a device that names its jobs by it.
    std::string firstText;

    // The last sheet printed with all its copies.
    int32_t done = 0;
    for (int32_t k = 1; k <= plan.sheets; ++k) {
      // A cancel passes over the remaining sheets at once.
      if (cancel_) break;
      Observer().SetProgressPosition(panel, k);
      for (size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = static_cast<int32_t>(plan.Number(i, k));  // checked before the run began
      if (!numbers.empty()) FormatListedNumeratorInto(firstText, plan.numerators, 0, numbers[0]);
      device_.SheetStarting(k, firstText);
      // A cancel stops between the copies of a sheet too: the document is
      // aborted all the same.
      int32_t copy = 1;
      for (; copy <= plan.pagesPerSheet && (copy == 1 || !cancel_); ++copy) {
        sheet.Draw(device_.PageSurface(), numbers);
        if (copy < plan.pagesPerSheet || k < plan.sheets) device_.NewPage();
      }
      if (copy > plan.pagesPerSheet) done = k;
    }
    // A device that hands sheets on while drawing may wait in EndDoc for the
    // printing system; a cancel then ends that wait too.
    if (!cancel_) device_.EndDoc();
    if (cancel_) {
      Observer().SetProgressPosition(panel, plan.progressMaximum);
      device_.Abort();
      const std::optional<int32_t> completed = device_.CompletedSheets();
      const int32_t reached = ReachedPrinter(device_);
      std::string status = CancelledStatus(setting_, completed, done);
      if (reached > completed.value_or(0))
        status += " " + OwnText(OwnMessage::SheetsMayBeOnPaper,
                                FormatInt(completed.value_or(0) + 1), FormatInt(reached));
      Observer().ShowStatus(panel, status);
      // An aborted document that never reached a printer printed nothing;
      // sheets a printer was printing when the run stopped may be on paper,
      // and their numbers are recorded as printed.
      recordEnd(RunEvent::Cancelled, reached);
    } else {
      recordEnd(RunEvent::Completed, device_.CompletedSheets().value_or(plan.sheets));
    }
  } catch (...) {
    device_.Abort();
    Observer().HideStatus(panel);
    recordEnd(RunEvent::Failed, ReachedPrinter(device_));
    FinishRun(panel);
    throw;
  }
  FinishRun(panel);
}

void PrintEngine::FinishRun(RunPanel panel) {
  device_.SetRunHooks({}, {});
  Observer().ShowProgress(panel, false);
  Observer().ShowCancel(panel, false);
  Observer().SetProgressMaximum(panel, 0);
  Observer().SetProgressPosition(panel, 0);
}

}  // namespace zirvo
