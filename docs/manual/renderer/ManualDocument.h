// The user manual as a paginated text document: Markdown source with Japanese text and
// screenshots, laid out on A4 pages, and written out as a PDF with its fonts embedded.
#pragma once

#include <QDir>
#include <QString>
#include <QTextDocument>

struct ManualPage {
  double widthMm = 210.0;   // A4
  double heightMm = 297.0;
  double marginMm = 20.0;   // on every side; the footer sits in the bottom margin
};

// Picks an installed font family that holds Japanese; empty when there is none.
QString JapaneseFontFamily();

// Fills `doc` from the Markdown `source`, its images read from `imageDir`, styled with
// `family` and laid out on `page`. False with `error` when an image is missing.
bool BuildManualDocument(QTextDocument& doc, const QString& source, const QDir& imageDir,
                         const QString& family, const ManualPage& page, QString& error);

// Writes the laid-out document as a PDF with a footer on every page ("title  n / N").
// Returns the number of pages written, 0 when the file cannot be written.
int WriteManualPdf(QTextDocument& doc, const QString& pdfPath, const QString& title,
                   const ManualPage& page);
