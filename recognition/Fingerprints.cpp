#include "Fingerprints.h"

#include "FingerStore.h"
#include "Settings.h"
#include "platform/Language.h"
#include "platform/Message.h"

#include <QFile>

#include <cstdarg>
#include <cstdio>

namespace {

// The operations leave a few lines on standard output, for whoever runs the program from a
// terminal; a windowed start shows none of them.
[[gnu::format(printf, 1, 2)]] void trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

QString notice(int language) {
    return platform::text(language, "提示", "Information");
}

// The library for the length of one operation.
class Session {
public:
    Session(TesoLiveLoader& library, const QString& path) : m_library(library) {
        QString modulePath;
        m_open = m_library.load(path, m_handle, &modulePath);
        if (m_open)
            trace(" Load DLL in %s\n", QFile::encodeName(modulePath).constData());
        else
            trace("Cann't open %s driver!\r\n", TESOLIVE_LIBRARY_FILE);
    }
    ~Session() { m_library.free(m_handle); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool open() const { return m_open; }
    int handle() const { return m_handle; }

private:
    TesoLiveLoader& m_library;
    int m_handle = 0;
    bool m_open = false;
};

// A text the reader wrote into a buffer of TC_TEXT_BUFFER bytes, or nothing when the call failed
// or left the buffer without text or without a terminator.
QByteArray takenText(int result, const char (&buffer)[TC_TEXT_BUFFER]) {
    const qsizetype length = qstrnlen(buffer, TC_TEXT_BUFFER);
    if (result < 0 || length == 0 || length == TC_TEXT_BUFFER)
        return {};
    return QByteArray(buffer, length);
}

} // namespace

Fingerprints::Fingerprints(const Settings& settings, QString programDir)
    : m_settings(settings), m_libraryPath(programDir + QStringLiteral(TESOLIVE_LIBRARY_FILE)) {}

QString Fingerprints::storePath() const {
    return QFile::decodeName(m_settings.workPath + "/fingertian.dat");
}

void Fingerprints::enroll(const QString& name) {
    const int language = m_settings.language;
    if (name.isEmpty()) {
        platform::showMessage(notice(language),
                              platform::text(language, "请输入姓名!", "Please enter a name."));
        return;
    }
    char buffer[TC_TEXT_BUFFER] = {};
    const Session session(m_library, m_libraryPath);
    if (!session.open()) {
        showNoReader();
        return;
    }
    trace("All success, now begin to \" \"...\r\n");
    const int result = m_library.doTemplet()(session.handle(), buffer);
    const QByteArray templet = takenText(result, buffer);
    if (templet.isEmpty()) {
        trace("TcDoTemplet\tnRet = %d \n", result);
        platform::showMessage(notice(language),
                              platform::text(language, "指纹采集失败, 请重新采集!",
                                             "The finger was not read; please try again."));
        return;
    }
    trace("Reg=[%s]\r\n", templet.constData());
    const FingerStore store(storePath());
    if (store.append(name, templet))
        platform::showMessage(notice(language),
                              platform::text(language, "指纹采集完成!", "The finger is enrolled."));
    else
        platform::showMessage(notice(language),
                              platform::text(language, "指纹未保存: 无法写入 %1",
                                             "The finger was not saved: %1 cannot be written")
                                  .arg(store.path()));
}

bool Fingerprints::readerPresent() const {
    return Session(m_library, m_libraryPath).open();
}

void Fingerprints::match() {
    const int language = m_settings.language;
    const std::optional<QList<FingerRecord>> records = FingerStore(storePath()).read();
    if (!records) {
        // No caption of its own: the desktop shows the program's name, as for any untitled box.
        platform::showMessage(QString(), platform::text(language, "未发现注册的指纹信息!",
                                                        "No enrolled fingers were found."));
        return;
    }
    const Session session(m_library, m_libraryPath);
    if (!session.open()) {
        showNoReader();
        return;
    }
    platform::showMessage(notice(language), platform::text(language, "请将手指放在指纹仪上!",
                                                           "Please lay a finger on the reader."));

    char buffer[TC_TEXT_BUFFER] = {};
    const int result = m_library.doFeature()(session.handle(), buffer);
    const QByteArray feature = takenText(result, buffer);
    if (feature.isEmpty())
        trace("TcDoFeature\tnRet = %d \n", result);
    else
        trace("Ver=[%s]\r\n", feature.constData());

    // A failed capture still goes through the records; the library refuses an empty text, and an
    // empty one is never taken for a match here either.
    for (const FingerRecord& record : *records) {
        const int score = m_library.safeMatch()(0, record.templet.constData(), feature.constData(),
                                                TC_LEVEL_DEFAULT);
        if (score >= 0 && !feature.isEmpty() && !record.templet.isEmpty()) {
            platform::showMessage(notice(language),
                                  platform::text(language, "比对成功, 输入指纹者为: %1",
                                                 "Matched: the finger is %1's")
                                      .arg(record.name));
            return;
        }
        trace("FPIFpMatch\tnRet = %d \n", score);
    }
    platform::showMessage(QStringLiteral(""), platform::text(language, "未发现相关指纹!",
                                                             "No enrolled finger matches."));
}

// The library finds no reader, or is not there: the user learns which file it would have been.
void Fingerprints::showNoReader() const {
    const int language = m_settings.language;
    platform::showMessage(
        notice(language),
        platform::text(language, "未发现指纹仪, 或无法加载其驱动 %1。",
                       "No fingerprint reader was found, or its library %1 could not be "
                       "loaded.")
            .arg(m_libraryPath));
}
