// Captures finished behind the caller: the result of each job reaches the GUI thread in the
// order the jobs were taken, with its files or the reason nothing was written; the byte bound
// answers busy at once and loses nothing it took; the automatic capture photographs the frame
// the page watch judged settled.
#include "CamCoreTesting.h"
#include "EngineFixture.h"
#include "EngineTestSupport.h"
#include "ZoApi.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace engine_test;
using camcore::testing::frameCounts;
using camcore::testing::setCaptureByteLimit;
using camcore::testing::turnVirtualPage;

namespace {

struct Ended {
    int job = 0;
    int written = 0;
    int reason = -1;
    QString reasonText;
    QStringList files;
    QSize picture;
    bool onGuiThread = false;
    bool filesThere = true; // every file named existed when the result came
};

void recordEnd(const ZoCaptureResult* result, void* user) {
    Ended ended;
    ended.job = result->job;
    ended.written = result->written;
    ended.reason = result->reason;
    ended.reasonText = QString::fromUtf8(result->reasonText);
    ended.files = QString::fromLocal8Bit(result->files).split('\n', Qt::SkipEmptyParts);
    if (result->pictureRgb != nullptr)
        ended.picture = QSize(result->pictureWidth, result->pictureHeight);
    ended.onGuiThread = QThread::currentThread() == qApp->thread();
    for (const QString& file : ended.files)
        ended.filesThere = ended.filesThere && QFile::exists(file);
    static_cast<QList<Ended>*>(user)->push_back(ended);
}

class QueuedCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZoInit();
        ZoSetDefaultResolution(cam, 5);
        ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    }
    void TearDown() override {
        setCaptureByteLimit(0);
        ZoSetPDFMode(cam, 1);
        ZoCloseCamera(cam);
        // The results of the jobs the close finished call back into `ended`, which goes next.
        QCoreApplication::sendPostedEvents();
    }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    int queue(const QString& name) {
        return ZoCaptureQueued(cam, QFile::encodeName(path(name)).constData(), &recordEnd, &ended);
    }
    bool waitForEnds(int count) {
        return QTest::qWaitFor([&] { return ended.size() >= count; }, 60000);
    }

    const int cam = 1;
    QTemporaryDir dir;
    QList<Ended> ended;
};

} // namespace

TEST_F(QueuedCaptureTest, ResultsComeInPressOrderWithFilesOrTheirReason) {
    QList<int> jobs;
    for (const QString name : {"a.png", "b.jpg", "missing/c.jpg", "d.tif", "e.pdf"})
        jobs.push_back(queue(name));
    EXPECT_EQ(queue("f.txt"), -ZO_CAPTURE_NAME_REFUSED);
    EXPECT_EQ(ZoCaptureQueued(9, "x.jpg", &recordEnd, &ended), -ZO_CAPTURE_CAMERA_LOST);
    ASSERT_TRUE(waitForEnds(5));
    ASSERT_EQ(ended.size(), 5); // nothing for the refused ones

    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ended[i].job, jobs[i]);
        EXPECT_TRUE(ended[i].onGuiThread);
        EXPECT_TRUE(ended[i].filesThere);
    }
    EXPECT_TRUE(jobs[0] > 0 && jobs[1] == jobs[0] + 1);
    EXPECT_EQ(ended[0].files, QStringList({path("a.png")}));
    EXPECT_EQ(ended[2].written, 0);
    EXPECT_EQ(ended[2].reason, ZO_CAPTURE_FOLDER_MISSING);
    EXPECT_EQ(ended[2].reasonText, "folder missing");
    EXPECT_TRUE(ended[2].files.isEmpty());
    EXPECT_EQ(ended[4].reason, ZO_CAPTURE_OK);
    // The camera's JPEG, stored without decoding it whole, is shown by a smaller decode.
    EXPECT_TRUE(ended[1].picture.width() >= 400 && ended[1].picture.width() <= 640 &&
                ended[1].picture.width() * 3 == ended[1].picture.height() * 4)
        << ended[1].picture.width();
    EXPECT_EQ(ended[4].picture, QSize(640, 480)); // a PDF is shown through its own page
    EXPECT_EQ(ZoCapturesPending(cam), 0);

    // The camera gone: the synchronous capture says why in the trace.
    ZoCloseCamera(cam);
    EXPECT_EQ(ZoCapture(cam, QFile::encodeName(path("g.jpg")).constData()), 0);
    EXPECT_TRUE(traceLines().last().endsWith("-> 0 [camera lost]"))
        << traceLines().last().toStdString();
}

TEST_F(QueuedCaptureTest, TheBoundAnswersBusyAtOnceAndNothingTakenIsLost) {
    setCaptureByteLimit(1); // one job at a time: it is always taken while nothing waits
    const int first = queue("first.png");
    EXPECT_GT(first, 0);
    EXPECT_EQ(queue("refused.png"), -ZO_CAPTURE_BUSY);
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_TRUE(QFile::exists(path("first.png")));
    EXPECT_FALSE(QFile::exists(path("refused.png")));

    // Ten pages of one PDF taken at once, and the camera closed right away: all ten are in it.
    setCaptureByteLimit(0);
    ASSERT_EQ(ZoSetPDFMode(cam, 0), 1);
    for (int i = 0; i < 10; ++i)
        ASSERT_GT(queue("book.pdf"), 0) << i;
    ZoCloseCamera(cam);
    EXPECT_EQ(ZoCapturesPending(cam), 0);
    EXPECT_EQ(camcore_test::pdfPages(path("book.pdf")).count, 10);
    // Their results still come, after the close: `ended` must outlive them.
    EXPECT_TRUE(waitForEnds(11));
}

// Taking pages out waits for the pages queued before it, and the pages queued after it follow
// the ones left.
TEST_F(QueuedCaptureTest, LastPagesComeOutAfterThePagesQueuedBefore) {
    ASSERT_EQ(ZoSetPDFMode(cam, 0), 1);
    for (int i = 0; i < 3; ++i)
        ASSERT_GT(queue("book.pdf"), 0) << i;
    QList<int> left;
    const auto note = [](int32_t pagesLeft, void* user) {
        static_cast<QList<int>*>(user)->push_back(pagesLeft);
    };
    EXPECT_EQ(ZoRemoveLastPdfPagesQueued(cam, 0, note, &left), 0);
    ASSERT_EQ(ZoRemoveLastPdfPagesQueued(cam, 2, note, &left), 1);
    ASSERT_GT(queue("book.pdf"), 0);
    ASSERT_EQ(ZoRemoveLastPdfPagesQueued(cam, 5, note, &left), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return left.size() == 2; }, 60000));
    EXPECT_EQ(left, QList<int>({1, -1}));
    EXPECT_EQ(ZoWaitPdfPages(cam), 0);
    EXPECT_EQ(camcore_test::pdfPages(path("book.pdf")).count, 2);
}

namespace {

struct SettledShot {
    int cam = 0;
    QString folder;
    int calls = 0;
};
SettledShot* g_shot = nullptr;

// Called for a settled page: the page is turned and new frames arrive before the program gets
// round to its capture, as when the window was busy; the capture must still show the page that
// settled.
void captureLate(int32_t) {
    SettledShot& shot = *g_shot;
    if (shot.calls++ > 0)
        return;
    const QByteArray seen = QFile::encodeName(shot.folder + "/seen.jpg");
    ASSERT_EQ(ZoCapture(shot.cam, seen.constData()), 1);
    ASSERT_TRUE(turnVirtualPage(shot.cam));
    const std::uint64_t until = frameCounts(shot.cam).frames + 8;
    const QDeadlineTimer deadline(20000);
    while (frameCounts(shot.cam).frames < until && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    const QByteArray settled = QFile::encodeName(shot.folder + "/settled.jpg");
    ASSERT_GT(ZoCaptureQueued(shot.cam, settled.constData(), nullptr, nullptr), 0);
}

} // namespace

namespace {

// The mean difference of two pictures of one size, 0..255.
double difference(const QString& a, const QString& b) {
    const QImage first = QImage(a).convertToFormat(QImage::Format_Grayscale8);
    const QImage second = QImage(b).convertToFormat(QImage::Format_Grayscale8);
    if (first.isNull() || first.size() != second.size())
        return 255;
    double total = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x)
            total += std::abs(first.constScanLine(y)[x] - second.constScanLine(y)[x]);
    return total / (double(first.width()) * first.height());
}

} // namespace

TEST_F(QueuedCaptureTest, AutomaticCaptureTakesTheFrameThatSettled) {
    SettledShot shot{cam, dir.path()};
    g_shot = &shot;
    ZoSetAutoCapCB(cam, &captureLate);
    ZoSetAutoCap(cam, true); // the page lying there is taken once the camera settles on it
    ASSERT_TRUE(QTest::qWaitFor([&] { return shot.calls > 0; }, 30000));
    ZoSetAutoCap(cam, false);
    g_shot = nullptr;
    ASSERT_EQ(ZoCapture(cam, QFile::encodeName(path("next.jpg")).constData()), 1);

    const double toSeen = difference(path("settled.jpg"), path("seen.jpg"));
    const double toNext = difference(path("settled.jpg"), path("next.jpg"));
    EXPECT_LT(toSeen * 3, toNext) << toSeen << " " << toNext;
}

namespace {

struct Reading {
    QByteArray capturePath; // captured during the callback
    QList<int> numbers;
    QStringList markups;
    QList<int> reasons;
};

void captureWhatWasRead(int32_t number, const char* markup, int32_t reason, void* user) {
    Reading& reading = *static_cast<Reading*>(user);
    reading.numbers.append(number);
    reading.markups.append(QString::fromUtf8(markup));
    reading.reasons.append(reason);
    if (number == 1)
        ZoCaptureQueued(1, reading.capturePath.constData(), nullptr, nullptr);
}

} // namespace

// A queued reading reads the frame of the call: with the next page under the camera by the time
// it ends, it still reads the first page's codes, and a capture made in its callback holds that
// page. Readings answer in the order asked for.
TEST_F(QueuedCaptureTest, QueuedBarcodeReadingReadsTheFrameOfTheCallAndItsCaptureHoldsIt) {
    ASSERT_EQ(ZoCapture(cam, QFile::encodeName(path("seen.jpg")).constData()), 1);
    Reading reading;
    reading.capturePath = QFile::encodeName(path("read.jpg"));
    ASSERT_EQ(ZoReadBarcodeQueued(cam, &captureWhatWasRead, &reading), 1);
    ASSERT_TRUE(turnVirtualPage(cam));
    const std::uint64_t until = frameCounts(cam).frames + 8;
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameCounts(cam).frames >= until; }, 20000));
    ASSERT_EQ(ZoReadBarcodeQueued(cam, &captureWhatWasRead, &reading), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reading.numbers.size() == 2; }, 30000));
    EXPECT_EQ(reading.numbers, QList<int>({1, 2}));
    EXPECT_EQ(ZoWaitPdfPages(cam), 0);
    ASSERT_EQ(ZoCapture(cam, QFile::encodeName(path("next.jpg")).constData()), 1);

    const double toSeen = difference(path("read.jpg"), path("seen.jpg"));
    const double toNext = difference(path("read.jpg"), path("next.jpg"));
    EXPECT_LT(toSeen * 3, toNext) << toSeen << " " << toNext;
    EXPECT_EQ(reading.reasons, QList<int>({ZO_BARCODE_OK, ZO_BARCODE_OK}));
    EXPECT_TRUE(reading.markups[0].contains("DOCSCAN-PAGE-1")) << reading.markups[0].toStdString();
    EXPECT_TRUE(reading.markups[1].contains("DOCSCAN-PAGE-2")) << reading.markups[1].toStdString();
    EXPECT_EQ(ZoReadBarcodeQueued(99, &captureWhatWasRead, &reading), -ZO_BARCODE_CAMERA_LOST);
}
