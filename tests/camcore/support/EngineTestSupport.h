#pragma once

// Helpers the engine suites share: reading files back, running tools, and what pdfinfo says of a
// PDF.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace camcore_test {

// The whole file; empty when it cannot be read.
QByteArray readAll(const QString& path);
// Every entry of `folder`, hidden ones included.
QStringList entries(const QString& folder);

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};
// Runs a command line tool (poppler, mount); exitCode -1 when it could not start.
ToolRun runTool(const QString& program, const QStringList& arguments);

struct PdfPages {
    int count = 0;
    QStringList sizes; // "587.52 x 783.36" for each page, in points
    QString errors;    // anything poppler complained about
};
// The pages pdfinfo finds in `path`; none when it cannot read the file.
PdfPages pdfPages(const QString& path);

} // namespace camcore_test
