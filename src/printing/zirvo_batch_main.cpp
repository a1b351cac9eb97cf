// zirvo-batch: the print engine for scripts and print rooms. It prints a
// template exactly as the print page does (a run, a test sheet or a
// reposition) to a PDF file or a CUPS queue, draws the preview's sheet to a
// PNG, shows what a template holds, stores and prints a queue's calibration,
// or writes a new template with a template's rows stepped and repeated.
//
// Exit status: 0 done, 1 bad input or a printing failure (one line on stderr
// naming the file and the cause, nothing written), 2 a usage error (one line
// pointing to --help), 128 + the signal for a run cancelled by Ctrl+C (130),
// SIGTERM (143) or SIGHUP (129): the document is aborted.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "base/file_io.h"
#include "base/helpers.h"
#include "base/platform.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "printing/batch_options.h"
#include "printing/continue_numbering.h"
#include "printing/job_register.h"
#include "printing/print_engine.h"
#include "printing/print_spooler.h"
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
constexpr int kExitSignalled = 128;  // plus the signal's number
constexpr int32_t kScreenPixelsPerInch = 96;
constexpr int64_t kMaxPreviewPixels = 200'000'000;

// The signal that asked a run to stop (Ctrl+C, SIGTERM, SIGHUP); 0 for none.
volatile std::sig_atomic_t stopSignal = 0;
extern "C" void OnStopRequest(int signal) { stopSignal = signal; }

// A failure to report: the message already names what failed.
struct Failure {
  std::string message;
};

// `message` naming `file`.
std::string Named(const std::string& file, const std::string& message) {
  return message.find(file) != std::string::npos ? message : file + ": " + message;
}

// Every text on stderr is one line: line ends inside it become blanks.
std::string OneLine(std::string text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
    } else if (i + 1 == text.size() || (text[i + 1] != '\n' && text[i + 1] != '\r')) {
      if (!line.empty() && line.back() != ' ') line += ' ';
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// A refusal or a failure: one line on stderr.
void Report(const std::string& text) { std::cerr << "zirvo-batch: " << OneLine(text) << "\n"; }

// The template at `path` and its print job (header and exported rows).
struct LoadedTemplate {
  Template document;
  PrintJob job;
};

LoadedTemplate LoadBatchTemplate(const std::string& path) {
  LoadedTemplate t;
  try {
    SkippedLines skipped;
    std::optional<Template> loaded = LoadTemplate(path, {}, &skipped);
    if (!loaded) throw Failure{Named(path, OwnText(OwnMessage::NotCompatible))};
    // A script must not print a template without a barcode it asked for.
    if (!skipped.empty())
      throw Failure{path + ": " +
                    OwnText(OwnMessage::LineRefused, FormatInt(skipped.front().number),
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
  // Read as a regular file first: a FIFO given as the image never answers.
  std::string bytes;
  try {
    bytes = ReadFileBytes(path);
  } catch (const ZirvoError& e) {
    throw Failure{e.what()};
  }
  QImage image;
  image.loadFromData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (image.isNull()) throw Failure{OwnText(OwnMessage::ImageNotDecoded, path)};
  return std::make_shared<QtBitmap>(std::move(image));
}

// The template's sheet is the paper of a PDF file: a size the sheet-size
// dialog would refuse prints nothing, whatever the target.
void RequirePrintableSheet(const BatchOptions& options, const SheetHeader& sheet) {
  if (!SheetHeader::ValidLength(sheet.Width) || !SheetHeader::ValidLength(sheet.Height))
    throw Failure{Named(options.templatePath, OwnText(OwnMessage::SheetSizeOutOfRange,
                                                      FormatFixed(SheetHeader::kMaxLengthCm, 2)))};
}

// --continue saves the numbers after the run: a run whose next numbers no
// template can hold is refused before it prints. A run the engine refuses
// anyway (a negative count, an increment out of range) is left to it.
void RequireContinuable(const BatchOptions& options, const Template& document) {
  const int32_t sheets = RunSettingValue(options.sheets);
  const int64_t increment = std::llabs(static_cast<int64_t>(RunSettingValue(options.increment)));
  if (sheets < 0 || increment > INT32_MAX) return;
  Template advanced = document;
  try {
    advanced.AdvanceNumerators(sheets, static_cast<int32_t>(increment));
  } catch (const ZirvoError& e) {
    throw Failure{Named(options.templatePath, OwnText(OwnMessage::ContinueImpossible, e.what()))};
  }
}

// The progress of a run on stderr, when stderr is a terminal, and Ctrl+C.
class TerminalObserver : public RunObserver {
 public:
  TerminalObserver(PrintEngine*& engine, bool showBar, bool allowReprint)
      : engine_(engine), showBar_(showBar), allowReprint_(allowReprint) {}
  void SetProgressMaximum(RunPanel, int32_t maximum) override { maximum_ = maximum; }
  void SetProgressPosition(RunPanel, int32_t position) override {
    if (stopSignal != 0 && engine_ != nullptr) engine_->CancelRun();
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
    for (const OwnMessage start :
         {OwnMessage::StatusProcessing, OwnMessage::StatusLoading, OwnMessage::StatusStarting})
      if (text == OwnText(start)) return;
    const bool step = text.size() >= 4 && text.compare(text.size() - 4, 4, "....") == 0;
    if (step && !showBar_) return;
    if (showBar_ && lastPercent_ >= 0) std::fputs("\n", stderr);
    Report(text);
  }
  void ShowProgress(RunPanel, bool visible) override {
    if (!visible && showBar_ && lastPercent_ >= 0) std::fputs("\n", stderr);
    lastPercent_ = -1;
  }
  void Notice(const std::string& text) override { std::cerr << OneLine(text) << "\n"; }
  // Nobody to ask: the warning is printed and the run goes on.
  bool ConfirmNegative(const std::string& text) override {
    Notice(text);
    return true;
  }
  // Numbers printed before, or a register with records that do not read,
  // print only when the command line says so; otherwise the refusal is the
  // run's one line of failure.
  bool ConfirmReprint(const std::string& facts, const std::string&) override {
    if (allowReprint_) {
      Notice(facts);
      return true;
    }
    reprintRefusal_ = facts + " " + OwnText(OwnMessage::ReprintRefused);
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

// After a completed run: the template moves on past the numbers printed, so
// the next run starts at the next number.
void ContinueNumbering(const std::string& path, const Template& document,
                       const PrintEngine& engine) {
  const auto& outcome = engine.LastOutcome();
  if (!outcome || outcome->kind != RunKind::Run || outcome->event != RunEvent::Completed) return;
  try {
    ContinueTemplateFile(path, document, outcome->completedSheets, outcome->increment);
  } catch (const ZirvoError& e) {
    throw Failure{Named(path, OwnText(OwnMessage::ContinueNotSaved, e.what()))};
  }
}

// The registers of this machine, or the one the command line names.
RegisterPlace PlaceOf(const BatchOptions& options) {
  RegisterPlace place = RegisterPlace::OfThisMachine();
  place.connection = options.registerConnection;
  return place;
}

// The output of a print or a preview never replaces a file the program
// keeps: the template, its register, its journal, the settings.
void RequireOutputOfOurOwn(const BatchOptions& options) {
  if (options.output.empty()) return;
  const std::string refusal = OutputRefusal(options.output, options.templatePath, PlaceOf(options));
  if (!refusal.empty()) throw Failure{refusal};
}

int Print(const BatchOptions& options) {
  // A reposition prints what it names, all of it or nothing.
  if (options.reposition.size() > static_cast<std::size_t>(PrintEngine::kRepositionSheetsPerRun))
    throw Failure{OwnText(OwnMessage::RepositionTooMany,
                          FormatInt(PrintEngine::kRepositionSheetsPerRun),
                          FormatInt(static_cast<int64_t>(options.reposition.size())))};
  RequireOutputOfOurOwn(options);
  LoadedTemplate t = LoadBatchTemplate(options.templatePath);
  RequirePrintableSheet(options, t.job.Sheet);
  if (options.continueNumbering) RequireContinuable(options, t.document);
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
    if (stopSignal != 0) engine.CancelRun();
  });

  const PrinterSetting setting = BatchPrinterSetting(options, job.Sheet);
  engine.SetRegisterPlace(PlaceOf(options));
  engine.LoadPrintJob(job);
  engine.SelectPrinter(setting, setting.DisplayName().empty() ? "default" : setting.DisplayName());
  engine.SetRunSettings(options.increment, options.copies, options.sheets);
  engine.SetLastFirst(options.lastFirst);
  engine.SetRepositionBySheet(options.repositionBySheet);
  for (const std::string& number : options.reposition) {
    // A blank number is no sheet to reprint.
    if (!engine.AddRepositionEntry(number))
      throw Failure{OwnText(OwnMessage::RepositionNotInteger, number)};
  }

  // Until the run ends these cancel it; the document is aborted, not left.
  platform::CatchStopRequests(OnStopRequest);
  struct Restore {
    ~Restore() { platform::StopCatchingStopRequests(); }
  } restore;
  if (!options.reposition.empty())
    engine.PrintReposition();
  else if (options.testSheet)
    engine.PrintTestSheet();
  else
    engine.PrintAll();
  if (!observer.ReprintRefusal().empty())
    throw Failure{Named(options.templatePath, observer.ReprintRefusal())};

  if (engine.CancelRequested() && stopSignal != 0) {
    // For a queue the status line has said up to which sheet CUPS printed.
    if (!device.CompletedSheets()) Report("cancelled; nothing was printed");
    return kExitSignalled + stopSignal;
  }
  if (options.continueNumbering) ContinueNumbering(options.templatePath, t.document, engine);
  return 0;
}

int Calibrate(const BatchOptions& options) {
  // Without an answer from CUPS the queue is taken as named.
  if (CupsKnowsQueue(options.printer) == false)
    throw Failure{OwnText(OwnMessage::QueueUnknown, options.printer)};
  const std::string file = CalibrationFile();
  PrinterOffsets offsets = LoadPrinterOffsets(file, options.printer);
  if (options.offsetX || options.offsetY) {
    if (options.offsetX) offsets.xMm = *options.offsetX;
    if (options.offsetY) offsets.yMm = *options.offsetY;
    // A user who never started the program has no data folder yet.
    if (!PrepareDataFolder()) throw Failure{OwnText(OwnMessage::DataFolderNotMade, DataFolder())};
    StorePrinterOffsets(file, options.printer, offsets);
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
    PrintCalibrationSheet(device, options.printer, offsets);
  }
  return 0;
}

int Preview(const BatchOptions& options) {
  RequireOutputOfOurOwn(options);
  const LoadedTemplate t = LoadBatchTemplate(options.templatePath);
  const auto background = LoadBackground(options.background);
  const DeviceMapping mapping = DeviceMapping::Preview(options.zoom, kScreenPixelsPerInch);
  const SizeI panel = PanelAtZoom(SheetPixels(t.job.Sheet, kScreenPixelsPerInch), options.zoom);
  const int32_t width = panel.width;
  const int32_t height = panel.height;
  if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxPreviewPixels)
    throw Failure{Named(options.templatePath, OwnText(OwnMessage::ZoomTooLarge) + " (" +
                                                  FormatInt(width) + " x " + FormatInt(height) +
                                                  ")")};

  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) throw Failure{Named(options.output, "not enough memory for the image")};
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterSurface surface(&painter);
  const RectI imageRect = background ? BackgroundRect(mapping, t.document.Alignment(), *background,
                                                      {0, 0, width, height})
                                     : RectI{};
  DrawSheetFrame(surface, panel, background.get(), {0, 0, width, height}, &imageRect);
  DrawSheet(surface, mapping, {&t.job.Numerators, &t.job.Marginals, nullptr, {}});
  painter.end();

  QSaveFile file(QString::fromLocal8Bit(options.output.c_str()));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
    throw Failure{
        OwnText(OwnMessage::FileNotWritten, options.output, FromQString(file.errorString()))};
  return 0;
}

// The runs of the template's series, from its register, the old journal
// beside it imported first.
int Journal(const BatchOptions& options) {
  // The journal of a template that is not there is a mistyped name, not an
  // empty journal; one whose barcode lines do not read still has its runs.
  PrintJob job;
  try {
    const std::optional<Template> loaded = LoadTemplate(options.templatePath);
    if (!loaded) throw Failure{Named(options.templatePath, OwnText(OwnMessage::NotCompatible))};
    job = loaded->ToPrintJob();
  } catch (const ZirvoError& e) {
    throw Failure{Named(options.templatePath, e.what())};
  }
  job.TemplateFile = options.templatePath;
  const RegisterPlace place = PlaceOf(options);
  const std::string series = SeriesOfJob(job);
  const auto reg = OpenRegisterOf(place, job.TemplateFile);
  const std::string imported = ImportOldJournal(*reg, job.TemplateFile, series);
  if (!imported.empty()) Report(imported);
  const RunList list = reg->Runs(series);
  std::cout << FormatJournalRuns(list, options);
  if (!list.damaged.empty())
    Report(OwnText(OwnMessage::RegisterDamaged, reg->Description(),
                   FormatInt(static_cast<int64_t>(list.damaged.size()))));
  return 0;
}

// Every row of the template makes the ticket; the new template is written
// only when the template takes the plan, and the sheets its run needs are
// printed.
int Repeat(const BatchOptions& options) {
  const std::string refusal =
      TemplateOutputRefusal(options.output, options.templatePath, PlaceOf(options));
  if (!refusal.empty()) throw Failure{refusal};
  LoadedTemplate t = LoadBatchTemplate(options.templatePath);
  const int32_t sheets = t.document.StepAndRepeat(options.repeat);
  try {
    SaveTemplate(options.output, t.document);
  } catch (const ZirvoError& e) {
    throw Failure{Named(options.output, e.what())};
  }
  std::cout << "sheets=" << sheets << "\n";
  return 0;
}

int Info(const BatchOptions& options) {
  const LoadedTemplate t = LoadBatchTemplate(options.templatePath);
  std::cout << FormatTemplateInfo(t.job.Sheet, t.job.Numerators, t.job.Marginals, options.json);
  return 0;
}

// Qt's own diagnostics (such as a missing XDG_RUNTIME_DIR) would break the
// one-line-per-failure contract of stderr; only fatal ones get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) Report(message.toStdString());
}

}  // namespace

int main(int argc, char** argv) {
  platform::KeepLargeBuffers();
  std::vector<std::string> args(argv + 1, argv + argc);
  BatchOptions options;
  try {
    options = ParseBatchArguments(args);
  } catch (const UsageError& e) {
    Report(std::string(e.what()) + " (zirvo-batch --help shows the usage)");
    return kExitUsage;
  } catch (const ZirvoError& e) {
    Report(e.what());
    return kExitFailure;
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
      case BatchOptions::Command::Repeat:
        return Repeat(options);
      case BatchOptions::Command::Help:
      case BatchOptions::Command::Version:
        break;  // answered above
    }
  } catch (const Failure& f) {
    Report(f.message);
  } catch (const ZirvoError& e) {
    Report(Named(options.templatePath, e.what()));
  } catch (const std::exception& e) {
    // What the system refused without a message of ours (no memory, say).
    Report(e.what());
  }
  return kExitFailure;
}
