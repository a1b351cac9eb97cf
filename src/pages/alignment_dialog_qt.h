// The dialog that places the background scan on the sheet: by the sheet
// point of its top-left corner and its resolution, or by two points of the
// scan and the sheet points they belong on. OK stores the alignment in the
// document (one change); "Stretch over the sheet" drops it.
#pragma once

#include <optional>

#include "template/background_alignment.h"
#include "template/template.h"

class QWidget;

namespace zirvo {

// The alignment the document's image is shown with: its own, or for an
// image without one the alignment that stretches it over the sheet. None
// without an image or for a sheet without area.
std::optional<BackgroundAlignment> EffectiveAlignment(const Template& doc);

// Shows the dialog; returns when it closes.
void AskBackgroundAlignment(QWidget* parent, Template& doc);

}  // namespace zirvo
