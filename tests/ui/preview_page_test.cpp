// The preview page: the layout and the fitting zoom, the typed zoom and its
// limits, the background image and what the print page receives of it, the
// painting of the exposed part of the sheet, the captions.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "catalog/catalog.h"
#include "pages/preview_page_qt.h"
#include "render/painter_surface_qt.h"
#include "render/sheet_render.h"
#include "support/recording_surface.h"
#include "support/ui_support.h"

using namespace zirvo;
using namespace zirvo::testing;

namespace {

PrintJob Job(double width, double height) {
  PrintJob job;
  job.Sheet.SetName("Facturas");
  job.Sheet.Width = width;
  job.Sheet.Height = height;
  return job;
}

Numerator MakeNumerator(int number, double x, double y, double rotation, int size = 14,
                        int32_t colour = 0) {
  Numerator n;
  n.Number = number;
  n.Prefix = "Nº ";
  n.Mask = 6;
  n.Horizontal = x;
  n.Vertical = y;
  n.Rotation = rotation;
  n.Size = size;
  n.Colour = colour;
  n.Font = "Liberation Sans";
  return n;
}

MarginalText MakeMarginal(const std::string& text, double x, double y, double rotation,
                          int size = 10, int32_t colour = 0x663300) {
  MarginalText m;
  m.Text = text;
  m.Horizontal = x;
  m.Vertical = y;
  m.Rotation = rotation;
  m.Size = size;
  m.Font = "Liberation Serif";
  m.Colour = colour;
  return m;
}

void AddItems(PrintJob& job) {
  job.Numerators = {MakeNumerator(1500, 14.8, 2.1, 0, 18, 0x0000C0),
                    MakeNumerator(1500, 1.3, 26.5, 90, 12, 0x7F0000),
                    MakeNumerator(1500, 20.3, 26.6, 180, 12, 0x7F0000),
                    MakeNumerator(1500, 20.6, 6.0, 270, 11)};
  job.NumeratorCount = 4;
  job.Marginals = {MakeMarginal("IMPRENTA DEL SUR  -  FACTURA", 2.2, 2.2, 0, 16, 0xFFFFFF),
                   MakeMarginal("Original: cliente", 2.2, 3.1, 0, 9, 0xFFFFFF),
                   MakeMarginal("Copia: archivo", 1.0, 20.0, 90, 9)};
  job.MarginalCount = 3;
}

// A JPEG of four coloured quadrants.
QString QuadrantJpeg(const QString& folder, const QString& name = "fondo.jpg") {
  QImage image(400, 520, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.fillRect(0, 0, 200, 260, QColor(0, 0, 200));
  painter.fillRect(200, 0, 200, 260, QColor(0, 160, 0));
  painter.fillRect(0, 260, 200, 260, QColor(230, 200, 0));
  painter.fillRect(200, 260, 200, 260, QColor(120, 120, 120));
  painter.end();
  const QString path = folder + "/" + name;
  image.save(path, "JPEG", 95);
  return path;
}

// A pre-printed form: the kind of picture users put behind their numbers.
QString FormJpeg(const QString& folder) {
  QImage image(1080, 1400, QImage::Format_RGB32);
  image.fill(QColor(252, 250, 240));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient band(0, 0, 1080, 0);
  band.setColorAt(0, QColor(40, 90, 160));
  band.setColorAt(1, QColor(120, 170, 220));
  painter.fillRect(60, 60, 960, 130, band);
  painter.setPen(QPen(QColor(150, 170, 200), 2));
  for (int y = 330; y < 1200; y += 50) painter.drawLine(90, y, 990, y);
  painter.drawRect(90, 280, 900, 940);
  painter.drawLine(700, 280, 700, 1220);
  painter.setPen(QColor(200, 210, 225));
  painter.setFont(QFont("Liberation Sans", 70, QFont::Bold));
  painter.drawText(QRect(90, 500, 900, 400), Qt::AlignCenter, "MUESTRA");
  painter.end();
  const QString path = folder + "/formulario.jpg";
  image.save(path, "JPEG", 90);
  return path;
}

std::unique_ptr<ModalAnswer> ChooseFile(const QString& path) {
  return std::make_unique<ModalAnswer>("QFileDialog", [path](QWidget* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    edit->setText(path);
    QTest::keyClick(edit, Qt::Key_Return);
  });
}

std::unique_ptr<ModalAnswer> CancelFileDialog() {
  return std::make_unique<ModalAnswer>(
      "QFileDialog", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
}

std::unique_ptr<ModalAnswer> AnswerQuestion(QMessageBox::StandardButton button) {
  return std::make_unique<ModalAnswer>("QMessageBox", [button](QWidget* box) {
    QTest::mouseClick(static_cast<QMessageBox*>(box)->button(button), Qt::LeftButton);
  });
}

// 1,000 tickets 4-up, cut and stacked: four piles of 250, a stub repeating
// the first pile's number and a book number that moves every 50 sheets.
PrintJob CutAndStackJob() {
  PrintJob job = Job(21.60, 28.00);
  for (int i = 0; i < 6; ++i) {
    job.Numerators.push_back(MakeNumerator(i < 4 ? 1 + 250 * i : 1, 2.0 + 3 * i, 3.0 + 4 * i, 0));
    job.Numerators[i].Position = i + 1;
  }
  job.Numerators[4].Prefix = "T ";
  job.Numerators[4].Rule.mirror = 1;
  job.Numerators[5].Prefix = "L ";
  job.Numerators[5].Mask = 2;
  job.Numerators[5].Rule.sheetsPerNumber = 50;
  job.NumeratorCount = 6;
  return job;
}

// The numerators' texts as the page draws them, in drawing order.
QStringList DrawnTexts(const PreviewPage& page) {
  RecordingSurface surface;
  SheetContent content;
  content.numerators = &page.NumeratorRecords();
  DrawSheet(surface, DeviceMapping::Preview(page.Zoom(), page.ScreenPixelsPerInch()), content);
  QStringList texts;
  for (const auto& call : surface.texts) texts << QString::fromStdString(call.text);
  return texts;
}

QColor PixelAt(QWidget* widget, QPoint point) { return widget->grab().toImage().pixelColor(point); }

bool Near(const QColor& a, const QColor& b, int tolerance = 24) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

class PreviewPageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { PrepareCatalog(1); }

  void init() {
    ProgramCatalog().LoadTable(1);
    doc_ = std::make_unique<Template>();
    page_ = new PreviewPage();
    page_->SetDocument(doc_.get());
    page_->InitPreview();
    QVERIFY(ShowActive(page_));
  }

  void cleanup() {
    delete page_;
    page_ = nullptr;
  }

  // ---- Layout and the fitting zoom ----------------------------------------

  void fittingZoomCentresTheSheet_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QRect>("panel");
    // 816 x 1058 pixels at 100 %: the height decides.
    QTest::newRow("21.60 x 28.00") << 21.60 << 28.00 << 41 << QRect(216, 6, 335, 434);
    // Landscape: still the height; halves of the centring go to even.
    QTest::newRow("28.00 x 21.60") << 28.00 << 21.60 << 53 << QRect(104, 8, 561, 432);
    // A strip: the width at the height's zoom would not fit, the width decides.
    QTest::newRow("50.00 x 10.00") << 50.00 << 10.00 << 40 << QRect(6, 148, 756, 151);
  }

  void fittingZoomCentresTheSheet() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, zoom);
    QFETCH(QRect, panel);
    page_->LoadSheet(Job(width, height));
    QCOMPARE(page_->Zoom(), zoom);
    QCOMPARE(Child<QComboBox>(page_, "Ed_Zoom")->currentText(), QString::number(zoom));
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->Panel(), panel);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->HorizontalRange(), 0);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->VerticalRange(), 0);
    QVERIFY(!Child<SheetView>(page_, "ScrollVista")->horizontalScrollBar()->isVisible());
    QVERIFY(!Child<SheetView>(page_, "ScrollVista")->verticalScrollBar()->isVisible());
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->size(), QSize(768, 447));
  }

  void sizeLabelShowsTheSheet() {
    page_->LoadSheet(Job(21.60, 28.00));
    QCOMPARE(Child<QLabel>(page_, "Et_TamHoja")->text(),
             QString::fromUtf8("Tamaño de Hoja:   (21.60 cm)   (28.00 cm)"));
  }

  void sameSizeKeepsZoomAndScroll() {
    page_->LoadSheet(Job(21.60, 28.00));
    TypeZoom("200");
    QCOMPARE(page_->Zoom(), 200);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->Panel(), QRect(6, 6, 1632, 2116));
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->HorizontalRange(), 1644);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->VerticalRange(), 2128);
    Child<SheetView>(page_, "ScrollVista")->horizontalScrollBar()->setValue(300);
    Child<SheetView>(page_, "ScrollVista")->verticalScrollBar()->setValue(500);
    Child<QComboBox>(page_, "Ed_Zoom")->clearFocus();  // leaving the field applies nothing again

    PrintJob again = Job(21.60, 28.00);
    AddItems(again);
    page_->LoadSheet(again);
    QCOMPARE(page_->Zoom(), 200);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->horizontalScrollBar()->value(), 300);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->verticalScrollBar()->value(), 500);

    // Another size is laid out anew.
    page_->LoadSheet(Job(28.00, 21.60));
    QCOMPARE(page_->Zoom(), 53);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->horizontalScrollBar()->value(), 0);

    // After a reset even the same size counts as new.
    TypeZoom("75");
    page_->ResetPreview();
    QCOMPARE(Child<QComboBox>(page_, "Ed_Zoom")->currentText(), QString("100"));
    page_->LoadSheet(Job(28.00, 21.60));
    QCOMPARE(page_->Zoom(), 53);
  }

  // ---- Typed zoom ---------------------------------------------------------

  void typedZoom_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("zoom");         // the zoom afterwards
    QTest::addColumn<QString>("message");  // the message shown, if any
    // Any value, in the list or not, and none completed to a list entry.
    for (const char* row : {"60", "150", "120 keypad", "1000", "20", "5 keypad"}) {
      const QString typed = QString(row).section(' ', 0, 0);
      QTest::newRow(row) << typed << typed.toInt() << "";
    }
    QTest::newRow("5357 fits 1500 cm") << "5357" << 5357 << "";
    QTest::newRow("5358 too large")
        << "5358" << 41 << "El valor es demasiado grande para ser ampliado";
    QTest::newRow("9999 too large, keypad")
        << "9999" << 41 << "El valor es demasiado grande para ser ampliado";
    QTest::newRow("empty means 100") << "" << 100 << "";
    QTest::newRow("10") << "10" << 10 << "";
    QTest::newRow("0 refused") << "0" << 41
                               << QString::fromUtf8("El zoom '0' debe ser mayor que cero.");
    QTest::newRow("-5 refused") << "-5" << 41
                                << QString::fromUtf8("El zoom '-5' debe ser mayor que cero.");
    QTest::newRow("lone minus") << "-" << 41 << "'-' is not a valid integer value";
  }

  void typedZoom() {
    QFETCH(QString, typed);
    QFETCH(int, zoom);
    QFETCH(QString, message);
    page_->LoadSheet(Job(21.60, 28.00));
    const QRect fitted = Child<SheetView>(page_, "ScrollVista")->Panel();
    auto answer = DismissMessageBox();
    TypeZoom(typed, QString(QTest::currentDataTag()).contains("keypad"));
    QCOMPARE(answer->Answered(), !message.isEmpty());
    QCOMPARE(answer->SeenText(), message);
    QCOMPARE(page_->Zoom(), zoom);
    if (!message.isEmpty()) {
      QCOMPARE(Child<SheetView>(page_, "ScrollVista")->Panel(), fitted);
    } else {
      const QSize expected(qRound(zoom / 100.0 * 816), qRound(zoom / 100.0 * 1058));
      QCOMPARE(Child<SheetView>(page_, "ScrollVista")->Panel().size(), expected);
    }
  }

  void zoomLimitFollowsTheLongerSide() {
    // 1500 cm exactly is allowed: 15 cm at 10000 %.
    page_->LoadSheet(Job(15.00, 10.00));
    auto answer = DismissMessageBox();
    TypeZoom("10000");
    QVERIFY(!answer->Answered());
    QCOMPARE(page_->Zoom(), 10000);
    TypeZoom("10001");
    QTRY_VERIFY(answer->Answered());
    QCOMPARE(page_->Zoom(), 10000);
  }

  void zoomFieldKeys() {
    page_->LoadSheet(Job(21.60, 28.00));
    QLineEdit* edit = Child<QComboBox>(page_, "Ed_Zoom")->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeText("1a.5,-0 x");
    QCOMPARE(edit->text(), QString("150"));
    PressKey(Qt::Key_Home);
    TypeText("--");
    QCOMPARE(edit->text(), QString("-150"));
    QCOMPARE(page_->Zoom(), 41);  // nothing applies before Enter

    // Text put in the field by the program applies only with Enter.
    Child<QComboBox>(page_, "Ed_Zoom")
        ->setCurrentIndex(Child<QComboBox>(page_, "Ed_Zoom")->findText("200"));
    QCOMPARE(page_->Zoom(), 41);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(page_->Zoom(), 200);
    QCOMPARE(Child<QComboBox>(page_, "Ed_Zoom")->count(), 6);  // Enter adds nothing to the list
  }

  // Enter on the keypad, and a pick from the list, apply the zoom to the
  // painted sheet.
  void zoomByKeypadEnterAndFromTheList() {
    page_->LoadSheet(Job(21.60, 28.00));
    QLineEdit* edit = Child<QComboBox>(page_, "Ed_Zoom")->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "50");
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(page_->Zoom(), 50);
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->Panel().size(), QSize(408, 529));

    QTest::keyClick(edit, Qt::Key_F4);
    QAbstractItemView* list = Child<QComboBox>(page_, "Ed_Zoom")->view();
    QTRY_VERIFY(list->isVisible());
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < 4; ++i) QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex().data().toString(), QString("200"));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(page_->Zoom(), 200);
    QCOMPARE(edit->text(), QString("200"));
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->Panel().size(), QSize(1632, 2116));
  }

  // ---- Background image ---------------------------------------------------

  void imageAddTickRemove() {
    QTemporaryDir folder;
    const QString jpeg = QuadrantJpeg(folder.path());
    page_->LoadSheet(Job(21.60, 28.00));
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isVisible());
    QVERIFY(!Child<QFrame>(page_, "PanVDiv02")->isVisible());

    {
      auto answer = ChooseFile(jpeg);
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
    QVERIFY(page_->ImageLoaded());
    QVERIFY(Child<QCheckBox>(page_, "Bt_SelFondo")->isVisible());
    QVERIFY(Child<QFrame>(page_, "PanVDiv02")->isVisible());
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isChecked());
    // Shown, but not for printing until the box is ticked.
    QVERIFY(!page_->GetPrintImage().present);
    QVERIFY(page_->GetPrintImage().bitmap == nullptr);

    QVERIFY(doc_->Background().Present());
    QVERIFY(doc_->Background().path.ends_with("fondo.jpg"));
    QTest::mouseClick(Child<QCheckBox>(page_, "Bt_SelFondo"), Qt::LeftButton);
    PrintImage image = page_->GetPrintImage();
    QVERIFY(image.present);
    QCOMPARE(image.bitmap->Width(), 400);
    QCOMPARE(image.bitmap->Height(), 520);
    // The image and its box are the document's: the print job carries them.
    QVERIFY(doc_->ToPrintJob().Background == image.bitmap);
    QTest::mouseClick(Child<QCheckBox>(page_, "Bt_SelFondo"), Qt::LeftButton);
    QVERIFY(!page_->GetPrintImage().present);
    QTest::mouseClick(Child<QCheckBox>(page_, "Bt_SelFondo"), Qt::LeftButton);

    // Remove: Cancel keeps everything, OK removes.
    {
      auto answer = AnswerQuestion(QMessageBox::Cancel);
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_CierraFondo"), Qt::LeftButton);
      QVERIFY(answer->Answered());
      QCOMPARE(answer->SeenText(),
               QString::fromUtf8("La imagen se borrará. Presione OK para continuar."));
    }
    QVERIFY(page_->ImageLoaded());
    QVERIFY(page_->GetPrintImage().present);
    {
      auto answer = AnswerQuestion(QMessageBox::Ok);
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_CierraFondo"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
    QVERIFY(!page_->ImageLoaded());
    QVERIFY(!page_->GetPrintImage().present);
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isVisible());
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isChecked());
    QVERIFY(!Child<QFrame>(page_, "PanVDiv02")->isVisible());

    // The question is asked even without an image.
    {
      auto answer = AnswerQuestion(QMessageBox::Ok);
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_CierraFondo"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
  }

  void cancellingThePictureDialogRemovesTheImage() {
    QTemporaryDir folder;
    page_->LoadSheet(Job(21.60, 28.00));
    {
      auto answer = ChooseFile(QuadrantJpeg(folder.path()));
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    }
    QTest::mouseClick(Child<QCheckBox>(page_, "Bt_SelFondo"), Qt::LeftButton);
    QVERIFY(page_->GetPrintImage().present);
    {
      auto answer = CancelFileDialog();
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
    QVERIFY(!page_->ImageLoaded());
    QVERIFY(!page_->GetPrintImage().present);
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isVisible());
  }

  void pictureDialogOffersTheImageKinds() {
    QCOMPARE(Child<QFileDialog>(page_, "SelecImag")->nameFilters(),
             QStringList({"JPG images (*.jfif *.jpe *.jpeg *.jpg)",
                          "Tagged image file format images (*.fax *.tif *.tiff)",
                          "Windows bitmaps (*.bmp *.dib *.rle)"}));
  }

  void undecodableImageKeepsThePrevious_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");  // empty: a text file
    QTest::newRow("text named .jpg") << "roto.jpg" << QByteArray();
    QTest::newRow("bitmap") << "dibujo.bmp" << QByteArray("BMP");
    QTest::newRow("png named .jpg") << "falso.jpg" << QByteArray("PNG");
  }

  void undecodableImageKeepsThePrevious() {
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QTemporaryDir folder;
    page_->LoadSheet(Job(21.60, 28.00));
    {
      auto answer = ChooseFile(QuadrantJpeg(folder.path()));
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    }
    QTest::mouseClick(Child<QCheckBox>(page_, "Bt_SelFondo"), Qt::LeftButton);

    const QString bad = folder.path() + "/" + name;
    if (format.isEmpty()) {
      QFile file(bad);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("no es una imagen");
    } else {
      QImage other(50, 50, QImage::Format_RGB32);
      other.fill(Qt::magenta);
      QVERIFY(other.save(bad, format.constData()));
    }
    auto chooser = ChooseFile(bad);
    auto message = DismissMessageBox();
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    QTRY_VERIFY(message->Answered());
    QVERIFY(message->SeenText().contains(bad));
    QVERIFY(page_->ImageLoaded());
    PrintImage image = page_->GetPrintImage();
    QVERIFY(image.present);
    QCOMPARE(image.bitmap->Width(), 400);
    QVERIFY(Child<QCheckBox>(page_, "Bt_SelFondo")->isChecked());
  }

  void resetRemovesTheImageWithoutAsking() {
    QTemporaryDir folder;
    page_->LoadSheet(Job(21.60, 28.00));
    {
      auto answer = ChooseFile(QuadrantJpeg(folder.path()));
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    }
    auto question = DismissMessageBox();
    page_->ResetPreview();
    QTest::qWait(30);
    QVERIFY(!question->Answered());
    QVERIFY(!page_->ImageLoaded());
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isVisible());
  }

  // The page shows the document's background, whoever changed it.
  void followsTheDocumentsBackground() {
    page_->LoadSheet(Job(21.60, 28.00));
    doc_->SetBackground("/img/fondo.jpg",
                        std::make_shared<QtBitmap>(QImage(8, 8, QImage::Format_RGB32)));
    QVERIFY(page_->ImageLoaded());
    QVERIFY(Child<QCheckBox>(page_, "Bt_SelFondo")->isVisible());
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isChecked());
    doc_->SetPrintBackground(true);
    QVERIFY(Child<QCheckBox>(page_, "Bt_SelFondo")->isChecked());
    QVERIFY(page_->GetPrintImage().present);
    doc_->Clear();  // a template replaced in the workspace
    QVERIFY(!page_->ImageLoaded());
    QVERIFY(!Child<QCheckBox>(page_, "Bt_SelFondo")->isVisible());
    QVERIFY(!Child<QFrame>(page_, "PanVDiv02")->isVisible());
  }

  // ---- Painting -----------------------------------------------------------

  void paintsImageFrameAndItemsAtTheFittingZoom() {
    QTemporaryDir folder;
    PrintJob job = Job(21.60, 28.00);
    job.Numerators = {MakeNumerator(7, 5.0, 20.0, 0, 40)};
    job.NumeratorCount = 1;
    page_->LoadSheet(job);
    {
      auto answer = ChooseFile(QuadrantJpeg(folder.path()));
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    }
    QWidget* view = Child<SheetView>(page_, "ScrollVista")->viewport();
    const QRect panel = Child<SheetView>(page_, "ScrollVista")->Panel();  // 216, 6, 335 x 434
    QCOMPARE(PixelAt(view, panel.topLeft()), QColor(255, 0, 0));
    QCOMPARE(PixelAt(view, panel.bottomRight()), QColor(255, 0, 0));
    QVERIFY(Near(PixelAt(view, panel.topLeft() + QPoint(40, 40)), QColor(0, 0, 200)));
    QVERIFY(Near(PixelAt(view, panel.bottomRight() - QPoint(40, 40)), QColor(120, 120, 120)));
    // Outside the sheet: the viewing area's own colour, not white.
    const QColor around = PixelAt(view, QPoint(10, 200));
    QVERIFY(around != QColor(Qt::white));
    QVERIFY(around != QColor(255, 0, 0));
  }

  void paintsTheExposedPartAtTheLargestZoom() {
    QTemporaryDir folder;
    page_->LoadSheet(Job(21.60, 28.00));
    {
      auto answer = ChooseFile(QuadrantJpeg(folder.path()));
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    }
    TypeZoom("5357");
    QCOMPARE(Child<SheetView>(page_, "ScrollVista")->Panel(), QRect(6, 6, 43713, 56677));
    QScrollBar* h = Child<SheetView>(page_, "ScrollVista")->horizontalScrollBar();
    QScrollBar* v = Child<SheetView>(page_, "ScrollVista")->verticalScrollBar();
    QWidget* view = Child<SheetView>(page_, "ScrollVista")->viewport();

    // The top-left corner: the frame at the margin, then the first quadrant.
    QCOMPARE(PixelAt(view, QPoint(6, 6)), QColor(255, 0, 0));
    QVERIFY(Near(PixelAt(view, QPoint(100, 100)), QColor(0, 0, 200)));

    // Scrolled to the far end: the frame's bottom-right corner sits 6 pixels
    // from the content's end.
    h->setValue(h->maximum());
    v->setValue(v->maximum());
    const QPoint corner =
        Child<SheetView>(page_, "ScrollVista")->PanelOrigin() + QPoint(43712, 56676);
    QCOMPARE(corner, QPoint(view->width() - 7, view->height() - 7));
    QCOMPARE(PixelAt(view, corner), QColor(255, 0, 0));
    QVERIFY(Near(PixelAt(view, corner - QPoint(50, 50)), QColor(120, 120, 120)));

    // Scrolled to the middle of the right edge, over the quadrants' border.
    v->setValue(56677 / 2 + 6 - view->height() / 2);
    const QPoint middle =
        Child<SheetView>(page_, "ScrollVista")->PanelOrigin() + QPoint(43712, 56677 / 2);
    QVERIFY(Near(PixelAt(view, middle + QPoint(-60, -60)), QColor(0, 160, 0)));
    QVERIFY(Near(PixelAt(view, middle + QPoint(-60, 60)), QColor(120, 120, 120)));
  }

  // ---- Captions -----------------------------------------------------------

  void languageChangesCaptionsNotTheSizeLabel() {
    page_->LoadSheet(Job(21.60, 28.00));
    const QString sizeText = Child<QLabel>(page_, "Et_TamHoja")->text();
    QCOMPARE(Child<QLabel>(page_, "Pn_Titulo")->text(), QString("   Vista previa"));
    QCOMPARE(Child<QLabel>(page_, "EqHoja")->text(), QString("Hoja"));
    QCOMPARE(Child<ClickLabel>(page_, "Bt_ImaFondo")->text(), QString("Agregar imagen"));
    ProgramCatalog().LoadTable(2);
    page_->ApplyLanguage();
    QCOMPARE(Child<QLabel>(page_, "Pn_Titulo")->text(), QString("   Preview"));
    QCOMPARE(Child<ClickLabel>(page_, "Bt_ImaFondo")->text(), QString("Add image"));
    QCOMPARE(Child<ClickLabel>(page_, "Bt_CierraFondo")->text(), QString("Remove image"));
    QCOMPARE(Child<QCheckBox>(page_, "Bt_SelFondo")->text(), QString("Print image"));
    QCOMPARE(Child<QLabel>(page_, "EqHoja")->text(), QString("Sheet"));
    QCOMPARE(Child<QLabel>(page_, "Et_TamHoja")->text(), sizeText);
    page_->LoadSheet(Job(20.00, 28.00));
    QVERIFY(Child<QLabel>(page_, "Et_TamHoja")->text().startsWith("Sheet size:"));
  }

  // The page's own messages follow the language as its captions do.
  void messagesFollowTheLanguage() {
    QTemporaryDir folder;
    ProgramCatalog().LoadTable(2);
    page_->ApplyLanguage();
    page_->LoadSheet(Job(21.60, 28.00));
    {
      auto answer = DismissMessageBox();
      TypeZoom("9999");
      QCOMPARE(answer->SeenText(), QString("The value is too large to zoom in"));
    }
    {
      auto answer = ChooseFile(FormJpeg(folder.path()));
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    }
    auto answer = AnswerQuestion(QMessageBox::Cancel);
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_CierraFondo"), Qt::LeftButton);
    QVERIFY(answer->Answered());
    QCOMPARE(answer->SeenText(), QString("The image will be removed. Press OK to continue."));
  }

  // ---- Sheet of the run ---------------------------------------------------

  // The sheet field shows any sheet of the run by the numerators' rules; it
  // keeps its sheet through a new load of the template, and a reset goes
  // back to the first.
  void sheetFieldShowsAnySheetOfTheRun() {
    const QString nº = QString::fromUtf8("Nº ");
    // Without rules, sheet 1 draws the records exactly as loaded.
    PrintJob plain = Job(21.60, 28.00);
    AddItems(plain);
    page_->LoadSheet(plain);
    QVERIFY(page_->NumeratorRecords() == plain.CountedNumerators());
    page_->LoadSheet(CutAndStackJob());
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Hoja")->text(), QString("1"));
    QCOMPARE(DrawnTexts(*page_), QStringList({nº + "000001", nº + "000251", nº + "000501",
                                              nº + "000751", "T 000001", "L 01"}));
    QTest::qWait(20);
    QVERIFY(page_->grab().save(ScreenshotPath("preview_sheet_1.png")));
    TypeSheet("250");
    QCOMPARE(page_->Sheet(), 250);
    QCOMPARE(DrawnTexts(*page_), QStringList({nº + "000250", nº + "000500", nº + "000750",
                                              nº + "001000", "T 000250", "L 05"}));
    QVERIFY(page_->grab().save(ScreenshotPath("preview_sheet_250.png")));
    PressKey(Qt::Key_Up);
    QCOMPARE(DrawnTexts(*page_).last(), QString("L 06"));
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Down);
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Hoja")->text(), QString("249"));

    // A changed template is drawn at the same sheet, with the run's increment.
    PrintJob changed = CutAndStackJob();
    changed.Numerators[0].Number = 1001;
    page_->SetRunIncrement([] { return int64_t{2}; });
    page_->LoadSheet(changed);
    QCOMPARE(page_->Sheet(), 249);
    QCOMPARE(DrawnTexts(*page_)[4], QString("T 001497"));
    page_->ResetPreview();
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Hoja")->text(), QString("1"));
    page_->LoadSheet(changed);
    QCOMPARE(DrawnTexts(*page_).first(), nº + "001001");
  }

  void sheetFieldRefuses_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    for (const auto& [typed, message] :
         {std::pair{"0", "La hoja '0' debe ser mayor que cero."},
          {"-1", "La hoja '-1' debe ser mayor que cero."},
          {"abc", "'abc' is not a valid integer value"},
          {"", "'' is not a valid integer value"},
          {"2147483648", "'2147483648' is not a valid integer value"},
          // The sheet exists, but the second pile's number would not fit.
          {"2147483647",
           "En la hoja 2147483647 el numerador 2 saldría del rango de números "
           "(-2147483648 a 2147483647)."}})
      QTest::newRow(typed) << QString(typed) << QString::fromUtf8(message);
  }

  // Refused sheets change nothing: the sheet and its drawing stay.
  void sheetFieldRefuses() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    page_->LoadSheet(CutAndStackJob());
    TypeSheet("3");
    const QStringList before = DrawnTexts(*page_);
    auto answer = DismissMessageBox();
    TypeSheet(typed);
    QTRY_VERIFY(answer->Answered());
    QCOMPARE(answer->SeenText(), message);
    QCOMPARE(page_->Sheet(), 3);
    QCOMPARE(DrawnTexts(*page_), before);
  }

  // ---- Screenshot ---------------------------------------------------------

  // A background chosen and ticked is drawn and kept at a typed zoom.
  void backgroundStaysThroughAZoom() {
    QTemporaryDir folder;
    PrintJob job = Job(21.60, 28.00);
    AddItems(job);
    page_->LoadSheet(job);
    {
      auto answer = ChooseFile(FormJpeg(folder.path()));
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_ImaFondo"), Qt::LeftButton);
    }
    QTest::mouseClick(Child<QCheckBox>(page_, "Bt_SelFondo"), Qt::LeftButton);
    QTest::qWait(20);
    QVERIFY(page_->ImageLoaded());
    QVERIFY(page_->PrintImageTicked());
    QVERIFY(page_->grab().save(ScreenshotPath("preview_page.png")));
    TypeZoom("150");
    Child<SheetView>(page_, "ScrollVista")->verticalScrollBar()->setValue(1250);
    QTest::qWait(20);
    QCOMPARE(page_->Zoom(), 150);
    QVERIFY(page_->ImageLoaded() && page_->PrintImageTicked());
    QVERIFY(page_->grab().save(ScreenshotPath("preview_page_zoomed.png")));
  }

 private:
  // Types over the zoom field's text where the focus goes, as a user does.
  void TypeZoom(const QString& text, bool keypadEnter = false) {
    TypeOver(Child<QComboBox>(page_, "Ed_Zoom")->lineEdit(), text, keypadEnter);
  }
  void TypeSheet(const QString& text) { TypeOver(Child<QLineEdit>(page_, "Ed_Hoja"), text); }
  void TypeOver(QLineEdit* field, const QString& text, bool keypadEnter = false) {
    QTest::mouseClick(field, Qt::LeftButton);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    PressKey(Qt::Key_Backspace);
    TypeText(text);
    PressKey(keypadEnter ? Qt::Key_Enter : Qt::Key_Return,
             keypadEnter ? Qt::KeypadModifier : Qt::NoModifier);
  }

  PreviewPage* page_ = nullptr;
  std::unique_ptr<Template> doc_;  // the document whose background the page shows
};

QTEST_MAIN(PreviewPageTest)
#include "preview_page_test.moc"
