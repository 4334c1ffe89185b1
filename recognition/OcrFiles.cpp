#include "OcrFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ocr_files {
namespace {

// Unbuffered: Qt 6.4's commit() renames even when flushing its buffer failed.
QString writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && file.commit())
        return {};
    return file.errorString();
}

// RTF's \uN takes a signed 16-bit number; the "?" after it is what a reader without Unicode
// shows. Characters beyond the 16-bit plane go as their two UTF-16 halves, as Word writes them.
void appendEscaped(QByteArray& rtf, char16_t unit) {
    const auto code = static_cast<qint16>(unit);
    rtf += "\\u" + QByteArray::number(code) + '?';
}

} // namespace

QString writeText(const QString& path, const QString& text) {
    return writeWhole(path, text.toUtf8());
}

QByteArray rtfOf(const QString& text) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                     "{\\fonttbl{\\f0\\fnil SimSun;}}\\f0\\fs24\n";
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\n')
            rtf += "\\par\n";
        else if (unit == u'\r')
            continue;
        else if (unit == u'\t')
            rtf += "\\tab ";
        else if (unit == u'\\' || unit == u'{' || unit == u'}')
            rtf += '\\' + QByteArray(1, char(unit));
        else if (unit >= 0x20 && unit < 0x80)
            rtf += char(unit);
        else
            appendEscaped(rtf, unit);
    }
    rtf += "}\n";
    return rtf;
}

QString writeRtf(const QString& path, const QString& text) {
    return writeWhole(path, rtfOf(text));
}

// The library writes the workbook's zip itself and offers no writing to memory: it writes into
// a private folder beside nothing else, and the finished file is moved into place whole.
QString writeWorkbook(const QString& path, const QString& text) {
    QTemporaryDir scratch(QFileInfo(path).absolutePath() + QStringLiteral("/.ocr-XXXXXX"));
    if (!scratch.isValid())
        return scratch.errorString();
    const QByteArray working = QFile::encodeName(scratch.filePath(QStringLiteral("book.xlsx")));
    lxw_workbook* book = workbook_new(working.constData());
    if (book == nullptr)
        return QStringLiteral("the workbook could not be made");
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    const QStringList lines = text.split(QLatin1Char('\n'));
    lxw_row_t row = 0;
    for (const QString& line : lines) {
        QString cell = line;
        cell.remove(QLatin1Char('\r'));
        const QByteArray utf8 = cell.toUtf8();
        if (!utf8.isEmpty())
            worksheet_write_string(sheet, row, 0, utf8.constData(), nullptr);
        ++row;
    }
    worksheet_set_column(sheet, 0, 0, 80, nullptr);
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR)
        return QString::fromUtf8(lxw_strerror(closed));
    // rename() replaces an older file in one step, where QFile::rename() refuses to.
    if (std::rename(working.constData(), QFile::encodeName(path).constData()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

} // namespace ocr_files
