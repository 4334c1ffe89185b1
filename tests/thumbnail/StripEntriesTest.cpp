#include "StripFixture.h"

#include <QFile>

namespace {

TEST(ThumbnailLibraryLoad, WrongPathOrNotALibraryLoadsNothing) {
    QLibrary missing(QStringLiteral(DOCSCANNER_BIN_DIR "/libThumbnailMissing.so"));
    EXPECT_FALSE(missing.load());
    EXPECT_EQ(missing.resolve("InitLib"), nullptr);

    QTemporaryDir dir;
    const QString fake = dir.filePath(QStringLiteral(THUMBNAIL_LIBRARY_FILE));
    QFile file(fake);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a shared object");
    file.close();
    QLibrary broken(fake);
    EXPECT_FALSE(broken.load());
    EXPECT_EQ(broken.resolve("GetImgCount"), nullptr);
}

TEST_F(StripTest, ListWorksBeforeTheHostAndShowsOnceItExists) {
    const QByteArray jpeg = QFile::encodeName(writePicture("a.jpg", {64, 48}, Qt::red));
    const QByteArray png = QFile::encodeName(writePicture("b.png", {64, 48}, Qt::green));
    const QByteArray bmp = QFile::encodeName(writePicture("c.bmp", {64, 48}, Qt::blue));
    const QByteArray tiff = QFile::encodeName(writePicture("d.tif", {64, 48}, Qt::yellow));
    const QByteArray pdf = QFile::encodeName(writeFile("e.pdf", "%PDF-1.4\n"));
    const QByteArray thumb = QFile::encodeName(writePicture("ZoImage.jpg", {64, 48}, Qt::gray));

    // The program's pattern: add, then check the new last entry.
    for (const QByteArray& path : {jpeg, png, bmp, tiff}) {
        addImageItem(path.constData());
        setItemChecked(getImgCount() - 1, 1);
    }
    addImageItemEx(pdf.constData(), thumb.constData(), "e.pdf");
    setItemChecked(getImgCount() - 1, 1);

    ASSERT_EQ(getImgCount(), 5);
    const QByteArray expected[] = {jpeg, png, bmp, tiff, pdf};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(QByteArray(getImageFilePath(i)), expected[i]);
        EXPECT_EQ(isChecked(i), 1);
    }
    setItemChecked(2, 0);
    EXPECT_EQ(isChecked(2), 0);
    EXPECT_EQ(isChecked(3), 1);

    showHost();
    ASSERT_NE(view(), nullptr);
    EXPECT_EQ(view()->model()->rowCount(), 5);
    EXPECT_EQ(entry(2).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    EXPECT_EQ(entry(4).data(Qt::DisplayRole).toString(), QStringLiteral("e.pdf"));

    clearAllItem(0);
    EXPECT_EQ(getImgCount(), 0);
    EXPECT_EQ(view()->model()->rowCount(), 0);
    EXPECT_STREQ(getImageFilePath(0), "");
}

TEST_F(StripTest, EightBitPathsComeBackByteForByte) {
    const QString path = writePicture(QStringLiteral("扫描图像 01.png"), {40, 30}, Qt::cyan);
    const QByteArray local = path.toLocal8Bit();
    showHost();
    addImageItem(local.constData());
    EXPECT_EQ(QByteArray(getImageFilePath(0)), local);
    EXPECT_EQ(entry(0).data(Qt::DisplayRole).toString(), QStringLiteral("扫描图像 01.png"));
    EXPECT_EQ(waitForThumbnail(0), thumbnail::ThumbnailState::Ready);
}

TEST_F(StripTest, BadIndicesNullPointersAndBadHostsAreIgnored) {
    initLib(0);
    initLib(uintptr_t(0xdead));
    addImageItem(nullptr);
    addImageItem("");
    addImageItemEx(nullptr, nullptr, nullptr);
    EXPECT_EQ(getImgCount(), 0);

    addImageItemEx("/nowhere/scan.pdf", nullptr, nullptr); // no thumbnail: still an entry
    addImageItemEx("/nowhere/scan2.pdf", "/nowhere/ZoImage.jpg", "");
    ASSERT_EQ(getImgCount(), 2);
    for (int index : {-1, 2, 1000, INT32_MIN}) {
        setItemChecked(index, 1);
        EXPECT_EQ(isChecked(index), 0);
        ASSERT_NE(getImageFilePath(index), nullptr);
        EXPECT_STREQ(getImageFilePath(index), "");
    }
    EXPECT_EQ(isChecked(0), 0);
    EXPECT_EQ(isChecked(1), 0);
    resizeThumb(); // no host yet
    setLanguage(-3);
    EXPECT_EQ(getImgCount(), 2);
}

TEST_F(StripTest, StripFollowsItsHost) {
    showHost();
    ASSERT_NE(view(), nullptr);
    EXPECT_EQ(view()->geometry(), host->rect());
    host->resize(166, 321);
    EXPECT_EQ(view()->geometry(), QRect(0, 0, 166, 321));

    // A hidden host sends no resize event; ResizeThumb is the program's cue.
    host->hide();
    host->resize(166, 250);
    resizeThumb();
    EXPECT_EQ(view()->geometry(), QRect(0, 0, 166, 250));

    // A second host takes the strip over.
    auto other = std::make_unique<QWidget>();
    other->resize(166, 400);
    initLib(uintptr_t(other->winId()));
    EXPECT_EQ(view(), nullptr);
    auto* moved = other->findChild<QAbstractItemView*>();
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->geometry(), QRect(0, 0, 166, 400));
    other.reset(); // the program's host may go first; the library must not touch it afterwards
    addImageItem("/nowhere/after.jpg");
    EXPECT_EQ(getImgCount(), 1);
}

} // namespace
