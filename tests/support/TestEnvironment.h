#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <gtest/gtest.h>

namespace testing_support {

// The temporary home folder every test process runs in.
QString homeDir();

// Records every message box shown while it lives; the boxes return at once.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<QPair<QString, QString>>& messages() const { return m_messages; }

private:
    QList<QPair<QString, QString>> m_messages;
};

// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString& path);

// The page count `pdfinfo` reads from the PDF at `path`, or -1 when it reads none.
int pdfPageCount(const QString& path);

// The text `pdftotext` extracts from page `page` (from 1) of the PDF at `path`; empty when it
// extracts none.
QString pdfPageText(const QString& path, int page);

// True when an X server is reachable through $DISPLAY.
bool haveDisplay();

} // namespace testing_support

// Skips an X11 test when no X server is available.
#define REQUIRE_DISPLAY()                                                                          \
    do {                                                                                           \
        if (!testing_support::haveDisplay())                                                       \
            GTEST_SKIP() << "no X server; scripts/test runs this under Xvfb";                      \
    } while (false)
