// TFDiario: the journal screen of the print page. The runs of the template's
// journal, newest first (date, kind, sheets, numbers, target, result), a line
// above them for what could not be read, and "Reponer", which picks the
// numbers of one run for the reposition list.
#pragma once

#include <QAbstractTableModel>
#include <QLabel>
#include <QTableView>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "printing/run_journal.h"
#include "widgets/general_dialogs_qt.h"

namespace zirvo {

// The journal's runs as table rows. Texts are made when a cell is shown, so
// a journal of thousands of runs opens without formatting them all.
class JournalModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kDate, kKind, kSheets, kNumbers, kTarget, kResult, kColumnCount };

  // `runs` in the order they began; the rows show them newest first.
  explicit JournalModel(std::vector<JournalRun> runs, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  const JournalRun& RunAt(int row) const;
  QString Text(int row, int column) const;

 private:
  std::vector<JournalRun> runs_;
};

class TFDiario : public GeneralDialog {
  Q_OBJECT
 public:
  // Reads the journal at `journalPath`; "" stands for a template without a
  // file, which has none.
  explicit TFDiario(const std::string& journalPath);

  // Shows the dialog. When the user chose "Reponer" on a row: its numbers to
  // add to the reposition list, at most `limit`, `left` telling how many of
  // them were left out. Otherwise nothing.
  std::vector<int64_t> Run(std::size_t limit, int64_t& left);

  QLabel* Et_Aviso;  // damaged lines, an empty journal, no journal
  QTableView* Tb_Diario;
  JournalModel* Model() const { return model_; }

 protected:
  // "Reponer" (and Enter) act only with a row chosen.
  void accept() override;

 private:
  JournalModel* model_ = nullptr;
};

}  // namespace zirvo
