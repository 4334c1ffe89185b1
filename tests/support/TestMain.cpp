#include "support/QtMessages.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Points HOME and the XDG folders into a fresh temporary folder so that no test reads or writes
// the files of the user running the suite.
void isolateHome(const QTemporaryDir& home) {
    const QByteArray root = QFile::encodeName(home.path());
    for (const char* sub : {"Documents", ".config", ".local/share", ".cache", "runtime"})
        QDir().mkpath(home.path() + "/" + sub);
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/.local/share").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/.cache").constData(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
    setenv("XDG_DOCUMENTS_DIR", (root + "/Documents").constData(), 1);
    QFile::setPermissions(home.path() + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home(QDir::tempPath() + "/docscanner-test-XXXXXX");
    isolateHome(home);
    // X11 suites fall back to offscreen without an X server; their tests then skip themselves.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || (platform == "xcb" && !testing_support::haveDisplay()))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::installQtMessageCheck();
    // The offscreen platform says so for every top-level window it shows.
    const testing_support::ExpectQtWarning offscreen("does not support propagateSizeHints");
    return RUN_ALL_TESTS();
}
