#include "editors/numerator_editor_qt.h"

#include <QKeyEvent>

#include "base/messages.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "editors/numbering_dialog_qt.h"
#include "template/rule_display.h"
#include "widgets/general_dialogs_qt.h"

namespace zirvo {

namespace {

TableEditorConfig FolioConfig() {
  using C = NumeratorTable::CellIndex;
  std::vector<ColumnDef> cols(C::kCellCount);
  cols[C::kPosition] = columns::Position();
  cols[C::kPosition].editor = EditorKind::RowDialog;
  cols[C::kPrefix] = columns::FreeText(104, "TPPref", code::kPrefixHeader, "EdPref", 15);
  cols[C::kNumber] =
      columns::Integer(80, "TPNum", code::kNumberHeader, "EdFolio", 12, "0", Qt::AlignLeft);
  cols[C::kSuffix] = columns::FreeText(104, "TPSuf", code::kSuffixHeader, "EdSuf", 15);
  cols[C::kHorizontal] = columns::Centimetres("TPPosH", code::kHorizontalHeader, "EdPosH");
  cols[C::kVertical] = columns::Centimetres("TPPosV", code::kVerticalHeader, "EdPosV");
  cols[C::kRotation] = columns::Rotation(Qt::AlignRight, "0.00");
  cols[C::kMask] =
      columns::Integer(30, "TPMasc", code::kMaskHeader, "EdMasc", 2, "", Qt::AlignHCenter);
  cols[C::kFont] = columns::Font(130);
  cols[C::kSize] = columns::Size();
  cols[C::kColour] = columns::Colour();
  cols[C::kDirection] = {.width = 20,
                         .headerName = "TPRetro",
                         .headerCode = code::kDirectionHeader,
                         .editor = EditorKind::Toggle,
                         .paint = CellPaint::DirectionIcon};
  cols[C::kBlank] = columns::Barcode();
  return {.titleCode = code::kNumeratorFeaturesTitle,
          .columns = std::move(cols),
          .commands = {EditorCommand::Add, EditorCommand::Delete, EditorCommand::Increment,
                       EditorCommand::Move},
          .displacementTitleCode = code::kDisplaceNumeratorsTitle,
          .scrollHeaderName = "TPVac03",
          .editorBackground = QColor(0xE2, 0xE4, 0xC2)};
}

}  // namespace

NumeratorEditor::NumeratorEditor(QWidget* parent)
    : TableEditor(TemplateTable::Numerators, FolioConfig(), parent) {
  setObjectName("FHFolio01");
}

void NumeratorEditor::RunIncrement() {
  if (Table().Empty() || Document() == nullptr) return;
  int32_t k = 0;
  try {
    ShowIncrementDialog(k);
    Document()->ApplyIncrement(k);
  } catch (const ZirvoError& error) {
    ShowFailure(this, error.what());
  }
  TableChanged();
}

const NumeratorTable& NumeratorEditor::Numerators() const {
  return static_cast<const NumeratorTable&>(Table());
}

void NumeratorEditor::RunRowDialog(int row) {
  if (Document() == nullptr || row < 0 || row >= Table().RowCount()) return;
  std::vector<int32_t> others;
  for (int r = 0; r < Table().RowCount(); ++r)
    if (r != row) others.push_back(r + 1);
  // The example works on the rows as exported; a cell that does not convert
  // leaves the example unknown.
  NumeratorList records;
  try {
    records = Numerators().ExportRecords();
  } catch (const ZirvoError&) {
  }
  constexpr int64_t kExampleIncrement = 1;
  const auto example = [records, row](const NumberingRule& rule) {
    const std::optional<std::string> texts =
        RuleExampleTexts(records, static_cast<std::size_t>(row), rule, kExampleIncrement);
    return texts ? OwnText(OwnMessage::RuleExample, FormatInt(kExampleIncrement), *texts)
                 : OwnText(OwnMessage::RuleExampleUnknown);
  };
  ProgramInstance<NumberingDialog>().Run(Numerators().Rule(row), others, example,
                                         [this, row](const NumberingRule& rule) {
                                           Document()->SetNumberingRule(row, rule);
                                           return std::string();
                                         });
  Grid()->viewport()->update();
}

QString NumeratorEditor::PositionTip(int row) const {
  return ToQString(DescribeNumberingRule(Numerators().Rule(row)));
}

bool NumeratorEditor::CommandKey(const QKeyEvent& event) {
  if (event.key() != Qt::Key_R || event.modifiers() != Qt::ControlModifier) return false;
  RunRowDialog(Grid()->CurrentRow());
  return true;
}

}  // namespace zirvo
