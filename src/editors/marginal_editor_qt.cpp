#include "editors/marginal_editor_qt.h"

#include "catalog/message_codes.h"

namespace zirvo {

namespace {

TableEditorConfig MarginalConfig() {
  using C = MarginalTable::CellIndex;
  std::vector<ColumnDef> cols(C::kCellCount);
  cols[C::kPosition] = columns::Position();
  cols[C::kText] = columns::FreeText(332, "TPMens", code::kMessageHeader, "EdMens", 200);
  cols[C::kHorizontal] = columns::Centimetres("TPPosH", code::kHorizontalHeader, "EdPosH");
  cols[C::kVertical] = columns::Centimetres("TPPosV", code::kVerticalHeader, "EdPosV");
  cols[C::kRotation] = columns::Rotation(Qt::AlignHCenter, "0.00");
  cols[C::kFont] = columns::Font(140);
  cols[C::kSize] = columns::Size();
  cols[C::kColour] = columns::Colour();
  cols[C::kBlank] = columns::Barcode();
  return {.titleCode = code::kMarginalFeaturesTitle,
          .columns = std::move(cols),
          .commands = {EditorCommand::Add, EditorCommand::Delete, EditorCommand::Move},
          .displacementTitleCode = code::kDisplaceMarginalsTitle,
          .scrollHeaderName = "TPVac04",
          // The colour Windows gives the text of inactive window captions.
          .editorBackground = QColor(0xD8, 0xE4, 0xF8)};
}

}  // namespace

MarginalEditor::MarginalEditor(QWidget* parent)
    : TableEditor(TemplateTable::Marginals, MarginalConfig(), parent) {
  setObjectName("FHMarginal01");
}

const MarginalTable& MarginalEditor::Marginals() const {
  return static_cast<const MarginalTable&>(Table());
}

}  // namespace zirvo
