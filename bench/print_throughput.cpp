// Print throughput: a template with 8 numerators and 4 marginal texts
// printed to PDF at 600 dpi through the engine, against a bare QPainter loop
// that draws the same twelve texts per page (same fonts, colours, places and
// turns) straight to a QPrinter PDF, its fonts and frames made once before
// the loop.
//
//   print_throughput [SHEETS] [ROUNDS] [--code128] [--tickets]
//   (default 10000 sheets, 3 rounds; --code128 adds the engine with every
//   numerator drawn as a Code 128 barcode, 5.00 x 1.50 cm, line below;
//   --tickets adds the engine on a 10-up ticket sheet of 50 items, with
//   stubs and check digits, compared by items drawn per second)
//
// The allocator setting the programs make at start-up cannot be undone in a
// process, so each figure is measured in a child process of its own (this
// program again, with --child): the engine and the bare loop as the programs
// run them, and both again with the allocator's defaults. The rounds take
// turns, so that a busy machine slows every figure alike; the best round of
// each is shown.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/platform.h"
#include "bench_sheet.h"
#include "printing/print_engine.h"
#include "printing/qprinter_device_qt.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

double Mb(long long bytes) { return bytes / 1048576.0; }

// What a child measured.
struct Figures {
  double seconds = 0;
  long long before = 0, at1000 = 0, atEnd = 0, peak = 0;
};

// The job with every numerator drawn as a Code 128 barcode.
PrintJob WithCode128(PrintJob job) {
  for (Numerator& n : job.Numerators) {
    n.Barcode = BarcodeSetting{BarcodeKind::Code128, ReadableLine::Below, 1.5, 5.0};
  }
  return job;
}

// Notes the memory at 1,000 sheets; numerators counting down below 0 print.
struct MemoryProbe : RunObserver {
  long long at1000 = 0;
  void SetProgressPosition(RunPanel, int32_t position) override {
    if (position == 1000) at1000 = platform::ResidentBytes();
  }
  bool ConfirmNegative(const std::string&) override { return true; }
};

Figures EngineRun(const QString& file, int sheets, const PrintJob& job) {
  QPrinterDevice device;
  MemoryProbe probe;
  PrintEngine engine(device, &probe);
  engine.LoadPrintJob(job);
  PrinterSetting setting = PrinterSetting::PdfFile(file.toStdString());
  setting.paper = PaperKind::Letter;
  setting.resolution = 600;
  engine.SelectPrinter(setting, "bench");
  engine.SetRunSettings("1", "1", std::to_string(sheets));

  Figures f;
  f.before = platform::ResidentBytes();
  const auto start = Clock::now();
  engine.PrintAll();
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  f.at1000 = probe.at1000;
  f.atEnd = platform::ResidentBytes();
  return f;
}

// The same twelve texts in the same fonts, colours, places and turns, drawn
// without the engine.
Figures BareLoop(const QString& file, int pages) {
  const PrintJob job = bench::PrintBenchJob();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setResolution(600);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setFullPage(true);
  auto dots = [](double cm) { return static_cast<int>(cm / 2.54 * 600 + 0.5); };
  struct Item {
    QFont font;
    QTransform place;  // the item's frame on the page
    int ascent = 0;
    QColor colour;
    QString prefix, suffix, text;
    bool numbered = false;
    int number = 0, step = 0, mask = 0;
  };
  std::vector<Item> items;
  auto add = [&](const std::string& font, int size, double h, double v, double rotation,
                 int colour) {
    Item item;
    item.font = QFont(QString::fromStdString(font));
    item.font.setPixelSize((size * 600 + 36) / 72);
    item.place.translate(dots(h), dots(v));
    if (rotation != 0) item.place.rotate(-rotation);
    item.ascent = QFontMetrics(item.font, &printer).ascent();
    item.colour = QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    items.push_back(item);
    return &items.back();
  };
  items.reserve(job.Numerators.size() + job.Marginals.size());
  for (const Numerator& n : job.Numerators) {
    Item* item = add(n.Font, n.Size, n.Horizontal, n.Vertical, n.Rotation, n.Colour);
    item->prefix = QString::fromLatin1(n.Prefix.c_str());
    item->suffix = QString::fromLatin1(n.Suffix.c_str());
    item->number = n.Number;
    item->step = n.Reverse ? -1 : 1;
    item->mask = n.Mask;
    item->numbered = true;
  }
  for (const MarginalText& m : job.Marginals)
    add(m.Font, m.Size, m.Horizontal, m.Vertical, m.Rotation, m.Colour)->text =
        QString::fromLatin1(m.Text.c_str());

  Figures f;
  f.before = platform::ResidentBytes();
  const auto start = Clock::now();
  QPainter painter(&printer);
  for (int page = 0; page < pages; ++page) {
    for (const Item& item : items) {
      QString text = item.text;
      if (item.numbered) {
        const int number = item.number + item.step * page;
        text = item.prefix + (number < 0 ? "-" : "") +
               QString::number(std::abs(number)).rightJustified(item.mask, '0') + item.suffix;
      }
      painter.setWorldTransform(item.place);
      painter.setFont(item.font);
      painter.setPen(item.colour);
      painter.drawText(QPoint(0, item.ascent), text);
    }
    if (page + 1 == 1000) f.at1000 = platform::ResidentBytes();
    if (page + 1 < pages) printer.newPage();
  }
  painter.end();
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  f.atEnd = platform::ResidentBytes();
  return f;
}

// One measurement in this process: "engine", "bare", "engine-naive" or
// "bare-naive" (those two with the allocator's defaults), "engine-code128".
int Child(int argc, char** argv, const std::string& what, int sheets) {
  if (what.find("naive") == std::string::npos) platform::KeepLargeBuffers();
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QTemporaryDir dir;
  const QString file = dir.filePath("out.pdf");
  const PrintJob job = what == "engine-code128"   ? WithCode128(bench::PrintBenchJob())
                       : what == "engine-tickets" ? bench::TicketBenchJob()
                                                  : bench::PrintBenchJob();
  Figures f = what.rfind("engine", 0) == 0 ? EngineRun(file, sheets, job) : BareLoop(file, sheets);
  f.peak = platform::PeakResidentBytes();
  std::printf("%.6f %lld %lld %lld %lld\n", f.seconds, f.before, f.at1000, f.atEnd, f.peak);
  return 0;
}

bool Measure(const QString& self, const std::string& what, int sheets, Figures& f) {
  QProcess child;
  // The allocator's defaults for the naive figures, whatever the shell sets.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("GLIBC_TUNABLES");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start(self, {"--child", QString::fromStdString(what), QString::number(sheets)});
  if (!child.waitForFinished(-1) || child.exitCode() != 0) return false;
  const std::string out = child.readAllStandardOutput().toStdString();
  return std::sscanf(out.c_str(), "%lf %lld %lld %lld %lld", &f.seconds, &f.before, &f.at1000,
                     &f.atEnd, &f.peak) == 5;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
    return Child(argc, argv, argv[2], std::stoi(argv[3]));

  QCoreApplication app(argc, argv);
  std::vector<int> numbers;
  bool code128 = false, tickets = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--code128") == 0) {
      code128 = true;
    } else if (std::strcmp(argv[i], "--tickets") == 0) {
      tickets = true;
    } else {
      numbers.push_back(std::stoi(argv[i]));
    }
  }
  const int sheets = numbers.size() > 0 ? numbers[0] : 10000;
  const int rounds = numbers.size() > 1 ? std::max(1, numbers[1]) : 3;
  const QString self = QCoreApplication::applicationFilePath();
  std::vector<std::string> kinds = {"engine", "bare", "engine-naive", "bare-naive"};
  if (code128) kinds.push_back("engine-code128");
  if (tickets) kinds.push_back("engine-tickets");
  std::map<std::string, Figures> best;
  for (int round = 0; round < rounds; ++round) {
    for (const std::string& what : kinds) {
      Figures f;
      if (!Measure(self, what, sheets, f)) {
        std::fprintf(stderr, "print_throughput: the %s measurement failed\n", what.c_str());
        return 1;
      }
      auto found = best.find(what);
      if (found == best.end() || f.seconds < found->second.seconds) best[what] = f;
    }
  }

  auto rate = [&](const std::string& what) { return sheets / best[what].seconds; };
  std::printf(
      "sheets:                  %d (8 numerators, 4 marginal texts, 600 dpi, PDF), "
      "best of %d\n",
      sheets, rounds);
  const struct {
    const char* label;
    const char* what;
  } lines[] = {
      {"engine:                  ", "engine"},
      {"bare loop, churn-free:   ", "bare"},
      {"bare loop, naive:        ", "bare-naive"},
      {"engine, glibc defaults:  ", "engine-naive"},
  };
  for (const auto& line : lines)
    std::printf("%s%6.0f pages/s (%.2f s)\n", line.label, rate(line.what), best[line.what].seconds);
  std::printf("engine / churn-free bare loop: %.2f\n", rate("engine") / rate("bare"));
  std::printf("engine / naive bare loop:      %.2f\n", rate("engine") / rate("bare-naive"));
  std::printf("churn-free / naive bare loop:  %.2f\n", rate("bare") / rate("bare-naive"));
  if (code128) {
    const Figures& c = best["engine-code128"];
    std::printf(
        "engine, 8 Code 128 barcodes: %6.0f pages/s (%.2f s), %.2f of text only, "
        "peak RSS %.1f MB\n",
        rate("engine-code128"), c.seconds, rate("engine-code128") / rate("engine"), Mb(c.peak));
    std::printf(
        "engine, Code 128 RSS: %.1f MB before the run, %.1f MB at 1,000 sheets, %.1f MB at %d\n",
        Mb(c.before), Mb(c.at1000), Mb(c.atEnd), sheets);
  }
  if (tickets) {
    // Items drawn per second: 12 on the print room's sheet, 50 on the ticket sheet.
    const double plain = rate("engine") * 12, ticketItems = rate("engine-tickets") * 50;
    std::printf(
        "engine, 10-up tickets (50 items): %6.0f pages/s, %.0f items/s against %.0f: %.2f\n",
        rate("engine-tickets"), ticketItems, plain, ticketItems / plain);
  }
  const Figures& e = best["engine"];
  std::printf(
      "engine RSS: %.1f MB before the run, %.1f MB at 1,000 sheets, %.1f MB at %d, "
      "peak %.1f MB\n",
      Mb(e.before), Mb(e.at1000), Mb(e.atEnd), sheets, Mb(e.peak));
  std::printf("bare loop, churn-free, peak RSS: %.1f MB\n", Mb(best["bare"].peak));
  return 0;
}
