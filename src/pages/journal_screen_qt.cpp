#include "pages/journal_screen_qt.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <algorithm>

#include "base/file_io.h"
#include "base/helpers.h"
#include "base/messages.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "printing/register_export.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {

namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 520;
constexpr int kTop = 28;  // below the title band
constexpr int kRowHeight = 20;
constexpr int kNoticeHeight = 34;
// Texts that may run long (a PDF file's whole path) are shown up to this
// width, whole in their tooltip.
constexpr int kLongestColumn = 260;
constexpr int kNarrowestTarget = 120;

QString Own(OwnMessage message, std::string_view arg = {}) {
  return ToQString(OwnText(message, arg));
}

// Texts the register stores are UTF-8.
QString Stored(const std::string& text) { return QString::fromUtf8(text); }

QString KindText(RunKind kind) {
  switch (kind) {
    case RunKind::Run:
      return Own(OwnMessage::JournalKindRun);
    case RunKind::Test:
      return Own(OwnMessage::JournalKindTest);
    case RunKind::Reposition:
      return Own(OwnMessage::JournalKindReposition);
  }
  return {};
}

QString ResultText(const RunRecord& run) {
  switch (run.Outcome()) {
    case JournalRun::Result::Completed:
      return Own(OwnMessage::JournalResultCompleted);
    case JournalRun::Result::Cancelled:
      return Own(OwnMessage::JournalResultCancelled, FormatInt(run.end->completedSheets));
    case JournalRun::Result::Failed:
      return Own(OwnMessage::JournalResultFailed);
    case JournalRun::Result::Interrupted:
      return Own(OwnMessage::JournalResultInterrupted);
  }
  return {};
}

QString ListedText(const RunRecord& run) { return Stored(JoinNumbers(run.listed, ", ")); }

// A cell's whole text: the numbers of every numerator where the cell shows
// the first one's.
QString WholeText(const RunRecord& run, int column, const QString& shown) {
  if (column != JournalModel::kNumbers || run.kind == RunKind::Reposition) return shown;
  return Stored(FormatProgressions(run.PrintedNumbers(), "; "));
}

struct ExportChoice {
  OwnMessage filter;
  const char* patterns;
  ExportFormat format;
};
constexpr ExportChoice kExportChoices[] = {
    {OwnMessage::JournalExportCsvComma, " (*.csv)", ExportFormat::CsvComma},
    {OwnMessage::JournalExportCsvSemicolon, " (*.csv)", ExportFormat::CsvSemicolon},
    {OwnMessage::JournalExportJson, " (*.json)", ExportFormat::Json},
};

// The program's mouse cursor shows it is busy while this lives.
struct BusyCursor {
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

JournalModel::JournalModel(NumberRegister* reg, std::string series, QObject* parent)
    : QAbstractTableModel(parent), reg_(reg), series_(std::move(series)) {
  if (reg_ != nullptr) ReadPage();
}

void JournalModel::ReadPage() {
  RunList page;
  try {
    page = reg_->Runs(series_, {kPageRuns, before_});
  } catch (const RegisterError& error) {
    more_ = false;
    failure_ = error.what();
    emit ProblemsChanged();
    return;
  }
  // Seqs (from 1) descend within the page: the next one starts below its
  // last run or damaged record, whichever is older.
  int64_t oldest = page.runs.empty() ? 0 : page.runs.back().seq;
  if (!page.damaged.empty() && (oldest == 0 || page.damaged.back() < oldest))
    oldest = page.damaged.back();
  more_ = page.more && oldest > 0;
  if (oldest > 0) before_ = oldest;
  if (!page.runs.empty()) {
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.runs.size()) - 1);
    std::move(page.runs.begin(), page.runs.end(), std::back_inserter(runs_));
    endInsertRows();
  }
  if (!page.damaged.empty()) {
    damaged_ += page.damaged.size();
    emit ProblemsChanged();
  }
}

int JournalModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(runs_.size());
}

int JournalModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

bool JournalModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && more_;
}

void JournalModel::fetchMore(const QModelIndex& parent) {
  if (canFetchMore(parent)) ReadPage();
}

const RunRecord& JournalModel::RunAt(int row) const { return runs_.at(static_cast<size_t>(row)); }

QString JournalModel::Text(int row, int column) const {
  const RunRecord& run = RunAt(row);
  switch (column) {
    case kDate:
      return QString::fromStdString(ShownJournalTime(run.time));
    case kKind:
      return KindText(run.kind);
    case kUser:
      return Stored(run.user);
    case kStation:
      return Stored(run.station);
    case kSheets:
      return QString::number(run.sheets);
    case kCompleted:
      // An interrupted run cannot tell how many sheets it completed.
      return run.end ? QString::number(run.end->completedSheets) : QStringLiteral("?");
    case kNumbers: {
      if (run.kind == RunKind::Reposition) return ListedText(run);
      const std::optional<Progression> first = run.FirstPrinted();
      return first ? Stored(FormatProgression(*first)) : QString();
    }
    case kTarget:
      return Stored(run.target);
    case kResult:
      return ResultText(run);
    default:
      return {};
  }
}

QVariant JournalModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return Text(index.row(), index.column());
  if (role == Qt::ToolTipRole)
    return WholeText(RunAt(index.row()), index.column(), Text(index.row(), index.column()));
  if (role == Qt::TextAlignmentRole && (index.column() == kSheets || index.column() == kCompleted))
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static constexpr OwnMessage kHeadings[kColumnCount] = {
      OwnMessage::JournalColumnDate,   OwnMessage::JournalColumnKind,
      OwnMessage::JournalColumnUser,   OwnMessage::JournalColumnStation,
      OwnMessage::JournalColumnSheets, OwnMessage::JournalColumnCompleted,
      OwnMessage::JournalColumnRanges, OwnMessage::JournalColumnTarget,
      OwnMessage::JournalColumnResult,
  };
  if (section < 0 || section >= kColumnCount) return {};
  return Own(kHeadings[section]);
}

JournalScreen::JournalScreen(NumberRegister* reg, std::string series, std::string problem)
    : GeneralDialog("FDiario", kWidth, kHeight),
      reg_(reg),
      series_(std::move(series)),
      problem_(std::move(problem)) {
  title_->setText(QStringLiteral("  ") + Own(OwnMessage::JournalTitle));
  applyCommand_->setText(Own(OwnMessage::JournalReprint));
  cancelCommand_->setText(Own(OwnMessage::JournalClose));
  applyCommand_->setAlignment(Qt::AlignCenter);
  cancelCommand_->setAlignment(Qt::AlignCenter);
  exportCommand_ = new ClickLabel(this);
  exportCommand_->setObjectName("Bt_Exporta");
  exportCommand_->setGeometry(12, applyCommand_->y(), applyCommand_->width(),
                              applyCommand_->height());
  exportCommand_->setFont(applyCommand_->font());
  exportCommand_->setAlignment(Qt::AlignCenter);
  exportCommand_->setText(Own(OwnMessage::JournalExport));
  exportCommand_->TakeKeyboardFocus();
  exportCommand_->setEnabled(reg_ != nullptr);
  applyCommand_->setEnabled(reg_ != nullptr);
  setStyleSheet(styleSheet() +
                "#Bt_Exporta { background: #EFEFEF; border: 1px solid #003399; }"
                "#Bt_Exporta:hover { background: #D6DFEB; }"
                "#Bt_Exporta:focus { background: #D6DFEB; border: 2px solid #003399; }"
                "#Bt_Exporta:disabled { background: #F2F2F2; border-color: #B0B0B0; }");
  connect(exportCommand_, &ClickLabel::clicked, this, &JournalScreen::Export);

  notice_ = AddLabel("Et_Aviso", QRect(12, kTop + 6, kWidth - 24, kNoticeHeight));
  notice_->setWordWrap(true);

  model_ = new JournalModel(reg_, series_, this);
  runTable_ = new QTableView(this);
  runTable_->setObjectName("Tb_Diario");
  runTable_->setModel(model_);
  runTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  runTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  runTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  runTable_->setWordWrap(false);
  runTable_->setTextElideMode(Qt::ElideMiddle);
  runTable_->setAlternatingRowColors(true);
  runTable_->setStyleSheet(
      "QTableView { border: 1px solid #003399; gridline-color: #C8D0E0;"
      "  selection-background-color: #003399; selection-color: white; }"
      "QHeaderView::section { background: #E2E4C2; color: #003399; border: none;"
      "  border-right: 1px solid #C8D0E0; border-bottom: 1px solid #003399; padding: 2px 4px; }");
  // Fixed row heights: nothing is measured over the rows.
  QHeaderView* rows = runTable_->verticalHeader();
  rows->setVisible(false);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kRowHeight);
  ShowNotice();
  SizeColumns();
  connect(runTable_, &QTableView::doubleClicked, this, [this] { accept(); });
  connect(model_, &JournalModel::ProblemsChanged, this, &JournalScreen::ShowNotice);
  // Older pages may hold wider numbers.
  connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
    const int shown = runTable_->columnWidth(JournalModel::kNumbers);
    runTable_->resizeColumnToContents(JournalModel::kNumbers);
    if (runTable_->columnWidth(JournalModel::kNumbers) < shown)
      runTable_->setColumnWidth(JournalModel::kNumbers, shown);
  });
  WatchKeys(runTable_);
}

// Columns as wide as the headings and the runs of the first page need.
// Texts that may run long stop at kLongestColumn, and the target gives up
// what the table lacks in width, down to kNarrowestTarget: the date, the
// numbers and the result are never cut.
void JournalScreen::SizeColumns() {
  QHeaderView* columns = runTable_->horizontalHeader();
  columns->setSectionResizeMode(QHeaderView::Interactive);
  columns->setResizeContentsPrecision(static_cast<int>(JournalModel::kPageRuns));
  runTable_->resizeColumnsToContents();
  for (const int column : {JournalModel::kUser, JournalModel::kStation, JournalModel::kTarget})
    columns->resizeSection(column, std::min(columns->sectionSize(column), kLongestColumn));
  const int room = runTable_->width() - 2 * runTable_->frameWidth() -
                   runTable_->verticalScrollBar()->sizeHint().width();
  const int target = columns->sectionSize(JournalModel::kTarget);
  const int lacking = columns->length() - room;
  if (lacking > 0)
    columns->resizeSection(JournalModel::kTarget,
                           std::max(std::min(target, kNarrowestTarget), target - lacking));
  columns->setStretchLastSection(true);
}

void JournalScreen::ShowNotice() {
  QStringList lines;
  if (!problem_.empty())
    lines << ToQString(problem_);
  else if (reg_ == nullptr)
    lines << Own(OwnMessage::JournalNoFile);
  if (!model_->ReadFailure().empty()) lines << ToQString(model_->ReadFailure());
  if (model_->DamagedCount() > 0)
    lines << Own(OwnMessage::JournalDamagedRecords,
                 FormatInt(static_cast<int64_t>(model_->DamagedCount())));
  if (lines.isEmpty() && model_->rowCount() == 0) lines << Own(OwnMessage::JournalEmpty);
  const QString notice = lines.join(QLatin1Char(' '));
  notice_->setText(notice);
  notice_->setVisible(!notice.isEmpty());
  // The table takes the notice's place when there is none.
  const int tableTop = kTop + (notice.isEmpty() ? 10 : kNoticeHeight + 10);
  runTable_->setGeometry(12, tableTop, kWidth - 24, kHeight - tableTop - 40);
}

void JournalScreen::Export() {
  if (reg_ == nullptr) return;
  QStringList filters;
  for (const ExportChoice& choice : kExportChoices)
    filters << Own(choice.filter) + QLatin1String(choice.patterns);
  std::string folder = DataFolder();
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  QFileDialog dialog(this, Own(OwnMessage::JournalExportTitle),
                     QFile::decodeName(QByteArray::fromStdString(folder)));
  dialog.setObjectName(QStringLiteral("ExportDialog"));
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                    QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.selectFile(Own(OwnMessage::JournalCommand) + QStringLiteral(".csv"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  // The filter as given or, with its details hidden, as shown.
  const QString selected = dialog.selectedNameFilter();
  ExportFormat format = kExportChoices[0].format;
  for (qsizetype i = 0; i < filters.size(); ++i)
    if (filters[i] == selected || Own(kExportChoices[i].filter) == selected)
      format = kExportChoices[i].format;
  try {
    const std::string path =
        ExportFilePath(QFile::encodeName(dialog.selectedFiles().front()).toStdString(), format);
    const QString shown = QFile::decodeName(QByteArray::fromStdString(path));
    // Anything there is asked about (a link too, even a dangling one), but a
    // folder, which the write refuses.
    const QFileInfo existing(shown);
    if (existing.isSymLink() || (existing.exists() && !existing.isDir())) {
      QMessageBox box(QMessageBox::Question, ToQString(LookupText(code::kProgramTitle)),
                      Own(OwnMessage::ReplaceFile, "%1").arg(shown),
                      QMessageBox::Yes | QMessageBox::No, this);
      box.setObjectName(QStringLiteral("ReplaceFile"));
      box.setDefaultButton(QMessageBox::No);
      if (box.exec() != QMessageBox::Yes) return;
    }
    const BusyCursor busy;
    WriteFileAtomically(path, ExportRuns(reg_->Runs(series_), format));
  } catch (const ZirvoError& error) {
    ShowFailure(this, error.what());
  }
}

void JournalScreen::accept() {
  if (runTable_->selectionModel()->selectedRows().isEmpty()) return;
  GeneralDialog::accept();
}

std::vector<int64_t> JournalScreen::Run(std::size_t limit, int64_t& left) {
  left = 0;
  runTable_->setFocus();
  const bool chosen = exec() == QDialog::Accepted;
  hide();
  if (!chosen) return {};
  const QModelIndexList selected = runTable_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return {};
  return ReprintNumbers(model_->RunAt(selected.first().row()), limit, left);
}

}  // namespace zirvo
