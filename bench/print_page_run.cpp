// A run from the print page, as the user starts it: the page shown, a PDF
// file chosen in the print dialog, the sheets typed in and "print all"
// clicked, the page serving its events while the run prints on its own thread. Then
// the same run through the engine alone, in the same process, for the ratio
// (the better of one run before and one after the page's).
//
//   print_page_run [SHEETS]   (default 10000)
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/platform.h"
#include "bench_sheet.h"
#include "catalog/catalog.h"
#include "pages/print_page_qt.h"
#include "printing/print_engine.h"
#include "printing/qprinter_device_qt.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

// Answers the print dialog with a PDF file once it is open.
void ChoosePdfWhenAsked(const QString& file) {
  QTimer::singleShot(50, [file] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ChoosePdfWhenAsked(file);
      return;
    }
    auto* printers = dialog->findChild<QComboBox*>("printers");
    printers->setCurrentIndex(printers->findText(QPrintDialog::tr("Print to File (PDF)")));
    dialog->findChild<QLineEdit*>("filename")->setText(file);
    dialog->accept();
  });
}

}  // namespace

int main(int argc, char** argv) {
  platform::KeepLargeBuffers();  // as the program does at start-up
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ProgramCatalog().LoadTable(1);
  const int sheets = argc > 1 ? std::stoi(argv[1]) : 10000;
  QTemporaryDir dir;
  // No numerator reaches 0 in the run: nobody is there to confirm it.
  PrintJob job = bench::PrintBenchJob();
  for (Numerator& n : job.Numerators) n.Number += sheets;

  PrintPage page;
  page.InitPage();
  page.LoadPrintJob(job);
  page.resize(900, 700);
  page.show();
  ChoosePdfWhenAsked(dir.filePath("page.pdf"));
  page.SelectPrinter();
  if (page.Engine().SelectedPrinter().empty()) {
    std::fprintf(stderr, "print_page_run: no PDF file was chosen\n");
    return 1;
  }
  // The engine alone on the page's setting, before and after the page's
  // run, so that neither is the first to load fonts and glyphs.
  QPrinterDevice device;
  PrintEngine engine(device);
  engine.LoadPrintJob(job);
  PrinterSetting setting = page.Engine().Setting();
  setting.outputFile = dir.filePath("engine.pdf").toStdString();
  engine.SelectPrinter(setting, "bench");
  engine.SetRunSettings("1", "1", std::to_string(sheets));
  auto timed = [](auto&& run) {
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  double engineSeconds = timed([&] { engine.PrintAll(); });
  page.findChild<QLineEdit*>("Ed_HojasImp")->setText(QString::number(sheets));
  // The page's run prints on a thread of its own: timed until it has ended.
  const double pageSeconds = timed([&] {
    page.PrintAll();
    while (page.Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  });
  engine.LoadPrintJob(job);  // numbers of its own again: the register asks nothing
  engineSeconds = std::min(engineSeconds, timed([&] { engine.PrintAll(); }));

  std::printf("sheets:           %d (8 numerators, 4 marginal texts, PDF at %d dpi)\n", sheets,
              device.Capability(DeviceCap::LogPixelsY));
  std::printf("print page:       %.0f pages/s (%.2f s)\n", sheets / pageSeconds, pageSeconds);
  std::printf("engine alone:     %.0f pages/s (%.2f s)\n", sheets / engineSeconds, engineSeconds);
  std::printf("page / engine:    %.2f\n", engineSeconds / pageSeconds);
  return 0;
}
