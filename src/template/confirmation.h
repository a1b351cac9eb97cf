// The questions the confirmation dialog asks and the answers it gives back.
#pragma once

namespace zirvo {

enum class ConfirmQuestion {
  OpenTemplate,
  CloseTemplate,
  NewTemplate,
  Quit,
  DeleteRow,
  UnsavedChanges,  // save, discard or stay
  CopyNumbering,   // whether a copy continues the numbering: yes, no or stay
};

// Yes: the accept button or Enter (in the unsaved-changes question: discard).
// Cancel: the cancel button, Escape or the window closed. Save and No: the
// third button of the unsaved-changes and the copy-numbering questions.
enum class ConfirmAnswer { Yes, Cancel, Save, No };

}  // namespace zirvo
