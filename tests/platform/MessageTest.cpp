#include "platform/Message.h"
#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

TEST(MessageTest, InterceptorRecordsEachMessageAndReturnsAtOnce) {
    testing_support::MessageRecorder recorder;
    platform::showMessage("提示", "写配置文件失败, 参数不能记忆!");
    platform::showMessage("Information", "second");
    ASSERT_EQ(recorder.messages().size(), 2);
    EXPECT_EQ(recorder.messages()[0],
              qMakePair(QString("提示"), QString("写配置文件失败, 参数不能记忆!")));
    EXPECT_EQ(recorder.messages()[1].first, "Information");
}

TEST(MessageTest, BoxHasNoOwnerAndOneOkButton) {
    QString seenTitle;
    QString seenText;
    bool hadParent = true;
    QStringList buttons;
    // The box is modal; a timer inspects it and presses OK, as a user would.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenTitle = box->windowTitle();
        seenText = box->text();
        hadParent = box->parentWidget() != nullptr;
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        box->button(QMessageBox::Ok)->click();
    });
    platform::showMessage("Information", "The picture could not be saved.");
    EXPECT_EQ(seenTitle, "Information");
    EXPECT_EQ(seenText, "The picture could not be saved.");
    EXPECT_FALSE(hadParent);
    EXPECT_EQ(buttons.size(), 1);
}
