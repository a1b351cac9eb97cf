#include "pages/preview_page_qt.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "render/painter_surface_qt.h"
#include "render/sheet_frame.h"
#include "render/sheet_render.h"
#include "template/rule_display.h"
#include "widgets/table_grid_qt.h"

namespace zirvo {

using namespace grid_style;

namespace {

constexpr int kViewWidth = 768;
constexpr int kViewHeight = 447;

const QColor kViewBackground(0x8C, 0x96, 0xA6);  // around the sheet

const char* const kZoomEntries[] = {"10", "50", "75", "100", "200", "300"};

// The open-picture dialog's filter: name (patterns) per line.
const char* const kPictureFilters[] = {
    "JPG images (*.jfif *.jpe *.jpeg *.jpg)",
    "Tagged image file format images (*.fax *.tif *.tiff)",
    "Windows bitmaps (*.bmp *.dib *.rle)",
};

QFrame* Divider(QWidget* parent, const char* name) {
  auto* bar = new QFrame(parent);
  bar->setObjectName(name);
  bar->setFixedSize(2, 22);
  bar->setStyleSheet(QString("background: %1;").arg(kOtherMark.darker(125).name()));
  return bar;
}

void ShowPlainMessage(QWidget* parent, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(LookupText(code::kProgramTitle)), ToQString(text),
                  QMessageBox::Ok, parent);
  box.exec();
}

// Restores the normal cursor when it leaves scope.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

// ---------------------------------------------------------------------------
// SheetView

SheetView::SheetView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, kViewBackground);
  viewport()->setPalette(palette);
  viewport()->setAutoFillBackground(false);
  // Everything the viewport shows is painted by paintEvent, every pixel.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  horizontalScrollBar()->setSingleStep(20);
  verticalScrollBar()->setSingleStep(20);
}

void SheetView::ClearRanges() {
  rangeH_ = 0;
  rangeV_ = 0;
  UpdateBars();
}

void SheetView::PlacePanel(QSize size) {
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const int width = this->width();
  const int height = this->height();
  // An axis scrolls when the panel does not fit the client area, which a
  // scroll bar on the other axis makes smaller.
  bool scrollH = size.width() > width;
  const bool scrollV = size.height() > height - (scrollH ? bar : 0);
  if (!scrollH && scrollV) scrollH = size.width() > width - bar;
  const int clientW = width - (scrollV ? bar : 0);
  const int clientH = height - (scrollH ? bar : 0);

  QRect panel(QPoint(0, 0), size);
  if (scrollH) {
    panel.moveLeft(kMargin);
    rangeH_ = size.width() + 2 * kMargin;
  } else {
    panel.moveLeft(RoundHalfEven((clientW - size.width()) / 2.0));
    rangeH_ = 0;
  }
  if (scrollV) {
    panel.moveTop(kMargin);
    rangeV_ = size.height() + 2 * kMargin;
  } else {
    panel.moveTop(RoundHalfEven((clientH - size.height()) / 2.0));
    rangeV_ = 0;
  }
  panel_ = panel;
  UpdateBars();
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  viewport()->update();
}

void SheetView::UpdateBars() {
  // Showing one bar narrows the viewport, which changes the other's maximum:
  // two rounds settle both.
  for (int round = 0; round < 2; ++round) {
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, rangeH_ - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(0, std::max(0, rangeV_ - client.height()));
    verticalScrollBar()->setPageStep(client.height());
  }
}

QPoint SheetView::PanelOrigin() const {
  return panel_.topLeft() - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void SheetView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateBars();
}

bool SheetView::viewportEvent(QEvent* event) {
  // A scroll bar appearing or going narrows or widens the viewport.
  if (event->type() == QEvent::Resize) UpdateBars();
  return QAbstractScrollArea::viewportEvent(event);
}

void SheetView::scrollContentsBy(int dx, int dy) { viewport()->scroll(dx, dy); }

void SheetView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect exposed = event->rect();
  const QRect sheet(PanelOrigin(), panel_.size());
  const QRegion around = QRegion(exposed).subtracted(QRegion(sheet));
  for (const QRect& part : around) painter.fillRect(part, kViewBackground);

  const QRect visible = exposed & sheet;
  if (visible.isEmpty()) return;
  painter.fillRect(visible, Qt::white);
  if (!paintPanel_) return;
  painter.setClipRect(visible);
  painter.translate(sheet.topLeft());
  paintPanel_(painter, visible.translated(-sheet.topLeft()));
}

// ---------------------------------------------------------------------------
// PreviewPage

PreviewPage::PreviewPage(QWidget* parent) : QWidget(parent) {
  setObjectName("FHVista");
  // The page fits below the workspace's command row; the viewing area keeps
  // its designed size and the page grows around it.
  setMinimumSize(kViewWidth, kViewHeight);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  title_ = new QLabel(this);
  title_->setObjectName("Pn_Titulo");
  title_->setFixedHeight(28);
  title_->setFont(CellFont(true));
  title_->setStyleSheet(QString("#Pn_Titulo { background: %1; color: %2;"
                                " border-bottom: 1px solid %2; }")
                            .arg(kOtherMark.name(), kFrameBlue.name()));
  root->addWidget(title_);

  auto* header = new QFrame(this);
  header->setObjectName("Pn_Cabeza");
  BuildHeader(header);
  root->addWidget(header);
  // The sheet's items are edited on it: the bar of the design commands.
  sheetView_ = new SheetView(this);
  designer_ = new SheetDesigner(
      sheetView_,
      [this] {
        return SheetDesigner::Sheet{&sheetNumerators_, &marginals_, zoom_, ScreenPixelsPerInch(),
                                    sheetView_->PanelOrigin()};
      },
      this);
  connect(designer_, &SheetDesigner::changed, this, [this] { sheetView_->viewport()->update(); });
  root->addWidget(designer_->BuildBar(this));

  auto* body = new QWidget(this);
  auto* bodyLayout = new QHBoxLayout(body);
  bodyLayout->setContentsMargins(0, 0, 0, 0);
  sheetView_->setParent(body);
  sheetView_->setObjectName("ScrollVista");
  sheetView_->setFixedSize(kViewWidth, kViewHeight);
  sheetView_->SetPanelPainter(
      [this](QPainter& painter, const QRect& exposed) { PaintBoxPaint(painter, exposed); });
  bodyLayout->addStretch(1);
  bodyLayout->addWidget(sheetView_);
  bodyLayout->addStretch(1);
  root->addStretch(1);
  root->addWidget(body);
  root->addStretch(1);

  QFrame* footer = SheetSizeStrip(this, "PanPie", sheetSizeLabel_);
  footer->layout()->addWidget(designer_->BuildStatusLine(footer));
  root->addWidget(footer);

  imageDialog_ = new QFileDialog(this);
  imageDialog_->setObjectName("SelecImag");
  imageDialog_->setOption(QFileDialog::DontUseNativeDialog);
  imageDialog_->setFileMode(QFileDialog::ExistingFile);
  imageDialog_->setAcceptMode(QFileDialog::AcceptOpen);
  QStringList filters;
  for (const char* filter : kPictureFilters) filters << filter;
  imageDialog_->setNameFilters(filters);
}

PreviewPage::~PreviewPage() {
  if (document_ != nullptr) document_->RemoveListener(listenerId_);
  // The children outlive this part of the object: a zoom field losing its
  // focus while they are torn down must not call back into the page.
  zoomBox_->disconnect(this);
  zoomBox_->removeEventFilter(this);
  zoomBox_->lineEdit()->removeEventFilter(this);
  sheetField_->removeEventFilter(this);
}

void PreviewPage::SetDocument(Template* document) {
  if (document_ != nullptr) document_->RemoveListener(listenerId_);
  document_ = document;
  listenerId_ = 0;
  designer_->SetDocument(document);
  if (document_ != nullptr) {
    listenerId_ = document_->AddListener([this](TemplateChange change) {
      if (change == TemplateChange::Everything || change == TemplateChange::Background) {
        ShowBackground();
      }
      // Items moved here, in a grid or by an undo show at once.
      if (change != TemplateChange::Background) RefreshRecords();
    });
  }
  ShowBackground();
}

const BackgroundImage* PreviewPage::Background() const {
  return document_ != nullptr ? &document_->Background() : nullptr;
}

bool PreviewPage::ImageLoaded() const { return Background() != nullptr && Background()->Present(); }

bool PreviewPage::PrintImageTicked() const { return ImageLoaded() && Background()->print; }

void PreviewPage::ShowBackground() {
  const bool present = ImageLoaded();
  showBackgroundBox_->setChecked(PrintImageTicked());
  showBackgroundBox_->setVisible(present);
  divider2_->setVisible(present);
  sheetView_->viewport()->update();
}

void PreviewPage::BuildHeader(QWidget* header) {
  header->setFixedHeight(36);
  header->setStyleSheet(CommandBarStyle("Pn_Cabeza", 12));
  auto* layout = new QHBoxLayout(header);
  layout->setContentsMargins(12, 6, 12, 6);
  layout->setSpacing(10);

  auto command = [&](const char* name, void (PreviewPage::*action)()) {
    auto* label = new ClickLabel(header);
    label->setObjectName(name);
    label->setFont(CellFont());
    label->setFixedHeight(22);
    connect(label, &ClickLabel::clicked, this, action);
    return label;
  };
  chooseBackgroundCommand_ = command("Bt_ImaFondo", &PreviewPage::AddImage);
  divider1_ = Divider(header, "PanVDiv01");
  removeBackgroundCommand_ = command("Bt_CierraFondo", &PreviewPage::AskRemoveImage);
  divider2_ = Divider(header, "PanVDiv02");
  showBackgroundBox_ = new QCheckBox(header);
  showBackgroundBox_->setObjectName("Bt_SelFondo");
  showBackgroundBox_->setFont(CellFont());
  connect(showBackgroundBox_, &QCheckBox::clicked, this, [this] { PrintBackgroundClicked(); });
  divider3_ = Divider(header, "PanVDiv03");

  zoomLabel_ = new QLabel(QStringLiteral("Zoom"), header);
  zoomLabel_->setObjectName("EqZoom");
  zoomLabel_->setFont(CellFont(true));
  zoomBox_ = new QComboBox(header);
  zoomBox_->setObjectName("Ed_Zoom");
  zoomBox_->setEditable(true);
  zoomBox_->setInsertPolicy(QComboBox::NoInsert);
  zoomBox_->setFont(CellFont());
  zoomBox_->setFixedWidth(72);
  for (const char* entry : kZoomEntries) zoomBox_->addItem(entry);
  // What is typed is the zoom: no entry of the list completes it ("20" is
  // not 200).
  zoomBox_->setCompleter(nullptr);
  zoomBox_->setEditText(QString::number(kDefaultZoom));
  // Typed keys reach the combo box, which has the focus and passes them on
  // to its line edit directly; keys sent to the line edit itself come
  // through it. The filter watches both.
  zoomBox_->installEventFilter(this);
  zoomBox_->lineEdit()->installEventFilter(this);
  // A pick from the list applies at once, as Enter does for a typed value.
  connect(zoomBox_, &QComboBox::activated, this, [this](int index) {
    zoomBox_->setEditText(zoomBox_->itemText(index));
    ApplyTypedZoom();
  });
  percentLabel_ = new QLabel(QStringLiteral("%"), header);
  percentLabel_->setObjectName("EqZommPorc");
  percentLabel_->setFont(CellFont(true));
  divider4_ = Divider(header, "PanVDiv04");
  sheetLabel_ = new QLabel(header);
  sheetLabel_->setObjectName("EqHoja");
  sheetLabel_->setFont(CellFont(true));
  sheetField_ = new QLineEdit(QStringLiteral("1"), header);
  sheetField_->setObjectName("Ed_Hoja");
  sheetField_->setFont(CellFont());
  sheetField_->setFixedWidth(80);
  sheetField_->setMaxLength(12);
  sheetField_->installEventFilter(this);

  layout->addWidget(chooseBackgroundCommand_);
  layout->addWidget(divider1_);
  layout->addWidget(removeBackgroundCommand_);
  layout->addWidget(divider2_);
  layout->addWidget(showBackgroundBox_);
  layout->addStretch(1);
  layout->addWidget(divider3_);
  layout->addWidget(zoomLabel_);
  layout->addWidget(zoomBox_);
  layout->addWidget(percentLabel_);
  layout->addWidget(divider4_);
  layout->addWidget(sheetLabel_);
  layout->addWidget(sheetField_);
}

int PreviewPage::ScreenPixelsPerInch() const { return logicalDpiY(); }

void PreviewPage::InitPreview() {
  released_ = false;
  ResetPreview();
  chooseBackgroundCommand_->show();
  chooseBackgroundCommand_->setEnabled(true);
  removeBackgroundCommand_->show();
  removeBackgroundCommand_->setEnabled(true);
  showBackgroundBox_->setEnabled(true);
  for (QFrame* divider : {divider1_, divider3_, divider4_}) divider->show();
  ApplyLanguage();
}

void PreviewPage::ReleasePreview() {
  numerators_.clear();
  sheetNumerators_.clear();
  marginals_.clear();
  released_ = true;
  sheetView_->viewport()->update();
}

void PreviewPage::ResetPreview() {
  zoom_ = kDefaultZoom;
  zoomBox_->setEditText(QString::number(kDefaultZoom));
  sheetPixels_ = QSize(0, 0);
  laidOut_.Width = 0.0;
  laidOut_.Height = 0.0;
  numerators_.clear();
  sheetNumerators_.clear();
  sheet_ = 1;
  sheetField_->setText(QString::number(sheet_));
  marginals_.clear();
  RemoveImage();
}

void PreviewPage::LoadSheet(const PrintJob& job) {
  if (job.Sheet.Width != laidOut_.Width || job.Sheet.Height != laidOut_.Height) LayOut(job.Sheet);
  numerators_ = job.CountedNumerators();
  marginals_ = job.CountedMarginals();
  // The sheet shown stays; the first sheet always has its numbers.
  if (!ShowSheet(sheet_)) ShowSheet(1);
}

void PreviewPage::RefreshRecords() {
  if (document_ == nullptr || released_ || laidOut_.Width <= 0.0 || laidOut_.Height <= 0.0) return;
  try {
    LoadSheet(document_->ToPrintJob());
  } catch (const ZirvoError&) {
    // A cell that does not convert: the sheet keeps what it showed; the
    // workspace says why when the page is opened again.
  }
}

void PreviewPage::LayOut(const SheetHeader& sheet) {
  laidOut_ = sheet;
  ShowSheetSize(sheet);
  const SizeI pixels = SheetPixels(sheet, ScreenPixelsPerInch());
  sheetPixels_ = QSize(pixels.width, pixels.height);
  ApplyFittingZoom();
}

void PreviewPage::ShowSheetSize(const SheetHeader& sheet) {
  const std::string text = LookupText(code::kSheetSize) + ":  " +
                           LookupText(code::kSheetWidthLabel) + " (" + FormatFixed(sheet.Width, 2) +
                           " cm)  " + LookupText(code::kSheetHeightLabel) + " (" +
                           FormatFixed(sheet.Height, 2) + " cm)";
  sheetSizeLabel_->setText(ToQString(text));
}

void PreviewPage::ApplyFittingZoom() {
  sheetView_->ClearRanges();
  const SizeI available{sheetView_->width() - 2 * SheetView::kMargin,
                        sheetView_->height() - 2 * SheetView::kMargin};
  const int zoom =
      FittingZoom(available, {sheetPixels_.width(), sheetPixels_.height()}, kDefaultZoom);
  zoomBox_->setEditText(QString::number(zoom));
  ShowPanel(zoom);
}

void PreviewPage::ApplyZoom(int zoom) {
  sheetView_->ClearRanges();
  ShowPanel(zoom);
}

void PreviewPage::ShowPanel(int zoom) {
  const SizeI panel = PanelAtZoom({sheetPixels_.width(), sheetPixels_.height()}, zoom);
  sheetView_->PlacePanel(QSize(panel.width, panel.height));
  zoom_ = zoom;
}

bool PreviewPage::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == zoomBox_ || watched == zoomBox_->lineEdit()) && event->type() == QEvent::KeyPress)
    return ZoomKeyPress(static_cast<QKeyEvent*>(event));
  if (watched == sheetField_ && event->type() == QEvent::KeyPress)
    return SheetKeyPress(static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

bool PreviewPage::ZoomKeyPress(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // The list's current entry follows a typed entry, so that leaving the
    // field does not pick it again (and scroll the sheet back to its corner).
    const int entry = zoomBox_->findText(zoomBox_->currentText());
    if (entry >= 0 && entry != zoomBox_->currentIndex()) {
      const QSignalBlocker quiet(zoomBox_);
      zoomBox_->setCurrentIndex(entry);
    }
    ApplyTypedZoom();
    return true;
  }
  return RefusesKeystroke(KeyFilterKind::Integer, *zoomBox_->lineEdit(), *event);
}

void PreviewPage::ApplyTypedZoom() {
  const std::string typed = Trim(FromQString(zoomBox_->currentText()));
  int zoom = kDefaultZoom;
  try {
    if (!typed.empty()) zoom = ParseInt32(typed);
  } catch (const ConversionError& e) {
    ShowFailure(this, e.what());
    return;
  }
  switch (CheckZoom(zoom, laidOut_)) {
    case ZoomVerdict::NotPositive:
      ShowFailure(this, OwnText(OwnMessage::ZoomNotPositive, typed));
      return;
    case ZoomVerdict::TooLarge:
      ShowPlainMessage(this, OwnText(OwnMessage::ZoomTooLarge));
      return;
    case ZoomVerdict::Fits:
      ApplyZoom(zoom);
      return;
  }
}

bool PreviewPage::SheetKeyPress(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ApplyTypedSheet();
      return true;
    case Qt::Key_Up:
      if (sheet_ < INT32_MAX) ShowSheet(sheet_ + 1);
      return true;
    case Qt::Key_Down:
      if (sheet_ > 1) ShowSheet(sheet_ - 1);
      return true;
    default:
      return false;
  }
}

void PreviewPage::ApplyTypedSheet() {
  const std::string typed = Trim(FromQString(sheetField_->text()));
  int32_t sheet = 0;
  try {
    sheet = ParseInt32(typed);
  } catch (const ConversionError& e) {
    ShowFailure(this, e.what());
    return;
  }
  if (sheet < 1) {
    ShowFailure(this, OwnText(OwnMessage::PreviewSheetNotPositive, typed));
    return;
  }
  ShowSheet(sheet);
}

bool PreviewPage::ShowSheet(int32_t sheet) {
  const int64_t increment = runIncrement_ ? runIncrement_() : 1;
  if (const auto outOfRange = RecordsOfSheet(numerators_, increment, sheet - 1, sheetNumerators_)) {
    ShowFailure(this, OwnText(OwnMessage::PreviewSheetOutOfRange, FormatInt(sheet),
                              FormatInt(numerators_[*outOfRange].Position)));
    return false;
  }
  sheet_ = sheet;
  sheetField_->setText(QString::number(sheet_));
  sheetView_->viewport()->update();
  return true;
}

void PreviewPage::PaintBoxPaint(QPainter& painter, const QRect& exposed) {
  if (released_) return;
  const QSize panel = sheetView_->Panel().size();
  PainterSurface surface(&painter);
  const Bitmap* image = ImageLoaded() ? Background()->bitmap.get() : nullptr;
  if (image != nullptr) painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const SizeI size{panel.width(), panel.height()};
  const RectI imageRect =
      image != nullptr
          ? BackgroundRect(DeviceMapping::Preview(zoom_, ScreenPixelsPerInch()),
                           document_->Alignment(), *image, {0, 0, size.width, size.height})
          : RectI{};
  DrawSheetFrame(surface, size, image,
                 {exposed.x(), exposed.y(), exposed.width(), exposed.height()}, &imageRect);
  designer_->Paint(painter, surface);
}

void PreviewPage::AddImage() {
  if (document_ == nullptr) return;
  if (imageDialog_->exec() != QDialog::Accepted || imageDialog_->selectedFiles().isEmpty()) {
    RemoveImage();
    return;
  }
  const QString file = imageDialog_->selectedFiles().first();
  QImage decoded;
  {
    BusyCursor busy;
    QImageReader reader(file, "jpeg");
    reader.setAutoDetectImageFormat(false);
    decoded = reader.read();
    if (!decoded.isNull()) decoded = decoded.convertToFormat(QImage::Format_RGB32);
  }
  if (decoded.isNull()) {
    ShowFailure(this, OwnText(OwnMessage::ImageNotDecoded, FromQString(file)));
    return;
  }
  // A new image starts with its print box unticked.
  document_->SetBackground(FromQString(file), std::make_shared<const QtBitmap>(std::move(decoded)));
}

void PreviewPage::AskRemoveImage() {
  QMessageBox box(QMessageBox::Information, ToQString(LookupText(code::kProgramTitle)),
                  ToQString(OwnText(OwnMessage::RemoveImageQuestion)),
                  QMessageBox::Ok | QMessageBox::Cancel, this);
  box.setObjectName("RemoveImageQuestion");
  if (box.exec() == QMessageBox::Ok) RemoveImage();
}

void PreviewPage::RemoveImage() {
  if (document_ != nullptr && document_->Background() != BackgroundImage{}) {
    document_->ClearBackground();
  } else {
    ShowBackground();
  }
}

void PreviewPage::PrintBackgroundClicked() {
  if (ImageLoaded()) {
    document_->SetPrintBackground(showBackgroundBox_->isChecked());
  } else {
    ShowBackground();
  }
}

PrintImage PreviewPage::GetPrintImage() const {
  if (!PrintImageTicked()) return {};
  return {true, Background()->bitmap};
}

void PreviewPage::ApplyLanguage() {
  title_->setText(ToQString("   " + LookupText(code::kPreviewCommand)));
  chooseBackgroundCommand_->setText(ToQString(LookupText(code::kAddImageButton)));
  removeBackgroundCommand_->setText(ToQString(LookupText(code::kRemoveImageButton)));
  showBackgroundBox_->setText(ToQString(LookupText(code::kPrintImageButton)));
  sheetLabel_->setText(ToQString(LookupText(code::kPreviewSheetLabel)));
  designer_->ApplyLanguage();
}

}  // namespace zirvo
