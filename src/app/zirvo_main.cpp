// Zirvo's program entry. Until the main window is in place this prints the
// program's title in the chosen language and where it keeps its templates.
#include <QCoreApplication>
#include <QTextStream>

#include "app/helpers.h"
#include "app/qtext_qt.h"
#include "catalog/catalog.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  out << zirvo::ToQString(zirvo::LookupText("0000")) << " 7102\n";
  out << "Datos: " << zirvo::ToQString(zirvo::DataFolder()) << "\n";
  return 0;
}
