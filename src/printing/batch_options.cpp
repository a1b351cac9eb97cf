#include "printing/batch_options.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/platform.h"
#include "base/text.h"
#include "printing/printer_calibration.h"
#include "printing/register_export.h"
#include "printing/register_settings.h"
#include "printing/run_journal.h"
#include "template/barcode_setting.h"
#include "template/series.h"

namespace zirvo {
namespace {

class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& args) : args_(args) {}
  bool Done() const { return next_ >= args_.size(); }
  const std::string& Next() { return args_[next_++]; }
  const std::string& ValueOf(const std::string& option) {
    if (Done()) throw UsageError(option + " needs a value");
    return Next();
  }

 private:
  const std::vector<std::string>& args_;
  size_t next_ = 0;
};

int32_t PositiveInteger(const std::string& option, const std::string& text) {
  int32_t value = 0;
  if (!TryParseInt32(text, value) || value <= 0)
    throw UsageError(option + " needs a positive whole number, not '" + text + "'");
  return value;
}

// An offset the calibration cannot hold is a bad value, not a usage error.
double OffsetMm(const std::string& text) {
  double mm = 0.0;
  if (!ParseOffsetMm(text, mm)) throw ZirvoError(OwnText(OwnMessage::OffsetNotValid, text));
  return mm;
}

void ParsePaper(const std::string& text, BatchOptions& o) {
  const struct {
    const char* name;
    PaperKind kind;
  } named[] = {{"A4", PaperKind::A4},
               {"A3", PaperKind::A3},
               {"A5", PaperKind::A5},
               {"Letter", PaperKind::Letter},
               {"Legal", PaperKind::Legal}};
  for (const auto& n : named) {
    if (text == n.name) {
      o.paper = n.kind;
      return;
    }
  }
  const size_t x = text.find('x');
  double w = 0, h = 0;
  if (x == std::string::npos || !TryParseDouble(text.substr(0, x), w) ||
      !TryParseDouble(text.substr(x + 1), h) || !SheetHeader::ValidLength(w) ||
      !SheetHeader::ValidLength(h))
    throw UsageError("--paper takes A4, A3, A5, Letter, Legal or WIDTHxHEIGHT in centimetres " +
                     FormatFixed(SheetHeader::kMaxLengthCm, 2) +
                     " at most (such as 21.6x28), not '" + text + "'");
  o.paper = PaperKind::Custom;
  o.paperWidthCm = w;
  o.paperHeightCm = h;
}

std::string JsonUtf8String(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          static const char* hex = "0123456789abcdef";
          out += "\\u00";
          out += hex[c >> 4];
          out += hex[c & 15];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// One field of a record: JSON member or "name=value".
class RecordWriter {
 public:
  explicit RecordWriter(bool json) : json_(json) {}
  // Quoted and escaped alike in both forms: a quote or a line end in the
  // text cannot end the value or the line.
  void Text(const char* name, const std::string& value) { Add(name, JsonUtf8String(value)); }
  void Number(const char* name, int64_t value) { Add(name, FormatInt(value)); }
  void Cm(const char* name, double value) { Add(name, FormatFixed(value, 2)); }
  void Flag(const char* name, bool value) { Add(name, value ? "true" : "false"); }
  std::string Take() { return json_ ? "{" + body_ + "}" : body_; }

 private:
  void Add(const char* name, const std::string& value) {
    if (!body_.empty()) body_ += json_ ? ", " : " ";
    body_ += json_ ? "\"" + std::string(name) + "\": " + value : std::string(name) + "=" + value;
  }
  bool json_;
  std::string body_;
};

// A JSON list of records, one to a line, as a member of the top object.
std::string JsonList(const std::vector<std::string>& items) {
  std::string list = "[";
  for (std::size_t i = 0; i < items.size(); ++i) list += (i ? ",\n    " : "\n    ") + items[i];
  return list + (items.empty() ? "]" : "\n  ]");
}

void WriteItem(RecordWriter& w, double horizontal, double vertical, double rotation, bool barcode,
               const std::string& type, const std::string& position, double barHeight,
               double barLength, const std::string& font, int32_t size, int32_t colour) {
  w.Cm("horizontal", horizontal);
  w.Cm("vertical", vertical);
  w.Number("rotation", static_cast<int64_t>(rotation));
  w.Text("font", font);
  w.Number("size", size);
  w.Number("colour", colour);
  w.Flag("barcode", barcode);
  w.Text("barcodeType", type);
  w.Text("barcodePosition", position);
  w.Cm("barHeight", barHeight);
  w.Cm("barLength", barLength);
}

// The texts a record without a barcode has always shown for its symbology
// and its line: a numerator's line "NO", a marginal text's "00".
constexpr char kNoSymbology[] = "00";
const char* NoReadableLine(const Numerator&) { return "NO"; }
const char* NoReadableLine(const MarginalText&) { return "00"; }

// A record's barcode by name: "code39", "code128", "ean13" or "qr", the
// human-readable line "none", "above" or "below", and its sizes; a record
// without one shows its flag off and no sizes.
template <class Record>
void WriteBarcode(RecordWriter& w, const Record& r) {
  const std::optional<BarcodeSetting>& barcode = r.Barcode;
  if (!barcode) {
    WriteItem(w, r.Horizontal, r.Vertical, r.Rotation, false, kNoSymbology, NoReadableLine(r), 0.0,
              0.0, r.Font, r.Size, r.Colour);
    return;
  }
  static const char* const kKinds[] = {"code39", "code128", "ean13", "qr"};
  static const char* const kLines[] = {"none", "above", "below"};
  WriteItem(w, r.Horizontal, r.Vertical, r.Rotation, true, kKinds[static_cast<int>(barcode->kind)],
            kLines[static_cast<int>(barcode->line)], barcode->height,
            barcode->kind == BarcodeKind::QrCode ? 0.0 : barcode->length, r.Font, r.Size, r.Colour);
}

// A numerator's numbering rule: K, S, C, the check digit by name and the
// position it mirrors (0 for none).
void WriteNumberingRule(RecordWriter& w, const NumberingRule& rule) {
  static const char* const kCheckDigits[] = {"none", "luhn", "mod10-3-1", "mod11", "mod7", "mod9"};
  w.Number("stepMultiplier", rule.stepMultiplier);
  w.Number("sheetsPerNumber", rule.sheetsPerNumber);
  w.Number("cycle", rule.cycle);
  w.Text("checkDigit", kCheckDigits[static_cast<int>(rule.checkDigit)]);
  w.Number("mirror", rule.mirror);
}

// "CxR": columns and rows, each a whole number (the template checks the range).
void ParseGrid(const std::string& text, RepeatPlan& plan) {
  const size_t x = text.find('x');
  if (x == std::string::npos || !TryParseInt32(text.substr(0, x), plan.columns) ||
      !TryParseInt32(text.substr(x + 1), plan.rows))
    throw UsageError("--grid takes COLUMNSxROWS (such as 2x2), not '" + text + "'");
}

// "X,Y": the horizontal and vertical pitch in centimetres.
void ParsePitch(const std::string& text, RepeatPlan& plan) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos || !TryParseDouble(text.substr(0, comma), plan.pitchX) ||
      !TryParseDouble(text.substr(comma + 1), plan.pitchY))
    throw UsageError("--pitch takes X,Y in centimetres (such as 10.5,7), not '" + text + "'");
}

RepeatOrder ParseOrder(const std::string& text) {
  if (text == "stack") return RepeatOrder::CutAndStack;
  if (text == "across") return RepeatOrder::AcrossSheet;
  throw UsageError("--order takes stack or across, not '" + text + "'");
}

}  // namespace

const char* BatchUsage() {
  return "usage:\n"
         "  zirvo-batch print TEMPLATE.pla (--output FILE.pdf | --printer QUEUE) [--sheets N]\n"
         "              [--copies N] [--increment N] [--test-sheet] [--reposition NUMBER]...\n"
         "              [--by-sheet] [--last-first]\n"
         "              [--background IMAGE.jpg] [--paper A4|Letter|WxH] [--landscape] [--dpi N]\n"
         "              [--chunk SHEETS_PER_JOB] [--continue] [--allow-reprint]\n"
         "              [--register CONNECTION]\n"
         "  zirvo-batch calibrate --printer QUEUE [--x MM] [--y MM] [--sheet] [--paper A4|WxH]\n"
         "  zirvo-batch preview TEMPLATE.pla --output FILE.png [--zoom PERCENT]\n"
         "              [--background IMAGE.jpg]\n"
         "  zirvo-batch info TEMPLATE.pla [--json]\n"
         "  zirvo-batch repeat TEMPLATE.pla --grid COLUMNSxROWS --pitch X,Y --quantity N\n"
         "              --order stack|across --output NEW.pla\n"
         "  zirvo-batch journal TEMPLATE.pla [--json | --csv [--separator CHAR]]\n"
         "              [--register CONNECTION]\n"
         "  zirvo-batch --help | --version\n"
         "--copies takes 0 to 999 (0 prints each sheet once); a reposition prints at most\n"
         "5 sheets. repeat copies every row of the template over the grid (pitch in cm)\n"
         "numbering N tickets cut and stacked or across the sheet, writes NEW.pla and\n"
         "prints the sheets the run needs. Every run is reserved in the numbering register first: "
         "Registro.sqlite\n"
         "beside the template, or the PostgreSQL database that Registro.ini or --register\n"
         "names (such as postgresql://sala@servidor/zirvo). Exit status: 0 done, 1 refused\n"
         "or failed, 2 a usage error, and for a run cancelled by Ctrl+C, SIGTERM or SIGHUP\n"
         "128 + the signal (130, 143, 129).\n";
}

const char* BatchVersion() { return ZIRVO_VERSION; }

BatchOptions ParseBatchArguments(const std::vector<std::string>& args) {
  ArgumentReader in(args);
  BatchOptions o;
  if (in.Done()) throw UsageError("a command is needed");
  // --help anywhere asks for the usage, whatever else is on the line.
  for (const auto& arg : args) {
    if (arg == "--help" || arg == "-h") {
      o.command = BatchOptions::Command::Help;
      return o;
    }
  }
  const std::string command = in.Next();
  if (command == "--version" && in.Done()) {
    o.command = BatchOptions::Command::Version;
    return o;
  }
  if (command == "print")
    o.command = BatchOptions::Command::Print;
  else if (command == "preview")
    o.command = BatchOptions::Command::Preview;
  else if (command == "info")
    o.command = BatchOptions::Command::Info;
  else if (command == "journal")
    o.command = BatchOptions::Command::Journal;
  else if (command == "calibrate")
    o.command = BatchOptions::Command::Calibrate;
  else if (command == "repeat")
    o.command = BatchOptions::Command::Repeat;
  else
    throw UsageError("unknown command '" + command + "'");

  const bool print = o.command == BatchOptions::Command::Print;
  const bool preview = o.command == BatchOptions::Command::Preview;
  const bool journal = o.command == BatchOptions::Command::Journal;
  const bool info = o.command == BatchOptions::Command::Info || journal;
  const bool calibrate = o.command == BatchOptions::Command::Calibrate;
  const bool repeat = o.command == BatchOptions::Command::Repeat;
  std::optional<std::string> separator;
  bool grid = false, pitch = false, quantity = false, order = false;
  while (!in.Done()) {
    const std::string& arg = in.Next();
    if (arg == "--output" && (print || preview || repeat))
      o.output = in.ValueOf(arg);
    else if (arg == "--printer" && (print || calibrate))
      o.printer = in.ValueOf(arg);
    else if (arg == "--sheets" && print)
      o.sheets = in.ValueOf(arg);
    else if (arg == "--copies" && print)
      o.copies = in.ValueOf(arg);
    else if (arg == "--increment" && print)
      o.increment = in.ValueOf(arg);
    else if (arg == "--test-sheet" && print)
      o.testSheet = true;
    else if (arg == "--reposition" && print)
      o.reposition.push_back(in.ValueOf(arg));
    else if (arg == "--by-sheet" && print)
      o.repositionBySheet = true;
    else if (arg == "--last-first" && print)
      o.lastFirst = true;
    else if (arg == "--background" && (print || preview))
      o.background = in.ValueOf(arg);
    else if (arg == "--paper" && (print || calibrate))
      ParsePaper(in.ValueOf(arg), o);
    else if (arg == "--landscape" && print)
      o.landscape = true;
    else if (arg == "--dpi" && print)
      o.dpi = PositiveInteger(arg, in.ValueOf(arg));
    else if (arg == "--zoom" && preview)
      o.zoom = PositiveInteger(arg, in.ValueOf(arg));
    else if (arg == "--json" && info)
      o.json = true;
    else if (arg == "--csv" && journal)
      o.csv = true;
    else if (arg == "--separator" && journal)
      separator = in.ValueOf(arg);
    else if (arg == "--register" && (print || journal)) {
      o.registerConnection = in.ValueOf(arg);
      if (Trim(o.registerConnection).empty())
        throw UsageError("--register needs a connection, such as postgresql://sala@servidor/zirvo");
    } else if (arg == "--continue" && print)
      o.continueNumbering = true;
    else if (arg == "--allow-reprint" && print)
      o.allowReprint = true;
    else if (arg == "--chunk" && print)
      o.chunk = PositiveInteger(arg, in.ValueOf(arg));
    else if (arg == "--x" && calibrate)
      o.offsetX = OffsetMm(in.ValueOf(arg));
    else if (arg == "--y" && calibrate)
      o.offsetY = OffsetMm(in.ValueOf(arg));
    else if (arg == "--sheet" && calibrate)
      o.calibrationSheet = true;
    else if (arg == "--grid" && repeat) {
      ParseGrid(in.ValueOf(arg), o.repeat);
      grid = true;
    } else if (arg == "--pitch" && repeat) {
      ParsePitch(in.ValueOf(arg), o.repeat);
      pitch = true;
    } else if (arg == "--quantity" && repeat) {
      const std::string& text = in.ValueOf(arg);
      if (!TryParseInt32(text, o.repeat.quantity))
        throw UsageError("--quantity needs a whole number, not '" + text + "'");
      quantity = true;
    } else if (arg == "--order" && repeat) {
      o.repeat.order = ParseOrder(in.ValueOf(arg));
      order = true;
    } else if (!arg.empty() && arg[0] == '-')
      throw UsageError("unknown option '" + arg + "' for " + command);
    else if (calibrate)
      throw UsageError("calibrate takes no template, not '" + arg + "'");
    else if (o.templatePath.empty())
      o.templatePath = arg;
    else
      throw UsageError("only one template, not also '" + arg + "'");
  }
  if (calibrate) {
    if (o.printer.empty()) throw UsageError("calibrate needs --printer QUEUE");
    if (!o.offsetX && !o.offsetY && !o.calibrationSheet)
      throw UsageError("calibrate needs --x MM and --y MM, or --sheet");
    return o;
  }
  if (o.templatePath.empty()) throw UsageError("the template file is missing");
  if (print && o.output.empty() == o.printer.empty())
    throw UsageError("print needs either --output FILE.pdf or --printer QUEUE");
  if (print && o.repositionBySheet && o.reposition.empty())
    throw UsageError("--by-sheet goes with --reposition");
  if (print && o.lastFirst && (o.testSheet || !o.reposition.empty()))
    throw UsageError("--last-first goes with a run, not with --test-sheet or --reposition");
  if (print && o.testSheet && !o.reposition.empty())
    throw UsageError("--test-sheet and --reposition exclude each other");
  if (print && o.continueNumbering && (o.testSheet || !o.reposition.empty()))
    throw UsageError("--continue goes with a run, not with --test-sheet or --reposition");
  if (preview && o.output.empty()) throw UsageError("preview needs --output FILE.png");
  if (repeat && !(grid && pitch && quantity && order && !o.output.empty()))
    throw UsageError("repeat needs --grid, --pitch, --quantity, --order and --output NEW.pla");
  if (o.json && o.csv) throw UsageError("--json and --csv exclude each other");
  if (separator) {
    if (!o.csv) throw UsageError("--separator goes with --csv");
    if (separator->size() != 1 || !IsCsvSeparator((*separator)[0]))
      throw UsageError(
          "--separator takes one character other than a quote, a letter, a digit "
          "or a line end, not '" +
          *separator + "'");
    o.separator = (*separator)[0];
  }
  return o;
}

PrinterSetting BatchPrinterSetting(const BatchOptions& o, const SheetHeader& sheet) {
  PrinterSetting s =
      o.printer.empty() ? PrinterSetting::PdfFile(o.output) : PrinterSetting::Queue(o.printer);
  s.paper = o.paper;
  s.paperWidthCm = o.paperWidthCm;
  s.paperHeightCm = o.paperHeightCm;
  if (o.printer.empty() && s.paper == PaperKind::QueueDefault && sheet.Width > 0 &&
      sheet.Height > 0) {
    s.paper = PaperKind::Custom;
    s.paperWidthCm = sheet.Width;
    s.paperHeightCm = sheet.Height;
  }
  s.landscape = o.landscape;
  s.resolution = o.dpi > 0 ? o.dpi : (o.printer.empty() ? 600 : 0);
  if (o.chunk > 0) s.chunkSheets = o.chunk;
  return s;
}

std::string FormatTemplateInfo(const SheetHeader& sheet, const NumeratorList& numerators,
                               const MarginalTextList& marginals, bool json) {
  RecordWriter header(json);
  header.Text("name", sheet.Name);
  header.Text("kind", sheet.Kind);
  header.Cm("width", sheet.Width);
  header.Cm("height", sheet.Height);
  header.Number("numerators", static_cast<int64_t>(numerators.size()));
  header.Number("marginals", static_cast<int64_t>(marginals.size()));

  std::vector<std::string> numeratorLines, marginalLines;
  for (const Numerator& n : numerators) {
    RecordWriter w(json);
    w.Number("position", n.Position);
    w.Text("prefix", n.Prefix);
    w.Number("number", n.Number);
    w.Text("suffix", n.Suffix);
    w.Number("mask", n.Mask);
    w.Flag("reverse", n.Reverse);
    WriteBarcode(w, n);
    WriteNumberingRule(w, n.Rule);
    numeratorLines.push_back(w.Take());
  }
  for (const MarginalText& m : marginals) {
    RecordWriter w(json);
    w.Number("position", m.Position);
    w.Text("text", m.Text);
    WriteBarcode(w, m);
    marginalLines.push_back(w.Take());
  }

  std::string out;
  if (json) {
    out = "{\n  \"sheet\": " + header.Take() + ",\n  \"numerators\": " + JsonList(numeratorLines) +
          ",\n  \"marginals\": " + JsonList(marginalLines) + "\n}\n";
  } else {
    out = "sheet " + header.Take() + "\n";
    for (const auto& line : numeratorLines) out += "numerator " + line + "\n";
    for (const auto& line : marginalLines) out += "marginal " + line + "\n";
  }
  return out;
}

}  // namespace zirvo

namespace zirvo {

std::string FormatJournalRuns(RunList list, const BatchOptions& options) {
  // Scripts read the runs in the order they were reserved.
  std::reverse(list.runs.begin(), list.runs.end());
  std::reverse(list.damaged.begin(), list.damaged.end());
  if (options.json) return RunsJson(list);
  if (options.csv) return RunsCsv(list, options.separator);
  return RunsText(list);
}

namespace {

// A file name as the program names its own files: any template, old journal
// or register, and the settings files.
bool NamedAsProgramFile(std::string name, bool templatesAllowed) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto endsWith = [&](std::string_view end) { return name.ends_with(end); };
  std::string registerName(kRegisterFileName);
  std::transform(registerName.begin(), registerName.end(), registerName.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return (!templatesAllowed && endsWith(".pla")) || endsWith(".journal.csv") ||
         name == registerName || name.starts_with(registerName + "-") || name == "registro.ini" ||
         name == "impresoras.ini" || name == "datosloc.ini";
}

}  // namespace

namespace {

std::string RefusalOf(const std::string& output, const std::string& templatePath,
                      const RegisterPlace& place, bool templatesAllowed) {
  const std::string target = CanonicalPath(output);
  const auto refusal = [&] { return OwnText(OwnMessage::OutputIsProgramFile, output); };
  if (NamedAsProgramFile(std::filesystem::path(output).filename().string(), templatesAllowed) ||
      NamedAsProgramFile(std::filesystem::path(target).filename().string(), templatesAllowed))
    return refusal();
  const std::string real = CanonicalPath(templatePath);
  const std::string reg = EmbeddedRegisterPath(RegisterFolderOf(place, templatePath));
  const std::string guarded[] = {real,
                                 JournalPathFor(real),
                                 reg,
                                 reg + "-wal",
                                 reg + "-shm",
                                 reg + "-journal",
                                 place.userSettings,
                                 place.systemSettings,
                                 CalibrationFile(),
                                 DataFolder() + "DatosLoc.ini"};
  const auto identity = platform::RegularFileIdentity(target);
  for (const std::string& file : guarded) {
    if (file.empty()) continue;
    if (CanonicalPath(file) == target) return refusal();
    if (identity && platform::RegularFileIdentity(CanonicalPath(file)) == identity)
      return refusal();
  }
  return {};
}

}  // namespace

std::string OutputRefusal(const std::string& output, const std::string& templatePath,
                          const RegisterPlace& place) {
  return RefusalOf(output, templatePath, place, false);
}

std::string TemplateOutputRefusal(const std::string& output, const std::string& templatePath,
                                  const RegisterPlace& place) {
  return RefusalOf(output, templatePath, place, true);
}

}  // namespace zirvo
