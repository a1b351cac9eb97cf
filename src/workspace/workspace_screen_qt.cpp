#include "workspace/workspace_screen_qt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QShortcut>
#include <QVBoxLayout>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "workspace/sheet_size_dialog_qt.h"
#include "workspace/step_repeat_dialog_qt.h"

namespace zirvo {
namespace {

constexpr int32_t kBusyColour = 166;
constexpr int kPageCount = 8;

struct CommandEntry {
  WorkspaceCommand command;
  const char* name;
  const char* icon;
  const char* hintCode;  // a catalog code, or nullptr for a text of the program's own
  bool gapBefore;        // a separator groups the file, editing and output commands
  const char* shortcut = nullptr;
  OwnMessage ownHint = OwnMessage::UndoCommand;
};

// Left to right, as the icons stand on the command row.
constexpr CommandEntry kCommands[] = {
    {WorkspaceCommand::Close, "Im_Cerrar", "close", code::kCloseTemplateCommand, false, "Ctrl+W"},
    {WorkspaceCommand::New, "Im_Nuevo", "new", code::kNewTemplateCommand, false, "Ctrl+N"},
    {WorkspaceCommand::Open, "Im_Abrir", "open", code::kOpenTemplateCommand, false, "Ctrl+O"},
    {WorkspaceCommand::Save, "Im_Guardar", "save", code::kSaveTemplateCommand, false, "Ctrl+S"},
    {WorkspaceCommand::SaveAs, "Im_GdaComo", "saveas", code::kSaveAsCommand, false, "Ctrl+Shift+S"},
    {WorkspaceCommand::Undo, "Im_Deshacer", "undo", nullptr, true, "Ctrl+Z",
     OwnMessage::UndoCommand},
    {WorkspaceCommand::Redo, "Im_Rehacer", "redo", nullptr, false, "Ctrl+Shift+Z",
     OwnMessage::RedoCommand},
    {WorkspaceCommand::Numerators, "Im_Numera", "numerators", code::kNumeratorsCommand, true},
    {WorkspaceCommand::MarginalTexts, "Im_Marginal", "marginals", code::kMarginalTextsCommand,
     false},
    {WorkspaceCommand::StepAndRepeat, "Im_Repetir", "repeat", nullptr, false, "Ctrl+G",
     OwnMessage::StepRepeatCommand},
    {WorkspaceCommand::SheetSize, "Im_TamHoja", "sheetsize", code::kSheetSizeCommand, true},
    {WorkspaceCommand::Preview, "Im_VistaPrev", "preview", code::kPreviewCommand, false},
    {WorkspaceCommand::PrintPage, "Im_Imprime", "print", code::kPrintCommand, false, "Ctrl+P"},
};

// Templates first, every file as the second choice.
void SetTemplateFilters(QFileDialog& dialog) {
  dialog.setNameFilters({ToQString(OwnText(OwnMessage::TemplateFilesFilter)),
                         ToQString(OwnText(OwnMessage::AllFilesFilter))});
  dialog.selectNameFilter(ToQString(OwnText(OwnMessage::TemplateFilesFilter)));
}

bool AlwaysShown(WorkspaceCommand command) {
  return command == WorkspaceCommand::New || command == WorkspaceCommand::Open;
}

}  // namespace

WorkspaceScreen::WorkspaceScreen(QWidget* parent, PageDevice* printDevice)
    : QWidget(parent), logic_(*this), frames_(kPageCount, nullptr) {
  setObjectName(QStringLiteral("FImpLibre01"));
  SetBackground(this, Qt::white);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  BuildCommandRow();
  layout->addWidget(commandRow_);
  auto* rule = new QWidget(this);
  rule->setFixedHeight(1);
  SetBackground(rule, QColor(0x9a, 0xa7, 0xb8));
  layout->addWidget(rule);

  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("Hoja00"));
  for (int index = 0; index < kPageCount; ++index) {
    auto* page = new QWidget(pages_);
    page->setObjectName(QStringLiteral("Hoja%1").arg(index, 2, 10, QLatin1Char('0')));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pages_->addWidget(page);
  }
  layout->addWidget(pages_, 1);

  presentation_ = new PresentationPage();
  PlaceFrame(WorkspacePage::Presentation, presentation_);
  numeratorEditor_ = new NumeratorEditor();
  numeratorEditor_->setObjectName(QStringLiteral("FHFolio01"));
  PlaceFrame(WorkspacePage::Numerators, numeratorEditor_);
  numerators_ = std::make_unique<NumeratorFramePort>(*numeratorEditor_);
  marginalEditor_ = new MarginalEditor();
  marginalEditor_->setObjectName(QStringLiteral("FHMarginal01"));
  PlaceFrame(WorkspacePage::MarginalTexts, marginalEditor_);
  marginals_ = std::make_unique<MarginalFramePort>(*marginalEditor_);
  preview_ = new PreviewPage();
  preview_->setObjectName(QStringLiteral("FHVista01"));
  PlaceFrame(WorkspacePage::Preview, preview_);
  printPage_ = new PrintPage(nullptr, printDevice);
  printPage_->setObjectName(QStringLiteral("FHImprime01"));
  PlaceFrame(WorkspacePage::PrintPage, printPage_);
  // The editors and the preview are views of the workspace's document.
  numeratorEditor_->SetDocument(&logic_.Document());
  marginalEditor_->SetDocument(&logic_.Document());
  preview_->SetDocument(&logic_.Document());
  // The preview shows the sheets of the run the print page would print.
  preview_->SetRunIncrement([this] { return printPage_->TypedIncrement(); });
  numeratorEditor_->SetSelection(&selection_);
  marginalEditor_->SetSelection(&selection_);
  preview_->SetSelection(&selection_);
  connect(printPage_, &PrintPage::RunningChanged, this, [this](bool running) {
    ShowRunning(running);
    emit RunningChanged(running);
  });
  // Continuing after a run advances the document and saves it; the page
  // then gets the new numbers through LoadPrintJob.
  connect(
      printPage_, &PrintPage::ContinueRequested, this,
      [this](int32_t sheets, int32_t increment) { logic_.ContinueNumbering(sheets, increment); });

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Temporiza"));
  timer_->setInterval(EditingSession::kTimerInterval);
  connect(timer_, &QTimer::timeout, this, [this] { logic_.TimerFired(); });

  // The keys run exactly what the icons run, with the same questions.
  for (const CommandEntry& entry : kCommands) {
    if (entry.shortcut == nullptr) continue;
    auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)), this);
    const WorkspaceCommand command = entry.command;
    connect(shortcut, &QShortcut::activated, this, [this, command] { logic_.RunCommand(command); });
  }
  // Redo has a second key.
  auto* redoKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Y")), this);
  connect(redoKey, &QShortcut::activated, this,
          [this] { logic_.RunCommand(WorkspaceCommand::Redo); });
  ShowUndoAvailable(false, false);
}

WorkspaceScreen::~WorkspaceScreen() {
  // The document goes before the child frames: they stop listening first.
  numeratorEditor_->SetDocument(nullptr);
  marginalEditor_->SetDocument(nullptr);
  preview_->SetDocument(nullptr);
  numeratorEditor_->SetSelection(nullptr);
  marginalEditor_->SetSelection(nullptr);
  preview_->SetSelection(nullptr);
  if (waitCursor_) QApplication::restoreOverrideCursor();
}

void WorkspaceScreen::BuildCommandRow() {
  commandRow_ = new QWidget(this);
  commandRow_->setObjectName(QStringLiteral("Panel000"));
  commandRow_->setFixedHeight(48);
  SetBackground(commandRow_, WindowsColor(kStripColour));
  auto* row = new QHBoxLayout(commandRow_);
  row->setContentsMargins(8, 3, 14, 3);
  row->setSpacing(2);
  for (const CommandEntry& entry : kCommands) {
    if (entry.gapBefore) {
      auto* separator = new QWidget(commandRow_);
      separator->setFixedSize(1, 30);
      SetBackground(separator, QColor(0x9a, 0xa7, 0xb8));
      separator->setContentsMargins(0, 0, 0, 0);
      row->addSpacing(6);
      row->addWidget(separator);
      row->addSpacing(6);
      separators_.push_back(separator);
    }
    auto* icon = new QToolButton(commandRow_);
    icon->setObjectName(QString::fromLatin1(entry.name));
    icon->setIcon(ArtworkIcon(QString::fromLatin1(entry.icon)));
    icon->setIconSize(QSize(32, 32));
    icon->setFixedSize(42, 42);
    icon->setAutoRaise(true);
    icon->setCursor(Qt::PointingHandCursor);
    icon->setFocusPolicy(Qt::NoFocus);
    icon->setStyleSheet(QStringLiteral(
        "QToolButton{border:1px solid transparent;border-radius:4px;background:transparent;}"
        "QToolButton:hover{background:#f4f8fd;border-color:#8fb3dc;}"
        "QToolButton:pressed{background:#c9dcf2;}"));
    const WorkspaceCommand command = entry.command;
    connect(icon, &QToolButton::clicked, this, [this, command] { logic_.RunCommand(command); });
    row->addWidget(icon);
    icons_.push_back(icon);
  }
  row->addStretch(1);
  nameLabel_ = new QLabel(commandRow_);
  nameLabel_->setObjectName(QStringLiteral("Et_NomPlantilla"));
  nameLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  nameLabel_->setFont(ArialFont(12));
  nameLabel_->setMinimumWidth(200);
  row->addWidget(nameLabel_);
}

void WorkspaceScreen::PlaceFrame(WorkspacePage page, QWidget* frame) {
  const int index = static_cast<int>(page);
  QWidget* holder = pages_->widget(index);
  if (QWidget* old = frames_[index]) {
    holder->layout()->removeWidget(old);
    old->deleteLater();
  }
  frame->setParent(holder);
  holder->layout()->addWidget(frame);
  frames_[index] = frame;
}

void WorkspaceScreen::SetConfirm(std::function<ConfirmAnswer(ConfirmQuestion)> confirm) {
  confirm_ = std::move(confirm);
}

void WorkspaceScreen::SetSheetSizeDialog(SheetSizeDialog* dialog) { sheetSizeDialog_ = dialog; }

QToolButton* WorkspaceScreen::CommandIcon(WorkspaceCommand command) const {
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    if (kCommands[i].command == command) return icons_[i];
  }
  return nullptr;
}

// ---------------------------------------------------------------- operations

void WorkspaceScreen::InitWorkspace() {
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    const CommandEntry& entry = kCommands[i];
    QString hint =
        ToQString(entry.hintCode != nullptr ? LookupText(entry.hintCode) : OwnText(entry.ownHint));
    if (kCommands[i].shortcut != nullptr) {
      hint += QStringLiteral(" (%1)").arg(QKeySequence(QString::fromLatin1(kCommands[i].shortcut))
                                              .toString(QKeySequence::NativeText));
    }
    icons_[i]->setToolTip(hint);
  }
  presentation_->InitPresentation();
  numerators_->InitEditor();
  marginals_->InitEditor();
  preview_->InitPreview();
  printPage_->InitPage();
  logic_.InitWorkspace();
}

void WorkspaceScreen::StartTemplate() { logic_.StartTemplate(); }

void WorkspaceScreen::ApplyFramesLanguage() {
  // The command hints and the name label keep the texts of the start.
  presentation_->ApplyLanguage();
  numerators_->ApplyLanguage();
  marginals_->ApplyLanguage();
  preview_->ApplyLanguage();
  printPage_->ApplyLanguage();
}

void WorkspaceScreen::ReleaseWorkspace() {
  timer_->stop();
  numerators_->ReleaseEditor();
  marginals_->ReleaseEditor();
  preview_->ReleasePreview();
  printPage_->ReleasePage();
}

// ---------------------------------------------------------------- host

ConfirmAnswer WorkspaceScreen::Confirm(ConfirmQuestion question) {
  return confirm_ ? confirm_(question) : ConfirmAnswer::Yes;
}

bool WorkspaceScreen::AskSheetSize(const std::string& title, double& width, double& height) {
  return sheetSizeDialog_ != nullptr && sheetSizeDialog_->AskSheetSize(title, width, height);
}

QString WorkspaceScreen::DataFolderPath() const {
  std::string folder = DataFolder();
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return QFile::decodeName(QByteArray::fromStdString(folder));
}

bool WorkspaceScreen::ChooseFileToOpen(std::string& path) {
  QFileDialog dialog(window(), ToQString(LookupText(code::kOpenTemplateCommand)), DataFolderPath());
  dialog.setObjectName(QStringLiteral("OpenDialog"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(QStringLiteral("pla"));
  SetTemplateFilters(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
  return true;
}

bool WorkspaceScreen::ChooseFileToSave(const std::string& title, std::string& path) {
  QFileDialog dialog(window(), ToQString(title), DataFolderPath());
  dialog.setObjectName(QStringLiteral("SaveDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The workspace asks about an existing file itself.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(QStringLiteral("pla"));
  SetTemplateFilters(dialog);
  dialog.selectFile(QStringLiteral("Plantilla.pla"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  QString chosen = dialog.selectedFiles().front();
  // A name typed without an extension is a template's name.
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".pla");
  path = QFile::encodeName(chosen).toStdString();
  return true;
}

bool WorkspaceScreen::ConfirmOverwrite(bool atMainWindow) {
  QMessageBox box(QMessageBox::Information, window()->windowTitle(),
                  ToQString(LookupText(code::kOverwriteFileQuestion)),
                  QMessageBox::Ok | QMessageBox::Cancel, window());
  box.setObjectName(QStringLiteral("OverwriteQuestion"));
  if (atMainWindow) {
    box.move(window()->x() + 382, window()->y() + 292);
  }
  return box.exec() == QMessageBox::Ok;
}

void WorkspaceScreen::ShowInformation(const std::string& text) {
  QMessageBox::information(window(), window()->windowTitle(), ToQString(text));
}

void WorkspaceScreen::ShowError(const std::string& text) {
  QMessageBox::warning(window(), window()->windowTitle(), ToQString(text));
}

void WorkspaceScreen::ShowAllCommands(bool all) {
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    icons_[i]->setVisible(all || AlwaysShown(kCommands[i].command));
  }
  for (QWidget* separator : separators_) separator->setVisible(all);
}

void WorkspaceScreen::ShowNameLabel(const std::string& text, bool busy) {
  QFont font = nameLabel_->font();
  font.setBold(busy);
  nameLabel_->setFont(font);
  nameLabel_->setStyleSheet(
      QStringLiteral("color:%1;").arg(WindowsColor(busy ? kBusyColour : kDarkBlue).name()));
  nameLabel_->setText(ToQString(text));
  // The busy text must be seen even though the work that follows blocks.
  nameLabel_->repaint();
}

void WorkspaceScreen::ShowPage(WorkspacePage page) {
  const int index = static_cast<int>(page);
  if (QWidget* frame = frames_[index]) frame->show();
  pages_->setCurrentIndex(index);
}

WorkspacePage WorkspaceScreen::CurrentPage() const {
  return static_cast<WorkspacePage>(pages_->currentIndex());
}

void WorkspaceScreen::HideTaskFrames() {
  for (WorkspacePage page : {WorkspacePage::Numerators, WorkspacePage::MarginalTexts,
                             WorkspacePage::Preview, WorkspacePage::PrintPage}) {
    if (QWidget* frame = frames_[static_cast<int>(page)]) frame->hide();
  }
}

void WorkspaceScreen::SetWaitCursor(bool wait) {
  if (wait == waitCursor_) return;
  waitCursor_ = wait;
  if (wait) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void WorkspaceScreen::ArmTimer(int milliseconds) {
  timer_->setInterval(milliseconds);
  timer_->start();
}

void WorkspaceScreen::StopTimer() { timer_->stop(); }

void WorkspaceScreen::AskStepAndRepeat() {
  if (!stepRepeatDialog_) stepRepeatDialog_ = std::make_unique<StepRepeatDialog>();
  const std::optional<int32_t> sheets = stepRepeatDialog_->Run(logic_.Document());
  if (!sheets) return;
  // The print page runs the plan's sheets; while it prints, its fields stay.
  const bool proposed = printPage_->ProposeSheets(*sheets);
  ShowInformation(OwnText(OwnMessage::StepRepeatSheets, FormatInt(*sheets)) + " " +
                  OwnText(proposed ? OwnMessage::StepRepeatSheetsProposed
                                   : OwnMessage::StepRepeatSheetsNotProposed));
}

void WorkspaceScreen::ResetPreview() { preview_->ResetPreview(); }

void WorkspaceScreen::ResetPrinters() { printPage_->ResetPrinters(); }

void WorkspaceScreen::LoadPreview(const PrintJob& job) { preview_->LoadSheet(job); }

bool WorkspaceScreen::LoadPrintJob(const PrintJob& job) { return printPage_->LoadPrintJob(job); }

bool WorkspaceScreen::PrintRunning() const { return printPage_->Running(); }

void WorkspaceScreen::ShowRunning(bool running) {
  for (QToolButton* icon : icons_) icon->setEnabled(!running);
  if (!running) ShowUndoAvailable(canUndo_, canRedo_);
}

void WorkspaceScreen::ShowUndoAvailable(bool undo, bool redo) {
  canUndo_ = undo;
  canRedo_ = redo;
  const bool running = PrintRunning();
  CommandIcon(WorkspaceCommand::Undo)->setEnabled(undo && !running);
  CommandIcon(WorkspaceCommand::Redo)->setEnabled(redo && !running);
}

}  // namespace zirvo
