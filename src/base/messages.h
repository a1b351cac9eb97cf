// The program's own messages: texts that the four-digit message catalog
// does not hold, in Spanish and English, as UTF-8. The lowest layer reports
// failures with them, so they live here. Together with the catalog they are
// the one source of every text a user reads: the catalog chooses the
// language of both when it loads its table.
#pragma once

#include <string>
#include <string_view>

namespace zirvo {

// Messages of this program that the four-digit catalog does not hold, in the
// language of the table loaded last.
enum class OwnMessage {
  PipeInText,            // %s: the text
  NotCp1252,             // %s: the text
  NumberOutOfRange,      // %s: numerator position, for a run leaving int32
  NegativeSheets,        // %s: the text
  RepositionNotInteger,  // %s: the entry
  RepositionNotPrinted,  // %s: the list of entries not printed
  ZoomNotPositive,       // %s: the text
  SheetSizeNotPositive,  // no argument
  ImageNotDecoded,       // %s: the file
  FileNotWritten,        // %s: the file, %s: the cause
  FileNotRead,           // %s: the file, %s: the cause
  NotCompatible,         // no argument
  PrintingFailed,        // %s: the printer, %s: the cause
  ReplaceFile,           // %s: the file, a question
  TurnsNegative,         // %s: numerator position, %s: the sheet
  PrintAnyway,           // no argument, a question
  UnsavedTitle,          // no argument: the unsaved-changes question, title
  UnsavedLine1,          // no argument: its first line
  UnsavedLine2,          // no argument: its second line
  DiscardButton,         // no argument: its "do not save" button
  RunCancelled,          // %s: the last sheet printed
  PdfNotWritten,         // %s: the PDF file a cancelled run did not write
  PdfNotWrittenKept,     // %s: the same, when an earlier file of that name stays
  TemplateFilesFilter,   // no argument: a file-dialog filter
  AllFilesFilter,        // no argument: a file-dialog filter
  OffsetNotValid,        // %s: the text of a printer offset
  QueueNotStorable,      // %s: a queue name the calibration file cannot hold
  ChunkNotValid,         // %s: the text of the sheets-per-job field
  NotRegularFile,        // no argument: the cause when a folder, FIFO or device is to be read
  DataFolderNotMade,     // %s: the folder
  QueueUnknown,          // %s: a queue the printing system does not know
  CopiesOutOfRange,      // %s: the text of the copies field, %s: the most allowed
  IncrementOutOfRange,   // %s: the text of the increment field
  SheetSizeOutOfRange,   // %s: the largest length in cm
  RepositionTooMany,     // %s: the most one reposition prints, %s: how many were given
  ContinueImpossible,    // %s: why numbering could not continue after the run
  CompletedUpTo,         // %s: the last sheet the printing system completed
  PrinterStopped,        // %s: the printer, %s: its reason
  JobsPending,           // %s: the printer; the run waits for its jobs
  CalibrationTitle,      // no argument: heading of the calibration sheet
  CalibrationPrinter,    // %s: the queue
  CalibrationOffsets,    // %s: X, %s: Y in millimetres
  CalibrationHint,       // no argument: what to measure
  BarcodeEmptyText,      // no argument
  BarcodeSizeInvalid,    // no argument
  BarcodeCode39Text,     // %s: the text
  BarcodeCode128Text,    // %s: the text
  BarcodeEan13Text,      // %s: the text
  BarcodeQrTooLong,      // %s: the text, %s: the side in cm
  BarcodeRunNumerator,   // %s: numerator position, %s: the sheet; the reason follows
  BarcodeRunSheetsFit,   // %s: how many sheets of the run can carry every barcode
  BarcodeRunMarginal,    // %s: marginal-text position; the reason follows
  LinesSkipped,          // no argument: heading of the list of template lines skipped
  LineSkipped,           // %s: line number, %s: the line
  LineRefused,           // %s: line number, %s: the line
  LinkLeadsNowhere,      // %s: where the link points: why a file was not written
  // The question of Save as about the copy's numbering.
  CopyNumberingTitle,  // no argument
  CopyNumberingYes,    // no argument: what Yes does
  CopyNumberingNo,     // no argument: what No does
  YesButton,           // no argument
  NoButton,            // no argument
  // The journal of runs.
  JournalDamaged,            // %s: the journal file, %s: the numbers of the lines skipped
  ReprintNumbers,            // %s: numerator position, %s: the numbers already printed
  ReprintQuestion,           // no argument: asks whether to print them again
  ReprintRefused,            // no argument: zirvo-batch prints nothing without --allow-reprint
  ContinueQuestion,          // %s: the last sheet printed, %s: the next number of numerator 1
  ContinueNotSaved,          // %s: the cause
  JournalTitle,              // no argument: the journal screen's title
  JournalCommand,            // no argument: the print page's command that opens it
  JournalColumnDate,         // no argument: a column heading
  JournalColumnKind,         // no argument: a column heading
  JournalColumnSheets,       // no argument: a column heading
  JournalColumnRanges,       // no argument: a column heading
  JournalColumnTarget,       // no argument: a column heading
  JournalColumnResult,       // no argument: a column heading
  JournalKindRun,            // no argument
  JournalKindTest,           // no argument
  JournalKindReposition,     // no argument
  JournalResultCompleted,    // no argument
  JournalResultCancelled,    // %s: the sheets the printing system completed
  JournalResultFailed,       // no argument
  JournalResultInterrupted,  // no argument
  JournalReprint,            // no argument: the command filling the reposition list
  JournalClose,              // no argument: the command closing the screen
  JournalEmpty,              // no argument: shown when the template has no journal yet
  JournalNoFile,             // no argument: a template never saved has no journal
  JournalReprintCut,         // %s: how many numbers were added, %s: how many were left out
  // The numbering register. %s: the register as Description() names it.
  RegisterUnusable,         // %s: the register, %s: the cause
  RegisterBusy,             // %s: the register, %s: the cause (RegisterBusyCause)
  RegisterDamaged,          // %s: the register, %s: how many records do not read
  RegisterEndNotStored,     // %s: the register, %s: the cause
  RegisterNotRead,          // %s: the register, %s: the cause
  RegisterBusyCause,        // %s: the seconds waited
  RegisterNotRegularFile,   // no argument: a cause
  RegisterNotARegister,     // no argument: a cause
  RegisterNewerVersion,     // %s: the register's version: a cause
  RegisterUnknownRun,       // %s: the run id: a cause
  RegisterRunEnded,         // %s: the run id: a cause
  RegisterSettingsNotRead,  // %s: the settings file, %s: the cause
  RegisterPrintedWhere,     // %s: the time, %s: the target; follows ReprintNumbers
  RegisterPrintedBy,        // %s: the user, %s: the station
  JournalNotImported,       // %s: the journal file, %s: the cause
  ExportSeparatorInvalid,   // %s: the separator
  JournalRunsNotImported,   // %s: the journal file, %s: the ids of runs whose numbers do not read
  RegisterLabel,            // no argument: the print page's label of the register a run uses
  OutputIsProgramFile,      // %s: the output file a run or a preview would replace
  // The journal screen on the register.
  JournalColumnUser,          // no argument: a column heading
  JournalColumnStation,       // no argument: a column heading
  JournalColumnCompleted,     // no argument: a column heading, the sheets completed
  JournalDamagedRecords,      // %s: how many records of the series do not read
  JournalExport,              // no argument: the command that exports the runs
  JournalExportTitle,         // no argument: its file dialog's title
  JournalExportCsvComma,      // no argument: a file-dialog filter
  JournalExportCsvSemicolon,  // no argument: a file-dialog filter
  JournalExportJson,          // no argument: a file-dialog filter
  ExportOntoJournal,          // %s: the old journal an export would replace
  // Steps of a run, shown while it starts.
  StatusProcessing,     // no argument
  StatusLoading,        // no argument
  StatusStarting,       // no argument
  PrinterUnreadable,    // no argument: the selected printer's settings do not read
  RemoveImageQuestion,  // no argument: before the preview's background image goes
  ZoomTooLarge,         // no argument: a zoom past what a preview can draw
  // Design on the sheet: undo, the preview's item commands and the background's place.
  UndoCommand,          // no argument: the command that takes the last change back
  RedoCommand,          // no argument: the command that makes it again
  AlignLeft,            // no argument: the selected items' left edges in line
  AlignTop,             // no argument: their top edges in line
  AlignCentre,          // no argument: their centres on one vertical line
  SnapGrid,             // no argument: the label of the snap grid's list
  SnapOff,              // no argument: the list's entry without a grid
  SelectionPosition,    // %s: horizontal cm, %s: vertical cm of the selection
  PointerPosition,      // %s: the sheet point under the pointer in cm, %s: the image's pixel there
  AlignBackground,      // no argument: the command that places the background scan on the sheet
  AlignmentByOffset,    // no argument: one way of aligning the scan
  AlignmentByPoints,    // no argument: the other way
  AlignmentCorner,      // no argument: where the scan's top-left corner lies on the sheet
  AlignmentResolution,  // no argument: the scan's pixels per inch
  AlignmentImagePoint,  // %s: 1 or 2
  AlignmentSheetPoint,  // %s: 1 or 2
  AlignmentStretch,     // no argument: the command that drops the alignment
  AlignmentPointsInvalid,  // no argument: two reference points that fix no alignment
  AlignmentInvalid,        // no argument: an alignment out of range
  // Causes of a printing failure (PrintingFailed, FileNotWritten).
  PrinterMissing,       // no argument
  DocumentNotStarted,   // no argument
  SheetNotStarted,      // no argument
  DocumentNotFinished,  // no argument
  // Numbering rules of a numerator.
  NumberingRuleInvalid,        // no argument
  MirrorMissing,               // %s: the position mirrored
  MirrorOfMirror,              // %s: the position mirrored, itself a mirror
  MirroredCannotMirror,        // %s: the numerator's position
  CheckDigitWithEan13,         // %s: the numerator's position
  RepeatsNumbers,              // %s: numerator 1's position: a listed number names no sheet
  RepositionNotOnProgression,  // %s: the listed number, %s: numerator 1's position
  RepositionSheetNotPositive,  // %s: the listed sheet
  LastSheetFirst,              // no argument: the print page's box
  RepositionBySheet,           // no argument: the reposition panel's box
  SheetsMayBeOnPaper,          // %s: first, %s: last sheet a cancelled job may have printed
  // The numbering dialog, the grid's rule mark and the preview's sheet field.
  RuleDescription,          // %s: the parts below, joined by "; "
  RuleStepPart,             // %s: the step multiplier
  RuleSheetsPart,           // %s: the sheets per number
  RuleCyclePart,            // %s: the cycle
  RuleCheckPart,            // %s: the check digit's name
  RuleMirrorPart,           // %s: the position repeated
  RuleExample,              // %s: the increment, %s: the three texts
  RuleExampleUnknown,       // no argument: the example of fields that make no rule
  PreviewSheetNotPositive,  // %s: the text
  PreviewSheetOutOfRange,   // %s: the sheet, %s: numerator position
  // Step and repeat: the rows of one ticket copied over a grid of the sheet.
  StepRepeatCommand,            // no argument: the command's name and the dialog's title
  StepRepeatGridInvalid,        // no argument
  StepRepeatPitchInvalid,       // no argument
  StepRepeatQuantityInvalid,    // no argument
  StepRepeatNoRows,             // no argument: the ticket holds no row
  StepRepeatRowMissing,         // %s: the position of a row the table does not have
  StepRepeatTooManyNumerators,  // %s: the numerators the copies would make
  StepRepeatTooManyMarginals,   // %s: the marginal texts the copies would make
  StepRepeatOffSheet,           // %s: column, %s: row of the copy (from 1)
  StepRepeatNumberOutOfRange,   // %s: the numerator's position
  StepRepeatSheets,             // %s: the sheets the run needs
  StepRepeatSheetsProposed,     // no argument: said after StepRepeatSheets
  StepRepeatSheetsNotProposed,  // no argument: the print page could not take them
  StepRepeatRowsLabel,          // no argument: the dialog's labels and choices
  StepRepeatNumeratorRow,       // %s: the row's position, %s: the text it prints
  StepRepeatMarginalRow,        // %s: the row's position, %s: its text
  StepRepeatColumns,            // no argument
  StepRepeatRows,               // no argument
  StepRepeatPitchX,             // no argument
  StepRepeatPitchY,             // no argument
  StepRepeatQuantity,           // no argument
  StepRepeatOrder,              // no argument
  StepRepeatCutAndStack,        // no argument
  StepRepeatAcrossSheet,        // no argument
};
// The message with its first "%s" replaced by `arg` and its second by `arg2`.
std::string OwnText(OwnMessage message, std::string_view arg = {}, std::string_view arg2 = {});
// The language of OwnText: English, or Spanish (the default). Set by the
// catalog whenever it loads a table.
void SetOwnMessagesEnglish(bool english);

}  // namespace zirvo
