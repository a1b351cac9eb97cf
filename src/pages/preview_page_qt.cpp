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
#include "widgets/table_grid_qt.h"

namespace zirvo {

using namespace grid_style;

namespace {

constexpr int kViewWidth = 768;
constexpr int kViewHeight = 447;
constexpr int kTagAddImage = 101;
constexpr int kTagRemoveImage = 102;

const QColor kViewBackground(0x8C, 0x96, 0xA6);  // around the sheet

const char* const kZoomEntries[] = {"10", "50", "75", "100", "200", "300"};

// The open-picture dialog's filter: name (patterns) per line.
const char* const kPictureFilters[] = {
    "JPG images (*.jfif *.jpe *.jpeg *.jpg)",
    "Tagged image file format images (*.fax *.tif *.tiff)",
    "Windows bitmaps (*.bmp *.dib *.rle)",
};

// Fixed texts of the preview, the same in every language.
const char* const kZoomTooLarge = "El valor es demasiado grande para ser ampliado";
const char* const kRemoveImageQuestion = "La imagen se borrar\xe1. Presione OK para continuar.";

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

  Pn_Titulo = new QLabel(this);
  Pn_Titulo->setObjectName("Pn_Titulo");
  Pn_Titulo->setFixedHeight(28);
  Pn_Titulo->setFont(CellFont(true));
  Pn_Titulo->setStyleSheet(QString("#Pn_Titulo { background: %1; color: %2;"
                                   " border-bottom: 1px solid %2; }")
                               .arg(kOtherMark.name(), kFrameBlue.name()));
  root->addWidget(Pn_Titulo);

  auto* header = new QFrame(this);
  header->setObjectName("Pn_Cabeza");
  BuildHeader(header);
  root->addWidget(header);

  auto* body = new QWidget(this);
  auto* bodyLayout = new QHBoxLayout(body);
  bodyLayout->setContentsMargins(0, 0, 0, 0);
  ScrollVista = new SheetView(body);
  ScrollVista->setObjectName("ScrollVista");
  ScrollVista->setFixedSize(kViewWidth, kViewHeight);
  ScrollVista->SetPanelPainter(
      [this](QPainter& painter, const QRect& exposed) { PaintBoxPaint(painter, exposed); });
  bodyLayout->addStretch(1);
  bodyLayout->addWidget(ScrollVista);
  bodyLayout->addStretch(1);
  root->addStretch(1);
  root->addWidget(body);
  root->addStretch(1);

  root->addWidget(SheetSizeStrip(this, "PanPie", Et_TamHoja));

  SelecImag = new QFileDialog(this);
  SelecImag->setObjectName("SelecImag");
  SelecImag->setOption(QFileDialog::DontUseNativeDialog);
  SelecImag->setFileMode(QFileDialog::ExistingFile);
  SelecImag->setAcceptMode(QFileDialog::AcceptOpen);
  QStringList filters;
  for (const char* filter : kPictureFilters) filters << filter;
  SelecImag->setNameFilters(filters);
}

PreviewPage::~PreviewPage() {
  if (document_ != nullptr) document_->RemoveListener(listenerId_);
  // The children outlive this part of the object: a zoom field losing its
  // focus while they are torn down must not call back into the page.
  Ed_Zoom->disconnect(this);
  Ed_Zoom->removeEventFilter(this);
  Ed_Zoom->lineEdit()->removeEventFilter(this);
}

void PreviewPage::SetDocument(Template* document) {
  if (document_ != nullptr) document_->RemoveListener(listenerId_);
  document_ = document;
  listenerId_ = 0;
  if (document_ != nullptr) {
    listenerId_ = document_->AddListener([this](TemplateChange change) {
      if (change == TemplateChange::Everything || change == TemplateChange::Background) {
        ShowBackground();
      }
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
  Bt_SelFondo->setChecked(PrintImageTicked());
  Bt_SelFondo->setVisible(present);
  PanVDiv02->setVisible(present);
  ScrollVista->viewport()->update();
}

void PreviewPage::BuildHeader(QWidget* header) {
  header->setFixedHeight(36);
  header->setStyleSheet(
      QString("#Pn_Cabeza { background: white; border-bottom: 1px solid %1; }"
              "zirvo--ClickLabel { background: #EFEFEF; color: %2; border: 1px solid %2;"
              "  padding: 2px 12px; }"
              "zirvo--ClickLabel:hover { background: #FFFFFF; }"
              "zirvo--ClickLabel:disabled { color: #8A8A8A; border-color: #B0B0B0; }"
              "QCheckBox, QLabel { color: %2; }")
          .arg(kGridLine.name(), kFrameBlue.name()));
  auto* layout = new QHBoxLayout(header);
  layout->setContentsMargins(12, 6, 12, 6);
  layout->setSpacing(10);

  auto command = [&](const char* name, int tag) {
    auto* label = new ClickLabel(header);
    label->setObjectName(name);
    label->setProperty("tag", tag);
    label->setFont(CellFont());
    label->setFixedHeight(22);
    connect(label, &ClickLabel::clicked, this, [this, tag] { PBotonesClick(tag); });
    return label;
  };
  Bt_ImaFondo = command("Bt_ImaFondo", kTagAddImage);
  PanVDiv01 = Divider(header, "PanVDiv01");
  Bt_CierraFondo = command("Bt_CierraFondo", kTagRemoveImage);
  PanVDiv02 = Divider(header, "PanVDiv02");
  Bt_SelFondo = new QCheckBox(header);
  Bt_SelFondo->setObjectName("Bt_SelFondo");
  Bt_SelFondo->setFont(CellFont());
  connect(Bt_SelFondo, &QCheckBox::clicked, this, [this] { Bt_SelFondoClick(); });
  PanVDiv03 = Divider(header, "PanVDiv03");

  EqZoom = new QLabel(QStringLiteral("Zoom"), header);
  EqZoom->setObjectName("EqZoom");
  EqZoom->setFont(CellFont(true));
  Ed_Zoom = new QComboBox(header);
  Ed_Zoom->setObjectName("Ed_Zoom");
  Ed_Zoom->setEditable(true);
  Ed_Zoom->setInsertPolicy(QComboBox::NoInsert);
  Ed_Zoom->setFont(CellFont());
  Ed_Zoom->setFixedWidth(72);
  for (const char* entry : kZoomEntries) Ed_Zoom->addItem(entry);
  // What is typed is the zoom: no entry of the list completes it ("20" is
  // not 200).
  Ed_Zoom->setCompleter(nullptr);
  Ed_Zoom->setEditText(QString::number(kDefaultZoom));
  // Typed keys reach the combo box, which has the focus and passes them on
  // to its line edit directly; keys sent to the line edit itself come
  // through it. The filter watches both.
  Ed_Zoom->installEventFilter(this);
  Ed_Zoom->lineEdit()->installEventFilter(this);
  // A pick from the list applies at once, as Enter does for a typed value.
  connect(Ed_Zoom, &QComboBox::activated, this, [this](int index) {
    Ed_Zoom->setEditText(Ed_Zoom->itemText(index));
    ApplyTypedZoom();
  });
  EqZommPorc = new QLabel(QStringLiteral("%"), header);
  EqZommPorc->setObjectName("EqZommPorc");
  EqZommPorc->setFont(CellFont(true));
  PanVDiv04 = Divider(header, "PanVDiv04");

  layout->addWidget(Bt_ImaFondo);
  layout->addWidget(PanVDiv01);
  layout->addWidget(Bt_CierraFondo);
  layout->addWidget(PanVDiv02);
  layout->addWidget(Bt_SelFondo);
  layout->addStretch(1);
  layout->addWidget(PanVDiv03);
  layout->addWidget(EqZoom);
  layout->addWidget(Ed_Zoom);
  layout->addWidget(EqZommPorc);
  layout->addWidget(PanVDiv04);
}

int PreviewPage::ScreenPixelsPerInch() const { return logicalDpiY(); }

void PreviewPage::InitPreview() {
  released_ = false;
  ResetPreview();
  Bt_ImaFondo->show();
  Bt_ImaFondo->setEnabled(true);
  Bt_CierraFondo->show();
  Bt_CierraFondo->setEnabled(true);
  Bt_SelFondo->setEnabled(true);
  for (QFrame* divider : {PanVDiv01, PanVDiv03, PanVDiv04}) divider->show();
  ApplyLanguage();
}

void PreviewPage::ReleasePreview() {
  numerators_.clear();
  marginals_.clear();
  released_ = true;
  ScrollVista->viewport()->update();
}

void PreviewPage::ResetPreview() {
  zoom_ = kDefaultZoom;
  Ed_Zoom->setEditText(QString::number(kDefaultZoom));
  sheetPixels_ = QSize(0, 0);
  laidOut_.Width = 0.0;
  laidOut_.Height = 0.0;
  numerators_.clear();
  marginals_.clear();
  RemoveImage();
}

void PreviewPage::LoadSheet(const PrintJob& job) {
  if (job.Sheet.Width != laidOut_.Width || job.Sheet.Height != laidOut_.Height) LayOut(job.Sheet);
  numerators_ = job.CountedNumerators();
  marginals_ = job.CountedMarginals();
  ScrollVista->viewport()->update();
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
  Et_TamHoja->setText(ToQString(text));
}

void PreviewPage::ApplyFittingZoom() {
  ScrollVista->ClearRanges();
  const SizeI available{ScrollVista->width() - 2 * SheetView::kMargin,
                        ScrollVista->height() - 2 * SheetView::kMargin};
  const int zoom =
      FittingZoom(available, {sheetPixels_.width(), sheetPixels_.height()}, kDefaultZoom);
  Ed_Zoom->setEditText(QString::number(zoom));
  ShowPanel(zoom);
}

void PreviewPage::ApplyZoom(int zoom) {
  ScrollVista->ClearRanges();
  ShowPanel(zoom);
}

void PreviewPage::ShowPanel(int zoom) {
  const SizeI panel = PanelAtZoom({sheetPixels_.width(), sheetPixels_.height()}, zoom);
  ScrollVista->PlacePanel(QSize(panel.width, panel.height));
  zoom_ = zoom;
}

bool PreviewPage::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == Ed_Zoom || watched == Ed_Zoom->lineEdit()) && event->type() == QEvent::KeyPress)
    return Ed_ZoomKeyPress(static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

bool PreviewPage::Ed_ZoomKeyPress(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // The list's current entry follows a typed entry, so that leaving the
    // field does not pick it again (and scroll the sheet back to its corner).
    const int entry = Ed_Zoom->findText(Ed_Zoom->currentText());
    if (entry >= 0 && entry != Ed_Zoom->currentIndex()) {
      const QSignalBlocker quiet(Ed_Zoom);
      Ed_Zoom->setCurrentIndex(entry);
    }
    ApplyTypedZoom();
    return true;
  }
  return RefusesKeystroke(KeyFilterKind::Integer, *Ed_Zoom->lineEdit(), *event);
}

void PreviewPage::ApplyTypedZoom() {
  const std::string typed = Trim(FromQString(Ed_Zoom->currentText()));
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
      ShowPlainMessage(this, kZoomTooLarge);
      return;
    case ZoomVerdict::Fits:
      ApplyZoom(zoom);
      return;
  }
}

void PreviewPage::PaintBoxPaint(QPainter& painter, const QRect& exposed) {
  if (released_) return;
  const QSize panel = ScrollVista->Panel().size();
  PainterSurface surface(&painter);
  const Bitmap* image = ImageLoaded() ? Background()->bitmap.get() : nullptr;
  if (image != nullptr) painter.setRenderHint(QPainter::SmoothPixmapTransform);
  DrawSheetFrame(surface, {panel.width(), panel.height()}, image,
                 {exposed.x(), exposed.y(), exposed.width(), exposed.height()});

  SheetContent content;
  content.numerators = numerators_.empty() ? nullptr : &numerators_;
  content.marginals = marginals_.empty() ? nullptr : &marginals_;
  DrawSheet(surface, DeviceMapping::Preview(zoom_, ScreenPixelsPerInch()), content);
}

void PreviewPage::PBotonesClick(int tag) {
  switch (tag) {
    case kTagAddImage:
      AddImage();
      break;
    case kTagRemoveImage:
      AskRemoveImage();
      break;
    default:
      break;
  }
}

void PreviewPage::AddImage() {
  if (document_ == nullptr) return;
  if (SelecImag->exec() != QDialog::Accepted || SelecImag->selectedFiles().isEmpty()) {
    RemoveImage();
    return;
  }
  const QString file = SelecImag->selectedFiles().first();
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
                  ToQString(kRemoveImageQuestion), QMessageBox::Ok | QMessageBox::Cancel, this);
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

void PreviewPage::Bt_SelFondoClick() {
  if (ImageLoaded()) {
    document_->SetPrintBackground(Bt_SelFondo->isChecked());
  } else {
    ShowBackground();
  }
}

PrintImage PreviewPage::GetPrintImage() const {
  if (!PrintImageTicked()) return {};
  return {true, Background()->bitmap};
}

void PreviewPage::ApplyLanguage() {
  Pn_Titulo->setText(ToQString("   " + LookupText(code::kPreviewCommand)));
  Bt_ImaFondo->setText(ToQString(LookupText(code::kAddImageButton)));
  Bt_CierraFondo->setText(ToQString(LookupText(code::kRemoveImageButton)));
  Bt_SelFondo->setText(ToQString(LookupText(code::kPrintImageButton)));
}

}  // namespace zirvo
