#include "editors/numerator_editor_qt.h"

#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "widgets/general_dialogs_qt.h"

namespace zirvo {

namespace {

TableEditorConfig FolioConfig() {
  using C = NumeratorTable::CellIndex;
  std::vector<ColumnDef> cols(C::kCellCount);
  cols[C::kPosition] = columns::Position();
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

}  // namespace zirvo
