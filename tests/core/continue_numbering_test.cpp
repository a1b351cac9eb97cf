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

// The file as another station may have left it while a run printed from 100
// up and 50 down, continued through a link: each numerator takes the run's
// next number only where the file is not further on already, in its own
// direction; the real file is written and the link stays, or nothing is.
TEST(ContinueNumbering, NoNumeratorMovesBackAndTheRealFileIsWrittenOrNothing) {
  namespace fs = std::filesystem;
  const struct {
    const char* name;
    std::string now;  // "": gone from under its link
    int32_t sheets, increment;
    std::vector<int32_t> after;  // empty: refused, the file left as it is
  } cases[] = {
      {"as the run found it", Numbered(100, 50), 10, 1, {110, 40}},
      {"by twos", Numbered(100, 50), 5, 2, {110, 40}},
      {"further on meanwhile", Numbered(200, 0), 10, 1, {200, 0}},
      {"one further, one behind", Numbered(105, 30), 10, 1, {110, 30}},
      {"no longer the same numerator", Numbered(100, 50, "A"), 10, 1, {110, 50}},
      {"a number past the 32-bit range", Numbered(100, 50), 5000000, 1000, {}},
      {"a line writing back would drop",
       Numbered(100, 50) + "|COD|F|09|0|0|1.00|5.00|\r\n",
       5,
       2,
       {}},
      {"the template gone", "", 5, 2, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string real = dir.Path("F.pla"), link = dir.Path("link.pla");
    WriteBytes(real, Numbered(100, 50));
    const Template printed = *LoadTemplate(real);
    fs::create_symlink(real, link);
    if (c.now.empty())
      fs::remove(real);
    else
      WriteBytes(real, c.now);
    if (c.after.empty()) {
      EXPECT_THROW(ContinueTemplateFile(link, printed, c.sheets, c.increment), ZirvoError);
      EXPECT_EQ(fs::exists(real) ? ReadBytes(real) : "", c.now);
    } else {
      ContinueTemplateFile(link, printed, c.sheets, c.increment);
      EXPECT_EQ(NumbersIn(real), c.after);
    }
    EXPECT_TRUE(fs::is_symlink(link));
  }
}

}  // namespace
}  // namespace zirvo
