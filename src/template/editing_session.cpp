#include "template/editing_session.h"

#include <filesystem>
#include <optional>

#include "base/messages.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "template/series.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

constexpr const char* kUnsavedMark = " *";

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

std::string SheetSizeTitle() { return "  " + LookupText(code::kSheetSize); }

}  // namespace

std::string NoTemplateLabel() { return "-- " + LookupText(code::kEmptyTemplateLabel) + " --"; }

std::string UnnamedTemplateName() { return "- " + LookupText(code::kUnnamedTemplate) + " -"; }

EditingSession::EditingSession(WorkspaceHost& host) : host_(host) {
  // The image is not part of the file but its place on the sheet is: the
  // comparison of the file's content tells.
  document_.AddListener([this](TemplateChange) { RefreshModified(); });
  history_.SetAvailabilityListener(
      [this] { host_.ShowUndoAvailable(history_.CanUndo(), history_.CanRedo()); });
}

void EditingSession::InitWorkspace() {
  pendingStep_ = kNothing;
  host_.StopTimer();
  document_.ResetHeader();
  busy_ = false;
  EnterNoTemplateState();
  host_.ShowPage(WorkspacePage::Presentation);
}

void EditingSession::StartTemplate() {
  StartUnsavedTemplate(kStartWidth, kStartHeight);
  document_.AddRow(TemplateTable::Numerators);
  MarkSaved();
  ForgetHistory();
  host_.ShowPage(WorkspacePage::Numerators);
}

void EditingSession::RunCommand(WorkspaceCommand command) {
  // A running print keeps its page, its printer and its job: every command
  // would either leave the page, replace the job or open a dialog that
  // halts the run until it is closed.
  if (host_.PrintRunning()) return;
  // Only New and Open are on screen while no template is open.
  if (!templateOpen_ && command != WorkspaceCommand::New && command != WorkspaceCommand::Open) {
    return;
  }
  switch (command) {
    case WorkspaceCommand::New:
      return New();
    case WorkspaceCommand::Open:
      return Open();
    case WorkspaceCommand::Close:
      return Close();
    case WorkspaceCommand::Save:
      return Save(false);
    case WorkspaceCommand::SaveAs:
      return Save(true);
    case WorkspaceCommand::Numerators:
      return Numerators();
    case WorkspaceCommand::MarginalTexts:
      return MarginalTexts();
    case WorkspaceCommand::Preview:
      return Preview();
    case WorkspaceCommand::SheetSize:
      return SheetSize();
    case WorkspaceCommand::PrintPage:
      return PrintPage();
    case WorkspaceCommand::StepAndRepeat:
      return StepAndRepeat();
    case WorkspaceCommand::Undo:
      return Undo();
    case WorkspaceCommand::Redo:
      return Redo();
  }
}

void EditingSession::Undo() {
  if (CommitOpenEditors()) history_.Undo();
}

void EditingSession::Redo() {
  if (CommitOpenEditors()) history_.Redo();
}

void EditingSession::ForgetHistory() { history_.Clear(); }

void EditingSession::StepAndRepeat() {
  // The ticket is made of the rows as typed, an open cell included.
  if (!CommitOpenEditors()) return;
  host_.AskStepAndRepeat();
}

EditingSession::Unsaved EditingSession::SettleUnsaved() {
  if (!templateOpen_) return Unsaved::None;
  // What the user typed in an open cell counts too.
  if (!CommitOpenEditors()) return Unsaved::Cancelled;
  // A save still waiting for its timer is written first: what it holds is
  // not a change to ask about, and the command must not outrun it.
  if (pendingStep_ == kWriteFile) {
    host_.StopTimer();
    pendingStep_ = kNothing;
    WritePendingFile();
  }
  if (!Modified()) return Unsaved::None;
  const ConfirmAnswer answer = host_.Confirm(ConfirmQuestion::UnsavedChanges);
  if (answer == ConfirmAnswer::Yes) return Unsaved::Settled;  // discarded
  if (answer == ConfirmAnswer::Save && SaveNow()) return Unsaved::Settled;
  return Unsaved::Cancelled;
}

bool EditingSession::MayQuit() {
  const Unsaved unsaved = SettleUnsaved();
  return unsaved != Unsaved::Cancelled && ConfirmLeaving(unsaved, ConfirmQuestion::Quit);
}

bool EditingSession::ConfirmLeaving(Unsaved unsaved, ConfirmQuestion question) {
  // The "-- empty --" label names no template: there is nothing to close.
  if (unsaved != Unsaved::None || !templateOpen_) return true;
  return host_.Confirm(question) == ConfirmAnswer::Yes;
}

bool EditingSession::SaveNow() {
  std::string target = filePath_;
  if (!hasFile_) {
    if (!host_.ChooseFileToSave(LookupText(code::kSave), target)) return false;
    if (FileExists(target) && !host_.ConfirmOverwrite(true)) return false;
  }
  RequestWrite(target, SeriesToWrite(target));
  // Written now rather than on the timer: the command that asked goes on
  // only once the changes are in the file.
  host_.StopTimer();
  pendingStep_ = kNothing;
  WritePendingFile();
  return !Modified();
}

bool EditingSession::ContinueNumbering(int32_t sheets, int32_t increment) {
  const auto refuse = [this](const std::string& cause) {
    host_.ShowError(OwnText(OwnMessage::ContinueNotSaved, cause));
    return false;
  };
  if (sheets < 0 || increment < 0) return false;
  if (!templateOpen_ || !hasFile_) return refuse(OwnText(OwnMessage::JournalNoFile));
  // A save still waiting for its timer goes first: it may name another file
  // (Save as), and the numbers must go to the file the template ends up in.
  if (pendingStep_ == kWriteFile) {
    host_.StopTimer();
    pendingStep_ = kNothing;
    WritePendingFile();
    if (!hasFile_) return refuse(OwnText(OwnMessage::JournalNoFile));
  }
  // The advanced template is written before the document changes, so a
  // number that leaves its range or a failed write leaves both as they were.
  // A template without a series gets the one the run was registered under.
  const std::string series = SeriesToWrite(filePath_);
  Template advanced = document_;
  try {
    advanced.AdvanceNumerators(sheets, increment);
    advanced.SetSeries(series);
    WriteTemplateBytes(filePath_, EncodeTemplate(advanced, filePath_));
  } catch (const ZirvoError& error) {
    return refuse(error.what());
  }
  document_.AdvanceNumerators(sheets, increment);
  document_.SetSeries(series);
  // The file holds the whole document now, edits made before the run included.
  MarkSaved();
  const std::optional<PrintJob> job = BuildPrintJob();
  if (job) host_.LoadPrintJob(*job);
  return true;
}

void EditingSession::New() {
  const Unsaved unsaved = SettleUnsaved();
  if (unsaved == Unsaved::Cancelled) return;
  // A template whose first save was given up has no name: nothing is asked.
  if (!Trim(Header().Name).empty() && !ConfirmLeaving(unsaved, ConfirmQuestion::NewTemplate))
    return;
  // A size of 0 makes the dialog propose its defaults.
  double width = 0.0;
  double height = 0.0;
  if (!host_.AskSheetSize(SheetSizeTitle(), width, height)) return;
  StartUnsavedTemplate(width, height);
  host_.ShowPage(WorkspacePage::Presentation);
}

void EditingSession::Open() {
  const Unsaved unsaved = SettleUnsaved();
  if (unsaved == Unsaved::Cancelled) return;
  if (!Header().Name.empty() && !ConfirmLeaving(unsaved, ConfirmQuestion::OpenTemplate)) return;
  std::string path;
  if (!host_.ChooseFileToOpen(path)) return;

  // The new file is read and checked completely before anything of the
  // current template is closed: a file that does not load leaves it as it was.
  BeginBusy(code::kOpeningTemplateBusy);
  std::optional<Template> loaded;
  std::string failure;
  SkippedLines skipped;
  try {
    // Fields a file does not hold keep what the header has now.
    loaded = LoadTemplate(path, Header(), &skipped);
  } catch (const ZirvoError& error) {
    failure = error.what();
  }
  EndBusy();
  if (!loaded) {
    FailedOpen(path, failure);
    return;
  }

  host_.HideTaskFrames();
  host_.ShowPage(WorkspacePage::Presentation);
  document_.Clear();
  host_.ResetPreview();
  ++generation_;
  document_.Replace(*loaded);
  MarkSaved();
  ForgetHistory();
  filePath_ = path;
  hasFile_ = true;
  templateOpen_ = true;
  SetLabel(Header().Name);
  host_.ShowAllCommands(true);
  host_.ShowPage(WorkspacePage::Numerators);
  // The template opens without the barcodes of lines that did not read; the
  // user is told which they were.
  if (!skipped.empty()) host_.ShowInformation(SkippedLinesMessage(skipped));
}

void EditingSession::FailedOpen(const std::string& path, const std::string& message) {
  // Nothing was closed: the current template, its name and file stay.
  host_.SetWaitCursor(false);
  // The message names the file that did not load.
  const std::string file = FileNameOf(path);
  const auto named = [&](std::string text) {
    if (text.find(file) == std::string::npos) text += "\n" + path;
    return text;
  };
  if (message.empty()) {
    host_.ShowInformation(named(OwnText(OwnMessage::NotCompatible)));
  } else {
    host_.ShowError(named(message));
  }
}

void EditingSession::Close() {
  const Unsaved unsaved = SettleUnsaved();
  if (unsaved == Unsaved::Cancelled || !ConfirmLeaving(unsaved, ConfirmQuestion::CloseTemplate))
    return;
  host_.ShowPage(WorkspacePage::Presentation);
  host_.HideTaskFrames();
  document_.Clear();
  host_.ResetPreview();
  ++generation_;
  EnterNoTemplateState();
}

void EditingSession::Save(bool saveAs) {
  if (!CommitOpenEditors()) return;
  // Save as on a template that never had a file is exactly Save.
  if (!hasFile_) saveAs = false;
  std::string target;
  if (hasFile_ && !saveAs) {
    target = filePath_;
  } else {
    const bool chosen =
        host_.ChooseFileToSave(LookupText(saveAs ? code::kSaveAsTitle : code::kSave), target) &&
        (!FileExists(target) || host_.ConfirmOverwrite(!saveAs));
    if (!chosen) {
      // A first save that was given up forgets the name; Save as changes nothing.
      if (!saveAs) document_.SetIdentity({}, {});
      return;
    }
  }
  std::string series = SeriesToWrite(target);
  if (saveAs && !AskCopySeries(target, series)) return;
  RequestWrite(target, series);
}

std::string EditingSession::SeriesToWrite(const std::string& target) const {
  if (!document_.Series().empty()) return document_.Series();
  // Until now the register knew the template by its file.
  return SeriesOfPath(hasFile_ ? filePath_ : target);
}

bool EditingSession::AskCopySeries(const std::string& target, std::string& series) {
  // Saving as the template's own file (or a link to it) makes no copy.
  if (CanonicalPath(target) == CanonicalPath(filePath_)) return true;
  const ConfirmAnswer answer = host_.Confirm(ConfirmQuestion::CopyNumbering);
  if (answer == ConfirmAnswer::No) series = NewSeries();
  return answer == ConfirmAnswer::Yes || answer == ConfirmAnswer::No;
}

void EditingSession::RequestWrite(const std::string& target, const std::string& series) {
  if (pendingStep_ != kWriteFile) beforeSave_ = CurrentIdentity();
  document_.SetSeries(series);
  // The file gets what the document holds now, whatever happens before the write.
  pendingBytes_ = EncodeTemplate(document_, target);
  pendingGeneration_ = generation_;
  pendingContent_ = SavedContent();

  savePath_ = target;
  document_.SetIdentity(FileNameOf(target), FolderOf(target));
  BeginBusy(code::kSavingTemplateBusy);
  pendingStep_ = kWriteFile;
  host_.ArmTimer(kTimerInterval);
}

void EditingSession::TimerFired() {
  const int step = pendingStep_;
  pendingStep_ = kNothing;
  host_.StopTimer();
  if (step == kWriteFile) {
    WritePendingFile();
  } else if (step == kEndBusy) {
    EndBusy();
  }
}

void EditingSession::WritePendingFile() {
  // A write asked for a template that has since been closed or replaced
  // still goes to its file, but must not rename the current template.
  const bool sameTemplate = pendingGeneration_ == generation_;
  host_.SetWaitCursor(true);
  try {
    WriteTemplateBytes(savePath_, pendingBytes_);
  } catch (const ZirvoError& error) {
    pendingBytes_.clear();
    if (sameTemplate) RestoreIdentity(beforeSave_);
    host_.SetWaitCursor(false);
    EndBusy();
    host_.ShowError(error.what());
    return;
  }
  pendingBytes_.clear();
  if (sameTemplate) {
    document_.SetIdentity(TemplateNameOf(savePath_), FolderOf(savePath_));
    filePath_ = savePath_;
    hasFile_ = true;
    labelText_ = Header().Name;
    // Edits made after the save was asked for are still unsaved.
    savedContent_ = std::move(pendingContent_);
    RefreshModified();
    // A print page on screen runs under the file and series just saved,
    // not those of the template it was loaded from.
    if (host_.CurrentPage() == WorkspacePage::PrintPage) {
      if (const std::optional<PrintJob> job = BuildPrintJob()) host_.LoadPrintJob(*job);
    }
  }
  host_.SetWaitCursor(false);
  pendingStep_ = kEndBusy;
  host_.ArmTimer(kTimerInterval);
}

void EditingSession::SheetSize() {
  double width = Header().Width;
  double height = Header().Height;
  if (!host_.AskSheetSize(SheetSizeTitle(), width, height)) return;
  document_.SetSheetSize(width, height);
  const WorkspacePage page = host_.CurrentPage();
  if (page == WorkspacePage::Numerators) {
    Numerators();
  } else if (page == WorkspacePage::Preview) {
    Preview();
  }
}

void EditingSession::Numerators() { host_.ShowPage(WorkspacePage::Numerators); }

void EditingSession::MarginalTexts() { host_.ShowPage(WorkspacePage::MarginalTexts); }

std::optional<PrintJob> EditingSession::BuildPrintJob() {
  try {
    PrintJob job = document_.ToPrintJob();
    if (hasFile_) job.TemplateFile = filePath_;
    return job;
  } catch (const ZirvoError& error) {
    // A cell that does not convert: the page keeps what it had.
    host_.ShowError(error.what());
    return std::nullopt;
  }
}

void EditingSession::Preview() {
  if (!CommitOpenEditors()) return;
  const std::optional<PrintJob> job = BuildPrintJob();
  if (!job) return;
  host_.LoadPreview(*job);
  host_.ShowPage(WorkspacePage::Preview);
}

void EditingSession::PrintPage() {
  if (!CommitOpenEditors()) return;
  const std::optional<PrintJob> job = BuildPrintJob();
  if (!job) return;
  if (!host_.LoadPrintJob(*job)) return;
  host_.ShowPage(WorkspacePage::PrintPage);
}

bool EditingSession::CommitOpenEditors() {
  return host_.NumeratorFrame().CommitOpenEditor() && host_.MarginalFrame().CommitOpenEditor();
}

void EditingSession::EnterNoTemplateState() {
  document_.Clear();
  host_.ShowAllCommands(false);
  SetLabel(NoTemplateLabel());
  document_.SetIdentity(NoTemplateLabel(), Header().Folder);
  hasFile_ = false;
  filePath_.clear();
  templateOpen_ = false;
  MarkSaved();
  ForgetHistory();
}

void EditingSession::StartUnsavedTemplate(double width, double height) {
  ++generation_;
  document_.StartNew(UnnamedTemplateName(), width, height);
  // A numbering of its own, whatever file it is saved to.
  document_.SetSeries(NewSeries());
  MarkSaved();
  ForgetHistory();
  host_.ShowAllCommands(true);
  SetLabel(Trim(Header().Name));
  hasFile_ = false;
  filePath_.clear();
  templateOpen_ = true;
  host_.ResetPreview();
  host_.ResetPrinters();
}

void EditingSession::SetLabel(const std::string& text) {
  labelText_ = text;
  // During the busy indication the label keeps its busy text; the new text
  // shows when the indication ends.
  if (!busy_) host_.ShowNameLabel(ShownLabel(), false);
}

void EditingSession::BeginBusy(const char* code) {
  busy_ = true;
  host_.ShowNameLabel(LookupText(code), true);
}

void EditingSession::EndBusy() {
  busy_ = false;
  host_.ShowNameLabel(ShownLabel(), false);
}

std::string EditingSession::SavedContent() const { return EncodeTemplate(document_, {}); }

void EditingSession::MarkSaved() {
  savedContent_ = SavedContent();
  RefreshModified();
}

void EditingSession::RefreshModified() {
  const bool modified = templateOpen_ && SavedContent() != savedContent_;
  if (modified == modified_) return;
  modified_ = modified;
  if (!busy_) host_.ShowNameLabel(ShownLabel(), false);
}

std::string EditingSession::ShownLabel() const {
  return Modified() ? labelText_ + kUnsavedMark : labelText_;
}

EditingSession::Identity EditingSession::CurrentIdentity() const {
  return {Header().Name, Header().Folder, filePath_, hasFile_, document_.Series()};
}

void EditingSession::RestoreIdentity(const Identity& identity) {
  document_.SetIdentity(identity.name, identity.folder);
  document_.SetSeries(identity.series);
  filePath_ = identity.filePath;
  hasFile_ = identity.hasFile;
}

}  // namespace zirvo
