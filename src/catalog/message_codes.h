// Keys of the message catalog: one constant per four-digit code the program
// looks up with LookupText, named after what the text says where it is shown.
// The texts themselves are in catalog_tables.cpp, one "code = text" line per
// code in each language. Each constant is a char array, so it passes as
// `const char*` and as std::string_view alike.
#pragma once

namespace zirvo::code {

// Program title: main window and message boxes.
inline constexpr char kProgramTitle[] = "0000";

// Buttons shared by the dialogs, the table editors and the print page.
inline constexpr char kOkButton[] = "0001";
inline constexpr char kCloseButton[] = "0002";
inline constexpr char kCancelButton[] = "0003";
inline constexpr char kContinueButton[] = "0004";
inline constexpr char kApplyButton[] = "0005";
inline constexpr char kAddButton[] = "0006";
inline constexpr char kDeleteButton[] = "0007";
inline constexpr char kIncreaseButton[] = "0008";
inline constexpr char kMoveButton[] = "0009";

// Welcome page, workspace presentation page and splash screen.
inline constexpr char kStartButton[] = "0011";
inline constexpr char kLanguageButton[] = "0033";
inline constexpr char kWelcomeSlogan[] = "0801";
inline constexpr char kWelcomeTitle[] = "0802";
inline constexpr char kVerifyingSystemStatus[] = "0901";

// Print page: buttons, captions of the run and of the reposition panel, title.
inline constexpr char kSelectPrinterButton[] = "0014";
inline constexpr char kPrintTestPageButton[] = "0015";
inline constexpr char kPrintAllButton[] = "0016";
inline constexpr char kCancelPrintingButton[] = "0017";
inline constexpr char kPrintRepositionButton[] = "0018";
inline constexpr char kDeleteOneButton[] = "0019";
inline constexpr char kDeleteAllButton[] = "0020";
inline constexpr char kSelectedPrinterLabel[] = "0221";
inline constexpr char kNumeratorIncreaseLabel[] = "0222";
inline constexpr char kCopiesPerTemplateLabel[] = "0223";
inline constexpr char kSheetsToPrintLabel[] = "0224";
inline constexpr char kRepositionNumberLabel[] = "0226";
inline constexpr char kRepositionTitle[] = "0228";
inline constexpr char kPrintFeaturesTitle[] = "0805";
// Print page: jobs to a queue and the queue's calibration.
inline constexpr char kSheetsPerJobLabel[] = "0261";
inline constexpr char kPrinterOffsetLabel[] = "0262";
inline constexpr char kPrintCalibrationButton[] = "0263";

// Preview page: background image buttons.
inline constexpr char kAddImageButton[] = "0027";
inline constexpr char kRemoveImageButton[] = "0028";
inline constexpr char kPrintImageButton[] = "0029";

// Workspace: file dialog titles, overwrite question, template names, busy texts.
// kSave is also the confirmation dialog's accept caption until a question sets it.
inline constexpr char kSave[] = "0031";
inline constexpr char kSaveAsTitle[] = "0032";
inline constexpr char kOverwriteFileQuestion[] = "0131";
inline constexpr char kEmptyTemplateLabel[] = "0401";
inline constexpr char kUnnamedTemplate[] = "0402";
inline constexpr char kSavingTemplateBusy[] = "0403";
inline constexpr char kOpeningTemplateBusy[] = "0404";

// Confirmation dialog: title and two lines of each question.
inline constexpr char kCloseTemplateTitle[] = "0101";
inline constexpr char kNewTemplateTitle[] = "0102";
inline constexpr char kOpenTemplateTitle[] = "0103";
inline constexpr char kOpenTemplateWillClose[] = "0111";
inline constexpr char kPressOkToContinue[] = "0121";
inline constexpr char kAppWillClose[] = "0171";
inline constexpr char kPressOkToProceed[] = "0172";
inline constexpr char kCancelToReturn[] = "0173";
inline constexpr char kRowWillBeDeleted[] = "0174";
inline constexpr char kPressDeleteToContinue[] = "0175";

// General increment and displacement dialogs of the table editors.
inline constexpr char kIncreaseNumeratorsTitle[] = "0176";
inline constexpr char kIncreaseLabel[] = "0177";
inline constexpr char kDisplaceNumeratorsTitle[] = "0178";
inline constexpr char kDisplaceMarginalsTitle[] = "0179";
inline constexpr char kOffsetLabel[] = "0180";

// Language dialog.
inline constexpr char kLanguageTitle[] = "0181";
inline constexpr char kSelectLanguagePrompt[] = "0182";
inline constexpr char kLanguagesLabel[] = "0183";

// Numerator and marginal table editors: column headers and frame titles.
inline constexpr char kPositionHeader[] = "0200";
inline constexpr char kPrefixHeader[] = "0201";
inline constexpr char kNumberHeader[] = "0202";
inline constexpr char kSuffixHeader[] = "0203";
inline constexpr char kHorizontalHeader[] = "0204";
inline constexpr char kVerticalHeader[] = "0205";
inline constexpr char kRotateHeader[] = "0206";
inline constexpr char kMaskHeader[] = "0207";
inline constexpr char kFontHeader[] = "0208";
inline constexpr char kFontSizeHeader[] = "0209";
inline constexpr char kColourHeader[] = "0210";
inline constexpr char kDirectionHeader[] = "0211";
inline constexpr char kMessageHeader[] = "0212";
inline constexpr char kNumeratorFeaturesTitle[] = "0803";
inline constexpr char kMarginalFeaturesTitle[] = "0804";

// Sheet size dialog and the sheet size line of the editors and the preview.
// The last two have no entry in the built-in tables and read as "".
inline constexpr char kCentimetresUnit[] = "0251";
inline constexpr char kSheetSize[] = "0311";
inline constexpr char kCustomPaperLabel[] = "0312";
inline constexpr char kHorizontalLengthLabel[] = "0313";
inline constexpr char kVerticalHeightLabel[] = "0314";
inline constexpr char kSheetHeightLabel[] = "0315";
inline constexpr char kSheetWidthLabel[] = "0316";

// Workspace command row: hints of the commands, also the titles of the pages
// and the Open dialog they lead to.
inline constexpr char kCloseTemplateCommand[] = "0501";
inline constexpr char kNewTemplateCommand[] = "0502";
inline constexpr char kOpenTemplateCommand[] = "0503";
inline constexpr char kSaveTemplateCommand[] = "0504";
inline constexpr char kSaveAsCommand[] = "0505";
inline constexpr char kPreviewCommand[] = "0506";
inline constexpr char kNumeratorsCommand[] = "0507";
inline constexpr char kMarginalTextsCommand[] = "0508";
inline constexpr char kSheetSizeCommand[] = "0509";
inline constexpr char kPrintCommand[] = "0510";

// Barcode dialog of the table editors: title, symbology list, line list, sizes.
inline constexpr char kBarcodeTitle[] = "0601";
inline constexpr char kSymbologyLabel[] = "0602";
inline constexpr char kNoBarcode[] = "0603";
inline constexpr char kCode39[] = "0604";
inline constexpr char kCode128[] = "0605";
inline constexpr char kEan13[] = "0606";
inline constexpr char kQrCode[] = "0607";
inline constexpr char kReadableLineLabel[] = "0608";
inline constexpr char kNoReadableLine[] = "0609";
inline constexpr char kLineAbove[] = "0610";
inline constexpr char kLineBelow[] = "0611";
inline constexpr char kBarHeightLabel[] = "0612";
inline constexpr char kBarLengthLabel[] = "0613";
inline constexpr char kQrSideLabel[] = "0614";

// Numbering dialog of a numerator row: title, fields, check digits, the
// mirror list, the note on MOD 11; the preview's sheet field.
inline constexpr char kNumberingTitle[] = "0620";
inline constexpr char kStepMultiplierLabel[] = "0621";
inline constexpr char kSheetsPerNumberLabel[] = "0622";
inline constexpr char kCycleLabel[] = "0623";
inline constexpr char kNoCycleNote[] = "0624";
inline constexpr char kCheckDigitLabel[] = "0625";
inline constexpr char kNoCheckDigit[] = "0626";
inline constexpr char kLuhn[] = "0627";
inline constexpr char kMod10Weights31[] = "0628";
inline constexpr char kMod11[] = "0629";
inline constexpr char kMod7[] = "0630";
inline constexpr char kMod9[] = "0631";
inline constexpr char kMirrorLabel[] = "0632";
inline constexpr char kNoMirror[] = "0633";
inline constexpr char kMod11Note[] = "0634";
inline constexpr char kPreviewSheetLabel[] = "0635";

}  // namespace zirvo::code
