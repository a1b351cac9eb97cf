#include "template/workspace.h"

#include <filesystem>
#include <optional>

#include "base/text.h"
#include "catalog/catalog.h"

namespace zirvo {
namespace {

constexpr int kConfirmOpen = 6;
constexpr int kConfirmClose = 7;
constexpr int kConfirmNew = 8;
constexpr int kAccepted = -1;

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

std::string SheetSizeTitle() { return "  " + LookupText("0311"); }

}  // namespace

std::string NoTemplateLabel() { return "-- " + LookupText("0401") + " --"; }

std::string UnnamedTemplateName() { return "- " + LookupText("0402") + " -"; }

TemplateWorkspace::TemplateWorkspace(WorkspaceHost& host) : host_(host) {}

void TemplateWorkspace::InitWorkspace() {
  pendingStep_ = kNothing;
  host_.StopTimer();
  ResetSheetHeader(header_);
  busy_ = false;
  EnterNoTemplateState();
  host_.ShowPage(WorkspacePage::Presentation);
}

void TemplateWorkspace::StartTemplate() {
  StartUnsavedTemplate(kStartWidth, kStartHeight);
  host_.NumeratorEditor().AddRow();
  host_.ShowPage(WorkspacePage::Numerators);
}

void TemplateWorkspace::RunCommand(int tag) {
  const auto command = static_cast<WorkspaceCommand>(tag);
  // A running print keeps its page, its printer and its job: every command
  // would either leave the page, replace the job or open a dialog that
  // halts the run until it is closed.
  if (host_.PrintRunning()) return;
  // Only New and Open are on screen while no template is open.
  if (!templateOpen_ && command != WorkspaceCommand::New && command != WorkspaceCommand::Open) {
    return;
  }
  switch (command) {
    case WorkspaceCommand::New: return New();
    case WorkspaceCommand::Open: return Open();
    case WorkspaceCommand::Close: return Close();
    case WorkspaceCommand::Save: return Save(false);
    case WorkspaceCommand::SaveAs: return Save(true);
    case WorkspaceCommand::Numerators: return Numerators();
    case WorkspaceCommand::MarginalTexts: return MarginalTexts();
    case WorkspaceCommand::Preview: return Preview();
    case WorkspaceCommand::SheetSize: return SheetSize();
    case WorkspaceCommand::PrintPage: return PrintPage();
  }
}

void TemplateWorkspace::New() {
  if (!Trim(header_.Name).empty() && host_.Confirm(kConfirmNew) != kAccepted) return;
  // A size of 0 makes the dialog propose its defaults.
  double width = 0.0;
  double height = 0.0;
  if (!host_.AskSheetSize(SheetSizeTitle(), width, height)) return;
  StartUnsavedTemplate(width, height);
  host_.ShowPage(WorkspacePage::Presentation);
}

void TemplateWorkspace::Open() {
  if (!header_.Name.empty() && host_.Confirm(kConfirmOpen) != kAccepted) return;
  std::string path;
  if (!host_.ChooseFileToOpen(path)) return;

  host_.HideTaskFrames();
  host_.ShowPage(WorkspacePage::Presentation);
  host_.NumeratorEditor().ClearEditor();
  host_.MarginalEditor().ClearEditor();
  host_.ResetPreview();
  ++generation_;

  BeginBusy("0404");
  SheetHeader read = header_;
  bool compatible = false;
  try {
    const TemplateLines lines = ReadTemplateLines(path);
    compatible = ReadSheetHeader(read, lines, path);
    if (compatible) {
      host_.NumeratorEditor().LoadFromLines(lines);
      host_.MarginalEditor().LoadFromLines(lines);
    }
  } catch (const ZirvoError& error) {
    EndBusy();
    FailedOpen(error.what());
    return;
  }
  EndBusy();
  host_.ShowPage(WorkspacePage::Presentation);
  if (!compatible) {
    FailedOpen({});
    return;
  }

  header_ = read;
  filePath_ = path;
  hasFile_ = true;
  templateOpen_ = true;
  SetLabel(header_.Name);
  host_.ShowAllCommands(true);
  ShowSheetInEditors();
  host_.ShowPage(WorkspacePage::Numerators);
}

void TemplateWorkspace::FailedOpen(const std::string& message) {
  // The template the user agreed to close is gone from the editors; keeping
  // its name and file would let a later Save write empty tables over it.
  host_.NumeratorEditor().ClearEditor();
  host_.MarginalEditor().ClearEditor();
  host_.SetWaitCursor(false);
  EnterNoTemplateState();
  host_.ShowPage(WorkspacePage::Presentation);
  if (message.empty()) {
    host_.ShowInformation(OwnText(OwnMessage::NotCompatible));
  } else {
    host_.ShowError(message);
  }
}

void TemplateWorkspace::Close() {
  if (host_.Confirm(kConfirmClose) != kAccepted) return;
  host_.ShowPage(WorkspacePage::Presentation);
  host_.HideTaskFrames();
  host_.NumeratorEditor().ClearEditor();
  host_.MarginalEditor().ClearEditor();
  host_.ResetPreview();
  ++generation_;
  EnterNoTemplateState();
}

void TemplateWorkspace::Save(bool saveAs) {
  if (!CommitOpenEditors()) return;
  // Save as on a template that never had a file is exactly Save.
  if (!hasFile_) saveAs = false;
  std::string target;
  if (hasFile_ && !saveAs) {
    target = filePath_;
  } else {
    const bool chosen = host_.ChooseFileToSave(LookupText(saveAs ? "0032" : "0031"), target) &&
                        (!FileExists(target) || host_.ConfirmOverwrite(!saveAs));
    if (!chosen) {
      // A first save that was given up forgets the name; Save as changes nothing.
      if (!saveAs) {
        header_.Name.clear();
        header_.Folder.clear();
      }
      return;
    }
  }
  RequestWrite(target);
}

void TemplateWorkspace::RequestWrite(const std::string& target) {
  if (pendingStep_ != kWriteFile) beforeSave_ = CurrentIdentity();
  // The file gets what the tables hold now, whatever happens before the write.
  SheetHeader written = header_;
  TemplateLines lines;
  WriteSheetHeader(written, lines, target);
  host_.NumeratorEditor().SaveToLines(lines);
  host_.MarginalEditor().SaveToLines(lines);
  pendingLines_ = std::move(lines);
  pendingGeneration_ = generation_;

  savePath_ = target;
  header_.SetName(FileNameOf(target));
  header_.Folder = FolderOf(target);
  BeginBusy("0403");
  pendingStep_ = kWriteFile;
  host_.ArmTimer(kTimerInterval);
}

void TemplateWorkspace::TimerFired() {
  const int step = pendingStep_;
  pendingStep_ = kNothing;
  host_.StopTimer();
  if (step == kWriteFile) {
    WritePendingFile();
  } else if (step == kEndBusy) {
    EndBusy();
  }
}

void TemplateWorkspace::WritePendingFile() {
  // A write asked for a template that has since been closed or replaced
  // still goes to its file, but must not rename the current template.
  const bool sameTemplate = pendingGeneration_ == generation_;
  host_.SetWaitCursor(true);
  try {
    WriteTemplateLines(savePath_, pendingLines_);
  } catch (const ZirvoError& error) {
    pendingLines_.clear();
    if (sameTemplate) RestoreIdentity(beforeSave_);
    host_.SetWaitCursor(false);
    EndBusy();
    host_.ShowError(error.what());
    return;
  }
  pendingLines_.clear();
  if (sameTemplate) {
    header_.SetName(TemplateNameOf(savePath_));
    header_.Folder = FolderOf(savePath_);
    filePath_ = savePath_;
    hasFile_ = true;
    labelText_ = header_.Name;
  }
  host_.SetWaitCursor(false);
  pendingStep_ = kEndBusy;
  host_.ArmTimer(kTimerInterval);
}

void TemplateWorkspace::SheetSize() {
  double width = header_.Width;
  double height = header_.Height;
  if (!host_.AskSheetSize(SheetSizeTitle(), width, height)) return;
  header_.Width = width;
  header_.Height = height;
  ShowSheetInEditors();
  const WorkspacePage page = host_.CurrentPage();
  if (page == WorkspacePage::Numerators) {
    Numerators();
  } else if (page == WorkspacePage::Preview) {
    Preview();
  }
}

void TemplateWorkspace::Numerators() {
  host_.NumeratorEditor().SetSheet(header_);
  host_.ShowPage(WorkspacePage::Numerators);
}

void TemplateWorkspace::MarginalTexts() {
  host_.MarginalEditor().SetSheet(header_);
  host_.ShowPage(WorkspacePage::MarginalTexts);
}

std::optional<PrintJob> TemplateWorkspace::BuildPrintJob() {
  PrintJob job;
  job.Sheet = header_;
  try {
    job.Numerators = host_.NumeratorEditor().ExportRecords();
    job.Marginals = host_.MarginalEditor().ExportRecords();
  } catch (const ZirvoError& error) {
    // A cell that does not convert: the page keeps what it had.
    host_.ShowError(error.what());
    return std::nullopt;
  }
  job.NumeratorCount = static_cast<int32_t>(job.Numerators.size());
  job.MarginalCount = static_cast<int32_t>(job.Marginals.size());
  return job;
}

void TemplateWorkspace::Preview() {
  if (!CommitOpenEditors()) return;
  const std::optional<PrintJob> job = BuildPrintJob();
  if (!job) return;
  host_.LoadPreview(*job);
  host_.ShowPage(WorkspacePage::Preview);
}

void TemplateWorkspace::PrintPage() {
  if (!CommitOpenEditors()) return;
  std::optional<PrintJob> job = BuildPrintJob();
  if (!job) return;
  host_.GetPrintImage(*job);
  if (!host_.LoadPrintJob(*job)) return;
  host_.ShowPage(WorkspacePage::PrintPage);
}

bool TemplateWorkspace::CommitOpenEditors() {
  return host_.NumeratorEditor().CommitOpenEditor() && host_.MarginalEditor().CommitOpenEditor();
}

void TemplateWorkspace::EnterNoTemplateState() {
  host_.ShowAllCommands(false);
  SetLabel(NoTemplateLabel());
  header_.SetName(NoTemplateLabel());
  hasFile_ = false;
  filePath_.clear();
  templateOpen_ = false;
}

void TemplateWorkspace::StartUnsavedTemplate(double width, double height) {
  ++generation_;
  StartNewSheetHeader(header_, UnnamedTemplateName(), width, height);
  host_.ShowAllCommands(true);
  SetLabel(Trim(header_.Name));
  hasFile_ = false;
  filePath_.clear();
  templateOpen_ = true;
  host_.NumeratorEditor().ClearEditor();
  host_.MarginalEditor().ClearEditor();
  host_.ResetPreview();
  host_.ResetPrinters();
  ShowSheetInEditors();
}

void TemplateWorkspace::ShowSheetInEditors() {
  host_.NumeratorEditor().SetSheet(header_);
  host_.MarginalEditor().SetSheet(header_);
  host_.NumeratorEditor().ShowSheetSize();
  host_.MarginalEditor().ShowSheetSize();
}

void TemplateWorkspace::SetLabel(const std::string& text) {
  labelText_ = text;
  // During the busy indication the label keeps its busy text; the new text
  // shows when the indication ends.
  if (!busy_) host_.ShowNameLabel(labelText_, false);
}

void TemplateWorkspace::BeginBusy(const char* code) {
  busy_ = true;
  host_.ShowNameLabel(LookupText(code), true);
}

void TemplateWorkspace::EndBusy() {
  busy_ = false;
  host_.ShowNameLabel(labelText_, false);
}

TemplateWorkspace::Identity TemplateWorkspace::CurrentIdentity() const {
  return {header_.Name, header_.Folder, filePath_, hasFile_};
}

void TemplateWorkspace::RestoreIdentity(const Identity& identity) {
  header_.Name = identity.name;
  header_.Folder = identity.folder;
  filePath_ = identity.filePath;
  hasFile_ = identity.hasFile;
}

}  // namespace zirvo
