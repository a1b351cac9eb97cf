// Runs printed through the real QPrinter to PDF, read back with poppler and
// zbar.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "base/text.h"
#include "engine_support.h"
#include "printing/print_engine.h"
#include "printing/qprinter_device_qt.h"
#include "render/barcode.h"

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RunTool;
using Words = std::vector<std::string>;

Numerator MakeNumerator(int32_t number, double h, double v, bool reverse = false) {
  Numerator n;
  n.Position = 1;
  n.Number = number;
  n.Horizontal = h;
  n.Vertical = v;
  n.Reverse = reverse;
  return n;
}

PrintJob Job(NumeratorList numerators, MarginalTextList marginals = {}) {
  PrintJob job;
  job.Sheet.Name = "Facturas";
  job.NumeratorCount = static_cast<int32_t>(numerators.size());
  job.MarginalCount = static_cast<int32_t>(marginals.size());
  job.Numerators = std::move(numerators);
  job.Marginals = std::move(marginals);
  return job;
}

PrinterSetting PdfSetting(const QString& path, double widthCm = 21.0, double heightCm = 29.7) {
  PrinterSetting s = PrinterSetting::PdfFile(path.toStdString());
  s.paper = PaperKind::Custom;
  s.paperWidthCm = widthCm;
  s.paperHeightCm = heightCm;
  s.resolution = 600;
  return s;
}

class PdfOutput : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QPrinterDevice device;
  PrintEngine engine{device};
  QString Path(const char* name) const { return dir.filePath(name); }
  void Choose(const PrinterSetting& s) { engine.SelectPrinter(s, s.DisplayName()); }
};

TEST_F(PdfOutput, EveryPageCarriesTheNumbersOfItsSheet) {
  MarginalText m;
  m.Text = " Copia ";
  m.Horizontal = 2;
  m.Vertical = 25;
  engine.LoadPrintJob(Job({MakeNumerator(100, 2, 3), MakeNumerator(50, 12, 3, true)}, {m}));
  const QString pdf = Path("run.pdf");
  Choose(PdfSetting(pdf));
  engine.SetRunSettings("5", "2", "3");
  ASSERT_TRUE(engine.PrintAll());
  ASSERT_EQ(PdfPageCount(pdf), 6);
  const Words expected[] = {{"0050", "0100", "Copia"}, {"0050", "0100", "Copia"},
                            {"0045", "0105", "Copia"}, {"0045", "0105", "Copia"},
                            {"0040", "0110", "Copia"}, {"0040", "0110", "Copia"}};
  for (int page = 1; page <= 6; ++page)
    EXPECT_EQ(PdfPageWords(pdf, page), expected[page - 1]) << page;
  const auto info = RunTool("pdfinfo", {pdf}).out;
  EXPECT_NE(info.find("Zirvo: Facturas"), std::string::npos) << info;
}

TEST_F(PdfOutput, ANumeratorLandsWhereTheTemplatePutsIt) {
  engine.LoadPrintJob(Job({MakeNumerator(4711, 2.00, 3.00)}));
  const QString pdf = Path("place.pdf");
  Choose(PdfSetting(pdf));
  engine.SetRunSettings("1", "1", "1");
  ASSERT_TRUE(engine.PrintAll());
  const auto bbox = RunTool("pdftotext", {"-bbox", pdf, "-"}).out;
  const QRegularExpression word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">4711</word>");
  const auto match = word.match(QString::fromStdString(bbox));
  ASSERT_TRUE(match.hasMatch()) << bbox;
  const double xCm = match.captured(1).toDouble() / 72.0 * 2.54;
  const double yCm = match.captured(2).toDouble() / 72.0 * 2.54;
  EXPECT_NEAR(xCm, 2.00, 0.05);
  EXPECT_NEAR(yCm, 3.00, 0.05);
}

TEST_F(PdfOutput, ACancelledOrFailedRunLeavesNoFile) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 2, 3)}));
  const QString pdf = Path("cancelled.pdf");
  Choose(PdfSetting(pdf));
  engine.SetRunSettings("1", "1", "10");
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  ASSERT_TRUE(engine.PrintAll());
  device.SetPageSpooledHook(nullptr);
  EXPECT_FALSE(QFile::exists(pdf));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

  // An existing file survives a cancelled run unchanged.
  QFile old(pdf);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  engine.PrintAll();
  device.SetPageSpooledHook(nullptr);
  QFile kept(pdf);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "old");

  // A folder that does not exist: the run fails with a message naming the file.
  const QString missing = Path("no/such/folder/run.pdf");
  Choose(PdfSetting(missing));
  try {
    engine.PrintAll();
    FAIL() << "printing into a missing folder succeeded";
  } catch (const ZirvoError& e) {
    EXPECT_NE(std::string(e.what()).find(missing.toStdString()), std::string::npos) << e.what();
  }
  EXPECT_FALSE(device.DocumentOpen());
}

// Each symbology at each angle, one item per page, decoded by zbarimg.
TEST_F(PdfOutput, BarcodesDecodeAtEveryAngle) {
  if (RunTool("zbarimg", {"--version"}).exitCode != 0) GTEST_SKIP() << "zbarimg is not installed";
  const struct {
    BarcodeKind type;
    const char* text;
    const char* decoded;
  } symbols[] = {{BarcodeKind::Code39, "ZIRVO-123", "ZIRVO-123"},
                 {BarcodeKind::Code128, "AB-12", "AB-12"},
                 {BarcodeKind::Ean13, "501234567890", "5012345678900"}};
  const double angles[] = {0, 90, 180, 270};
  for (const auto& symbol : symbols) {
    for (double angle : angles) {
      MarginalText m;
      m.Text = symbol.text;
      m.Horizontal = angle == 180 || angle == 90 ? 14.0 : 4.0;
      m.Vertical = angle == 180 || angle == 90 ? 14.0 : 4.0;
      m.Rotation = angle;
      m.Barcode = BarcodeSetting{symbol.type, ReadableLine::Below, 2.5, 8.0};
      m.Size = 14;
      engine.LoadPrintJob(Job({}, {m}));
      const QString pdf = Path("bars.pdf");
      Choose(PdfSetting(pdf, 20.0, 20.0));
      engine.SetRunSettings("1", "1", "1");
      ASSERT_TRUE(engine.PrintAll());
      const QString png = Path("bars");
      ASSERT_EQ(RunTool("pdftoppm", {"-r", "200", "-png", "-singlefile", pdf, png}).exitCode, 0);
      const auto decoded = RunTool("zbarimg", {"--quiet", "--raw", png + ".png"});
      EXPECT_EQ(QString::fromStdString(decoded.out).trimmed().toStdString(), symbol.decoded)
          << "type " << static_cast<int>(symbol.type) << " angle " << angle;
    }
  }
}

TEST_F(PdfOutput, TheBackgroundFillsThePaper) {
  QImage image(4, 2, QImage::Format_RGB32);
  image.fill(QColor(0, 0, 200));
  PrintJob job = Job({MakeNumerator(7, 2, 3)});
  job.Background = std::make_shared<QtBitmap>(image);
  job.PrintBackground = true;
  engine.LoadPrintJob(job);
  const QString pdf = Path("background.pdf");
  Choose(PdfSetting(pdf, 10.0, 10.0));
  ASSERT_TRUE(engine.PrintAll());
  const QString png = Path("background");
  ASSERT_EQ(RunTool("pdftoppm", {"-r", "20", "-png", "-singlefile", pdf, png}).exitCode, 0);
  QImage page(png + ".png");
  ASSERT_FALSE(page.isNull());
  // Blue from corner to corner.
  for (QPoint p : {QPoint(0, 0), QPoint(page.width() - 1, page.height() - 1),
                   QPoint(page.width() - 1, 0), QPoint(0, page.height() - 1)})
    EXPECT_EQ(page.pixelColor(p).blue(), 200) << p.x() << "," << p.y();
}

}  // namespace
}  // namespace zirvo
