#include "StripFixture.h"
#include "support/QtMessages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QUrl>
#include <QtTest/QTest>

namespace {

TEST_F(StripTest, KeyboardMovesAndSpaceTogglesTheCheck) {
    showHost();
    for (int i = 0; i < 4; ++i)
        addImageItem(QByteArray("/nowhere/page") + QByteArray::number(i) + ".jpg");
    QAbstractItemView* strip = view();
    strip->setFocus();
    strip->setCurrentIndex(entry(0));

    QTest::keyClick(strip, Qt::Key_End);
    EXPECT_EQ(strip->currentIndex().row(), 3);
    QTest::keyClick(strip, Qt::Key_Up);
    EXPECT_EQ(strip->currentIndex().row(), 2);
    QTest::keyClick(strip, Qt::Key_Space);
    EXPECT_EQ(isChecked(2), 1);
    QTest::keyClick(strip, Qt::Key_Space);
    EXPECT_EQ(isChecked(2), 0);
}

TEST_F(StripTest, NewestEntryStaysInView) {
    showHost();
    QAbstractItemView* strip = view();
    const auto inView = [&](int row) {
        return strip->viewport()->rect().contains(strip->visualRect(entry(row)));
    };
    host->resize(166, 300); // about two entries high
    for (int i = 0; i < 12; ++i)
        addImageItem(QByteArray("/nowhere/scan") + QByteArray::number(i) + ".jpg");
    EXPECT_TRUE(inView(11));
    EXPECT_FALSE(inView(0));

    // The main window shrinks: its strip host shrinks with it.
    host->resize(166, 180);
    resizeThumb();
    EXPECT_TRUE(inView(11));

    // Scrolled back by the user, the strip stays there until the next capture.
    strip->verticalScrollBar()->setValue(0);
    host->resize(166, 170);
    EXPECT_TRUE(inView(0));
    addImageItem("/nowhere/scan12.jpg");
    EXPECT_TRUE(inView(12));
    addImageItem("/nowhere/scan3.jpg"); // listed already: shown again
    EXPECT_EQ(getImgCount(), 13);
    EXPECT_TRUE(inView(3));
}

// Stands in for the desktop's viewer: records what the strip asks it to open.
class DesktopViewer : public QObject {
    Q_OBJECT
public:
    DesktopViewer() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~DesktopViewer() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url.toLocalFile(); }
};

// Right-clicks `row` as the window system delivers it and returns the menu that opens.
QMenu* rightClick(QAbstractItemView* strip, const QModelIndex& row) {
    QWidget* window = strip->window();
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                      strip->viewport()->mapTo(window, strip->visualRect(row).center()));
    QMenu* menu = nullptr;
    (void)QTest::qWaitFor([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr;
    });
    return menu;
}

QStringList texts(const QMenu* menu) {
    QStringList result;
    for (const QAction* item : menu->actions())
        if (!item->isSeparator())
            result << item->text();
    return result;
}

void choose(QMenu* menu, int position) {
    QAction* item = menu->actions().value(position);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

TEST_F(StripTest, RightClickMenuOpensShowsAndRemovesTheEntry) {
    // The offscreen platform cannot raise a popup or give it the keyboard.
    const testing_support::ExpectQtWarning raise("does not support raise");
    const testing_support::ExpectQtWarning grab("does not support grabbing");
    const QStringList chinese = {QStringLiteral("打开"), QStringLiteral("在文件夹中显示"),
                                 QStringLiteral("从列表中移除")};
    const QStringList english = {QStringLiteral("Open"), QStringLiteral("Show in folder"),
                                 QStringLiteral("Remove from the list")};
    setLanguage(0); // before the strip exists: it starts in Chinese
    showHost();
    QStringList files;
    for (const char* name : {"one.png", "two.png", "three.png", "four.png"}) {
        files << writePicture(QString::fromLatin1(name), {30, 20}, Qt::magenta);
        addImageItem(QFile::encodeName(files.last()).constData());
    }
    QAbstractItemView* strip = view();
    {
        DesktopViewer viewer;
        setLanguage(2); // ignored
        QMenu* menu = rightClick(strip, entry(1));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(texts(menu), chinese);
        choose(menu, 0);
        EXPECT_EQ(viewer.opened, QStringList{files[1]});

        setLanguage(1);
        menu = rightClick(strip, entry(2));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(texts(menu), english);
        choose(menu, 1);
        ASSERT_EQ(viewer.opened.size(), 2);
        EXPECT_EQ(QDir(viewer.opened[1]), QFileInfo(files[2]).dir());

        menu = rightClick(strip, entry(0));
        ASSERT_NE(menu, nullptr);
        choose(menu, 3); // after the separator
        strip->setFocus();
        QTest::keyClick(strip, Qt::Key_End);
        QTest::keyClick(strip, Qt::Key_Delete); // the same from the keyboard
        ASSERT_EQ(getImgCount(), 2);
        EXPECT_EQ(QByteArray(getImageFilePath(0)), QFile::encodeName(files[1]));
        for (const QString& file : files)
            EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    }

    // No viewer for the file: the user is told so rather than left waiting.
    const testing_support::ExpectQtWarning noViewer("openDocument");
    QMenu* menu = rightClick(strip, entry(1));
    ASSERT_NE(menu, nullptr);
    choose(menu, 0);
    QMessageBox* box = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return box != nullptr;
    }));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Could not open %1").arg(files[2]));
    box->close();
}

} // namespace

#include "StripViewTest.moc"
