#include "template/series.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "core/temp_dir.h"

namespace zirvo {
namespace {

using testing::TempDir;

TEST(Series, TextIsThirtyTwoHexDigits) {
  const struct {
    const char* text;
    bool series;
  } cases[] = {
      {"0123456789abcdef0123456789ABCDEF", true},
      {"0123456789abcdef0123456789abcde", false},    // 31 digits
      {"0123456789abcdef0123456789abcdef0", false},  // 33
      {"0123456789abcdef0123456789abcdeg", false},
      {" 123456789abcdef0123456789abcdef", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSeriesText(c.text), c.series) << c.text;
}

TEST(Series, NewSeriesAreValidAndDistinct) {
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    const std::string series = NewSeries();
    EXPECT_TRUE(IsSeriesText(series)) << series;
    EXPECT_EQ(series.find_first_of("ABCDEF"), std::string::npos) << series;
    seen.insert(series);
  }
  EXPECT_EQ(seen.size(), 100u);
}

// The series of a file without one is a stable hash of its canonical path:
// the same through a link, another for another file.
TEST(Series, APathsSeriesFollowsLinksAndNeverChanges) {
  TempDir dir;
  const std::string real = dir.Path("Facturas.pla");
  const std::string link = dir.Path("Enlace.pla");
  std::ofstream(real) << "|HJA|";
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  EXPECT_EQ(SeriesOfPath(link), SeriesOfPath(real));
  EXPECT_EQ(SeriesOfPath(dir.Path() + "/./Facturas.pla"), SeriesOfPath(real));
  EXPECT_NE(SeriesOfPath(dir.Path("Otra.pla")), SeriesOfPath(real));
  EXPECT_EQ(CanonicalPath(link), CanonicalPath(real));
  // FNV-1a, 128 bits, of the path's bytes.
  EXPECT_EQ(SeriesOfPath("/srv/plantillas/Facturas.pla"), "c8b3a5c9ce45ba066e5a027fbbab4491");
}

}  // namespace
}  // namespace zirvo
