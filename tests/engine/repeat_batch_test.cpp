// zirvo-batch repeat, run as scripts run it: the new template it writes
// prints every ticket once, in piles; what it refuses leaves no file.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <algorithm>
#include <set>

#include "engine_support.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RunTool;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

class RepeatBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    // One ticket: numerator 1 from 1, mask 4, at 1.00, 1.00 of a 21.50 x 28.00 cm sheet.
    Template ticket;
    ticket.StartNew("Boleto", 21.5, 28.0);
    ticket.AddRow(TemplateTable::Numerators);
    ticket.CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, "1");
    ticket.CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kHorizontal, "1.00");
    ticket.CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kVertical, "1.00");
    SaveTemplate(Local(kTicket), ticket);
  }
  std::string Local(const QString& path) const { return QFile::encodeName(path).toStdString(); }
  QTemporaryDir dir;
  const QString kTicket = dir.filePath("boleto.pla");
  const QString kNew = dir.filePath("pliego.pla");
};

TEST_F(RepeatBatch, AThousandTicketsFourUpComeOffInPiles) {
  const auto repeated =
      RunTool(kBatch, {"repeat", kTicket, "--grid", "2x2", "--pitch", "10,12", "--quantity", "1000",
                       "--order", "stack", "--output", kNew});
  ASSERT_EQ(repeated.exitCode, 0) << repeated.err;
  EXPECT_EQ(repeated.out, "sheets=250\n");
  EXPECT_EQ(LoadTemplate(Local(kNew))->Numerators().RowCount(), 4);

  if (RunTool("pdftotext", {"-v"}).exitCode < 0) GTEST_SKIP() << "pdftotext is not installed";
  const QString pdf = dir.filePath("run.pdf");
  const auto printed = RunTool(kBatch, {"print", kNew, "--output", pdf, "--sheets", "250"});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  ASSERT_EQ(PdfPageCount(pdf), 250);
  // Sheet s carries s, 250 + s, 500 + s and 750 + s: each pile consecutive.
  // pdftotext ends each page with a form feed.
  const QStringList pages =
      QString::fromStdString(RunTool("pdftotext", {pdf, "-"}).out).split('\f');
  ASSERT_GE(pages.size(), 250);
  std::set<int> seen;
  for (int sheet = 1; sheet <= 250; ++sheet) {
    QStringList words = pages[sheet - 1].split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    words.sort();
    ASSERT_EQ(words.size(), 4) << sheet;
    for (int pile = 0; pile < 4; ++pile) {
      const int number = words[pile].toInt();
      EXPECT_EQ(number, pile * 250 + sheet);
      EXPECT_TRUE(seen.insert(number).second) << number;
    }
  }
  EXPECT_EQ(seen.size(), 1000u);
  EXPECT_EQ(PdfPageWords(pdf, 1), (std::vector<std::string>{"0001", "0251", "0501", "0751"}));
  EXPECT_EQ(PdfPageWords(pdf, 250), (std::vector<std::string>{"0250", "0500", "0750", "1000"}));
}

TEST_F(RepeatBatch, RefusesWithOneLineAndWritesNothing) {
  const QString registerFile = dir.filePath("Registro.sqlite");
  const QStringList plan = {"--pitch", "10,12", "--quantity", "100", "--order", "across"};
  const struct {
    QStringList args;
    int exit;
    const char* message;
  } cases[] = {
      {QStringList{"repeat", kTicket, "--grid", "2x2", "--output", kTicket} + plan, 1,
       "boleto.pla"},
      {QStringList{"repeat", kTicket, "--grid", "2x2", "--output", registerFile} + plan, 1,
       "Registro.sqlite"},
      {{"repeat", kTicket, "--grid", "2x3", "--pitch", "10,14", "--quantity", "100", "--order",
        "across", "--output", kNew},
       1,
       "fuera de la hoja"},
      {QStringList{"repeat", kTicket, "--grid", "0x2", "--output", kNew} + plan, 1, "columnas"},
      {QStringList{"repeat", kTicket, "--grid", "61x1", "--output", kNew} + plan, 1, "columnas"},
      {{"repeat", kTicket, "--grid", "2x2", "--pitch", "10,12", "--quantity", "0", "--order",
        "stack", "--output", kNew},
       1,
       "cantidad"},
      {QStringList{"repeat", kTicket, "--grid", "2", "--output", kNew} + plan, 2, "--grid"},
      {QStringList{"repeat", kTicket, "--grid", "2x2", "--output", kNew, "--pitch", "10;12"}, 2,
       "--pitch"},
      {{"repeat", kTicket, "--grid", "2x2", "--pitch", "1,1", "--quantity", "4", "--order",
        "diagonal", "--output", kNew},
       2,
       "--order"},
      {{"repeat", kTicket, "--grid", "2x2", "--pitch", "1,1", "--quantity", "4", "--output", kNew},
       2,
       "--order"},
  };
  for (const auto& c : cases) {
    const auto r = RunTool(kBatch, c.args, 30000);
    const std::string command = c.args.join(' ').toStdString();
    EXPECT_EQ(r.exitCode, c.exit) << command << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("zirvo-batch: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.out, "") << command;
    EXPECT_FALSE(QFile::exists(kNew)) << command;
    EXPECT_FALSE(QFile::exists(registerFile)) << command;
  }
  EXPECT_EQ(LoadTemplate(Local(kTicket))->Numerators().RowCount(), 1);
}

}  // namespace
}  // namespace zirvo
