// zirvo-batch repeat, run as scripts run it: the new template it writes
// prints every ticket once, in piles; what it refuses leaves no file.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "engine_support.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

using testing::RunTool;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

class RepeatBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    // One ticket: numerator 1 from 1, mask 4, at 1.00, 1.00 of a 21.50 x 28.00 cm sheet.
    QFile ticket(kTicket);
    ASSERT_TRUE(ticket.open(QIODevice::WriteOnly));
    ticket.write(
        "|HJA|IMP100|boleto.pla|/t|0|0|0|0|0|0|21.50|28.00|0|0|0|0|0|0|F|F|\r\n"
        "|FOL|01||1||1.00|1.00|0|04|Arial|12|0|A||\r\n");
  }
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

  if (RunTool("pdftotext", {"-v"}).exitCode < 0) GTEST_SKIP() << "pdftotext is not installed";
  const QString pdf = dir.filePath("run.pdf");
  const auto printed = RunTool(kBatch, {"print", kNew, "--output", pdf, "--sheets", "250"});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  // Page s shows s, 250 + s, 500 + s and 750 + s: each pile consecutive,
  // every number once. pdftotext ends each page with a form feed.
  const QStringList pages =
      QString::fromStdString(RunTool("pdftotext", {pdf, "-"}).out).split('\f');
  ASSERT_EQ(pages.size(), 251);  // after the last form feed, nothing
  for (int sheet = 1; sheet <= 250; ++sheet) {
    QStringList words = pages[sheet - 1].split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    words.sort();
    QStringList piles;
    for (int pile = 0; pile < 4; ++pile)
      piles << QString("%1").arg(pile * 250 + sheet, 4, 10, QChar('0'));
    EXPECT_EQ(words.join(' ').toStdString(), piles.join(' ').toStdString());
  }
}

TEST_F(RepeatBatch, RefusesWithOneLineAndWritesNothing) {
  const QString registerFile = dir.filePath("Registro.sqlite");
  const auto repeat = [&](const char* grid, const QString& output, const char* order = "across") {
    return QStringList{"repeat",     kTicket, "--grid",  grid,  "--pitch",  "10,14",
                       "--quantity", "100",   "--order", order, "--output", output};
  };
  const struct {
    QStringList args;
    int exit;
    const char* message;
  } cases[] = {
      {repeat("2x2", kTicket), 1, "boleto.pla"},
      {repeat("2x2", registerFile), 1, "Registro.sqlite"},
      {repeat("2x3", kNew), 1, "fuera de la hoja"},  // 1.00 + 2 x 14 > 28.00
      {repeat("2", kNew), 2, "--grid"},
      {repeat("2x2", kNew, "diagonal"), 2, "--order"},
      {repeat("2x2", kNew).mid(0, 8) + QStringList{"--output", kNew}, 2, "--order"},
  };
  for (const auto& c : cases) {
    const auto r = RunTool(kBatch, c.args, 30000);
    const std::string command = c.args.join(' ').toStdString();
    EXPECT_EQ(r.exitCode, c.exit) << command << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("zirvo-batch: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(QFile::exists(kNew) || QFile::exists(registerFile)) << command;
  }
  EXPECT_EQ(LoadTemplate(QFile::encodeName(kTicket).toStdString())->Numerators().RowCount(), 1);
}

}  // namespace
}  // namespace zirvo
