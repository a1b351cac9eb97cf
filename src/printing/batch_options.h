// The command line of zirvo-batch, and the text its info command prints.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "printing/job_register.h"
#include "printing/number_register.h"
#include "printing/printer_setting.h"
#include "template/records.h"
#include "template/step_repeat.h"

namespace zirvo {

// A command line that does not follow the usage (exit status 2).
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct BatchOptions {
  enum class Command { Print, Preview, Info, Journal, Calibrate, Repeat, Help, Version };

  Command command = Command::Info;
  std::string templatePath;
  std::string output;   // PDF (print), PNG (preview) or the new template (repeat)
  std::string printer;  // CUPS queue (print)
  // The run-settings fields as the print page would hold them; empty means 1.
  std::string sheets, copies, increment;
  bool testSheet = false;
  std::vector<std::string> reposition;  // in the order given
  bool repositionBySheet = false;       // the entries are sheets of the run, not numbers
  bool lastFirst = false;               // a run prints its last sheet first
  std::string background;
  PaperKind paper = PaperKind::QueueDefault;
  double paperWidthCm = 0.0, paperHeightCm = 0.0;
  bool landscape = false;
  int32_t dpi = 0;
  int32_t zoom = 100;
  bool json = false;
  // journal: CSV with this separator instead of the text form.
  bool csv = false;
  char separator = ',';
  int32_t chunk = 0;  // sheets per job to a queue; 0 for the default
  // print: after a completed run the template moves on past its numbers;
  // numbers the register says were printed, and records of it that do not
  // read, are printed over, not refused.
  bool continueNumbering = false;
  bool allowReprint = false;
  // print and journal: the register's connection, over the settings files.
  std::string registerConnection;
  // calibrate: the offsets to store (each optional) and whether to print the sheet.
  std::optional<double> offsetX, offsetY;
  bool calibrationSheet = false;
  // repeat: the grid, pitch, quantity and order as given (every row of the
  // template makes the ticket); the template checks the values.
  RepeatPlan repeat;
};

// `args` without the program name. Throws UsageError.
BatchOptions ParseBatchArguments(const std::vector<std::string>& args);
const char* BatchUsage();
// The program's version, as the build sets it.
const char* BatchVersion();

// The printer setting of a print command: for a PDF file the template's
// sheet size at 600 dpi unless the options say otherwise; for a queue the
// queue's own defaults.
PrinterSetting BatchPrinterSetting(const BatchOptions& options, const SheetHeader& sheet);

// The sheet header and the records, as text or as JSON (UTF-8).
std::string FormatTemplateInfo(const SheetHeader& sheet, const NumeratorList& numerators,
                               const MarginalTextList& marginals, bool json);

// The runs of a series oldest first, as the journal command prints them:
// JSON, CSV or one line of name="value" fields per run.
std::string FormatJournalRuns(RunList list, const BatchOptions& options);

// Why --output may not name `output` ("" when it may): it is the template
// itself, its register or one of the register's companion files, its old
// journal or a settings file of the program, by path (links resolved) or by
// identity (a hard link), or it is named as one of those files is (any
// template, any register).
std::string OutputRefusal(const std::string& output, const std::string& templatePath,
                          const RegisterPlace& place);
// The same for a template written from `templatePath`: any name a template
// may have, but never the template itself nor the other files above.
std::string TemplateOutputRefusal(const std::string& output, const std::string& templatePath,
                                  const RegisterPlace& place);

}  // namespace zirvo
