#include "EngineTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace camcore_test {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

ToolRun runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted() || !process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

PdfPages pdfPages(const QString& path) {
    const ToolRun run = runTool("pdfinfo", {"-f", "1", "-l", "100000", path});
    PdfPages pages;
    pages.errors = run.err;
    if (run.exitCode != 0)
        return pages;
    const QRegularExpression count(R"(^Pages:\s+(\d+)$)", QRegularExpression::MultilineOption);
    pages.count = count.match(run.out).captured(1).toInt();
    const QRegularExpression size(R"(^Page\s+\d+ size:\s+([\d.]+ x [\d.]+) pts)",
                                  QRegularExpression::MultilineOption);
    for (auto it = size.globalMatch(run.out); it.hasNext();)
        pages.sizes << it.next().captured(1);
    return pages;
}

} // namespace camcore_test
