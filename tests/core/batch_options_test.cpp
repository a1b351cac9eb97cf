#include "printing/batch_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/helpers.h"
#include "printing/printer_calibration.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

TEST(BatchOptions, ReadsEachCommandsOptions) {
  const BatchOptions print =
      ParseBatchArguments({"print", "a.pla", "--output", "o.pdf", "--sheets", "3", "--copies", "-2",
                           "--increment", "", "--reposition", "9", "--reposition", "10", "--paper",
                           "21.6x28", "--landscape", "--dpi", "300"});
  EXPECT_EQ(print.command, BatchOptions::Command::Print);
  EXPECT_EQ(print.templatePath, "a.pla");
  EXPECT_EQ(print.sheets, "3");
  EXPECT_EQ(print.copies, "-2");  // the engine reads it as the page does
  EXPECT_EQ(print.reposition, (std::vector<std::string>{"9", "10"}));
  EXPECT_EQ(print.paper, PaperKind::Custom);
  EXPECT_DOUBLE_EQ(print.paperWidthCm, 21.6);
  EXPECT_DOUBLE_EQ(print.paperHeightCm, 28.0);
  EXPECT_TRUE(print.landscape);
  EXPECT_EQ(print.dpi, 300);

  const BatchOptions preview =
      ParseBatchArguments({"preview", "a.pla", "--output", "s.png", "--zoom", "5000"});
  EXPECT_EQ(preview.zoom, 5000);
  EXPECT_TRUE(ParseBatchArguments({"info", "a.pla", "--json"}).json);

  const BatchOptions numbered =
      ParseBatchArguments({"print", "a.pla", "--output", "o.pdf", "--continue", "--allow-reprint"});
  EXPECT_TRUE(numbered.continueNumbering);
  EXPECT_TRUE(numbered.allowReprint);
  EXPECT_TRUE(
      ParseBatchArguments({"print", "a.pla", "--output", "o.pdf", "--last-first"}).lastFirst);
  EXPECT_TRUE(ParseBatchArguments(
                  {"print", "a.pla", "--output", "o.pdf", "--reposition", "3", "--by-sheet"})
                  .repositionBySheet);
  const BatchOptions journal = ParseBatchArguments({"journal", "a.pla", "--json"});
  EXPECT_EQ(journal.command, BatchOptions::Command::Journal);
  EXPECT_TRUE(journal.json);
  const BatchOptions csv = ParseBatchArguments(
      {"journal", "a.pla", "--csv", "--separator", ";", "--register", "postgresql://s/z"});
  EXPECT_TRUE(csv.csv);
  EXPECT_EQ(csv.separator, ';');
  EXPECT_EQ(csv.registerConnection, "postgresql://s/z");
}

// --output never names a file the program keeps, however it is reached.
TEST(BatchOptions, OutputNeverNamesAFileTheProgramKeeps) {
  namespace fs = std::filesystem;
  testing::TempDir dir;
  const std::string folder = fs::canonical(dir.Path()).string() + "/";
  const std::string pla = folder + "F.pla";
  testing::WriteBytes(pla, "|HJA|");
  fs::create_symlink(pla, folder + "link.pdf");
  fs::create_hard_link(pla, folder + "hard.pdf");
  RegisterPlace place;
  place.userSettings = folder + "user.ini";
  place.systemSettings = folder + "etc.ini";
  const struct {
    std::string output;
    bool refused;
  } cases[] = {
      {pla, true},
      {folder + "./sub/../F.pla", true},
      {folder + "link.pdf", true},
      {folder + "hard.pdf", true},
      {folder + "Registro.sqlite-wal", true},
      {folder + "F.journal.csv", true},
      {folder + "user.ini", true},
      {folder + "etc.ini", true},
      {CalibrationFile(), true},
      {DataFolder() + "DatosLoc.ini", true},
      {"/elsewhere/OTRA.PLA", true},
      {"/elsewhere/registro.sqlite", true},
      {folder + "F.pdf", false},
      {folder + "Registro.pdf", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OutputRefusal(c.output, pla, place).empty(), !c.refused) << c.output;
  EXPECT_NE(OutputRefusal(pla, pla, place).find("F.pla"), std::string::npos);
}

TEST(BatchOptions, RefusesWhatTheUsageDoesNotAllow) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"print"},
      {"print", "a.pla"},
      {"print", "a.pla", "--output", "o.pdf", "--printer", "Q"},
      {"print", "a.pla", "--output"},
      {"print", "a.pla", "b.pla", "--output", "o.pdf"},
      {"print", "a.pla", "--output", "o.pdf", "--test-sheet", "--reposition", "1"},
      {"print", "a.pla", "--output", "o.pdf", "--dpi", "-600"},
      {"print", "a.pla", "--output", "o.pdf", "--paper", "B7"},
      {"print", "a.pla", "--output", "o.pdf", "--paper", "0x28"},
      {"print", "a.pla", "--output", "o.pdf", "--paper", "21x150"},  // past the sheet's limit
      {"print", "a.pla", "--output", "o.pdf", "--zoom", "50"},
      {"info", "a.pla", "--output", "x"},
      {"preview", "a.pla", "--output", "s.png", "--zoom", "0"},
      {"print", "a.pla", "--output", "o.pdf", "--test-sheet", "--continue"},
      {"print", "a.pla", "--output", "o.pdf", "--reposition", "4", "--continue"},
      {"journal", "a.pla", "--continue"},
      {"print", "a.pla", "--output", "o.pdf", "--by-sheet"},  // no sheet to reprint
      {"print", "a.pla", "--output", "o.pdf", "--reposition", "4", "--last-first"},
      {"print", "a.pla", "--output", "o.pdf", "--test-sheet", "--last-first"},
      {"preview", "a.pla", "--output", "s.png", "--last-first"},
      {"journal"},
      {"journal", "a.pla", "--json", "--csv"},
      {"journal", "a.pla", "--separator", ";"},
      {"journal", "a.pla", "--csv", "--separator", "ab"},
      {"journal", "a.pla", "--csv", "--separator", "\""},
      {"print", "a.pla", "--output", "o.pdf", "--register", ""},
      {"info", "a.pla", "--register", "x"},
  };
  for (const auto& args : bad) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    EXPECT_THROW(ParseBatchArguments(args), UsageError) << line;
  }
}

TEST(BatchOptions, PdfPaperDefaultsToTheSheetAt600Dpi) {
  SheetHeader sheet;
  sheet.Width = 21.6;
  sheet.Height = 28.0;
  const PrinterSetting pdf =
      BatchPrinterSetting(ParseBatchArguments({"print", "a.pla", "--output", "o.pdf"}), sheet);
  EXPECT_EQ(pdf.target, PrinterSetting::Target::PdfFile);
  EXPECT_EQ(pdf.paper, PaperKind::Custom);
  EXPECT_DOUBLE_EQ(pdf.paperWidthCm, 21.6);
  EXPECT_EQ(pdf.resolution, 600);
  const PrinterSetting queue =
      BatchPrinterSetting(ParseBatchArguments({"print", "a.pla", "--printer", "Q"}), sheet);
  EXPECT_EQ(queue.printerName, "Q");
  EXPECT_EQ(queue.paper, PaperKind::QueueDefault);
  EXPECT_EQ(queue.resolution, 0);
}

TEST(BatchOptions, InfoEscapesJsonAndConvertsTheCodePage) {
  SheetHeader sheet;
  sheet.Name = "Caja";
  MarginalText m;
  m.Text = "Dijo \"a\\b\" ñ";
  const std::string json = FormatTemplateInfo(sheet, {}, {m}, true);
  EXPECT_NE(json.find(R"("text": "Dijo \"a\\b\" )"
                      "\xc3\xb1"
                      R"(")"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"numerators\": []"), std::string::npos) << json;
  // The text form quotes the same way: a quote or a line end cannot end the value.
  m.Text += "\r\nmarginal x=\"y\"";
  const std::string text = FormatTemplateInfo(sheet, {}, {m}, false);
  EXPECT_NE(text.find(R"(text="Dijo \"a\\b\" )"
                      "\xc3\xb1"
                      R"(\r\nmarginal x=\"y\"")"),
            std::string::npos)
      << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
}

}  // namespace
}  // namespace zirvo
