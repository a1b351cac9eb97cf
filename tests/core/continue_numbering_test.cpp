#include "printing/continue_numbering.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "temp_dir.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const std::string kHeader =
    "|HJA|IMP100|F.pla|/x|0|0|0|0|0|0|21.00|29.70|0|15723990|0|0|0|0|F|F|\r\n";

// A template file whose numerator 1 counts up from `first` and numerator 2
// runs in `direction` ("A" up, "R" down) from `second`.
std::string Numbered(int first, int second, const char* direction = "R") {
  return kHeader + "|FOL|01||" + std::to_string(first) + "||2.00|3.00|0|04|Arial|14|0|A||\r\n" +
         "|FOL|02||" + std::to_string(second) + "||9.00|3.00|0|04|Arial|14|0|" + direction +
         "||\r\n";
}

std::vector<int32_t> NumbersIn(const std::string& path) {
  std::vector<int32_t> numbers;
  for (const Numerator& n : LoadTemplate(path)->Numerators().ExportRecords())
    numbers.push_back(n.Number);
  return numbers;
}

// The file as another station may have left it while this run printed 10
// sheets from 100 up and 50 down: the run's next numbers go in only where
// the file is not further on already, in each numerator's direction.
TEST(ContinueNumbering, NoNumeratorEverMovesBack) {
  const struct {
    const char* name;
    std::string now;
    std::vector<int32_t> after;
  } cases[] = {
      {"as the run found it", Numbered(100, 50), {110, 40}},
      {"further on meanwhile", Numbered(200, 0), {200, 0}},
      {"one further, one behind", Numbered(105, 30), {110, 30}},
      {"no longer the same numerator", Numbered(100, 50, "A"), {110, 50}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = dir.Path("F.pla");
    WriteBytes(path, Numbered(100, 50));
    const Template printed = *LoadTemplate(path);
    WriteBytes(path, c.now);
    ContinueTemplateFile(path, printed, 10, 1);
    EXPECT_EQ(NumbersIn(path), c.after) << c.name;
  }
}

TEST(ContinueNumbering, TheRealFileIsWrittenOrNothing) {
  namespace fs = std::filesystem;
  TempDir dir;
  const std::string real = dir.Path("F.pla"), link = dir.Path("link.pla");
  WriteBytes(real, Numbered(100, 50));
  fs::create_symlink(real, link);
  const Template printed = *LoadTemplate(real);
  ContinueTemplateFile(link, printed, 5, 2);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(NumbersIn(real), (std::vector<int32_t>{110, 40}));

  // Refused, the file left as it is: a number past the 32-bit range, a line
  // that writing back would drop, a template gone from under its link.
  EXPECT_THROW(ContinueTemplateFile(link, printed, 5000000, 1000), ZirvoError);
  const std::string skipping = Numbered(100, 50) + "|COD|F|09|0|0|1.00|5.00|\r\n";
  WriteBytes(real, skipping);
  EXPECT_THROW(ContinueTemplateFile(link, printed, 5, 2), ZirvoError);
  EXPECT_EQ(ReadBytes(real), skipping);
  fs::remove(real);
  EXPECT_THROW(ContinueTemplateFile(link, printed, 5, 2), ZirvoError);
  EXPECT_FALSE(fs::exists(real));
}

}  // namespace
}  // namespace zirvo
