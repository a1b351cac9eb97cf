// Print throughput: a template with 8 numerators and 4 marginal texts
// printed to PDF at 600 dpi through the engine, against a bare QPainter loop
// that draws the same twelve texts per page (same fonts, places and turns)
// straight to a QPrinter PDF.
//
//   print_throughput [SHEETS] [--code128]   (default 10000; --code128 draws
//   every numerator as a Code 128 barcode, 5.00 x 1.50 cm, line below)
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/platform.h"
#include "printing/print_engine.h"
#include "printing/qprinter_device_qt.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

double Mb(long long bytes) { return bytes / 1048576.0; }

PrintJob BenchJob() {
  PrintJob job;
  job.Sheet.Name = "Bench";
  for (int i = 0; i < 8; ++i) {
    Numerator n;
    n.Position = i + 1;
    n.Number = 1000 * (i + 1);
    n.Prefix = i % 2 ? "N-" : "";
    n.Mask = 6;
    n.Horizontal = 1.0 + (i % 4) * 5.0;
    n.Vertical = 2.0 + (i / 4) * 12.0;
    n.Rotation = (i % 4) * 90.0;
    n.Reverse = i % 3 == 0;
    n.Size = 10 + i;
    job.Numerators.push_back(n);
  }
  for (int i = 0; i < 4; ++i) {
    MarginalText m;
    m.Position = i + 1;
    m.Text = "Texto marginal de prueba " + std::to_string(i + 1);
    m.Horizontal = 2.0;
    m.Vertical = 20.0 + i * 2.0;
    m.Size = 9;
    job.Marginals.push_back(m);
  }
  job.NumeratorCount = 8;
  job.MarginalCount = 4;
  return job;
}

// The job with every numerator drawn as a Code 128 barcode.
PrintJob WithCode128(PrintJob job) {
  for (Numerator& n : job.Numerators) {
    n.Barcode = true;
    n.BarcodeType = "1";
    n.BarcodePosition = "2";
    n.BarHeight = 1.5;
    n.BarLength = 5.0;
  }
  return job;
}

// Notes the memory at 1,000 sheets and at the end.
struct MemoryProbe : RunObserver {
  long long at1000 = 0;
  void SetProgressPosition(RunPanel, int32_t position) override {
    if (position == 1000) at1000 = platform::ResidentBytes();
  }
};

// The same twelve texts, fonts, places and turns, drawn without the engine.
double BareLoop(const QString& file, const PrintJob& job, int pages) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setResolution(600);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setFullPage(true);
  auto fontOf = [](int size) {
    QFont font("Arial");
    font.setPixelSize(size * 600 / 72);
    return font;
  };
  auto dots = [](double cm) { return static_cast<int>(cm / 2.54 * 600); };
  const auto start = Clock::now();
  QPainter painter(&printer);
  for (int page = 0; page < pages; ++page) {
    for (const Numerator& n : job.Numerators) {
      painter.save();
      painter.setFont(fontOf(n.Size));
      painter.translate(dots(n.Horizontal), dots(n.Vertical));
      painter.rotate(-n.Rotation);
      painter.drawText(QPoint(0, 100), QString::number(n.Number + page).rightJustified(6, '0'));
      painter.restore();
    }
    for (const MarginalText& m : job.Marginals) {
      painter.setFont(fontOf(m.Size));
      painter.drawText(QPoint(dots(m.Horizontal), dots(m.Vertical)),
                       QString::fromLatin1(m.Text.c_str()));
    }
    if (page + 1 < pages) printer.newPage();
  }
  painter.end();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int sheets = argc > 1 ? std::stoi(argv[1]) : 10000;
  QTemporaryDir dir;

  QPrinterDevice device;
  MemoryProbe probe;
  PrintEngine engine(device, &probe);
  const bool code128 = argc > 2 && std::string(argv[2]) == "--code128";
  engine.LoadPrintJob(code128 ? WithCode128(BenchJob()) : BenchJob());
  PrinterSetting setting = PrinterSetting::PdfFile(dir.filePath("engine.pdf").toStdString());
  setting.paper = PaperKind::Letter;
  setting.resolution = 600;
  engine.SelectPrinter(setting, "bench");
  engine.SetRunSettings("1", "1", std::to_string(sheets));

  const long long before = platform::ResidentBytes();
  const auto start = Clock::now();
  engine.PrintAll();
  const double engineSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  const long long atEnd = platform::ResidentBytes();
  const double bareSeconds = BareLoop(dir.filePath("bare.pdf"), BenchJob(), sheets);

  const double engineRate = sheets / engineSeconds;
  const double bareRate = sheets / bareSeconds;
  std::printf("sheets:                %d (8 numerators%s, 4 marginal texts, 600 dpi, PDF)\n",
              sheets, code128 ? " as Code 128" : "");
  std::printf("engine:                %.0f sheets/s (%.2f s)\n", engineRate, engineSeconds);
  std::printf("bare QPainter loop:    %.0f pages/s (%.2f s)\n", bareRate, bareSeconds);
  std::printf("ratio to the baseline: %.2f\n", engineRate / bareRate);
  std::printf("RSS before the run:    %.1f MB\n", Mb(before));
  std::printf("RSS at 1,000 sheets:   %.1f MB\n", Mb(probe.at1000));
  std::printf("RSS at %d sheets: %.1f MB\n", sheets, Mb(atEnd));
  std::printf("peak RSS:              %.1f MB\n", Mb(platform::PeakResidentBytes()));
  return 0;
}
