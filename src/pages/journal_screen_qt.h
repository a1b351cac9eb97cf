// JournalScreen: the journal screen of the print page. The runs of a numbering
// series as the numbering register holds them, newest first (date, kind,
// user, station, sheets asked for and completed, numbers, target, result),
// read a page at a time as the table scrolls; a line above them for what
// could not be read; "Exportar", which writes every run of the series to a
// CSV or JSON file; and "Reponer", which picks the numbers of one run for
// the reposition list.
#pragma once

#include <QAbstractTableModel>
#include <QLabel>
#include <QTableView>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "printing/number_register.h"
#include "widgets/general_dialogs_qt.h"

namespace zirvo {

class ClickLabel;

// The series' runs as table rows, newest first. The register is read a page
// at a time: the newest page at once, each older one when the view asks
// for more (it does as it scrolls near the end), so a register of any size
// opens at once. Texts are made when a cell is shown.
class JournalModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column {
    kDate,
    kKind,
    kUser,
    kStation,
    kSheets,
    kCompleted,
    kNumbers,
    kTarget,
    kResult,
    kColumnCount
  };
  // The runs one read of the register brings.
  static constexpr std::size_t kPageRuns = 200;

  // `reg` (null: no rows) must outlive the model.
  JournalModel(NumberRegister* reg, std::string series, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

  const RunRecord& RunAt(int row) const;
  QString Text(int row, int column) const;
  // Records of the pages read so far that do not read, left out of the rows.
  std::size_t DamagedCount() const { return damaged_; }
  // Why a page could not be read; "" while every page could.
  const std::string& ReadFailure() const { return failure_; }

 signals:
  // DamagedCount or ReadFailure changed.
  void ProblemsChanged();

 private:
  void ReadPage();

  NumberRegister* reg_;
  std::string series_;
  std::vector<RunRecord> runs_;
  std::size_t damaged_ = 0;
  int64_t before_ = 0;  // the next page holds runs older than this seq; 0: the newest
  bool more_ = false;
  std::string failure_;
};

class JournalScreen : public GeneralDialog {
  Q_OBJECT
 public:
  // The runs of `series` in `reg`. With `reg` null (the register could not
  // be opened), `problem` says why and the table is empty;
  // with a register, a `problem` is shown above its runs. `reg` must outlive
  // the dialog.
  JournalScreen(NumberRegister* reg, std::string series, std::string problem);

  // Shows the dialog. When the user chose "Reponer" on a row: its numbers to
  // add to the reposition list, at most `limit`, `left` telling how many of
  // them were left out. Otherwise nothing.
  std::vector<int64_t> Run(std::size_t limit, int64_t& left);

  JournalModel* Model() const { return model_; }

 protected:
  // "Reponer" (and Enter) act only with a row chosen.
  void accept() override;

 private:
  void ShowNotice();
  void SizeColumns();
  // Asks for a file and writes every run of the series to it.
  void Export();

  NumberRegister* reg_;
  std::string series_;
  std::string problem_;
  JournalModel* model_ = nullptr;
  QLabel* notice_;  // why the register or some of its records could not be read, no runs
  QTableView* runTable_;
  ClickLabel* exportCommand_;
};

}  // namespace zirvo
