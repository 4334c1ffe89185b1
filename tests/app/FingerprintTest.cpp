// Enrolment and matching as the user does them: a name typed into the fingerprint dialog, its
// buttons clicked, generated fingers laid on the virtual reader. What is checked is what the user
// gets: the messages, and the bytes of the store in the work folder.
#include "AppFixture.h"

#include "Fingerprints.h"
#include "QFingerShowDlg.h"
#include "Settings.h"
#include "SyntheticFinger.h"
#include "TesoLiveLibrary.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

namespace {

using namespace app_test;
using Message = QPair<QString, QString>;

constexpr int kRecord = 523;
const QString kNotice = QStringLiteral("提示");
const Message kPrompt{kNotice, QStringLiteral("请将手指放在指纹仪上!")};
const Message kEnrolled{kNotice, QStringLiteral("指纹采集完成!")};
const Message kNoMatch{QString(), QStringLiteral("未发现相关指纹!")};

Message found(const QString& name) {
    return {kNotice, QStringLiteral("比对成功, 输入指纹者为: ") + name};
}

QString storePath() {
    return papyraDir() + QStringLiteral("/fingertian.dat");
}

QByteArray store() {
    return testing_support::readFile(storePath());
}

void writeStore(const QByteArray& bytes) {
    QFile file(storePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Each record's template field holds printable text, its terminator and nothing after it.
void expectWellFormedTemplates(const QByteArray& bytes) {
    for (qsizetype at = 0; at + kRecord <= bytes.size(); at += kRecord) {
        const QByteArray field = bytes.mid(at + 10, kRecord - 10);
        const qsizetype end = field.indexOf('\0');
        EXPECT_GT(end, 0) << "record at " << at;
        for (qsizetype i = 0; i < end; ++i)
            EXPECT_TRUE(field[i] > ' ' && field[i] < 127) << "record at " << at;
        EXPECT_EQ(field.mid(end), QByteArray(field.size() - end, '\0')) << "record at " << at;
    }
}

class FingerprintTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(m_fingers.isValid());
        m_form = makeForm();
        m_form->applyLanguage(0); // the messages below are the Chinese window's
        m_dialog = m_form->findChild<QFingerShowDlg*>();
        ASSERT_NE(m_dialog, nullptr);
        EXPECT_FALSE(m_dialog->isVisible()); // made at start-up, shown by the command
        m_form->onFingerRecog();
    }

    void TearDown() override {
        m_form.reset();
        unsetenv(TESOLIVE_VIRTUAL_FINGER_ENV);
        AppTest::TearDown();
    }

    template <typename T> T* widget(const char* name) {
        return m_dialog->findChild<T*>(QString::fromLatin1(name));
    }

    // Puts `image` on the reader's glass.
    void show(const synthetic::Impression& image) {
        const QString path = m_fingers.filePath(QStringLiteral("%1.pgm").arg(++m_images));
        synthetic::writePgm(image, path.toStdString());
        setenv(TESOLIVE_VIRTUAL_FINGER_ENV, QFile::encodeName(path).constData(), 1);
    }

    // Lays the finger of `identity` on the reader, for the take-th time.
    void lay(std::uint32_t identity, int take) {
        show(synthetic::Finger(identity).impression(take));
    }

    // Lays nothing on the reader: white glass.
    void layNothing() {
        synthetic::Impression blank;
        blank.pixels.assign(std::size_t(blank.width) * std::size_t(blank.height), 255);
        show(blank);
    }

    QList<Message> enrol(const QString& name, std::uint32_t identity, int take = 0) {
        lay(identity, take);
        return enrolLaidFinger(name);
    }

    QList<Message> enrolLaidFinger(const QString& name) {
        widget<QLineEdit>("lineEdit")->setText(name);
        widget<QPushButton>("pushButton")->click();
        return newMessages();
    }

    QList<Message> identify(std::uint32_t identity, int take = 1) {
        lay(identity, take);
        widget<QPushButton>("pushButton_2")->click();
        return newMessages();
    }

    // The messages shown since the last call.
    QList<Message> newMessages() {
        const QList<Message> fresh = messages().mid(m_seen);
        m_seen = messages().size();
        return fresh;
    }

    QTemporaryDir m_fingers;
    std::unique_ptr<MainForm> m_form;
    QFingerShowDlg* m_dialog = nullptr;
    qsizetype m_seen = 0;
    int m_images = 0;
};

TEST_F(FingerprintTest, EnrolsUnderANameAndIdentifiesTheFingerOnTheReader) {
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("指纹识别"));
    EXPECT_EQ(widget<QLabel>("label")->text(), QStringLiteral("姓  名:"));
    EXPECT_EQ(widget<QPushButton>("pushButton")->text(), QStringLiteral("指纹采集"));
    EXPECT_EQ(widget<QPushButton>("pushButton_2")->text(), QStringLiteral("指纹比对"));
    // No reader answered when the window started: its button is not offered.
    EXPECT_TRUE(m_form->findChild<QPushButton*>("pushButtonFinger")->isHidden());

    EXPECT_EQ(enrol(QString(), 1), QList<Message>{Message(kNotice, QStringLiteral("请输入姓名!"))});
    layNothing();
    EXPECT_EQ(enrolLaidFinger(QStringLiteral("张三")),
              QList{Message(kNotice, QStringLiteral("指纹采集失败, 请重新采集!"))});
    EXPECT_FALSE(QFile::exists(storePath()));

    EXPECT_EQ(enrol(QStringLiteral("张三"), 1), QList{kEnrolled});
    EXPECT_EQ(enrol(QStringLiteral("李四"), 2), QList{kEnrolled});
    const QByteArray bytes = store();
    ASSERT_EQ(bytes.size(), 2 * kRecord);
    EXPECT_EQ(bytes.left(10), QByteArray("张三\0\0\0\0", 10));
    EXPECT_EQ(bytes.mid(kRecord, 10), QByteArray("李四\0\0\0\0", 10));
    expectWellFormedTemplates(bytes);

    EXPECT_EQ(identify(2), (QList{kPrompt, found(QStringLiteral("李四"))}));
    EXPECT_EQ(identify(1), (QList{kPrompt, found(QStringLiteral("张三"))}));
    EXPECT_EQ(identify(3), (QList{kPrompt, kNoMatch}));
    layNothing(); // the records are still gone through, and none matches nothing
    widget<QPushButton>("pushButton_2")->click();
    EXPECT_EQ(newMessages(), (QList{kPrompt, kNoMatch}));
    // Loaded for each operation only.
    EXPECT_FALSE(tesoLiveMapped());
}

TEST_F(FingerprintTest, MatchingWithoutWholeRecordsFindsNobody) {
    const Message nothingEnrolled{QString(), QStringLiteral("未发现注册的指纹信息!")};
    EXPECT_EQ(identify(1), QList{nothingEnrolled});
    writeStore({});
    EXPECT_EQ(identify(1), QList{nothingEnrolled});

    // Not empty, so the finger is still taken, but there is nothing to compare it with.
    const QByteArray partial(kRecord - 1, 'x');
    writeStore(partial);
    EXPECT_EQ(identify(1), (QList{kPrompt, kNoMatch}));
    EXPECT_EQ(store(), partial);
}

TEST_F(FingerprintTest, LongNamesAreCutAtACharacterBoundaryAndTheFirstMatchIsReported) {
    for (const QString& name : {QStringLiteral("一二三四五"), QStringLiteral("abcdefghijkl"),
                                QStringLiteral("abcdefgh一"), QStringLiteral("😀😀😀")})
        EXPECT_EQ(enrol(name, 1 + store().size() / kRecord), QList{kEnrolled});
    const QByteArray bytes = store();
    ASSERT_EQ(bytes.size(), 4 * kRecord);
    EXPECT_EQ(bytes.mid(0 * kRecord, 10), QByteArray("一二三\0", 10));
    EXPECT_EQ(bytes.mid(1 * kRecord, 10), QByteArray("abcdefghij"));
    EXPECT_EQ(bytes.mid(2 * kRecord, 10), QByteArray("abcdefgh\0\0", 10));
    EXPECT_EQ(bytes.mid(3 * kRecord, 10), QByteArray("😀😀\0\0", 10));

    EXPECT_EQ(identify(1), (QList{kPrompt, found(QStringLiteral("一二三"))}));
    EXPECT_EQ(identify(2), (QList{kPrompt, found(QStringLiteral("abcdefghij"))}));

    // The same finger again under another name: the earlier record answers.
    EXPECT_EQ(enrol(QStringLiteral("后来者"), 1, 2), QList{kEnrolled});
    EXPECT_EQ(identify(1, 3), (QList{kPrompt, found(QStringLiteral("一二三"))}));
}

TEST_F(FingerprintTest, ATornTailIsIgnoredAndCutOffBeforeTheNextRecord) {
    enrol(QStringLiteral("一"), 1);
    enrol(QStringLiteral("二"), 2);
    const QByteArray two = store();
    ASSERT_EQ(two.size(), 2 * kRecord);
    writeStore(two + "tail");
    EXPECT_EQ(identify(2), (QList{kPrompt, found(QStringLiteral("二"))}));

    const QByteArray first = two.left(kRecord);
    writeStore(first + QByteArray(200, 'x'));
    EXPECT_EQ(enrol(QStringLiteral("三"), 3), QList{kEnrolled});
    const QByteArray bytes = store();
    ASSERT_EQ(bytes.size(), 2 * kRecord);
    EXPECT_EQ(bytes.left(kRecord), first);
    EXPECT_EQ(bytes.mid(kRecord, 10), QByteArray("三\0\0\0\0\0\0\0", 10));
    expectWellFormedTemplates(bytes);
    EXPECT_EQ(identify(3), (QList{kPrompt, found(QStringLiteral("三"))}));
}

TEST_F(FingerprintTest, ARecordThatCannotBeWrittenIsReportedAndLeavesNoPart) {
    const auto notSaved = [](const QList<Message>& shown) {
        return shown.size() == 1 && shown[0].first == kNotice &&
               shown[0].second.startsWith(QStringLiteral("指纹未保存")) &&
               shown[0].second.contains(storePath());
    };
    ASSERT_TRUE(QDir().mkpath(storePath()));
    EXPECT_TRUE(notSaved(enrol(QStringLiteral("张三"), 1)));
    ASSERT_TRUE(QDir().rmdir(storePath()));

    EXPECT_EQ(enrol(QStringLiteral("张三"), 1), QList{kEnrolled});
    const QByteArray one = store();
    // A file size limit a little past the first record lets the next write go out only in part.
    lay(2, 0);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = kRecord + 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const QList<Message> shown = enrolLaidFinger(QStringLiteral("李四"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(notSaved(shown));
    EXPECT_EQ(store(), one);

    EXPECT_EQ(enrol(QStringLiteral("李四"), 2), QList{kEnrolled});
    EXPECT_EQ(store().size(), 2 * kRecord);
}

TEST_F(FingerprintTest, WithoutAReaderOrItsLibraryTheUserIsToldWhyAndNothingIsStored) {
    const auto noReader = [](const QList<Message>& shown) {
        return shown.size() == 1 && shown[0].second.contains(TESOLIVE_LIBRARY_FILE);
    };
    // The library loads, but there is no reader to give a handle.
    unsetenv(TESOLIVE_VIRTUAL_FINGER_ENV);
    EXPECT_TRUE(noReader(enrolLaidFinger(QStringLiteral("张三"))));
    EXPECT_FALSE(QFile::exists(storePath()));
    const QByteArray junk(kRecord, 'x');
    writeStore(junk);
    widget<QPushButton>("pushButton_2")->click();
    EXPECT_TRUE(noReader(newMessages()));

    // No library in the program directory.
    QTemporaryDir emptyProgramDir;
    ASSERT_TRUE(emptyProgramDir.isValid());
    Settings settings;
    settings.workPath = QFile::encodeName(papyraDir());
    Fingerprints fingerprints(settings, emptyProgramDir.path() + '/');
    lay(1, 0);
    fingerprints.enroll(QStringLiteral("张三"));
    EXPECT_TRUE(noReader(newMessages()));
    fingerprints.match();
    const QList<Message> shown = newMessages();
    EXPECT_TRUE(noReader(shown));
    EXPECT_TRUE(shown.value(0).second.startsWith("No fingerprint reader")); // English by default
    EXPECT_EQ(store(), junk);
}

} // namespace
