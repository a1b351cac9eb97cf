// The print-setup dialog of the print page: Qt's print dialog opened on a
// printer setting, and the setting read back from what the user chose
// (printer or PDF file, paper, orientation, duplex, colour).
#pragma once

#include <QString>
#include <optional>

#include "printing/printer_setting.h"

class QPrinter;
class QWidget;

namespace zirvo {

// Prepares the printer so that a dialog on it opens on the setting.
// `proposedFile` is the PDF file offered when the setting names none.
void ApplySettingToPrinter(const PrinterSetting& setting, QPrinter& printer,
                           const QString& proposedFile);

// The setting the printer now describes, starting from `previous` for what a
// dialog cannot change (the resolution). Nothing when the printer names no
// usable target: a queue without a name, or a PDF file without a file name.
std::optional<PrinterSetting> SettingFromPrinter(const QPrinter& printer,
                                                 const PrinterSetting& previous);

enum class SetupOutcome { Chosen, Cancelled, Unreadable };

// Shows the print dialog on `setting`; on Chosen, `setting` holds the choice.
SetupOutcome RunPrintSetup(QWidget* parent, PrinterSetting& setting, const QString& proposedFile);

}  // namespace zirvo
