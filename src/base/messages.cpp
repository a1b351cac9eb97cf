#include "base/messages.h"

namespace zirvo {
namespace {

const char* OwnSpanish(OwnMessage message) {
  switch (message) {
    case OwnMessage::PipeInText:
      return "El texto '%s' contiene el carácter \"|\", que una plantilla no puede guardar.";
    case OwnMessage::NotCp1252:
      return "El texto '%s' contiene caracteres que una plantilla no puede guardar.";
    case OwnMessage::NumberOutOfRange:
      return "El numerador %s saldría del rango de números (-2147483648 a 2147483647) "
             "en esta impresión. No se imprimió nada.";
    case OwnMessage::NegativeSheets:
      return "El número de hojas '%s' no puede ser negativo. No se imprimió nada.";
    case OwnMessage::RepositionNotInteger:
      return "'%s' no es un número de hoja válido.";
    case OwnMessage::RepositionNotPrinted:
      return "Se imprimieron las cinco primeras hojas de la lista. No se imprimieron: %s";
    case OwnMessage::ZoomNotPositive:
      return "El zoom '%s' debe ser mayor que cero.";
    case OwnMessage::SheetSizeNotPositive:
      return "El largo y el alto de la hoja deben ser mayores que cero.";
    case OwnMessage::ImageNotDecoded:
      return "La imagen '%s' no pudo ser leída como imagen JPEG.";
    case OwnMessage::FileNotWritten:
      return "No se pudo guardar el archivo '%s': %s";
    case OwnMessage::FileNotRead:
      return "No se pudo leer el archivo '%s': %s";
    case OwnMessage::NotCompatible:
      return "El formato no es compatible y no pudo ser leido.";
    case OwnMessage::PrintingFailed:
      return "Error de impresión en '%s': %s. La impresión fue cancelada.";
    case OwnMessage::ReplaceFile:
      return "El archivo '%s' ya existe. ¿Desea reemplazarlo?";
    case OwnMessage::TurnsNegative:
      return "El numerador %s pasa a números negativos en la hoja %s.";
    case OwnMessage::PrintAnyway:
      return "¿Desea imprimir de todos modos?";
    case OwnMessage::UnsavedTitle:
      return "CAMBIOS SIN GUARDAR";
    case OwnMessage::UnsavedLine1:
      return "La plantilla tiene cambios que no se han guardado.";
    case OwnMessage::UnsavedLine2:
      return "¿Desea guardarlos antes de continuar?";
    case OwnMessage::DiscardButton:
      return "No guardar";
    case OwnMessage::RunCancelled:
      return "Impresión cancelada después de la hoja %s.";
    case OwnMessage::PdfNotWritten:
      return "No se escribió el archivo '%s'.";
    case OwnMessage::PdfNotWrittenKept:
      return "No se escribió el archivo '%s'; el archivo anterior de ese nombre no se "
             "modificó.";
    case OwnMessage::TemplateFilesFilter:
      return "Plantillas (*.pla)";
    case OwnMessage::AllFilesFilter:
      return "Todos los archivos (*)";
    case OwnMessage::OffsetNotValid:
      return "El desplazamiento '%s' debe ser un número de -10.0 a 10.0 milímetros.";
    case OwnMessage::QueueNotStorable:
      return "El nombre de impresora '%s' no puede guardarse en la calibración.";
    case OwnMessage::ChunkNotValid:
      return "Las hojas por trabajo '%s' deben ser un número entero mayor que cero.";
    case OwnMessage::NotRegularFile:
      return "no es un archivo común";
    case OwnMessage::DataFolderNotMade:
      return "No se pudo crear la carpeta de datos '%s'.";
    case OwnMessage::QueueUnknown:
      return "El sistema de impresión no conoce la impresora '%s'.";
    case OwnMessage::CopiesOutOfRange:
      return "Las copias por plantilla '%s' no pueden pasar de %s. No se imprimió nada.";
    case OwnMessage::IncrementOutOfRange:
      return "El incremento '%s' debe estar entre -2147483647 y 2147483647. "
             "No se imprimió nada.";
    case OwnMessage::SheetSizeOutOfRange:
      return "El largo y el alto de la hoja de la plantilla deben ser mayores que 0 y no pasar "
             "de %s cm. No se imprimió nada.";
    case OwnMessage::RepositionTooMany:
      return "Una reposición imprime como máximo %s hojas, no %s. No se imprimió nada.";
    case OwnMessage::ContinueImpossible:
      return "La numeración no podría continuar después de esta impresión: %s. No se imprimió "
             "nada.";
    case OwnMessage::CompletedUpTo:
      return "Impresión cancelada. El sistema de impresión completó hasta la hoja %s.";
    case OwnMessage::PrinterStopped:
      return "La impresora '%s' está detenida: %s. La impresión espera.";
    case OwnMessage::JobsPending:
      return "Esperando que '%s' complete los trabajos ....";
    case OwnMessage::CalibrationTitle:
      return "Hoja de calibración";
    case OwnMessage::CalibrationPrinter:
      return "Impresora: %s";
    case OwnMessage::CalibrationOffsets:
      return "Desplazamiento en uso: X = %s mm, Y = %s mm";
    case OwnMessage::CalibrationHint:
      return "Mida el centro de la cruz: debe quedar a 20 mm del borde izquierdo y 20 mm del "
             "borde superior.";
    case OwnMessage::BarcodeEmptyText:
      return "Un código de barras necesita un texto que no esté vacío.";
    case OwnMessage::BarcodeSizeInvalid:
      return "El alto y el largo de un código de barras deben ser mayores que cero y no pasar de "
             "999.99 cm.";
    case OwnMessage::BarcodeCode39Text:
      return "El texto '%s' no cabe en un Código 39: solo admite mayúsculas, cifras, espacios y "
             "los signos - . $ / + %.";
    case OwnMessage::BarcodeCode128Text:
      return "El texto '%s' no cabe en un Código 128: no admite minúsculas ni letras acentuadas.";
    case OwnMessage::BarcodeEan13Text:
      return "El texto '%s' no cabe en un EAN-13: debe tener exactamente 12 cifras.";
    case OwnMessage::BarcodeQrTooLong:
      return "El texto '%s' es demasiado largo para un código QR de %s cm: no se podría leer.";
    case OwnMessage::BarcodeRunNumerator:
      return "El numerador %s no puede llevar su código de barras en la hoja %s. No se imprimió "
             "nada.";
    case OwnMessage::BarcodeRunSheetsFit:
      return "Hojas de esta impresión que pueden imprimirse: %s.";
    case OwnMessage::BarcodeRunMarginal:
      return "El texto marginal %s no puede llevar su código de barras. No se imprimió nada.";
    case OwnMessage::LinesSkipped:
      return "Estas líneas no se pudieron leer y se omitieron:";
    case OwnMessage::LineSkipped:
      return "línea %s: %s";
    case OwnMessage::LineRefused:
      return "la línea %s no se puede leer: %s";
    case OwnMessage::LinkLeadsNowhere:
      return "es un enlace simbólico a '%s', que no lleva a ningún archivo";
    case OwnMessage::CopyNumberingTitle:
      return "¿La copia continúa la misma numeración?";
    case OwnMessage::CopyNumberingYes:
      return "Sí: la copia y la plantilla comparten la numeración, y el registro no deja "
             "imprimir dos veces el mismo número en ninguna de ellas.";
    case OwnMessage::CopyNumberingNo:
      return "No: la copia empieza una numeración propia.";
    case OwnMessage::YesButton:
      return "Sí";
    case OwnMessage::NoButton:
      return "No";
    case OwnMessage::JournalDamaged:
      return "El diario %s tiene líneas que no se pudieron leer (%s). Se omitieron, y la "
             "comprobación de números ya impresos no pudo tenerlas en cuenta.";
    case OwnMessage::ReprintNumbers:
      return "El numerador %s ya imprimió los números %s";
    case OwnMessage::ReprintQuestion:
      return "¿Imprimirlos de nuevo?";
    case OwnMessage::ReprintRefused:
      return "No se imprimió nada (--allow-reprint los imprime de nuevo).";
    case OwnMessage::ContinueQuestion:
      return "¿Continuar la numeración después de la hoja %s? La plantilla se guardará "
             "y la próxima impresión empezará en %s.";
    case OwnMessage::ContinueNotSaved:
      return "La numeración no se pudo continuar: %s";
    case OwnMessage::JournalTitle:
      return "DIARIO DE IMPRESIÓN";
    case OwnMessage::JournalCommand:
      return "Diario";
    case OwnMessage::JournalColumnDate:
      return "Fecha";
    case OwnMessage::JournalColumnKind:
      return "Tipo";
    case OwnMessage::JournalColumnSheets:
      return "Hojas";
    case OwnMessage::JournalColumnRanges:
      return "Números";
    case OwnMessage::JournalColumnTarget:
      return "Destino";
    case OwnMessage::JournalColumnResult:
      return "Resultado";
    case OwnMessage::JournalKindRun:
      return "Impresión";
    case OwnMessage::JournalKindTest:
      return "Hoja de prueba";
    case OwnMessage::JournalKindReposition:
      return "Reposición";
    case OwnMessage::JournalResultCompleted:
      return "Completada";
    case OwnMessage::JournalResultCancelled:
      return "Cancelada (%s hojas)";
    case OwnMessage::JournalResultFailed:
      return "Fallida";
    case OwnMessage::JournalResultInterrupted:
      return "Interrumpida";
    case OwnMessage::JournalReprint:
      return "Reponer";
    case OwnMessage::JournalClose:
      return "Cerrar";
    case OwnMessage::JournalEmpty:
      return "Esta plantilla aún no tiene impresiones en su diario.";
    case OwnMessage::JournalNoFile:
      return "Una plantilla que aún no se ha guardado no tiene diario.";
    case OwnMessage::JournalReprintCut:
      return "Una reposición imprime cinco hojas: se agregaron %s números a la lista de "
             "reposición y quedan %s de esa impresión sin agregar.";
    case OwnMessage::RegisterUnusable:
      return "El registro de numeración (%s) no se pudo usar: %s. No se imprimió nada.";
    case OwnMessage::RegisterBusy:
      return "El registro de numeración (%s) está ocupado: %s. No se imprimió nada.";
    case OwnMessage::RegisterDamaged:
      return "El registro de numeración (%s) tiene %s registros que no se pudieron leer: no "
             "se puede comprobar si estos números ya se imprimieron.";
    case OwnMessage::RegisterEndNotStored:
      return "El final de la impresión no se pudo anotar en el registro de numeración "
             "(%s): %s. La impresión figura como interrumpida y conserva todos sus números.";
    case OwnMessage::RegisterNotRead:
      return "El registro de numeración (%s) no se pudo leer: %s.";
    case OwnMessage::RegisterBusyCause:
      return "otra impresión lo retuvo más de %s segundos";
    case OwnMessage::RegisterNotRegularFile:
      return "es un enlace simbólico o no es un archivo común";
    case OwnMessage::RegisterNotARegister:
      return "el archivo no es un registro de numeración";
    case OwnMessage::RegisterNewerVersion:
      return "lo escribió una versión más nueva del programa (versión %s del registro)";
    case OwnMessage::RegisterUnknownRun:
      return "no tiene la impresión %s";
    case OwnMessage::RegisterRunEnded:
      return "la impresión %s ya tiene su final anotado";
    case OwnMessage::RegisterSettingsNotRead:
      return "La configuración del registro de numeración %s no se pudo leer: %s. No se "
             "imprimió nada.";
    case OwnMessage::RegisterPrintedWhere:
      return "el %s en %s,";
    case OwnMessage::RegisterPrintedBy:
      return "por %s en %s.";
    case OwnMessage::JournalNotImported:
      return "El diario %s no se pudo importar al registro de numeración: %s.";
    case OwnMessage::ExportSeparatorInvalid:
      return "El separador '%s' no sirve: debe ser un solo carácter que no sea una comilla, una "
             "letra, una cifra ni un fin de línea.";
    case OwnMessage::JournalRunsNotImported:
      return "El diario %s tiene impresiones cuyos números no se pudieron tomar (%s): la "
             "comprobación de números ya impresos no puede tenerlas en cuenta.";
    case OwnMessage::RegisterLabel:
      return "Registro de numeración";
    case OwnMessage::OutputIsProgramFile:
      return "%s es un archivo que el programa usa (una plantilla, su registro de "
             "numeración, su diario o un archivo de configuración): no se escribió nada.";
    case OwnMessage::JournalColumnUser:
      return "Usuario";
    case OwnMessage::JournalColumnStation:
      return "Estación";
    case OwnMessage::JournalColumnCompleted:
      return "Completadas";
    case OwnMessage::JournalDamagedRecords:
      return "Registros de esta numeración que no se pudieron leer (no se muestran): %s.";
    case OwnMessage::JournalExport:
      return "Exportar";
    case OwnMessage::JournalExportTitle:
      return "Exportar el diario";
    case OwnMessage::JournalExportCsvComma:
      return "CSV (coma)";
    case OwnMessage::JournalExportCsvSemicolon:
      return "CSV (punto y coma)";
    case OwnMessage::JournalExportJson:
      return "JSON";
    case OwnMessage::ExportOntoJournal:
      return "%s es el diario de una plantilla y no se reemplaza: elija otro nombre.";
    case OwnMessage::StatusProcessing:
      return "Procesando datos de inicio ....";
    case OwnMessage::StatusLoading:
      return "Cargando datos a imprimir ....";
    case OwnMessage::StatusStarting:
      return "Iniciando impresora ....";
    case OwnMessage::PrinterUnreadable:
      return "Exite un error al leer datos de la impresora";
    case OwnMessage::RemoveImageQuestion:
      return "La imagen se borrará. Presione OK para continuar.";
    case OwnMessage::ZoomTooLarge:
      return "El valor es demasiado grande para ser ampliado";
    case OwnMessage::UndoCommand:
      return "Deshacer";
    case OwnMessage::RedoCommand:
      return "Rehacer";
    case OwnMessage::AlignLeft:
      return "Alinear a la izquierda";
    case OwnMessage::AlignTop:
      return "Alinear arriba";
    case OwnMessage::AlignCentre:
      return "Centrar";
    case OwnMessage::SnapGrid:
      return "Rejilla";
    case OwnMessage::SnapOff:
      return "no";
    case OwnMessage::SelectionPosition:
      return "Selección: %s cm, %s cm";
    case OwnMessage::PointerPosition:
      return "Hoja: %s cm   Imagen: %s px";
    case OwnMessage::AlignBackground:
      return "Alinear fondo";
    case OwnMessage::AlignmentByOffset:
      return "Esquina y resolución";
    case OwnMessage::AlignmentByPoints:
      return "Dos puntos";
    case OwnMessage::AlignmentCorner:
      return "Esquina de la imagen en la hoja (cm)";
    case OwnMessage::AlignmentResolution:
      return "Resolución de la imagen (ppp)";
    case OwnMessage::AlignmentImagePoint:
      return "Punto %s de la imagen (px)";
    case OwnMessage::AlignmentSheetPoint:
      return "Punto %s de la hoja (cm)";
    case OwnMessage::AlignmentStretch:
      return "Estirar sobre la hoja";
    case OwnMessage::AlignmentPointsInvalid:
      return "Los dos puntos no sitúan la imagen: deben estar separados en la imagen y en la hoja, "
             "en el mismo sentido, con una resolución entre 1 y 10000 ppp.";
    case OwnMessage::AlignmentInvalid:
      return "La imagen debe tener una resolución entre 1 y 10000 ppp y su esquina a menos de 1000 "
             "cm del borde de la hoja.";
    case OwnMessage::PrinterMissing:
      return "la impresora no existe";
    case OwnMessage::DocumentNotStarted:
      return "no se pudo iniciar el documento";
    case OwnMessage::SheetNotStarted:
      return "no se pudo comenzar una hoja nueva";
    case OwnMessage::DocumentNotFinished:
      return "no se pudo terminar el documento";
    case OwnMessage::NumberingRuleInvalid:
      return "La regla de numeración no es válida: multiplicador y hojas por número de 1 a "
             "1000000, ciclo de 0 a 1000000.";
    case OwnMessage::MirrorMissing:
      return "No hay numerador %s que repetir.";
    case OwnMessage::MirrorOfMirror:
      return "El numerador %s ya repite otro numerador: repita el numerador original.";
    case OwnMessage::MirroredCannotMirror:
      return "Otros numeradores repiten el numerador %s: no puede repetir a otro.";
    case OwnMessage::CheckDigitWithEan13:
      return "El numerador %s lleva un código EAN-13, que tiene su propio dígito de control: "
             "no puede llevar otro.";
    case OwnMessage::RepeatsNumbers:
      return "El numerador %s repite números de una hoja a otra: un número no dice qué hoja "
             "reponer. Reponga por número de hoja dentro de la impresión.";
    case OwnMessage::RepositionNotOnProgression:
      return "El número %s no lo imprime el numerador %s con este incremento: no dice qué hoja "
             "reponer.";
    case OwnMessage::RepositionSheetNotPositive:
      return "%s no es una hoja de la impresión: las hojas se cuentan desde 1.";
    case OwnMessage::LastSheetFirst:
      return "Última hoja primero";
    case OwnMessage::RepositionBySheet:
      return "Por número de hoja";
    case OwnMessage::SheetsMayBeOnPaper:
      return "Las hojas %s a %s pueden haberse impreso en parte: sus números quedan registrados "
             "como impresos.";
    case OwnMessage::RuleDescription:
      return "Regla de numeración: %s.";
    case OwnMessage::RuleStepPart:
      return "avanza %s veces el incremento";
    case OwnMessage::RuleSheetsPart:
      return "cambia cada %s hojas";
    case OwnMessage::RuleCyclePart:
      return "vuelve a empezar tras %s números";
    case OwnMessage::RuleCheckPart:
      return "dígito de control %s";
    case OwnMessage::RuleMirrorPart:
      return "repite el número del numerador %s";
    case OwnMessage::RuleExample:
      return "Con incremento %s, las hojas 1, 2 y 3 imprimen: %s";
    case OwnMessage::RuleExampleUnknown:
      return "Estos valores no forman una regla de numeración.";
    case OwnMessage::PreviewSheetNotPositive:
      return "La hoja '%s' debe ser mayor que cero.";
    case OwnMessage::PreviewSheetOutOfRange:
      return "En la hoja %s el numerador %s saldría del rango de números (-2147483648 a "
             "2147483647).";
    case OwnMessage::StepRepeatCommand:
      return "Repetir en cuadrícula";
    case OwnMessage::StepRepeatGridInvalid:
      return "La cuadrícula debe tener de 1 a 60 columnas y de 1 a 60 filas.";
    case OwnMessage::StepRepeatPitchInvalid:
      return "El paso horizontal y el vertical deben ser de 0 a 149.99 cm, y mayores que cero "
             "cuando hay más de una columna o más de una fila.";
    case OwnMessage::StepRepeatQuantityInvalid:
      return "La cantidad de boletos debe ser un número entero de 1 a 2147483647.";
    case OwnMessage::StepRepeatNoRows:
      return "No hay filas que repetir: marque al menos un numerador o un texto marginal.";
    case OwnMessage::StepRepeatRowMissing:
      return "No hay fila %s que repetir.";
    case OwnMessage::StepRepeatTooManyNumerators:
      return "Las copias darían %s numeradores; una plantilla admite 60. No se cambió nada.";
    case OwnMessage::StepRepeatTooManyMarginals:
      return "Las copias darían %s textos marginales; una plantilla admite 60. No se cambió "
             "nada.";
    case OwnMessage::StepRepeatOffSheet:
      return "La copia de la columna %s, fila %s cae fuera de la hoja. No se cambió nada.";
    case OwnMessage::StepRepeatNumberOutOfRange:
      return "Las copias del numerador %s saldrían del rango de números (-2147483648 a "
             "2147483647). No se cambió nada.";
    case OwnMessage::StepRepeatSheets:
      return "Hojas que necesita la impresión: %s.";
    case OwnMessage::StepRepeatSheetsProposed:
      return "Se han puesto en la página de impresión.";
    case OwnMessage::StepRepeatSheetsNotProposed:
      return "La página de impresión está imprimiendo: escríbalas en ella cuando termine.";
    case OwnMessage::StepRepeatRowsLabel:
      return "Filas que forman un boleto:";
    case OwnMessage::StepRepeatNumeratorRow:
      return "Numerador %s: %s";
    case OwnMessage::StepRepeatMarginalRow:
      return "Texto marginal %s: %s";
    case OwnMessage::StepRepeatColumns:
      return "Columnas:";
    case OwnMessage::StepRepeatRows:
      return "Filas:";
    case OwnMessage::StepRepeatPitchX:
      return "Paso horizontal (cm):";
    case OwnMessage::StepRepeatPitchY:
      return "Paso vertical (cm):";
    case OwnMessage::StepRepeatQuantity:
      return "Cantidad de boletos:";
    case OwnMessage::StepRepeatOrder:
      return "Orden:";
    case OwnMessage::StepRepeatCutAndStack:
      return "Cortar y apilar";
    case OwnMessage::StepRepeatAcrossSheet:
      return "A lo ancho de la hoja";
  }
  return "";
}

const char* OwnEnglish(OwnMessage message) {
  switch (message) {
    case OwnMessage::PipeInText:
      return "The text '%s' contains the character \"|\", which a template cannot store.";
    case OwnMessage::NotCp1252:
      return "The text '%s' contains characters that a template cannot store.";
    case OwnMessage::NumberOutOfRange:
      return "Numerator %s would leave the range of numbers (-2147483648 to 2147483647) in "
             "this run. Nothing was printed.";
    case OwnMessage::NegativeSheets:
      return "The number of sheets '%s' cannot be negative. Nothing was printed.";
    case OwnMessage::RepositionNotInteger:
      return "'%s' is not a valid sheet number.";
    case OwnMessage::RepositionNotPrinted:
      return "The first five sheets of the list were printed. Not printed: %s";
    case OwnMessage::ZoomNotPositive:
      return "The zoom '%s' must be greater than zero.";
    case OwnMessage::SheetSizeNotPositive:
      return "The length and the height of the sheet must be greater than zero.";
    case OwnMessage::ImageNotDecoded:
      return "The picture '%s' could not be read as a JPEG image.";
    case OwnMessage::FileNotWritten:
      return "The file '%s' could not be saved: %s";
    case OwnMessage::FileNotRead:
      return "The file '%s' could not be read: %s";
    case OwnMessage::NotCompatible:
      return "The format is not compatible and could not be read.";
    case OwnMessage::PrintingFailed:
      return "Printing on '%s' failed: %s. The print run was cancelled.";
    case OwnMessage::ReplaceFile:
      return "The file '%s' already exists. Do you want to replace it?";
    case OwnMessage::TurnsNegative:
      return "Numerator %s goes below zero on sheet %s.";
    case OwnMessage::PrintAnyway:
      return "Do you want to print anyway?";
    case OwnMessage::UnsavedTitle:
      return "UNSAVED CHANGES";
    case OwnMessage::UnsavedLine1:
      return "The template has changes that have not been saved.";
    case OwnMessage::UnsavedLine2:
      return "Do you want to save them before going on?";
    case OwnMessage::DiscardButton:
      return "Don't save";
    case OwnMessage::RunCancelled:
      return "Printing cancelled after sheet %s.";
    case OwnMessage::PdfNotWritten:
      return "The file '%s' was not written.";
    case OwnMessage::PdfNotWrittenKept:
      return "The file '%s' was not written; the earlier file of that name was not changed.";
    case OwnMessage::TemplateFilesFilter:
      return "Templates (*.pla)";
    case OwnMessage::AllFilesFilter:
      return "All files (*)";
    case OwnMessage::OffsetNotValid:
      return "The offset '%s' must be a number from -10.0 to 10.0 millimetres.";
    case OwnMessage::QueueNotStorable:
      return "The printer name '%s' cannot be stored in the calibration.";
    case OwnMessage::ChunkNotValid:
      return "The sheets per job '%s' must be a whole number greater than zero.";
    case OwnMessage::NotRegularFile:
      return "not a regular file";
    case OwnMessage::DataFolderNotMade:
      return "The data folder '%s' could not be created.";
    case OwnMessage::QueueUnknown:
      return "The printing system knows no printer '%s'.";
    case OwnMessage::CopiesOutOfRange:
      return "The copies per template '%s' cannot be more than %s. Nothing was printed.";
    case OwnMessage::IncrementOutOfRange:
      return "The increment '%s' must lie between -2147483647 and 2147483647. Nothing was printed.";
    case OwnMessage::SheetSizeOutOfRange:
      return "The length and the height of the template's sheet must be greater than 0 and at "
             "most %s cm. Nothing was printed.";
    case OwnMessage::RepositionTooMany:
      return "A reposition prints at most %s sheets, not %s. Nothing was printed.";
    case OwnMessage::ContinueImpossible:
      return "Numbering could not continue after this run: %s. Nothing was printed.";
    case OwnMessage::CompletedUpTo:
      return "Printing cancelled. The printing system completed up to sheet %s.";
    case OwnMessage::PrinterStopped:
      return "The printer '%s' is stopped: %s. The run is waiting.";
    case OwnMessage::JobsPending:
      return "Waiting for '%s' to complete the jobs ....";
    case OwnMessage::CalibrationTitle:
      return "Calibration sheet";
    case OwnMessage::CalibrationPrinter:
      return "Printer: %s";
    case OwnMessage::CalibrationOffsets:
      return "Offsets in force: X = %s mm, Y = %s mm";
    case OwnMessage::CalibrationHint:
      return "Measure the centre of the cross: it must lie 20 mm from the left edge and 20 mm "
             "from the top edge.";
    case OwnMessage::BarcodeEmptyText:
      return "A barcode needs a text that is not empty.";
    case OwnMessage::BarcodeSizeInvalid:
      return "The height and the length of a barcode must be greater than zero and at most "
             "999.99 cm.";
    case OwnMessage::BarcodeCode39Text:
      return "The text '%s' does not fit a Code 39: it takes only capital letters, digits, "
             "spaces and the signs - . $ / + %.";
    case OwnMessage::BarcodeCode128Text:
      return "The text '%s' does not fit a Code 128: it takes no lowercase or accented letters.";
    case OwnMessage::BarcodeEan13Text:
      return "The text '%s' does not fit an EAN-13: it must be exactly 12 digits.";
    case OwnMessage::BarcodeQrTooLong:
      return "The text '%s' is too long for a QR Code of %s cm: it could not be read.";
    case OwnMessage::BarcodeRunNumerator:
      return "Numerator %s cannot carry its barcode on sheet %s. Nothing was printed.";
    case OwnMessage::BarcodeRunSheetsFit:
      return "Sheets of this run that can be printed: %s.";
    case OwnMessage::BarcodeRunMarginal:
      return "Marginal text %s cannot carry its barcode. Nothing was printed.";
    case OwnMessage::LinesSkipped:
      return "These lines could not be read and were skipped:";
    case OwnMessage::LineSkipped:
      return "line %s: %s";
    case OwnMessage::LineRefused:
      return "line %s cannot be read: %s";
    case OwnMessage::LinkLeadsNowhere:
      return "it is a symbolic link to '%s', which leads to no file";
    case OwnMessage::CopyNumberingTitle:
      return "Does the copy continue the same numbering?";
    case OwnMessage::CopyNumberingYes:
      return "Yes: the copy and the template share the numbering, and the register will not "
             "print the same number twice in either of them.";
    case OwnMessage::CopyNumberingNo:
      return "No: the copy starts a numbering of its own.";
    case OwnMessage::YesButton:
      return "Yes";
    case OwnMessage::NoButton:
      return "No";
    case OwnMessage::JournalDamaged:
      return "The journal %s has lines that could not be read (%s). They were skipped, and the "
             "check for numbers already printed could not take them into account.";
    case OwnMessage::ReprintNumbers:
      return "Numerator %s already printed the numbers %s";
    case OwnMessage::ReprintQuestion:
      return "Print them again?";
    case OwnMessage::ReprintRefused:
      return "Nothing was printed (--allow-reprint prints them again).";
    case OwnMessage::ContinueQuestion:
      return "Continue numbering after sheet %s? The template will be saved and the next run "
             "will start at %s.";
    case OwnMessage::ContinueNotSaved:
      return "Numbering could not be continued: %s";
    case OwnMessage::JournalTitle:
      return "PRINT JOURNAL";
    case OwnMessage::JournalCommand:
      return "Journal";
    case OwnMessage::JournalColumnDate:
      return "Date";
    case OwnMessage::JournalColumnKind:
      return "Kind";
    case OwnMessage::JournalColumnSheets:
      return "Sheets";
    case OwnMessage::JournalColumnRanges:
      return "Numbers";
    case OwnMessage::JournalColumnTarget:
      return "Printed on";
    case OwnMessage::JournalColumnResult:
      return "Result";
    case OwnMessage::JournalKindRun:
      return "Run";
    case OwnMessage::JournalKindTest:
      return "Test sheet";
    case OwnMessage::JournalKindReposition:
      return "Reposition";
    case OwnMessage::JournalResultCompleted:
      return "Completed";
    case OwnMessage::JournalResultCancelled:
      return "Cancelled (%s sheets)";
    case OwnMessage::JournalResultFailed:
      return "Failed";
    case OwnMessage::JournalResultInterrupted:
      return "Interrupted";
    case OwnMessage::JournalReprint:
      return "Reprint";
    case OwnMessage::JournalClose:
      return "Close";
    case OwnMessage::JournalEmpty:
      return "This template has no runs in its journal yet.";
    case OwnMessage::JournalNoFile:
      return "A template that has never been saved has no journal.";
    case OwnMessage::JournalReprintCut:
      return "A reposition prints five sheets: %s numbers were added to the reposition list "
             "and %s of that run remain to be added.";
    case OwnMessage::RegisterUnusable:
      return "The numbering register (%s) could not be used: %s. Nothing was printed.";
    case OwnMessage::RegisterBusy:
      return "The numbering register (%s) is busy: %s. Nothing was printed.";
    case OwnMessage::RegisterDamaged:
      return "The numbering register (%s) has %s records that could not be read: it cannot tell "
             "whether these numbers were printed already.";
    case OwnMessage::RegisterEndNotStored:
      return "The end of the run could not be recorded in the numbering register (%s): %s. The "
             "run shows as interrupted and keeps all its numbers.";
    case OwnMessage::RegisterNotRead:
      return "The numbering register (%s) could not be read: %s.";
    case OwnMessage::RegisterBusyCause:
      return "another run held it for more than %s seconds";
    case OwnMessage::RegisterNotRegularFile:
      return "it is a symbolic link or not a regular file";
    case OwnMessage::RegisterNotARegister:
      return "the file is not a numbering register";
    case OwnMessage::RegisterNewerVersion:
      return "a newer version of the program wrote it (register version %s)";
    case OwnMessage::RegisterUnknownRun:
      return "it holds no run %s";
    case OwnMessage::RegisterRunEnded:
      return "the run %s has its end recorded already";
    case OwnMessage::RegisterSettingsNotRead:
      return "The numbering register settings %s could not be read: %s. Nothing was printed.";
    case OwnMessage::RegisterPrintedWhere:
      return "on %s to %s,";
    case OwnMessage::RegisterPrintedBy:
      return "by %s at %s.";
    case OwnMessage::JournalNotImported:
      return "The journal %s could not be imported into the numbering register: %s.";
    case OwnMessage::ExportSeparatorInvalid:
      return "The separator '%s' cannot be used: it must be one character other than a quote, a "
             "letter, a digit or a line end.";
    case OwnMessage::JournalRunsNotImported:
      return "The journal %s holds runs whose numbers could not be taken (%s): the check for "
             "numbers already printed cannot take them into account.";
    case OwnMessage::RegisterLabel:
      return "Numbering register";
    case OwnMessage::OutputIsProgramFile:
      return "%s is a file the program uses (a template, its numbering register, its journal or "
             "a settings file): nothing was written.";
    case OwnMessage::JournalColumnUser:
      return "User";
    case OwnMessage::JournalColumnStation:
      return "Station";
    case OwnMessage::JournalColumnCompleted:
      return "Completed";
    case OwnMessage::JournalDamagedRecords:
      return "Records of this numbering that could not be read (not shown): %s.";
    case OwnMessage::JournalExport:
      return "Export";
    case OwnMessage::JournalExportTitle:
      return "Export the journal";
    case OwnMessage::JournalExportCsvComma:
      return "CSV (comma)";
    case OwnMessage::JournalExportCsvSemicolon:
      return "CSV (semicolon)";
    case OwnMessage::JournalExportJson:
      return "JSON";
    case OwnMessage::ExportOntoJournal:
      return "%s is the journal of a template and is not replaced: choose another name.";
    case OwnMessage::StatusProcessing:
      return "Processing the start data ....";
    case OwnMessage::StatusLoading:
      return "Loading the data to print ....";
    case OwnMessage::StatusStarting:
      return "Starting the printer ....";
    case OwnMessage::PrinterUnreadable:
      return "The printer's data could not be read";
    case OwnMessage::RemoveImageQuestion:
      return "The image will be removed. Press OK to continue.";
    case OwnMessage::ZoomTooLarge:
      return "The value is too large to zoom in";
    case OwnMessage::UndoCommand:
      return "Undo";
    case OwnMessage::RedoCommand:
      return "Redo";
    case OwnMessage::AlignLeft:
      return "Align left";
    case OwnMessage::AlignTop:
      return "Align top";
    case OwnMessage::AlignCentre:
      return "Centre";
    case OwnMessage::SnapGrid:
      return "Snap";
    case OwnMessage::SnapOff:
      return "off";
    case OwnMessage::SelectionPosition:
      return "Selection: %s cm, %s cm";
    case OwnMessage::PointerPosition:
      return "Sheet: %s cm   Image: %s px";
    case OwnMessage::AlignBackground:
      return "Align background";
    case OwnMessage::AlignmentByOffset:
      return "Corner and resolution";
    case OwnMessage::AlignmentByPoints:
      return "Two points";
    case OwnMessage::AlignmentCorner:
      return "Image corner on the sheet (cm)";
    case OwnMessage::AlignmentResolution:
      return "Image resolution (dpi)";
    case OwnMessage::AlignmentImagePoint:
      return "Image point %s (px)";
    case OwnMessage::AlignmentSheetPoint:
      return "Sheet point %s (cm)";
    case OwnMessage::AlignmentStretch:
      return "Stretch over the sheet";
    case OwnMessage::AlignmentPointsInvalid:
      return "The two points do not place the image: they must lie apart on the image and on the "
             "sheet, in the same direction, at a resolution from 1 to 10000 dpi.";
    case OwnMessage::AlignmentInvalid:
      return "The image must have a resolution from 1 to 10000 dpi and its corner within 1000 cm "
             "of the sheet's edge.";
    case OwnMessage::PrinterMissing:
      return "the printer does not exist";
    case OwnMessage::DocumentNotStarted:
      return "the document could not be started";
    case OwnMessage::SheetNotStarted:
      return "a new sheet could not be started";
    case OwnMessage::DocumentNotFinished:
      return "the document could not be finished";
    case OwnMessage::NumberingRuleInvalid:
      return "The numbering rule is not valid: multiplier and sheets per number from 1 to "
             "1000000, cycle from 0 to 1000000.";
    case OwnMessage::MirrorMissing:
      return "There is no numerator %s to repeat.";
    case OwnMessage::MirrorOfMirror:
      return "Numerator %s already repeats another numerator: repeat the original one.";
    case OwnMessage::MirroredCannotMirror:
      return "Other numerators repeat numerator %s: it cannot repeat another.";
    case OwnMessage::CheckDigitWithEan13:
      return "Numerator %s carries an EAN-13 barcode, which has its own check digit: it cannot "
             "carry another.";
    case OwnMessage::RepeatsNumbers:
      return "Numerator %s repeats numbers from sheet to sheet: a number does not tell which "
             "sheet to reprint. Reprint by sheet number within the run.";
    case OwnMessage::RepositionNotOnProgression:
      return "The number %s is not one numerator %s prints with this increment: it does not "
             "tell which sheet to reprint.";
    case OwnMessage::RepositionSheetNotPositive:
      return "%s is not a sheet of the run: sheets are counted from 1.";
    case OwnMessage::LastSheetFirst:
      return "Last sheet first";
    case OwnMessage::RepositionBySheet:
      return "By sheet number";
    case OwnMessage::SheetsMayBeOnPaper:
      return "Sheets %s to %s may have been printed in part: their numbers stay recorded as "
             "printed.";
    case OwnMessage::RuleDescription:
      return "Numbering rule: %s.";
    case OwnMessage::RuleStepPart:
      return "moves by %s times the increment";
    case OwnMessage::RuleSheetsPart:
      return "changes every %s sheets";
    case OwnMessage::RuleCyclePart:
      return "starts again after %s numbers";
    case OwnMessage::RuleCheckPart:
      return "check digit %s";
    case OwnMessage::RuleMirrorPart:
      return "repeats the number of numerator %s";
    case OwnMessage::RuleExample:
      return "With increment %s, sheets 1, 2 and 3 print: %s";
    case OwnMessage::RuleExampleUnknown:
      return "These values make no numbering rule.";
    case OwnMessage::PreviewSheetNotPositive:
      return "The sheet '%s' must be greater than zero.";
    case OwnMessage::PreviewSheetOutOfRange:
      return "On sheet %s numerator %s would leave the range of numbers (-2147483648 to "
             "2147483647).";
    case OwnMessage::StepRepeatCommand:
      return "Step and repeat";
    case OwnMessage::StepRepeatGridInvalid:
      return "The grid must have 1 to 60 columns and 1 to 60 rows.";
    case OwnMessage::StepRepeatPitchInvalid:
      return "The horizontal and vertical pitch must be 0 to 149.99 cm, and more than zero "
             "where there is more than one column or more than one row.";
    case OwnMessage::StepRepeatQuantityInvalid:
      return "The quantity of tickets must be a whole number from 1 to 2147483647.";
    case OwnMessage::StepRepeatNoRows:
      return "There are no rows to repeat: tick at least one numerator or marginal text.";
    case OwnMessage::StepRepeatRowMissing:
      return "There is no row %s to repeat.";
    case OwnMessage::StepRepeatTooManyNumerators:
      return "The copies would make %s numerators; a template holds 60. Nothing was changed.";
    case OwnMessage::StepRepeatTooManyMarginals:
      return "The copies would make %s marginal texts; a template holds 60. Nothing was "
             "changed.";
    case OwnMessage::StepRepeatOffSheet:
      return "The copy in column %s, row %s falls off the sheet. Nothing was changed.";
    case OwnMessage::StepRepeatNumberOutOfRange:
      return "The copies of numerator %s would leave the range of numbers (-2147483648 to "
             "2147483647). Nothing was changed.";
    case OwnMessage::StepRepeatSheets:
      return "Sheets the run needs: %s.";
    case OwnMessage::StepRepeatSheetsProposed:
      return "They have been put in the print page.";
    case OwnMessage::StepRepeatSheetsNotProposed:
      return "The print page is printing: type them there when it ends.";
    case OwnMessage::StepRepeatRowsLabel:
      return "Rows making one ticket:";
    case OwnMessage::StepRepeatNumeratorRow:
      return "Numerator %s: %s";
    case OwnMessage::StepRepeatMarginalRow:
      return "Marginal text %s: %s";
    case OwnMessage::StepRepeatColumns:
      return "Columns:";
    case OwnMessage::StepRepeatRows:
      return "Rows:";
    case OwnMessage::StepRepeatPitchX:
      return "Horizontal pitch (cm):";
    case OwnMessage::StepRepeatPitchY:
      return "Vertical pitch (cm):";
    case OwnMessage::StepRepeatQuantity:
      return "Quantity of tickets:";
    case OwnMessage::StepRepeatOrder:
      return "Order:";
    case OwnMessage::StepRepeatCutAndStack:
      return "Cut and stack";
    case OwnMessage::StepRepeatAcrossSheet:
      return "Across the sheet";
  }
  return "";
}

// Own messages follow the table loaded last; the program loads one catalog.
bool ownTextEnglish = false;

}  // namespace

void SetOwnMessagesEnglish(bool english) { ownTextEnglish = english; }

std::string OwnText(OwnMessage message, std::string_view arg, std::string_view arg2) {
  std::string text = ownTextEnglish ? OwnEnglish(message) : OwnSpanish(message);
  std::string_view args[] = {arg, arg2};
  std::size_t from = 0;
  for (auto value : args) {
    const auto at = text.find("%s", from);
    if (at == std::string::npos) break;
    text.replace(at, 2, value);
    from = at + value.size();
  }
  return text;
}

}  // namespace zirvo
