// Barcodes through zirvo-batch as scripts run it: every symbology at every
// angle decodes with zbarimg to exactly the text printed beside it, on the
// PDF pages at 600 and 300 dpi and on the preview's PNG; info lists the
// barcodes, and a barcode line that does not read refuses the template.
//
// ZIRVO_DECODE_SHEETS sets the sheets of the run (default 12).
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine_support.h"

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::RunTool;
using testing::ToolResult;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

ToolResult Batch(const QStringList& args) { return RunTool(kBatch, args, 1800000); }

// One item of each kind at each angle on an A4 sheet, each angle in its own
// quarter. Boxes: linear 9.00 x 1.50 cm (long enough for the preview at zoom 100),
// QR Code 2.50 cm square.
struct Item {
  int kind;  // as in the "|COD|" line
  int angle;
  const char* prefix;
  const char* mask;
  int line;  // 0 none, 1 above, 2 below
};
const Item kItems[] = {
    {0, 0, "F39-", "06", 1},    {1, 0, "F128-", "06", 2},   {2, 0, "84", "10", 2},
    {3, 0, "QR-", "06", 2},     {0, 90, "G39-", "06", 2},   {1, 90, "G128-", "06", 1},
    {2, 90, "85", "10", 1},     {3, 90, "QS-", "06", 2},    {0, 180, "H39-", "06", 1},
    {1, 180, "H128-", "06", 2}, {2, 180, "86", "10", 2},    {3, 180, "QT-", "06", 2},
    {0, 270, "J39-", "06", 2},  {1, 270, "J128-", "06", 1}, {2, 270, "87", "10", 1},
    {3, 270, "QU-", "06", 2},
};
constexpr double kLength = 9.0;

std::string Fixed(double v) { return QString::number(v, 'f', 2).toStdString(); }

std::string TemplateBytes() {
  std::string bytes = "|HJA|IMP100|C.pla|/t|0|0|0|0|0|0|21.00|29.70|0|15723990|0|0|0|0|F|F|\r\n";
  std::string codes;
  int row = 0;
  for (const Item& item : kItems) {
    const int i = row % 4;  // place within the quarter
    double x = 0, y = 0;
    switch (item.angle) {
      case 0:  // boxes run right and down from the anchor
        x = 1.5, y = 1.0 + i * 3.3;
        break;
      case 90:  // up and right
        x = 11.2 + i * 2.2, y = 1.5 + kLength;
        break;
      case 180:  // left and up
        x = 1.5 + kLength, y = 17.5 + i * 3.3;
        break;
      default:  // down and left
        x = 20.0 - i * 2.2, y = 16.0;
        break;
    }
    ++row;
    const std::string pos = (row < 10 ? "0" : "") + std::to_string(row);
    bytes += "|FOL|" + pos + "|" + item.prefix + "|" + std::to_string(1000 * row) + "||" +
             Fixed(x) + "|" + Fixed(y) + "|" + std::to_string(item.angle) + "|" + item.mask +
             "|Liberation Sans|10|0|A||\r\n";
    const bool qr = item.kind == 3;
    codes += "|COD|F|" + pos + "|" + std::to_string(item.kind) + "|" + std::to_string(item.line) +
             "|" + Fixed(qr ? 2.5 : 1.5) + "|" + Fixed(qr ? 0.0 : kLength) + "|\r\n";
  }
  return bytes + codes;
}

std::vector<std::string> Decoded(const QString& png) {
  const ToolResult r = RunTool("zbarimg", {"--quiet", "--raw", png});
  std::vector<std::string> symbols;
  for (const QString& s : QString::fromStdString(r.out).split('\n', Qt::SkipEmptyParts))
    symbols.push_back(s.trimmed().toStdString());
  std::sort(symbols.begin(), symbols.end());
  return symbols;
}

// What numerator `row` (from 1) prints on sheet `sheet` (from 1), increment 1.
std::string Printed(int row, int sheet) {
  const Item& item = kItems[row - 1];
  std::string number = std::to_string(1000 * row + sheet - 1);
  const auto width = static_cast<std::size_t>(std::stoi(item.mask));
  if (number.size() < width) number.insert(0, width - number.size(), '0');
  return item.prefix + number;
}

// Pages rasterised by one pdftoppm call.
constexpr int kPagesPerBatch = 50;

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  for (const QString& w :
       QString::fromStdString(text).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
    words.push_back(w.toStdString());
  std::sort(words.begin(), words.end());
  return words;
}

// The text of each page of a PDF.
std::vector<std::string> PageTexts(const QString& pdf) {
  const ToolResult r = RunTool("pdftotext", {pdf, "-"}, 1800000);
  std::vector<std::string> pages;
  std::string page;
  for (char c : r.out) {
    if (c == '\f') {
      pages.push_back(page);
      page.clear();
    } else {
      page += c;
    }
  }
  return pages;
}

class BatchBarcodes : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"pdftoppm", "zbarimg"})
      if (RunTool(tool, {"-v"}).exitCode < 0) GTEST_SKIP() << tool << " is not installed";
    QFile file(Path("C.pla"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = TemplateBytes();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  QTemporaryDir dir;
  QString Path(const QString& name) const { return dir.filePath(name); }
  // pdftoppm numbers its files with as many digits as the last page has.
  QString PagePng(int page, int pages) const {
    const int digits = QString::number(pages).size();
    return Path(QString("p-%1.png").arg(page, digits, 10, QChar('0')));
  }
};

TEST_F(BatchBarcodes, EveryKindAtEveryAngleDecodesToTheTextPrintedBesideIt) {
  const char* env = std::getenv("ZIRVO_DECODE_SHEETS");
  const int sheets = env != nullptr ? std::max(1, std::atoi(env)) : 12;
  const struct {
    const char* what;
    QStringList args;  // the PDF is printed at this resolution, pages read at 300 dpi
  } runs[] = {{"600 dpi", {"--dpi", "600"}},
              // The same numbers again, which the journal would refuse.
              {"300 dpi", {"--dpi", "300", "--allow-reprint"}}};
  for (const auto& run : runs) {
    const QString pdf = Path("run.pdf");
    const auto printed = Batch(
        QStringList{"print", Path("C.pla"), "--output", pdf, "--sheets", QString::number(sheets)} +
        run.args);
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    ASSERT_EQ(PdfPageCount(pdf), sheets);
    // The words of every page at once; pdftotext ends each page with a form feed.
    const std::vector<std::string> pageTexts = PageTexts(pdf);
    ASSERT_GE(pageTexts.size(), static_cast<std::size_t>(sheets));
    for (int first = 1; first <= sheets; first += kPagesPerBatch) {
      const int last = std::min(sheets, first + kPagesPerBatch - 1);
      ASSERT_EQ(RunTool("pdftoppm", {"-r", "300", "-f", QString::number(first), "-l",
                                     QString::number(last), "-png", pdf, Path("p")})
                    .exitCode,
                0);
      for (int page = first; page <= last; ++page) {
        const QString png = PagePng(page, sheets);
        const std::vector<std::string> decoded = Decoded(png);
        QFile::remove(png);
        // Every symbol decodes to a word printed on the page, and the page
        // prints nothing but the sixteen lines.
        EXPECT_EQ(decoded, Words(pageTexts[static_cast<std::size_t>(page - 1)]))
            << run.what << " page " << page;
        ASSERT_EQ(decoded.size(), std::size(kItems)) << run.what << " page " << page;
        for (int row = 1; row <= static_cast<int>(std::size(kItems)); ++row) {
          const std::string text = Printed(row, page);
          // An EAN-13 carries its check digit as well, printed beside it too.
          const bool found = std::any_of(decoded.begin(), decoded.end(), [&](const std::string& d) {
            return kItems[row - 1].kind == 2 ? d.size() == 13 && d.rfind(text, 0) == 0 : d == text;
          });
          EXPECT_TRUE(found) << run.what << " page " << page << ": " << text;
        }
      }
    }
  }

  // The preview of the first sheet, as a PNG at zoom 100.
  const QString png = Path("preview.png");
  const auto preview = Batch({"preview", Path("C.pla"), "--output", png, "--zoom", "100"});
  ASSERT_EQ(preview.exitCode, 0) << preview.err;
  const std::vector<std::string> decoded = Decoded(png);
  EXPECT_EQ(decoded.size(), std::size(kItems));
  for (int row = 1; row <= static_cast<int>(std::size(kItems)); ++row)
    EXPECT_TRUE(std::any_of(decoded.begin(), decoded.end(),
                            [&](const std::string& d) { return d.rfind(Printed(row, 1), 0) == 0; }))
        << "preview: " << Printed(row, 1);
}

TEST_F(BatchBarcodes, InfoListsTheBarcodesAndABadLineRefusesTheTemplate) {
  const auto text = Batch({"info", Path("C.pla")});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("prefix=\"QR-\" number=4000 suffix=\"\" mask=6 reverse=false "
                          "horizontal=1.50 vertical=10.90 rotation=0 font=\"Liberation Sans\" "
                          "size=10 colour=0 barcode=true barcodeType=\"qr\" "
                          "barcodePosition=\"below\" barHeight=2.50 barLength=0.00"),
            std::string::npos)
      << text.out;
  const auto json = Batch({"info", Path("C.pla"), "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  EXPECT_NE(json.out.find("\"barcode\": true, \"barcodeType\": \"code39\", \"barcodePosition\": "
                          "\"above\", \"barHeight\": 1.50, \"barLength\": 9.00"),
            std::string::npos)
      << json.out;

  const struct {
    const char* line;
  } bad[] = {{"|COD|F|17|1|2|1.50|5.00|"},
             {"|COD|M|01|1|2|1.50|5.00|"},
             {"|COD|F|01|9|2|1.50|5.00|"},
             {"|COD|F|02|1|2|abc|5.00|"}};
  for (const auto& c : bad) {
    QFile file(Path("Bad.pla"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((TemplateBytes() + c.line + "\r\n").c_str());
    file.close();
    const QString pdf = Path("bad.pdf");
    for (const QStringList& args : {QStringList{"info", Path("Bad.pla")},
                                    QStringList{"print", Path("Bad.pla"), "--output", pdf}}) {
      const auto r = Batch(args);
      EXPECT_EQ(r.exitCode, 1) << c.line;
      // One line naming the file and the line.
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
      EXPECT_NE(r.err.find("Bad.pla"), std::string::npos) << r.err;
      EXPECT_NE(r.err.find(std::string(" 34 ")), std::string::npos) << r.err;
      EXPECT_NE(r.err.find(c.line), std::string::npos) << r.err;
      EXPECT_TRUE(r.out.empty());
    }
    EXPECT_FALSE(QFileInfo::exists(pdf));
  }
}

}  // namespace
}  // namespace zirvo
