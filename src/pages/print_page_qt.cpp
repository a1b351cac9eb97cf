#include "pages/print_page_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QThread>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>

#include "base/helpers.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "pages/journal_screen_qt.h"
#include "printing/print_spooler.h"
#include "printing/printer_calibration.h"
#include "printing/printer_dialog_qt.h"
#include "printing/qprinter_device_qt.h"
#include "printing/register_settings.h"
#include "template/numerator_table.h"
#include "template/series.h"
#include "widgets/table_grid_qt.h"

namespace zirvo {

using namespace grid_style;

namespace {

constexpr int kPageWidth = 956;
constexpr int kLabelWidth = 250;
constexpr int kCommandWidth = 210;

void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

QLabel* Caption(QWidget* parent, const char* name, bool bold = false) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setFont(CellFont(bold));
  return label;
}

QLineEdit* Field(QWidget* parent, const char* name, int maxLength, int width) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(maxLength);
  edit->setFont(CellFont());
  edit->setFixedSize(width, 22);
  return edit;
}

// A run's status line: it takes the room the layout gives it and never
// moves the widgets around it, wraps a long text and shows it whole on hover.
QLabel* StatusLine(QWidget* parent, const char* name, Qt::Alignment alignment) {
  QLabel* label = Caption(parent, name, true);
  label->setAlignment(alignment);
  label->setWordWrap(true);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  KeepPlaceWhenHidden(label);
  return label;
}

QProgressBar* ProgressBar(QWidget* parent, const char* name) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  bar->setRange(0, 0);
  bar->setValue(0);
  bar->setFixedHeight(18);
  bar->setTextVisible(true);
  bar->setFormat(QStringLiteral("%v / %m"));
  bar->setFont(CellFont());
  KeepPlaceWhenHidden(bar);
  return bar;
}

// The PDF file the print-setup dialog offers when none was chosen yet.
QString ProposedPdfFile(const std::string& templateName) {
  QString name = ToQString(Trim(templateName));
  name.replace('/', '-');
  if (name.isEmpty()) name = QStringLiteral("Zirvo");
  return QDir::homePath() + "/" + name + ".pdf";
}

}  // namespace

PrintPage::PrintPage(QWidget* parent, PageDevice* device) : QWidget(parent) {
  setObjectName("FHImprime");
  if (device == nullptr) {
    ownDevice_ = std::make_unique<QPrinterDevice>();
    device = ownDevice_.get();
  }
  device_ = device;
  engine_ = std::make_unique<PrintEngine>(*device_, static_cast<RunObserver*>(this));

  setMinimumWidth(kPageWidth);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setStyleSheet(QString("zirvo--ClickLabel { background: #EFEFEF; color: %1; border: 1px solid %1;"
                        "  padding: 2px 10px; }"
                        "zirvo--ClickLabel:hover { background: #FFFFFF; }"
                        "zirvo--ClickLabel:disabled { color: #8A8A8A; border-color: #B0B0B0; }"
                        "QLabel { color: %1; }"
                        "QLineEdit:read-only { background: %2; }"
                        "QProgressBar { border: 1px solid %1; background: white; color: %1;"
                        "  text-align: center; }"
                        "QProgressBar::chunk { background: %3; }")
                    .arg(kFrameBlue.name(), kFocusUnfocused.name(), kOtherMark.darker(115).name()));

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  auto* title = new QFrame(this);
  title->setObjectName("PanTitulo");
  title->setFixedHeight(28);
  title->setStyleSheet(QString("#PanTitulo { background: %1; border-bottom: 1px solid %2; }")
                           .arg(kOtherMark.name(), kFrameBlue.name()));
  auto* titleLayout = new QHBoxLayout(title);
  titleLayout->setContentsMargins(12, 0, 12, 0);
  printerHeading_ = Caption(title, "Et_ImpPlan", true);
  titleLayout->addWidget(printerHeading_);
  titleLayout->addStretch(1);
  root->addWidget(title);

  root->addWidget(BuildRunPanel());
  root->addSpacing(6);
  root->addWidget(BuildRepositionPanel());
  root->addStretch(1);

  auto* footer = new QFrame(this);
  footer->setObjectName("PanPie");
  footer->setFixedHeight(28);
  footer->setStyleSheet(QString("#PanPie { background: %1; border-top: 1px solid %2; }")
                            .arg(kOtherMark.name(), kFrameBlue.name()));
  root->addWidget(footer);

  for (QLineEdit* field :
       {incrementField_, copiesField_, sheetsField_, sheetsPerJobField_, repositionField_})
    field->installEventFilter(this);
  barTimer_ = new QTimer(this);
  barTimer_->setInterval(40);
  connect(barTimer_, &QTimer::timeout, this, &PrintPage::PaintBar);
  ResetRunWidgets();
}

PrintPage::~PrintPage() {
  // The engine and the device go with the page: never under a running run.
  StopRun();
  // Closing the window moves the focus out of a field while the page is
  // half destroyed: nothing may be stored then.
  for (QLineEdit* field : {offsetXField_, offsetYField_}) disconnect(field, nullptr, this, nullptr);
}

ClickLabel* PrintPage::Command(QWidget* parent, const char* name, void (PrintPage::*action)()) {
  auto* label = new ClickLabel(parent);
  label->setObjectName(name);
  label->setFont(CellFont());
  label->setFixedSize(kCommandWidth, 24);
  connect(label, &ClickLabel::clicked, this, action);
  return label;
}

QWidget* PrintPage::BuildRunPanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName("PanSelPlanilla");
  panel->setFixedHeight(288);
  panel->setStyleSheet(
      QString("#PanSelPlanilla { border-bottom: 1px solid %1; }").arg(kGridLine.name()));
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(24, 14, 24, 12);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(8);
  grid->setColumnMinimumWidth(0, kLabelWidth);
  grid->setColumnStretch(2, 1);

  printerLabel_ = Caption(panel, "Et_ImpSel");
  printerField_ = Field(panel, "Ed_ImpSelec", 32767, 420);
  printerField_->setReadOnly(true);
  printerField_->setFocusPolicy(Qt::NoFocus);
  selectPrinterCommand_ = Command(panel, "Bt_SelecImpre", &PrintPage::SelectPrinter);
  grid->addWidget(printerLabel_, 0, 0);
  grid->addWidget(printerField_, 0, 1, 1, 2, Qt::AlignLeft);
  grid->addWidget(selectPrinterCommand_, 0, 3);

  incrementLabel_ = Caption(panel, "Et_IncNum");
  incrementField_ = Field(panel, "Ed_IncNum", 6, 90);
  testSheetCommand_ = Command(panel, "Bt_ImpPba", &PrintPage::PrintTestSheet);
  grid->addWidget(incrementLabel_, 1, 0);
  grid->addWidget(incrementField_, 1, 1);
  grid->addWidget(testSheetCommand_, 1, 3);

  copiesLabel_ = Caption(panel, "Et_NumCop");
  copiesField_ = Field(panel, "Ed_CopPlan", 2, 90);
  printAllCommand_ = Command(panel, "Bt_ImpTodo", &PrintPage::PrintAll);
  grid->addWidget(copiesLabel_, 2, 0);
  grid->addWidget(copiesField_, 2, 1);
  grid->addWidget(printAllCommand_, 2, 3);

  sheetsLabel_ = Caption(panel, "Et_NumHojas");
  sheetsField_ = Field(panel, "Ed_HojasImp", 6, 90);
  journalCommand_ = Command(panel, "Bt_Diario", &PrintPage::OpenJournal);
  lastFirstBox_ = new QCheckBox(panel);
  lastFirstBox_->setObjectName("Ck_UltimaPrimero");
  grid->addWidget(sheetsLabel_, 3, 0);
  grid->addWidget(sheetsField_, 3, 1);
  grid->addWidget(lastFirstBox_, 3, 2, Qt::AlignLeft);
  grid->addWidget(journalCommand_, 3, 3);

  sheetsPerJobLabel_ = Caption(panel, "Et_HojasTrab");
  sheetsPerJobField_ = Field(panel, "Ed_HojasTrab", 6, 90);
  auto* offsets = new QHBoxLayout;
  offsets->setSpacing(6);
  offsetLabel_ = Caption(panel, "Et_Despl");
  offsetXField_ = Field(panel, "Ed_DesplX", 6, 60);
  offsetYField_ = Field(panel, "Ed_DesplY", 6, 60);
  offsets->addWidget(offsetLabel_);
  offsets->addWidget(offsetXField_);
  offsets->addWidget(offsetYField_);
  offsets->addStretch(1);
  calibrationCommand_ = Command(panel, "Bt_Calibrar", &PrintPage::PrintCalibrationSheet);
  grid->addWidget(sheetsPerJobLabel_, 4, 0);
  grid->addWidget(sheetsPerJobField_, 4, 1);
  grid->addLayout(offsets, 4, 2);
  grid->addWidget(calibrationCommand_, 4, 3);
  for (QLineEdit* field : {offsetXField_, offsetYField_})
    connect(field, &QLineEdit::editingFinished, this, [this] {
      if (!running_) StoreOffsets();
    });

  registerLabel_ = Caption(panel, "Et_Registro");
  // As wide as the panel: a path names the register.
  registerField_ = Field(panel, "Ed_Registro", 32767, 420);
  registerField_->setMaximumWidth(QWIDGETSIZE_MAX);
  registerField_->setReadOnly(true);
  registerField_->setFocusPolicy(Qt::NoFocus);
  grid->addWidget(registerLabel_, 5, 0);
  grid->addWidget(registerField_, 5, 1, 1, 3);

  // The status line has the panel's width above the progress bar.
  grid->setRowStretch(6, 1);
  runStatus_ = StatusLine(panel, "REqMensaje", Qt::AlignLeft | Qt::AlignVCenter);
  runProgress_ = ProgressBar(panel, "ProgBarra");
  cancelRunCommand_ = Command(panel, "Bt_CanImp", &PrintPage::CancelRun);
  KeepPlaceWhenHidden(cancelRunCommand_);
  grid->addWidget(runStatus_, 6, 0, 1, 4);
  grid->addWidget(runProgress_, 7, 1, 1, 2);
  grid->addWidget(cancelRunCommand_, 7, 3);
  return panel;
}

QWidget* PrintPage::BuildRepositionPanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName("PanRepone");
  panel->setFixedHeight(204);
  panel->setStyleSheet(QString("#PanRepone { border-top: 1px solid %1; }").arg(kGridLine.name()));
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(24, 12, 24, 12);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(8);
  grid->setColumnMinimumWidth(0, kLabelWidth);
  grid->setColumnStretch(3, 1);

  repositionHeading_ = Caption(panel, "Et_Reponer", true);
  printRepositionCommand_ = Command(panel, "Bt_ImpRepos", &PrintPage::PrintReposition);
  grid->addWidget(repositionHeading_, 0, 0, 1, 3);
  grid->addWidget(printRepositionCommand_, 0, 4);

  repositionLabel_ = Caption(panel, "Et_Rep_01");
  repositionField_ = Field(panel, "Ed_Repone", 12, 150);
  addEntryCommand_ = Command(panel, "Bt_Agregar", &PrintPage::AddRepositionEntry);
  addEntryCommand_->setFixedWidth(130);
  grid->addWidget(repositionLabel_, 1, 0);
  grid->addWidget(repositionField_, 1, 1);
  grid->addWidget(addEntryCommand_, 1, 2, Qt::AlignLeft);
  bySheetBox_ = new QCheckBox(panel);
  bySheetBox_->setObjectName("Ck_RepHoja");
  grid->addWidget(bySheetBox_, 1, 3, Qt::AlignLeft);

  repositionList_ = new QListWidget(panel);
  repositionList_->setObjectName("Ed_LisRep");
  repositionList_->setFont(CellFont());
  repositionList_->setFixedWidth(150);
  repositionList_->setSelectionMode(QAbstractItemView::SingleSelection);
  deleteEntryCommand_ = Command(panel, "Bt_BorraLis", &PrintPage::DeleteRepositionEntry);
  clearEntriesCommand_ = Command(panel, "Bt_BorraT", &PrintPage::ClearRepositionEntries);
  deleteEntryCommand_->setFixedWidth(130);
  clearEntriesCommand_->setFixedWidth(130);
  grid->addWidget(repositionList_, 2, 1, 4, 1);
  grid->addWidget(deleteEntryCommand_, 2, 2, Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(clearEntriesCommand_, 3, 2, Qt::AlignLeft | Qt::AlignTop);

  repositionStatus_ = StatusLine(panel, "REqMenRep", Qt::AlignRight | Qt::AlignTop);
  repositionProgress_ = ProgressBar(panel, "ProgRepBar");
  cancelRepositionCommand_ = Command(panel, "Bt_CanRepos", &PrintPage::CancelRun);
  KeepPlaceWhenHidden(cancelRepositionCommand_);
  grid->setRowStretch(4, 1);
  grid->addWidget(repositionStatus_, 3, 3, 2, 2);
  grid->addWidget(repositionProgress_, 5, 3);
  grid->addWidget(cancelRepositionCommand_, 5, 4);
  return panel;
}

void PrintPage::ResetRunWidgets() {
  for (QWidget* hidden :
       std::initializer_list<QWidget*>{runStatus_, repositionStatus_, runProgress_,
                                       repositionProgress_, cancelRepositionCommand_})
    hidden->hide();
  for (QWidget* shown : std::initializer_list<QWidget*>{selectPrinterCommand_, testSheetCommand_,
                                                        printAllCommand_, cancelRunCommand_})
    shown->show();
  runProgress_->setRange(0, 0);
  repositionProgress_->setRange(0, 0);
}

int64_t PrintPage::TypedIncrement() const {
  try {
    const int64_t increment =
        std::llabs(int64_t{RunSettingValue(FromQString(incrementField_->text()))});
    return increment <= INT32_MAX ? increment : 1;
  } catch (const ConversionError&) {
    return 1;
  }
}

void PrintPage::InitPage() {
  if (running_) return;
  engine_ = std::make_unique<PrintEngine>(*device_, static_cast<RunObserver*>(this));
  printerField_->clear();
  incrementField_->setText("1");
  copiesField_->setText("1");
  sheetsField_->setText("1");
  sheetsPerJobField_->setText(QString::number(PrinterSetting::kDefaultChunkSheets));
  ShowOffsets();
  ShowRegister();
  repositionField_->clear();
  ShowRepositionList();
  ResetRunWidgets();
  ApplyLanguage();
}

void PrintPage::ReleasePage() {
  StopRun();
  engine_->LoadPrintJob(PrintJob{});
  engine_->ResetPrinters();
  printerField_->clear();
  ShowOffsets();
}

void PrintPage::SelectPrinter() {
  if (running_) return;
  PrinterSetting setting = engine_->Setting();
  switch (RunPrintSetup(this, setting, ProposedPdfFile(engine_->LoadedJob().Sheet.Name))) {
    case SetupOutcome::Cancelled:
      return;
    case SetupOutcome::Unreadable: {
      QMessageBox box(QMessageBox::NoIcon, ToQString(LookupText(code::kProgramTitle)),
                      ToQString(OwnText(OwnMessage::PrinterUnreadable)), QMessageBox::Ok, this);
      box.exec();
      return;
    }
    case SetupOutcome::Chosen:
      engine_->SelectPrinter(setting, setting.DisplayName());
      printerField_->setText(QString::fromStdString(engine_->SelectedPrinter()));
      printerField_->setCursorPosition(0);
      ShowOffsets();
      return;
  }
}

void PrintPage::ApplyPrinter() { engine_->ApplyPrinter(); }

void PrintPage::ResetPrinters() {
  if (running_) return;
  engine_->ResetPrinters();
  printerField_->clear();
  ShowOffsets();
}

bool PrintPage::LoadPrintJob(const PrintJob& job) {
  if (running_ || !engine_->LoadPrintJob(job)) return false;
  ShowRegister();
  return true;
}

bool PrintPage::ProposeSheets(int32_t sheets) {
  if (running_) return false;
  sheetsField_->setText(QString::number(sheets));
  return true;
}

void PrintPage::ShowRegister() {
  const QString description = QString::fromStdString(engine_->RegisterDescription());
  registerField_->setText(description);
  registerField_->setCursorPosition(0);
  registerField_->setToolTip(description);
}

void PrintPage::ApplyLanguage() {
  const struct {
    QLabel* widget;
    const char* code;
  } captions[] = {
      {printerHeading_, code::kPrintFeaturesTitle},
      {printerLabel_, code::kSelectedPrinterLabel},
      {incrementLabel_, code::kNumeratorIncreaseLabel},
      {copiesLabel_, code::kCopiesPerTemplateLabel},
      {sheetsLabel_, code::kSheetsToPrintLabel},
      {sheetsPerJobLabel_, code::kSheetsPerJobLabel},
      {offsetLabel_, code::kPrinterOffsetLabel},
      {calibrationCommand_, code::kPrintCalibrationButton},
      {selectPrinterCommand_, code::kSelectPrinterButton},
      {testSheetCommand_, code::kPrintTestPageButton},
      {printAllCommand_, code::kPrintAllButton},
      {cancelRunCommand_, code::kCancelPrintingButton},
      {repositionHeading_, code::kRepositionTitle},
      {repositionLabel_, code::kRepositionNumberLabel},
      {printRepositionCommand_, code::kPrintRepositionButton},
      {addEntryCommand_, code::kAddButton},
      {deleteEntryCommand_, code::kDeleteOneButton},
      {clearEntriesCommand_, code::kDeleteAllButton},
      {cancelRepositionCommand_, code::kCancelPrintingButton},
  };
  for (const auto& caption : captions) caption.widget->setText(ToQString(LookupText(caption.code)));
  journalCommand_->setText(ToQString(OwnText(OwnMessage::JournalCommand)));
  lastFirstBox_->setText(ToQString(OwnText(OwnMessage::LastSheetFirst)));
  bySheetBox_->setText(ToQString(OwnText(OwnMessage::RepositionBySheet)));
  registerLabel_->setText(ToQString(OwnText(OwnMessage::RegisterLabel)));
}

void PrintPage::PrintAll() {
  RunCommand([this] { return engine_->PrintAll(); });
}

void PrintPage::PrintTestSheet() {
  RunCommand([this] { return engine_->PrintTestSheet(); });
}

void PrintPage::PrintReposition() {
  RunCommand([this] { return engine_->PrintReposition(); });
}

void PrintPage::CancelRun() {
  engine_->CancelRun();
  calibrationCancelled_ = true;
}

void PrintPage::RunCommand(std::function<bool()> run) {
  // Without a printer chosen the engine prints nothing, and asks nothing.
  if (running_ || Trim(engine_->SelectedPrinter()).empty()) return;
  if (!MayWriteTarget() || !StoreOffsets() || !ApplyChunk()) return;
  engine_->SetRunSettings(FromQString(incrementField_->text()), FromQString(copiesField_->text()),
                          FromQString(sheetsField_->text()));
  engine_->SetLastFirst(lastFirstBox_->isChecked());
  engine_->SetRepositionBySheet(bySheetBox_->isChecked());
  StartRun([run = std::move(run)] {
    RunEnd end;
    end.engineCommand = true;
    try {
      end.ran = run();
    } catch (const std::exception& e) {
      end.failure = e.what();
    }
    return end;
  });
}

void PrintPage::StartRun(std::function<RunEnd()> work) {
  {
    std::lock_guard<std::mutex> lock(questionMutex_);
    questionsRefused_ = false;
  }
  SetRunning(true);
  worker_ = std::thread([this, work = std::move(work)] {
    RunEnd end = work();
    Post([this, end] { EndRun(end); });
  });
}

void PrintPage::StopRun() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(questionMutex_);
    questionsRefused_ = true;
  }
  questionAnswered_.notify_all();
  CancelRun();
  worker_.join();
}

void PrintPage::EndRun(const RunEnd& end) {
  if (worker_.joinable()) worker_.join();
  // The workspace hears that the run ended once the questions about it are
  // answered: an exit asked for during the run comes after them.
  SetRunning(false, /*announce=*/false);
  if (!end.failure.empty()) ShowFailure(this, end.failure);
  std::vector<std::string> notices;
  notices.swap(notices_);
  for (const std::string& notice : notices) {
    QMessageBox box(QMessageBox::Information, ToQString(LookupText(code::kProgramTitle)),
                    ToQString(notice), QMessageBox::Ok, this);
    box.setObjectName("RunNotice");
    box.exec();
  }
  // The engine's outcome is that of this command only when it ran.
  if (end.engineCommand && end.ran && end.failure.empty()) OfferContinue();
  emit RunningChanged(false);
}

void PrintPage::Post(std::function<void()> update) {
  QMetaObject::invokeMethod(this, std::move(update), Qt::QueuedConnection);
}

bool PrintPage::AskFromRun(const std::string& text, const char* name, bool yesByDefault) {
  if (QThread::currentThread() == thread()) return AskYesNo(text, name, yesByDefault);
  std::unique_lock<std::mutex> lock(questionMutex_);
  if (questionsRefused_) return false;
  answer_.reset();
  Post([this, text, name, yesByDefault] {
    bool yes = false;
    {
      std::lock_guard<std::mutex> refusing(questionMutex_);
      if (questionsRefused_) return;
    }
    yes = AskYesNo(text, name, yesByDefault);
    {
      std::lock_guard<std::mutex> answering(questionMutex_);
      answer_ = yes;
    }
    questionAnswered_.notify_all();
  });
  questionAnswered_.wait(lock, [this] { return answer_.has_value() || questionsRefused_; });
  return !questionsRefused_ && answer_.value_or(false);
}

void PrintPage::OfferContinue() {
  // A copy: the question's event loop must not see it change.
  const std::optional<PrintEngine::Outcome> outcome = engine_->LastOutcome();
  if (!outcome || outcome->kind != RunKind::Run || outcome->completedSheets <= 0) return;
  if (outcome->event != RunEvent::Completed && outcome->event != RunEvent::Cancelled) return;
  // Printed last first, a cancelled run completed its last sheets: the
  // numbering cannot move past its first ones.
  if (outcome->lastFirst && outcome->event != RunEvent::Completed) return;
  const PrintJob& job = engine_->LoadedJob();
  const NumeratorList numerators = job.CountedNumerators();
  if (job.TemplateFile.empty() || numerators.empty()) return;
  const Numerator& first = numerators[MirrorSource(numerators, 0)];
  const int64_t next = RuleNumberAfter(first.Number, first.Reverse, first.Rule, outcome->increment,
                                       outcome->completedSheets);
  // A number past the 32-bit range is named as it is; continuing refuses it.
  std::string nextText = FormatInt(next);
  if (next >= INT32_MIN && next <= INT32_MAX)
    FormatListedNumeratorInto(nextText, numerators, 0, static_cast<int32_t>(next));
  // After a completed run continuing is the usual answer. A cancelled run
  // usually means trouble at the printer: there Enter keeps the numbers, so
  // the sheets can be printed again.
  if (AskYesNo(OwnText(OwnMessage::ContinueQuestion, FormatInt(outcome->completedSheets), nextText),
               "ContinueNumbering", outcome->event == RunEvent::Completed))
    emit ContinueRequested(outcome->completedSheets, outcome->increment);
}

void PrintPage::OpenJournal() {
  if (running_) return;
  PrintEngine::JobRegister opened = engine_->OpenJobRegister();
  JournalScreen dialog(opened.reg.get(), opened.series, opened.problem);
  // The list takes no more than one reposition prints.
  const std::size_t listed = engine_->RepositionEntries().size();
  const auto perRun = static_cast<std::size_t>(PrintEngine::kRepositionSheetsPerRun);
  int64_t left = 0;
  const std::vector<int64_t> numbers = dialog.Run(perRun - std::min(listed, perRun), left);
  try {
    for (const int64_t number : numbers) engine_->AddRepositionEntry(FormatInt(number));
  } catch (const ZirvoError& e) {
    ShowRepositionList();
    ShowFailure(this, e.what());
    return;
  }
  ShowRepositionList();
  if (left > 0) {
    QMessageBox box(
        QMessageBox::Information, ToQString(LookupText(code::kProgramTitle)),
        ToQString(OwnText(OwnMessage::JournalReprintCut,
                          FormatInt(static_cast<int64_t>(numbers.size())), FormatInt(left))),
        QMessageBox::Ok, this);
    box.setObjectName("ReprintCut");
    box.exec();
  }
}

bool PrintPage::MayWriteTarget() {
  const PrinterSetting& setting = engine_->Setting();
  if (engine_->SelectedPrinter().empty() || setting.target != PrinterSetting::Target::PdfFile)
    return true;
  const QString file = QString::fromStdString(setting.outputFile);
  if (!QFileInfo::exists(file)) return true;
  QMessageBox box(
      QMessageBox::Question, ToQString(LookupText(code::kProgramTitle)),
      ToQString(OwnText(OwnMessage::ReplaceFile, "%1")).arg(QDir::toNativeSeparators(file)),
      QMessageBox::Yes | QMessageBox::No, this);
  box.setObjectName("ReplaceFile");
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void PrintPage::SetRunning(bool running, bool announce) {
  if (running_ == running) return;
  running_ = running;
  for (QWidget* command : std::initializer_list<QWidget*>{
           selectPrinterCommand_, testSheetCommand_, printAllCommand_, journalCommand_,
           printRepositionCommand_, addEntryCommand_, deleteEntryCommand_, clearEntriesCommand_,
           repositionField_, lastFirstBox_, bySheetBox_})
    command->setEnabled(!running);
  calibrationCommand_->setEnabled(!running && !ChosenQueue().empty());
  if (running)
    barTimer_->start();
  else
    barTimer_->stop();
  // The run read its settings when it began.
  for (QLineEdit* field : {incrementField_, copiesField_, sheetsField_, sheetsPerJobField_,
                           offsetXField_, offsetYField_})
    field->setReadOnly(running);
  if (announce) emit RunningChanged(running);
}

void PrintPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ReadSettingsAgain();
}

void PrintPage::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
    ReadSettingsAgain();
}

void PrintPage::ReadSettingsAgain() {
  if (running_) return;
  ShowOffsets();
  ShowRegister();
}

bool PrintPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == repositionField_) {
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    AddRepositionEntry();
    return true;
  }
  for (QLineEdit* field : {incrementField_, copiesField_, sheetsField_, sheetsPerJobField_}) {
    if (watched == field) return WholeNumberKeyPress(field, key);
  }
  return QWidget::eventFilter(watched, event);
}

bool PrintPage::WholeNumberKeyPress(QLineEdit* field, QKeyEvent* event) {
  return RefusesKeystroke(KeyFilterKind::Integer, *field, *event);
}

void PrintPage::AddRepositionEntry() {
  if (running_) return;
  const std::string text = FromQString(repositionField_->text());
  if (Trim(text).empty()) return;
  try {
    engine_->AddRepositionEntry(text);
  } catch (const ZirvoError& e) {
    ShowFailure(this, e.what());
    repositionField_->setFocus();
    repositionField_->selectAll();
    return;
  }
  ShowRepositionList();
  repositionField_->clear();
  repositionField_->setFocus();
}

void PrintPage::DeleteRepositionEntry() {
  if (running_) return;
  const QList<QListWidgetItem*> selected = repositionList_->selectedItems();
  if (!selected.isEmpty()) {
    const int row = repositionList_->row(selected.first());
    if (engine_->DeleteRepositionEntry(row)) ShowRepositionList();
  }
  repositionField_->setFocus();
}

void PrintPage::ClearRepositionEntries() {
  if (running_) return;
  engine_->ClearRepositionEntries();
  ShowRepositionList();
  repositionField_->setFocus();
}

void PrintPage::ShowRepositionList() {
  repositionList_->clear();
  for (const std::string& entry : engine_->RepositionEntries())
    repositionList_->addItem(ToQString(entry));
}

std::string PrintPage::ChosenQueue() const {
  const PrinterSetting& setting = engine_->Setting();
  if (engine_->SelectedPrinter().empty() || setting.target != PrinterSetting::Target::Queue)
    return {};
  return setting.printerName.empty() ? CupsDefaultQueue() : setting.printerName;
}

void PrintPage::ShowOffsets() {
  const std::string queue = ChosenQueue();
  const PrinterOffsets offsets =
      queue.empty() ? PrinterOffsets{} : ReadPrinterOffsets(CalibrationFile(), queue);
  offsetXField_->setText(QString::fromStdString(FormatOffsetMm(offsets.xMm)));
  offsetYField_->setText(QString::fromStdString(FormatOffsetMm(offsets.yMm)));
  offsetXField_->setEnabled(!queue.empty());
  offsetYField_->setEnabled(!queue.empty());
  calibrationCommand_->setEnabled(!queue.empty() && !running_);
}

bool PrintPage::StoreOffsets() {
  const std::string queue = ChosenQueue();
  if (queue.empty()) return true;
  // Only the fields the user edited: the file may hold newer values of the
  // others (from zirvo-batch, or another copy of the program).
  std::optional<double> edited[2];
  QLineEdit* const fields[] = {offsetXField_, offsetYField_};
  for (int i = 0; i < 2; ++i) {
    QLineEdit* field = fields[i];
    if (!field->isModified()) continue;
    double typed = 0.0;
    if (!ParseOffsetMm(FromQString(field->text()), typed)) {
      ShowFailure(this, OwnText(OwnMessage::OffsetNotValid, FromQString(field->text())));
      field->setFocus();
      field->selectAll();
      return false;
    }
    edited[i] = typed;
  }
  try {
    StoreChangedOffsets(CalibrationFile(), queue, edited[0], edited[1]);
  } catch (const ZirvoError& e) {
    ShowFailure(this, e.what());
    return false;
  }
  ShowOffsets();
  return true;
}

bool PrintPage::ApplyChunk() {
  const std::string text = Trim(FromQString(sheetsPerJobField_->text()));
  int32_t sheets = PrinterSetting::kDefaultChunkSheets;
  if (!text.empty() && (!TryParseInt32(text, sheets) || sheets <= 0)) {
    ShowFailure(this, OwnText(OwnMessage::ChunkNotValid, text));
    sheetsPerJobField_->setFocus();
    sheetsPerJobField_->selectAll();
    return false;
  }
  PrinterSetting setting = engine_->Setting();
  setting.chunkSheets = sheets;
  engine_->SelectPrinter(setting, engine_->SelectedPrinter());
  return true;
}

void PrintPage::PrintCalibrationSheet() {
  const std::string queue = ChosenQueue();
  if (running_ || queue.empty() || !StoreOffsets()) return;
  calibrationCancelled_ = false;
  cancelRunCommand_->show();
  const PrinterSetting setting = engine_->Setting();
  const PrinterOffsets offsets = ReadPrinterOffsets(CalibrationFile(), queue);
  StartRun([this, setting, queue, offsets] {
    device_->SetRunHooks([this] { return calibrationCancelled_.load(); },
                         [this](const std::string& text) {
                           if (text.empty())
                             HideStatus(RunPanel::Run);
                           else
                             ShowStatus(RunPanel::Run, text);
                         });
    RunEnd end;
    try {
      device_->SetPrinter(setting);
      zirvo::PrintCalibrationSheet(*device_, queue, offsets);
      if (calibrationCancelled_) device_->Abort();
      end.ran = true;
    } catch (const std::exception& e) {
      end.failure = e.what();
    }
    device_->SetRunHooks({}, {});
    HideStatus(RunPanel::Run);
    ShowCancel(RunPanel::Run, false);
    return end;
  });
}

QLabel* PrintPage::StatusOf(RunPanel panel) const {
  return panel == RunPanel::Run ? runStatus_ : repositionStatus_;
}

QProgressBar* PrintPage::BarOf(RunPanel panel) const {
  return panel == RunPanel::Run ? runProgress_ : repositionProgress_;
}

// The observer's calls come from the run's thread: each reaches the widgets
// on the page's thread, in the order the run made them.
void PrintPage::ShowStatus(RunPanel panel, const std::string& text) {
  Post([this, panel, text] {
    StatusOf(panel)->setText(ToQString(text));
    StatusOf(panel)->setToolTip(ToQString(text));
    StatusOf(panel)->show();
  });
}

void PrintPage::HideStatus(RunPanel panel) {
  Post([this, panel] { StatusOf(panel)->hide(); });
}

void PrintPage::SetProgressMaximum(RunPanel panel, int32_t maximum) {
  Post([this, panel, maximum] { BarOf(panel)->setRange(0, maximum); });
}

void PrintPage::SetProgressPosition(RunPanel panel, int32_t position) {
  Post([this, panel, position] { BarOf(panel)->setValue(position); });
}

void PrintPage::ShowProgress(RunPanel panel, bool visible) {
  // The bar's text is the sheet number, so Qt would paint it again for every
  // sheet, thousands of times a second in a long run. While a run shows it,
  // it is painted only by the bar's timer; its value is always current.
  Post([this, panel, visible] {
    QProgressBar* bar = BarOf(panel);
    bar->setUpdatesEnabled(!visible);
    bar->setVisible(visible);
  });
}

void PrintPage::PaintBar() {
  for (QProgressBar* bar : {runProgress_, repositionProgress_}) {
    if (!bar->isVisible() || bar->updatesEnabled()) continue;
    bar->setUpdatesEnabled(true);
    bar->repaint();
    bar->setUpdatesEnabled(false);
  }
}

void PrintPage::ShowCancel(RunPanel panel, bool visible) {
  Post([this, panel, visible] {
    (panel == RunPanel::Run ? cancelRunCommand_ : cancelRepositionCommand_)->setVisible(visible);
  });
}

void PrintPage::Notice(const std::string& text) {
  Post([this, text] { notices_.push_back(text); });
}

bool PrintPage::AskYesNo(const std::string& text, const char* name, bool yesByDefault) {
  QMessageBox box(QMessageBox::Question, ToQString(LookupText(code::kProgramTitle)),
                  ToQString(text), QMessageBox::Yes | QMessageBox::No, this);
  box.setObjectName(name);
  box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool PrintPage::ConfirmNegative(const std::string& text) {
  return AskFromRun(text + "\n" + OwnText(OwnMessage::PrintAnyway), "NegativeNumber", false);
}

bool PrintPage::ConfirmReprint(const std::string& facts, const std::string& question) {
  // Printing a number twice is what the register guards against: Enter must
  // not do it.
  return AskFromRun(facts + "\n" + question, "ReprintNumbers", false);
}

}  // namespace zirvo
