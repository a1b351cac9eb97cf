// zirvo-batch: the print engine for scripts and print rooms. It prints a
// template exactly as the print page does (a run, a test sheet or a
// reposition) to a PDF file or a CUPS queue, draws the preview's sheet to a
// PNG, shows what a template holds, or stores and prints a queue's
// calibration.
//
// Exit status: 0 done, 1 bad input or a printing failure (one line on stderr
// naming the file and the cause, nothing written), 2 a usage error, 130 a run
// cancelled with Ctrl+C (the document is aborted).
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

#include "base/platform.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "printing/batch_options.h"
#include "printing/print_engine.h"
#include "printing/printer_calibration.h"
#include "printing/qprinter_device_qt.h"
#include "render/painter_surface_qt.h"
#include "render/sheet_frame.h"
#include "render/sheet_render.h"
#include "template/print_job.h"
#include "template/template.h"
#include "template/template_codec.h"

namespace {

using namespace zirvo;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCancelled = 130;
constexpr int32_t kScreenPixelsPerInch = 96;
constexpr int64_t kMaxPreviewPixels = 200'000'000;

volatile std::sig_atomic_t interrupted = 0;
extern "C" void OnInterrupt(int) { interrupted = 1; }

// A failure to report: the message already names what failed.
struct Failure {
  std::string message;  // Windows-1252
};

std::string Named(const std::string& file, const std::string& message) {
  return message.find(file) != std::string::npos ? message : file + ": " + message;
}

// The template at `path` and its print job (header and exported rows).
struct LoadedTemplate {
  Template document;
  PrintJob job;
};

LoadedTemplate LoadTemplateFile(const std::string& path) {
  LoadedTemplate t;
  try {
    SkippedLines skipped;
    std::optional<Template> loaded = LoadTemplate(path, {}, &skipped);
    if (!loaded) throw Failure{Named(path, OwnText(OwnMessage::NotCompatible))};
    // A script must not print a template without a barcode it asked for.
    if (!skipped.empty())
      throw Failure{path + ": " +
                    OwnText(OwnMessage::BarcodeLineRefused, FormatInt(skipped.front().number),
                            skipped.front().text)};
    t.document.Replace(*loaded);
    t.job = t.document.ToPrintJob();
  } catch (const ZirvoError& e) {
    throw Failure{Named(path, e.what())};
  }
  return t;
}

std::shared_ptr<const QtBitmap> LoadBackground(const std::string& path) {
  if (path.empty()) return nullptr;
  QImageReader reader(QString::fromLocal8Bit(path.c_str()));
  QImage image = reader.read();
  if (image.isNull()) throw Failure{OwnText(OwnMessage::ImageNotDecoded, path)};
  return std::make_shared<QtBitmap>(std::move(image));
}

// The progress of a run on stderr, when stderr is a terminal, and Ctrl+C.
class TerminalObserver : public RunObserver {
 public:
  TerminalObserver(PrintEngine*& engine, bool showBar, bool allowReprint)
      : engine_(engine), showBar_(showBar), allowReprint_(allowReprint) {}
  void SetProgressMaximum(RunPanel, int32_t maximum) override { maximum_ = maximum; }
  void SetProgressPosition(RunPanel, int32_t position) override {
    if (interrupted && engine_ != nullptr) engine_->CancelRun();
    if (!showBar_ || maximum_ <= 0 || position <= 0) return;
    const int32_t percent = static_cast<int32_t>(int64_t{position} * 100 / maximum_);
    if (percent == lastPercent_ && position != maximum_) return;
    lastPercent_ = percent;
    const int filled = percent * 40 / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%% %d/%d", std::string(filled, '#').c_str(),
                 std::string(40 - filled, ' ').c_str(), percent, position, maximum_);
    std::fflush(stderr);
  }
  // What the run says beyond its steps (texts ending in "....", such as
  // waiting for the queue's jobs, which a terminal shows): a stopped
  // printer, a cancel.
  void ShowStatus(RunPanel, const std::string& text) override {
    if (text == kStatusProcessing || text == kStatusLoading || text == kStatusStarting) return;
    const bool step = text.size() >= 4 && text.compare(text.size() - 4, 4, "....") == 0;
    if (step && !showBar_) return;
    if (showBar_ && lastPercent_ >= 0) std::fputs("\n", stderr);
    std::cerr << "zirvo-batch: " << Cp1252ToUtf8(text) << "\n";
  }
  void ShowProgress(RunPanel, bool visible) override {
    if (!visible && showBar_ && lastPercent_ >= 0) std::fputs("\n", stderr);
    lastPercent_ = -1;
  }
  void Notice(const std::string& text) override { std::cerr << Cp1252ToUtf8(text) << "\n"; }
  // Nobody to ask: the warning is printed and the run goes on.
  bool ConfirmNegative(const std::string& text) override {
    Notice(text);
    return true;
  }
  // Numbers printed before go again only when the command line says so;
  // otherwise the refusal is the run's one line of failure.
  bool ConfirmReprint(const std::string& text) override {
    if (allowReprint_) {
      Notice(text);
      return true;
    }
    reprintRefusal_ = text + " " + OwnText(OwnMessage::ReprintRefused);
    return false;
  }
  const std::string& ReprintRefusal() const { return reprintRefusal_; }

 private:
  PrintEngine*& engine_;
  bool showBar_;
  bool allowReprint_;
  std::string reprintRefusal_;
  int32_t maximum_ = 0;
  int32_t lastPercent_ = -1;
};

// After a completed run: the template moves on past the numbers printed and
// is saved in place, so the next run starts at the next number.
void ContinueNumbering(const std::string& path, Template& document, const PrintEngine& engine) {
  const auto& outcome = engine.LastOutcome();
  if (!outcome || outcome->kind != RunKind::Run || outcome->event != RunEvent::Completed) return;
  try {
    document.AdvanceNumerators(outcome->completedSheets, outcome->increment);
    SaveTemplate(path, document);
  } catch (const ZirvoError& e) {
    throw Failure{Named(path, OwnText(OwnMessage::ContinueNotSaved, e.what()))};
  }
}

int Print(const BatchOptions& options) {
  LoadedTemplate t = LoadTemplateFile(options.templatePath);
  if (const auto background = LoadBackground(options.background)) {
    t.document.SetBackground(options.background, background);
    t.document.SetPrintBackground(true);
  }
  PrintJob job = t.document.ToPrintJob();
  job.TemplateFile = options.templatePath;

  QPrinterDevice device;
  PrintEngine* running = nullptr;
  TerminalObserver observer(running, platform::StandardErrorIsTerminal(), options.allowReprint);
  PrintEngine engine(device, &observer);
  running = &engine;
  device.SetPageSpooledHook([&] {
    if (interrupted) engine.CancelRun();
  });

  const PrinterSetting setting = BatchPrinterSetting(options, job.Sheet);
  engine.LoadPrintJob(job);
  engine.SelectPrinter(setting, setting.DisplayName().empty() ? "default" : setting.DisplayName());
  engine.SetRunSettings(options.increment, options.copies, options.sheets);
  for (const std::string& number : options.reposition) engine.AddRepositionEntry(number);

  std::signal(SIGINT, OnInterrupt);
  if (!options.reposition.empty())
    engine.PrintReposition();
  else if (options.testSheet)
    engine.PrintTestSheet();
  else
    engine.PrintAll();
  std::signal(SIGINT, SIG_DFL);
  if (!observer.ReprintRefusal().empty())
    throw Failure{Named(options.templatePath, observer.ReprintRefusal())};

  if (engine.CancelRequested() && interrupted) {
    // For a queue the status line has said up to which sheet CUPS printed.
    if (!device.CompletedSheets()) std::cerr << "zirvo-batch: cancelled; nothing was printed\n";
    return kExitCancelled;
  }
  if (options.continueNumbering) ContinueNumbering(options.templatePath, t.document, engine);
  return 0;
}

int Calibrate(const BatchOptions& options) {
  const std::string file = CalibrationFile();
  PrinterOffsets offsets = ReadPrinterOffsets(file, options.printer);
  if (options.offsetX || options.offsetY) {
    if (options.offsetX) offsets.xMm = *options.offsetX;
    if (options.offsetY) offsets.yMm = *options.offsetY;
    try {
      StorePrinterOffsets(file, options.printer, offsets);
    } catch (const ZirvoError& e) {
      throw Failure{e.what()};
    }
    std::cout << file << ": [" << options.printer << "] X=" << FormatOffsetMm(offsets.xMm)
              << " Y=" << FormatOffsetMm(offsets.yMm) << "\n";
  }
  if (options.calibrationSheet) {
    QPrinterDevice device;
    PrinterSetting setting = PrinterSetting::Queue(options.printer);
    setting.paper = options.paper;
    setting.paperWidthCm = options.paperWidthCm;
    setting.paperHeightCm = options.paperHeightCm;
    device.SetPrinter(setting);
    try {
      PrintCalibrationSheet(device, options.printer, offsets);
    } catch (const ZirvoError& e) {
      throw Failure{e.what()};
    }
  }
  return 0;
}

int Preview(const BatchOptions& options) {
  const LoadedTemplate t = LoadTemplateFile(options.templatePath);
  const auto background = LoadBackground(options.background);
  const DeviceMapping mapping = DeviceMapping::Preview(options.zoom, kScreenPixelsPerInch);
  const SizeI panel = PanelAtZoom(SheetPixels(t.job.Sheet, kScreenPixelsPerInch), options.zoom);
  const int32_t width = panel.width;
  const int32_t height = panel.height;
  if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxPreviewPixels)
    throw Failure{Named(options.templatePath, "El valor es demasiado grande para ser ampliado (" +
                                                  FormatInt(width) + " x " + FormatInt(height) +
                                                  ")")};

  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) throw Failure{Named(options.output, "not enough memory for the image")};
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterSurface surface(&painter);
  DrawSheetFrame(surface, panel, background.get(), {0, 0, width, height});
  DrawSheet(surface, mapping, {&t.job.Numerators, &t.job.Marginals, nullptr, {}});
  painter.end();

  QSaveFile file(QString::fromLocal8Bit(options.output.c_str()));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
    throw Failure{
        OwnText(OwnMessage::FileNotWritten, options.output, FromQString(file.errorString()))};
  return 0;
}

int Journal(const BatchOptions& options) {
  const std::string path = JournalPathFor(options.templatePath);
  JournalContents journal;
  try {
    journal = ReadJournal(path);
  } catch (const ZirvoError& e) {
    throw Failure{e.what()};
  }
  std::cout << FormatJournalRuns(journal, options.json);
  const std::string damaged = DamagedJournalNotice(path, journal);
  if (!damaged.empty()) std::cerr << "zirvo-batch: " << Cp1252ToUtf8(damaged) << "\n";
  return 0;
}

int Info(const BatchOptions& options) {
  const LoadedTemplate t = LoadTemplateFile(options.templatePath);
  std::cout << FormatTemplateInfo(t.job.Sheet, t.job.Numerators, t.job.Marginals, options.json);
  return 0;
}

// Qt's own diagnostics (such as a missing XDG_RUNTIME_DIR) would break the
// one-line-per-failure contract of stderr; only fatal ones get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::cerr << "zirvo-batch: " << message.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  platform::KeepLargeBuffers();
  std::vector<std::string> args(argv + 1, argv + argc);
  BatchOptions options;
  try {
    options = ParseBatchArguments(args);
  } catch (const UsageError& e) {
    std::cerr << "zirvo-batch: " << e.what() << "\n" << BatchUsage();
    return kExitUsage;
  }
  if (options.command == BatchOptions::Command::Help) {
    std::cout << BatchUsage();
    return 0;
  }
  if (options.command == BatchOptions::Command::Version) {
    std::cout << "zirvo-batch " << BatchVersion() << "\n";
    return 0;
  }
  // A tool for scripts: no window is ever shown.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQtMessages);
  QGuiApplication app(argc, argv);
  try {
    switch (options.command) {
      case BatchOptions::Command::Print:
        return Print(options);
      case BatchOptions::Command::Preview:
        return Preview(options);
      case BatchOptions::Command::Info:
        return Info(options);
      case BatchOptions::Command::Journal:
        return Journal(options);
      case BatchOptions::Command::Calibrate:
        return Calibrate(options);
      case BatchOptions::Command::Help:
      case BatchOptions::Command::Version:
        break;  // answered above
    }
  } catch (const Failure& f) {
    std::cerr << "zirvo-batch: " << Cp1252ToUtf8(f.message) << "\n";
  } catch (const ZirvoError& e) {
    std::cerr << "zirvo-batch: " << Named(options.templatePath, Cp1252ToUtf8(e.what())) << "\n";
  }
  return kExitFailure;
}
