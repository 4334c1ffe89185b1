#pragma once

#include <QString>

// The OCR results window's text written as a file a user opens elsewhere. Each writer replaces
// the file at `path` only once the new one is whole, and returns why it could not write
// (empty when it did).
namespace ocr_files {

// UTF-8, lines as shown.
QString writeText(const QString& path, const QString& text);
// Rich text for word processors: plain 7-bit RTF, every other character as a Unicode escape so
// that Chinese survives any reader's code page.
QString writeRtf(const QString& path, const QString& text);
// An Excel workbook (.xlsx): one line of the text a row, in the first column.
QString writeWorkbook(const QString& path, const QString& text);

// The text as RTF.
QByteArray rtfOf(const QString& text);

} // namespace ocr_files
