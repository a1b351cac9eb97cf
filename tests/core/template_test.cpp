// The template document: what each operation changes, the one change
// notice it gives, what a failing operation leaves, and the print job.
#include "template/template.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/text.h"
#include "support/table_ports.h"
#include "support/template_lines.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

using N = NumeratorTable;
using M = MarginalTable;
using Change = TemplateChange;

class FakeBitmap : public Bitmap {
 public:
  int Width() const override { return 2; }
  int Height() const override { return 2; }
};

const std::string kSeries = "0123456789abcdef0123456789abcdef";

// A template with a series, a numerator, a marginal text and a background.
Template Filled() {
  Template doc;
  doc.StartNew("Caja", 21.5, 28.0);
  doc.SetSeries(kSeries);
  doc.AddRow(TemplateTable::Numerators);
  doc.CommitCell(TemplateTable::Numerators, 0, N::kNumber, "41");
  doc.AddRow(TemplateTable::Marginals);
  doc.CommitCell(TemplateTable::Marginals, 0, M::kText, "Original");
  doc.SetBackground("/img/fondo.jpg", std::make_shared<FakeBitmap>());
  return doc;
}

// Every operation that changes something tells the views once, and says what.
TEST(Template, EachOperationGivesOneNotice) {
  const struct {
    const char* name;
    std::function<void(Template&)> operation;
    std::vector<Change> notices;
    std::function<bool(const Template&)> holds;
  } cases[] = {
      {"start new",
       [](Template& d) { d.StartNew("Nueva", 10, 12); },
       {Change::Everything},
       [](const Template& d) {
         return d.Numerators().Empty() && d.Marginals().Empty() && !d.Background().Present() &&
                d.Header().Width == 10 && d.Header().Kind == "IMP100" &&
                d.Header().Name == "Nueva" && d.Series().empty();
       }},
      {"clear",
       [](Template& d) { d.Clear(); },
       {Change::Everything},
       [](const Template& d) {
         return d.Numerators().Empty() && d.Marginals().Empty() && !d.Background().Present() &&
                d.Header().Name == "Caja" && d.Series().empty();
       }},
      {"replace",
       [](Template& d) { d.Replace(testing::DecodeLines({"|MAR|01|x|"}, SheetHeader{})); },
       {Change::Everything},
       [](const Template& d) {
         return d.Numerators().Empty() && d.Marginals().Cell(0, M::kText) == "x" &&
                !d.Background().Present() && d.Header().Width == 0.0 && d.Series().empty();
       }},
      {"reset header",
       [](Template& d) { d.ResetHeader(); },
       {Change::Header},
       [](const Template& d) { return d.Header().Kind.empty() && d.Numerators().RowCount() == 1; }},
      {"sheet size",
       [](Template& d) { d.SetSheetSize(30, 40); },
       {Change::Header},
       [](const Template& d) { return d.Header().Width == 30 && d.Header().Height == 40; }},
      {"identity",
       [](Template& d) { d.SetIdentity(std::string(90, 'n'), "/d"); },
       {Change::Header},
       [](const Template& d) { return d.Header().Name.size() == 80 && d.Header().Folder == "/d"; }},
      {"add numerator",
       [](Template& d) { d.AddRow(TemplateTable::Numerators); },
       {Change::Numerators},
       [](const Template& d) { return d.Numerators().RowCount() == 2; }},
      {"add marginal",
       [](Template& d) { d.AddRow(TemplateTable::Marginals); },
       {Change::Marginals},
       [](const Template& d) { return d.Marginals().Cell(1, M::kPosition) == "02"; }},
      {"delete numerator",
       [](Template& d) { d.DeleteRow(TemplateTable::Numerators, 0); },
       {Change::Numerators},
       [](const Template& d) { return d.Numerators().Empty(); }},
      {"delete out of range",
       [](Template& d) { d.DeleteRow(TemplateTable::Marginals, 5); },
       {},
       [](const Template& d) { return d.Marginals().RowCount() == 1; }},
      {"commit",
       [](Template& d) { d.CommitCell(TemplateTable::Marginals, 0, M::kHorizontal, " 2.5"); },
       {Change::Marginals},
       [](const Template& d) { return d.Marginals().Cell(0, M::kHorizontal) == "2.50"; }},
      {"commit refused",
       [](Template& d) { d.CommitCell(TemplateTable::Numerators, 0, N::kNumber, "x"); },
       {},
       [](const Template& d) { return d.Numerators().Cell(0, N::kNumber) == "41"; }},
      {"commit pipe refused",
       [](Template& d) { d.CommitCell(TemplateTable::Marginals, 0, M::kText, "a|b"); },
       {},
       [](const Template& d) { return d.Marginals().Cell(0, M::kText) == "Original"; }},
      {"increment",
       [](Template& d) { d.ApplyIncrement(9); },
       {Change::Numerators},
       [](const Template& d) { return d.Numerators().Cell(0, N::kNumber) == "50"; }},
      {"increment overflow",
       [](Template& d) { d.ApplyIncrement(2147483647); },
       {},
       [](const Template& d) { return d.Numerators().Cell(0, N::kNumber) == "41"; }},
      {"advance past three sheets",
       [](Template& d) { d.AdvanceNumerators(3, 5); },
       {Change::Numerators},
       [](const Template& d) { return d.Numerators().Cell(0, N::kNumber) == "56"; }},
      {"advance overflow",
       [](Template& d) { d.AdvanceNumerators(2147483647, 2); },
       {},
       [](const Template& d) { return d.Numerators().Cell(0, N::kNumber) == "41"; }},
      {"displacement",
       [](Template& d) { d.ApplyDisplacement(TemplateTable::Marginals, 1, -1); },
       {Change::Marginals},
       [](const Template& d) {
         return d.Marginals().Cell(0, M::kHorizontal) == "1.00" &&
                d.Marginals().Cell(0, M::kVertical) == "-1.00" &&
                d.Numerators().Cell(0, N::kHorizontal) == "0.00";
       }},
      {"set background",
       [](Template& d) { d.SetBackground("/b.jpg", std::make_shared<FakeBitmap>()); },
       {Change::Background},
       [](const Template& d) { return d.Background().path == "/b.jpg" && !d.Background().print; }},
      {"print background",
       [](Template& d) { d.SetPrintBackground(true); },
       {Change::Background},
       [](const Template& d) { return d.Background().print && d.Background().Present(); }},
      {"clear background",
       [](Template& d) { d.ClearBackground(); },
       {Change::Background},
       [](const Template& d) { return d.Background() == BackgroundImage{}; }},
  };
  for (const auto& c : cases) {
    Template doc = Filled();
    ChangeRecorder views(doc);
    try {
      c.operation(doc);
    } catch (const ZirvoError&) {
      // A refused operation: checked by the notices and the content below.
    }
    EXPECT_EQ(views.changes, c.notices) << c.name;
    EXPECT_TRUE(c.holds(doc)) << c.name;
  }
}

TEST(Template, AddRowStopsAtSixtyWithoutANotice) {
  Template doc;
  for (int i = 0; i < TextTable::kMaxRows; ++i) ASSERT_TRUE(doc.AddRow(TemplateTable::Marginals));
  ChangeRecorder views(doc);
  EXPECT_FALSE(doc.AddRow(TemplateTable::Marginals));
  EXPECT_TRUE(views.changes.empty());
  EXPECT_EQ(doc.Marginals().RowCount(), TextTable::kMaxRows);
}

TEST(Template, CopiesCarryTheContentButNotTheListeners) {
  Template doc = Filled();
  int heard = 0;
  doc.AddListener([&](Change) { ++heard; });
  Template copy = doc;
  EXPECT_EQ(copy, doc);
  copy.SetSheetSize(1, 1);
  EXPECT_EQ(heard, 0);
  EXPECT_NE(copy, doc);
  // A listener that removes itself while being told is not called again.
  int id = 0;
  int once = 0;
  id = doc.AddListener([&](Change) {
    ++once;
    doc.RemoveListener(id);
  });
  doc.SetSheetSize(2, 2);
  doc.SetSheetSize(3, 3);
  EXPECT_EQ(once, 1);
  EXPECT_EQ(heard, 2);
}

// The print job: header copy, exported rows, and the background only when
// present and ticked.
TEST(Template, PrintJobCarriesTheBackgroundOnlyWhenTicked) {
  const struct {
    bool image;
    bool ticked;
    bool printed;
  } cases[] = {
      {false, false, false}, {false, true, false}, {true, false, false}, {true, true, true}};
  for (const auto& c : cases) {
    Template doc = Filled();
    if (!c.image) doc.ClearBackground();
    doc.SetPrintBackground(c.ticked);
    const PrintJob job = doc.ToPrintJob();
    EXPECT_EQ(job.Sheet, doc.Header());
    EXPECT_EQ(job.Series, kSeries);
    EXPECT_EQ(job.NumeratorCount, 1);
    EXPECT_EQ(job.Numerators, doc.Numerators().ExportRecords());
    EXPECT_EQ(job.MarginalCount, 1);
    EXPECT_EQ(job.Marginals[0].Text, "Original");
    EXPECT_EQ(job.PrintBackground, c.printed) << c.image << c.ticked;
    EXPECT_EQ(job.Background != nullptr, c.printed) << c.image << c.ticked;
  }
}

TEST(Template, PrintJobOfACellThatDoesNotConvertThrows) {
  Template doc;
  doc.Replace(
      testing::DecodeLines({"|FOL|01||big||0.00|0.00|0.00|04|Arial|12|0|A||"}, SheetHeader{}));
  EXPECT_THROW(doc.ToPrintJob(), ConversionError);
}

}  // namespace
}  // namespace zirvo
