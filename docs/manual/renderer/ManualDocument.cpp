// Laying out the manual and writing it as a PDF.
#include "ManualDocument.h"

#include <algorithm>
#include <vector>

#include <QFontDatabase>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>

namespace {

// Layout happens in pixels of a 96 dpi device, as QTextDocument does on screen; the PDF
// painter scales them to its own resolution.
constexpr double kLayoutDpi = 96.0;
constexpr double kBodyPoints = 10.5;
constexpr double kHeadingPoints[] = {20.0, 14.0, 12.0, 11.0};
constexpr double kScreenshotScale = 0.75;  // screen pixels to layout pixels

double MmToPixels(double mm) { return mm / 25.4 * kLayoutDpi; }

QSizeF TextArea(const ManualPage& page) {
  return {MmToPixels(page.widthMm - 2 * page.marginMm), MmToPixels(page.heightMm - 2 * page.marginMm)};
}

void StyleHeadings(QTextDocument& doc) {
  bool firstChapter = true;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level <= 0) continue;
    QTextCursor cursor(block);
    QTextBlockFormat blockFormat = block.blockFormat();
    blockFormat.setTopMargin(level == 1 ? 0 : 14);
    blockFormat.setBottomMargin(level == 1 ? 16 : 6);
    blockFormat.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    // Every chapter starts on a page of its own; the title page is the first chapter.
    if (level == 1 && !firstChapter) blockFormat.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (level == 1) firstChapter = false;
    cursor.setBlockFormat(blockFormat);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat charFormat;
    charFormat.setFontPointSize(kHeadingPoints[std::min(level, 4) - 1]);
    charFormat.setFontWeight(QFont::Bold);
    charFormat.setForeground(level == 1 ? QColor(20, 60, 140) : QColor(30, 30, 30));
    cursor.mergeCharFormat(charFormat);
  }
}

// The fragments whose format passes `wanted`, collected before any of them is changed
// (changing a format may merge or split fragments under a running iterator).
struct Span {
  int position;
  int length;
  QTextCharFormat format;
};

template <typename Wanted>
std::vector<Span> SpansWhere(const QTextDocument& doc, Wanted wanted) {
  std::vector<Span> found;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (wanted(fragment.charFormat()))
        found.push_back({fragment.position(), fragment.length(), fragment.charFormat()});
    }
  }
  return found;
}

QTextCursor Select(QTextDocument& doc, const Span& span) {
  QTextCursor cursor(&doc);
  cursor.setPosition(span.position);
  cursor.setPosition(span.position + span.length, QTextCursor::KeepAnchor);
  return cursor;
}

// Code spans and blocks keep a fixed-pitch look but must still hold Japanese.
void StyleCode(QTextDocument& doc, const QString& family) {
  const auto code = SpansWhere(doc, [](const QTextCharFormat& f) { return f.fontFixedPitch(); });
  for (const Span& span : code) {
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setBackground(QColor(238, 240, 244));
    Select(doc, span).mergeCharFormat(format);
  }
}

// Loads every image the text names and fits it to the text width.
bool PlaceImages(QTextDocument& doc, const QDir& imageDir, double textWidth, QString& error) {
  const auto images = SpansWhere(doc, [](const QTextCharFormat& f) { return f.isImageFormat(); });
  for (const Span& span : images) {
    QTextImageFormat format = span.format.toImageFormat();
    const QString path = imageDir.filePath(format.name());
    const QImage image(path);
    if (image.isNull()) {
      error = QStringLiteral("cannot read image %1").arg(path);
      return false;
    }
    doc.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
    const double width = std::min(image.width() * kScreenshotScale, textWidth);
    format.setWidth(width);
    format.setHeight(image.height() * width / image.width());
    Select(doc, span).setCharFormat(format);
  }
  return true;
}

// Tables span the text width with room around each cell's text.
void StyleTables(QTextDocument& doc) {
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table) continue;
    QTextTableFormat format = table->format();
    format.setCellPadding(4);
    format.setCellSpacing(0);
    format.setBorderCollapse(true);
    format.setBorderBrush(QColor(150, 150, 150));
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    table->setFormat(format);
  }
}

}  // namespace

QString JapaneseFontFamily() {
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  for (const char* preferred : {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic"}) {
    if (japanese.contains(QString::fromLatin1(preferred))) return QString::fromLatin1(preferred);
  }
  return japanese.isEmpty() ? QString() : japanese.first();
}

bool BuildManualDocument(QTextDocument& doc, const QString& source, const QDir& imageDir,
                         const QString& family, const ManualPage& page, QString& error) {
  QFont body(family);
  body.setPointSizeF(kBodyPoints);
  doc.setDefaultFont(body);
  doc.setDocumentMargin(0);
  doc.setMarkdown(source, QTextDocument::MarkdownDialectGitHub);
  const QSizeF area = TextArea(page);
  if (!PlaceImages(doc, imageDir, area.width(), error)) return false;
  StyleHeadings(doc);
  StyleCode(doc, family);
  StyleTables(doc);
  doc.setPageSize(area);
  return true;
}

int WriteManualPdf(QTextDocument& doc, const QString& pdfPath, const QString& title,
                   const ManualPage& page) {
  QPdfWriter writer(pdfPath);
  writer.setPageSize(QPageSize(QSizeF(page.widthMm, page.heightMm), QPageSize::Millimeter));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  writer.setTitle(title);
  writer.setCreator(QStringLiteral("qvbook"));
  QPainter painter;
  if (!painter.begin(&writer)) return 0;

  const double scale = writer.resolution() / kLayoutDpi;
  const QSizeF area = doc.pageSize();
  const double margin = MmToPixels(page.marginMm);
  const int pages = doc.pageCount();
  QFont footerFont = doc.defaultFont();
  footerFont.setPointSizeF(8.5);
  for (int i = 0; i < pages; ++i) {
    if (i > 0) writer.newPage();
    painter.save();
    painter.scale(scale, scale);
    painter.translate(margin, margin - i * area.height());
    const QRectF pageArea(0, i * area.height(), area.width(), area.height());
    painter.setClipRect(pageArea);  // a block that starts the next page stays off this one
    doc.drawContents(&painter, pageArea);
    painter.restore();
    // The footer in the PDF's own units, so that its point size means what it says.
    painter.setFont(footerFont);
    painter.setPen(QColor(90, 90, 90));
    const QRectF footer(margin * scale, (margin + area.height() + margin / 3) * scale,
                        area.width() * scale, margin / 3 * scale);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1 / %2").arg(i + 1).arg(pages));
  }
  return painter.end() ? pages : 0;
}
