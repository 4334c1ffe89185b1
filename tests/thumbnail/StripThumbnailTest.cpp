#include "StripFixture.h"
#include "support/QtMessages.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest/QTest>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using thumbnail::ThumbnailState;

namespace {

QStringList copyFolders(const QString& tempDir) {
    return QDir(tempDir).entryList({QStringLiteral("thumbnail-strip-*")}, QDir::Dirs);
}

TEST_F(StripTest, ThumbnailsOfEveryFormatShowThePictureScaledDown) {
    struct Case {
        QString name;
        QSize size;
        QColor colour;
        QSize thumbnail;
    };
    const Case cases[] = {
        {"wide.jpg", {800, 600}, QColor(200, 30, 30), {140, 105}},
        {"wide.png", {400, 200}, QColor(30, 160, 30), {140, 70}},
        {"tall.bmp", {300, 600}, QColor(30, 30, 200), {52, 105}},
        {"page.tif", {1000, 750}, QColor(220, 200, 20), {140, 105}},
        {"small.png", {60, 40}, QColor(20, 180, 180), {60, 40}}, // never enlarged
    };
    showHost();
    for (const Case& c : cases)
        addImageItem(QFile::encodeName(writePicture(c.name, c.size, c.colour)).constData());

    for (int row = 0; row < int(std::size(cases)); ++row) {
        SCOPED_TRACE(cases[row].name.toStdString());
        ASSERT_EQ(waitForThumbnail(row), ThumbnailState::Ready);
        const QImage image = decoration(row);
        EXPECT_EQ(image.size(), cases[row].thumbnail);
        EXPECT_TRUE(similar(image.pixelColor(image.rect().center()), cases[row].colour));
    }
}

// Feeds `bytes` through a named pipe once the reader has opened it and `go` is set (or, should
// the reader be the GUI thread itself and `go` never come, after a long grace so the test ends).
class PipeWriter {
public:
    PipeWriter(const QString& path, QByteArray bytes) : m_path(QFile::encodeName(path)) {
        EXPECT_EQ(mkfifo(m_path.constData(), 0600), 0);
        m_thread = std::thread([this, bytes] { run(bytes); });
    }
    ~PipeWriter() {
        release();
        m_thread.join();
    }
    void release() {
        std::lock_guard lock(m_mutex);
        m_go = true;
        m_changed.notify_all();
    }
    bool readerWaitedForRelease() const { return m_waited; }

private:
    void run(const QByteArray& bytes) {
        int fd = -1;
        for (int attempt = 0; attempt < 6000 && fd < 0; ++attempt) { // no reader yet: ENXIO
            fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (fd < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::unique_lock lock(m_mutex);
        m_waited = m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return m_go; });
        lock.unlock();
        if (fd < 0)
            return;
        fcntl(fd, F_SETFL, 0);
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        ::close(fd);
    }

    QByteArray m_path;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_go = false;
    bool m_waited = false;
    std::thread m_thread;
};

TEST_F(StripTest, LargeJpegIsDecodedWithoutHoldingTheInterface) {
    showHost();
    QImage capture(3264, 2448, QImage::Format_RGB32);
    capture.fill(QColor(90, 120, 200));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(capture.save(&buffer, "JPEG"));

    // The bytes arrive only after the calls below have returned: a decode on the GUI thread
    // would still be waiting for them inside those calls.
    const QString path = QDir(tempDir()).filePath(QStringLiteral("capture.jpg"));
    PipeWriter writer(path, jpeg);
    const testing_support::ExpectQtWarning pipe("Cannot set file position"); // a pipe has none
    addImageItem(QFile::encodeName(path).constData());
    EXPECT_EQ(state(0), ThumbnailState::Waiting);
    EXPECT_FALSE(decoration(0).isNull()); // a placeholder meanwhile; asks for the decode
    EXPECT_EQ(state(0), ThumbnailState::Waiting);
    writer.release();

    ASSERT_EQ(waitForThumbnail(0), ThumbnailState::Ready);
    EXPECT_TRUE(writer.readerWaitedForRelease());
    EXPECT_EQ(decoration(0).size(), QSize(140, 105));
    EXPECT_TRUE(similar(decoration(0).pixelColor(70, 52), QColor(90, 120, 200)));
}

TEST_F(StripTest, PdfEntryShowsTheThumbnailAsItWasWhenAdded) {
    showHost();
    const QString pdf = writeFile("Image00001.pdf", "%PDF-1.4\n");
    const QString thumb = writePicture("ZoImage.jpg", {320, 240}, QColor(200, 40, 40));
    addImageItemEx(QFile::encodeName(pdf).constData(), QFile::encodeName(thumb).constData(),
                   "Image00001.pdf");
    // The program's next PDF capture overwrites the thumbnail at once.
    writePicture("ZoImage.jpg", {320, 240}, QColor(40, 200, 40));

    ASSERT_EQ(waitForThumbnail(0), ThumbnailState::Ready);
    EXPECT_TRUE(similar(decoration(0).pixelColor(70, 52), QColor(200, 40, 40)));
    EXPECT_EQ(QByteArray(getImageFilePath(0)), QFile::encodeName(pdf));
    EXPECT_EQ(entry(0).data(Qt::DisplayRole).toString(), QStringLiteral("Image00001.pdf"));

    // The copies live in a private folder of the temporary directory until the strip is cleared.
    ASSERT_EQ(copyFolders(tempDir()).size(), 1);
    clearAllItem(0);
    EXPECT_TRUE(copyFolders(tempDir()).isEmpty());
    EXPECT_TRUE(QFile::exists(thumb));

    addImageItemEx(QFile::encodeName(pdf).constData(), QFile::encodeName(thumb).constData(), "");
    ASSERT_EQ(copyFolders(tempDir()).size(), 1);
    host.reset();
    library.unload();
    EXPECT_TRUE(copyFolders(tempDir()).isEmpty());
}

TEST_F(StripTest, UnreadableFilesShowABrokenFilePlaceholder) {
    showHost();
    addImageItem(QFile::encodeName(writeFile("garbage.jpg", QByteArray(4096, '\x5a'))).constData());
    addImageItem(QFile::encodeName(writeFile("empty.png", {})).constData());
    addImageItem("/nowhere/missing.tif");
    addImageItemEx(QFile::encodeName(writeFile("scan.pdf", "%PDF-1.4\n")).constData(), nullptr,
                   nullptr);

    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(waitForThumbnail(row), ThumbnailState::Unreadable);
        EXPECT_EQ(decoration(row).size(), QSize(140, 105));
    }
    EXPECT_EQ(decoration(0), decoration(2));
    // A PDF without a thumbnail is a document, not a broken picture.
    EXPECT_NE(decoration(3), decoration(0));
}

TEST_F(StripTest, PictureWrittenAfterItWasListedAppearsOnceComplete) {
    showHost();
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(QColor(30, 90, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));

    // One file is listed while still empty and written in place; the other is listed before it
    // is renamed into place, as a file written safely is.
    const QString inPlace = writeFile("Image00001.png", {});
    const QString renamed = QFileInfo(inPlace).dir().filePath(QStringLiteral("Image00002.png"));
    for (const QString& path : {inPlace, renamed}) {
        addImageItem(QFile::encodeName(path).constData());
        setItemChecked(getImgCount() - 1, 1);
    }
    ASSERT_EQ(getImgCount(), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(waitForThumbnail(row), ThumbnailState::Unreadable);
        EXPECT_FALSE(decoration(row).isNull()); // a placeholder, never an empty slot
    }

    QFile file(inPlace);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(png);
    file.close();
    ASSERT_TRUE(QFile::rename(writeFile(QStringLiteral(".Image00002.png.part"), png), renamed));

    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(QTest::qWaitFor([&] { return state(row) == ThumbnailState::Ready; }, 20000));
        EXPECT_TRUE(similar(decoration(row).pixelColor(70, 52), QColor(30, 90, 200)));
    }
}

TEST_F(StripTest, FileAddedAgainIsOneEntryShowingItsNewestPicture) {
    showHost();
    // A PDF grows a page per capture; the program rewrites one thumbnail JPEG for each page.
    const QString pdf = writeFile("Image00001.pdf", "%PDF-1.4\n");
    const QString photo = writePicture("Image00002.jpg", {320, 240}, QColor(200, 200, 40));
    const QString thumb = writePicture("ZoImage.jpg", {320, 240}, QColor(200, 40, 40));
    addImageItemEx(QFile::encodeName(pdf).constData(), QFile::encodeName(thumb).constData(),
                   "Image00001.pdf");
    setItemChecked(getImgCount() - 1, 1);
    ASSERT_EQ(waitForThumbnail(0), ThumbnailState::Ready);
    setItemChecked(0, 0); // the user unchecks it before the next page

    writePicture("ZoImage.jpg", {320, 240}, QColor(40, 200, 40));
    addImageItemEx(QFile::encodeName(pdf).constData(), QFile::encodeName(thumb).constData(),
                   "Image00001.pdf");
    writePicture("ZoImage.jpg", {320, 240}, QColor(40, 40, 200)); // the next capture's
    ASSERT_EQ(getImgCount(), 1);
    EXPECT_EQ(isChecked(0), 0) << "the user's choice stays";
    ASSERT_EQ(waitForThumbnail(0), ThumbnailState::Ready);
    EXPECT_TRUE(similar(decoration(0).pixelColor(70, 52), QColor(40, 200, 40)));
    // The copy of the first page's thumbnail went with it.
    const QStringList folders = copyFolders(tempDir());
    ASSERT_EQ(folders.size(), 1);
    EXPECT_EQ(QDir(QDir(tempDir()).filePath(folders[0])).entryList(QDir::Files).size(), 1);

    // A picture written again under its name is listed once too, with the new picture.
    addImageItem(QFile::encodeName(photo).constData());
    ASSERT_EQ(waitForThumbnail(1), ThumbnailState::Ready);
    writePicture("Image00002.jpg", {320, 240}, QColor(40, 200, 200));
    addImageItem(QFile::encodeName(photo).constData());
    ASSERT_EQ(getImgCount(), 2);
    ASSERT_EQ(waitForThumbnail(1), ThumbnailState::Ready);
    EXPECT_TRUE(similar(decoration(1).pixelColor(70, 52), QColor(40, 200, 200)));
    EXPECT_EQ(QByteArray(getImageFilePath(0)), QFile::encodeName(pdf));
    EXPECT_EQ(QByteArray(getImageFilePath(1)), QFile::encodeName(photo));
}

} // namespace
