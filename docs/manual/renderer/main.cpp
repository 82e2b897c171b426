// qvbook-manual: renders the Markdown manual and its screenshots into the PDF the
// editor's manual button opens. Usage: qvbook-manual SOURCE.md IMAGE_DIR OUT.pdf
// Prints the number of pages written.
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "ManualDocument.h"

int main(int argc, char* argv[]) {
  // A build step has no display; fonts come from fontconfig all the same.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() != 4) {
    std::fputs("usage: qvbook-manual SOURCE.md IMAGE_DIR OUT.pdf\n", stderr);
    return 64;
  }
  QFile source(args[1]);
  if (!source.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "qvbook-manual: cannot read %s\n", qPrintable(args[1]));
    return 66;
  }
  const QString family = JapaneseFontFamily();
  if (family.isEmpty()) {
    std::fputs("qvbook-manual: no Japanese font is installed (fonts-ipafont-gothic)\n", stderr);
    return 69;
  }
  QTextDocument doc;
  QString error;
  const ManualPage page;
  if (!BuildManualDocument(doc, QString::fromUtf8(source.readAll()), QDir(args[2]), family, page, error)) {
    std::fprintf(stderr, "qvbook-manual: %s\n", qPrintable(error));
    return 65;
  }
  const int pages = WriteManualPdf(doc, args[3], QStringLiteral("Velmora-QV 電話帳ソフト マニュアル"), page);
  if (pages == 0) {
    std::fprintf(stderr, "qvbook-manual: cannot write %s\n", qPrintable(args[3]));
    return 73;
  }
  std::printf("%d\n", pages);
  return 0;
}
