#include "StripFixture.h"

#include <QAction>
#include <QFile>
#include <QtTest/QTest>

namespace {

QAction* action(QWidget* view, const char* name) {
    return view ? view->findChild<QAction*>(QString::fromLatin1(name)) : nullptr;
}

QStringList menuTexts(QWidget* view) {
    QStringList texts;
    for (const char* name : {"openAction", "showInFolderAction", "removeAction"}) {
        QAction* found = action(view, name);
        texts << (found ? found->text() : QStringLiteral("<missing>"));
    }
    return texts;
}

TEST_F(StripTest, SetLanguageSwitchesTheMenuTexts) {
    const QStringList chinese = {QStringLiteral("打开"), QStringLiteral("在文件夹中显示"),
                                 QStringLiteral("从列表中移除")};
    const QStringList english = {QStringLiteral("Open"), QStringLiteral("Show in folder"),
                                 QStringLiteral("Remove from the strip")};
    setLanguage(0); // before the strip exists: it starts in Chinese
    showHost();
    EXPECT_EQ(menuTexts(view()), chinese);
    setLanguage(2);
    EXPECT_EQ(menuTexts(view()), chinese);
    setLanguage(1);
    EXPECT_EQ(menuTexts(view()), english);
    setLanguage(0);
    EXPECT_EQ(menuTexts(view()), chinese);
}

TEST_F(StripTest, RemovingFromTheStripKeepsTheFiles) {
    showHost();
    QStringList files;
    for (const char* name : {"one.png", "two.png", "three.png"}) {
        files << writePicture(QString::fromLatin1(name), {30, 20}, Qt::magenta);
        addImageItem(QFile::encodeName(files.last()).constData());
    }
    view()->setCurrentIndex(entry(0));
    ASSERT_NE(action(view(), "removeAction"), nullptr);
    action(view(), "removeAction")->trigger();
    ASSERT_EQ(getImgCount(), 2);
    EXPECT_EQ(QByteArray(getImageFilePath(0)), QFile::encodeName(files[1]));

    view()->setFocus();
    view()->setCurrentIndex(entry(1));
    QTest::keyClick(view(), Qt::Key_Delete);
    ASSERT_EQ(getImgCount(), 1);
    EXPECT_EQ(QByteArray(getImageFilePath(0)), QFile::encodeName(files[1]));

    for (const QString& file : files)
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
}

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

TEST_F(StripTest, NewestEntryScrollsIntoView) {
    showHost();
    host->resize(166, 300); // about two entries high
    for (int i = 0; i < 12; ++i)
        addImageItem(QByteArray("/nowhere/scan") + QByteArray::number(i) + ".jpg");
    QAbstractItemView* strip = view();
    EXPECT_TRUE(strip->viewport()->rect().intersects(strip->visualRect(entry(11))));
    EXPECT_FALSE(strip->viewport()->rect().intersects(strip->visualRect(entry(0))));
}

} // namespace
