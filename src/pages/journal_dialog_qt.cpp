#include "pages/journal_dialog_qt.h"

#include <QHeaderView>
#include <algorithm>

#include "base/messages.h"
#include "base/qtext_qt.h"
#include "base/text.h"

namespace zirvo {

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 480;
constexpr int kTop = 28;  // below the title band
constexpr int kRowHeight = 20;

QString Own(OwnMessage message, std::string_view arg = {}) {
  return ToQString(OwnText(message, arg));
}

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

QString ResultText(const JournalRun& run) {
  switch (run.Outcome()) {
    case JournalRun::Result::Completed:
      return Own(OwnMessage::JournalResultCompleted);
    case JournalRun::Result::Cancelled:
      return Own(OwnMessage::JournalResultCancelled,
                 FormatInt(run.ended ? run.ended->completedSheets.value_or(0) : 0));
    case JournalRun::Result::Failed:
      return Own(OwnMessage::JournalResultFailed);
    case JournalRun::Result::Interrupted:
      return Own(OwnMessage::JournalResultInterrupted);
  }
  return {};
}

}  // namespace

JournalModel::JournalModel(std::vector<JournalRun> runs, QObject* parent)
    : QAbstractTableModel(parent), runs_(std::move(runs)) {
  std::reverse(runs_.begin(), runs_.end());
}

int JournalModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(runs_.size());
}

int JournalModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

const JournalRun& JournalModel::RunAt(int row) const { return runs_.at(static_cast<size_t>(row)); }

QString JournalModel::Text(int row, int column) const {
  const JournalRun& run = RunAt(row);
  const JournalRecord& started = run.started;
  switch (column) {
    case kDate:
      return QString::fromStdString(ShownJournalTime(started.time));
    case kKind:
      return KindText(started.kind);
    case kSheets:
      return QString::number(started.sheets);
    case kNumbers:
      return ToQString(started.kind == RunKind::Reposition
                           ? JoinNumbers(run.Repositions(), "; ")
                           : FormatNumberRanges(run.PrintedRanges(), "; "));
    case kTarget:
      return QString::fromStdString(started.target);
    case kResult:
      return ResultText(run);
    default:
      return {};
  }
}

QVariant JournalModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return Text(index.row(), index.column());
  if (role == Qt::TextAlignmentRole && index.column() == kSheets)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static constexpr OwnMessage kHeadings[kColumnCount] = {
      OwnMessage::JournalColumnDate,   OwnMessage::JournalColumnKind,
      OwnMessage::JournalColumnSheets, OwnMessage::JournalColumnRanges,
      OwnMessage::JournalColumnTarget, OwnMessage::JournalColumnResult,
  };
  if (section < 0 || section >= kColumnCount) return {};
  return Own(kHeadings[section]);
}

TFDiario::TFDiario(const std::string& journalPath) : GeneralDialog("FDiario", kWidth, kHeight) {
  Pn_Titulo->setText(QStringLiteral("  ") + Own(OwnMessage::JournalTitle));
  Bt_Aplica->setText(Own(OwnMessage::JournalReprint));
  Bt_Cancela->setText(Own(OwnMessage::JournalClose));
  Bt_Aplica->setAlignment(Qt::AlignCenter);
  Bt_Cancela->setAlignment(Qt::AlignCenter);

  Et_Aviso = AddLabel("Et_Aviso", QRect(12, kTop + 6, kWidth - 24, 34));
  Et_Aviso->setWordWrap(true);

  std::vector<JournalRun> runs;
  QString notice;
  if (journalPath.empty()) {
    notice = Own(OwnMessage::JournalNoFile);
  } else {
    try {
      const JournalContents contents = ReadJournal(journalPath);
      notice = ToQString(DamagedJournalNotice(journalPath, contents));
      runs = PairJournalRuns(contents.records);
      if (runs.empty() && notice.isEmpty()) notice = Own(OwnMessage::JournalEmpty);
    } catch (const ZirvoError& error) {
      notice = ToQString(error.what());
    }
  }
  Et_Aviso->setText(notice);
  Et_Aviso->setVisible(!notice.isEmpty());

  model_ = new JournalModel(std::move(runs), this);
  Tb_Diario = new QTableView(this);
  Tb_Diario->setObjectName("Tb_Diario");
  // The table takes the notice's place when there is none.
  const int tableTop = kTop + (notice.isEmpty() ? 10 : 44);
  Tb_Diario->setGeometry(12, tableTop, kWidth - 24, kHeight - tableTop - 40);
  Tb_Diario->setModel(model_);
  Tb_Diario->setSelectionBehavior(QAbstractItemView::SelectRows);
  Tb_Diario->setSelectionMode(QAbstractItemView::SingleSelection);
  Tb_Diario->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Tb_Diario->setWordWrap(false);
  Tb_Diario->setAlternatingRowColors(true);
  Tb_Diario->setStyleSheet(
      "QTableView { border: 1px solid #003399; gridline-color: #C8D0E0;"
      "  selection-background-color: #003399; selection-color: white; }"
      "QHeaderView::section { background: #E2E4C2; color: #003399; border: none;"
      "  border-right: 1px solid #C8D0E0; border-bottom: 1px solid #003399; padding: 2px 4px; }");
  // Fixed row heights and column widths: nothing is measured over the rows.
  QHeaderView* rows = Tb_Diario->verticalHeader();
  rows->setVisible(false);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kRowHeight);
  QHeaderView* columns = Tb_Diario->horizontalHeader();
  columns->setSectionResizeMode(QHeaderView::Interactive);
  columns->setStretchLastSection(true);
  const int widths[JournalModel::kColumnCount] = {150, 100, 56, 250, 180, 0};
  for (int column = 0; column < JournalModel::kResult; ++column)
    columns->resizeSection(column, widths[column]);
  connect(Tb_Diario, &QTableView::doubleClicked, this, [this] { accept(); });
  WatchKeys(Tb_Diario);
}

void TFDiario::accept() {
  if (Tb_Diario->selectionModel()->selectedRows().isEmpty()) return;
  GeneralDialog::accept();
}

std::vector<int64_t> TFDiario::Run(std::size_t limit, int64_t& left) {
  left = 0;
  Tb_Diario->setFocus();
  const bool chosen = exec() == QDialog::Accepted;
  hide();
  if (!chosen) return {};
  const QModelIndexList selected = Tb_Diario->selectionModel()->selectedRows();
  if (selected.isEmpty()) return {};
  return ReprintNumbers(model_->RunAt(selected.first().row()), limit, left);
}

}  // namespace zirvo
