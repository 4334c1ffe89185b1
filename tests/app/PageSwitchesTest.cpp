// The Flatten and Upright boxes beside Split Capture: sent to the main camera, remembered in
// the settings file after every older key, named in the window's language.
#include "AppFixture.h"

#include <QAbstractButton>

namespace {

using namespace app_test;

QAbstractButton* box(MainForm& form, const char* name) {
    return form.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

TEST_F(AppTest, FlattenAndUprightAreSentRememberedAndNamedInBothLanguages) {
    // A file from before the two keys: both start off, and the camera is told so.
    writeSettings("[Zo twain driver param]\nDevIndex=0\nDelBack=1\n");
    int from = traceLines().size();
    auto form = makeForm();
    const int cam = form->mainCamera();
    QAbstractButton* flatten = box(*form, "checkBoxFlatten");
    QAbstractButton* upright = box(*form, "checkBoxUpright");
    ASSERT_NE(flatten, nullptr);
    ASSERT_NE(upright, nullptr);
    EXPECT_FALSE(flatten->isChecked());
    EXPECT_FALSE(upright->isChecked());
    const auto sent = [&](const char* call) {
        return callsSince(from).contains(QString::fromLatin1(call).arg(cam));
    };
    EXPECT_TRUE(sent("ZoEnableDewarp(%1, false)"));
    EXPECT_TRUE(sent("ZoEnableAutoOrient(%1, false)"));

    from = traceLines().size();
    flatten->click();
    upright->click();
    EXPECT_TRUE(sent("ZoEnableDewarp(%1, true)"));
    EXPECT_TRUE(sent("ZoEnableAutoOrient(%1, true)"));

    EXPECT_EQ(flatten->text(), QStringLiteral("Flatten"));
    EXPECT_EQ(upright->text(), QStringLiteral("Upright"));
    form->applyLanguage(0);
    EXPECT_EQ(flatten->text(), QStringLiteral("展平"));
    EXPECT_EQ(upright->text(), QStringLiteral("自动方向"));
    EXPECT_TRUE(flatten->isChecked()) << "a language switch keeps the boxes' state";
    form->applyLanguage(1);

    // Written at exit after the keys older than them (only newer keys follow), values kept.
    form.reset();
    const QByteArrayList keys = settingsKeys();
    EXPECT_EQ(keys.mid(keys.indexOf("Dewarp"), 2), QByteArrayList({"Dewarp", "AutoOrient"}));
    EXPECT_EQ(keys.mid(keys.indexOf("AutoOrient") + 1),
              QByteArrayList({"FileFormat", "CustomName", "MergeDirection"}));
    EXPECT_EQ(settingsValue("Dewarp"), "1");
    EXPECT_EQ(settingsValue("AutoOrient"), "1");
    EXPECT_EQ(settingsValue("DelBack"), "1");

    // The next start shows them on and tells the camera before any capture.
    from = traceLines().size();
    form = makeForm();
    EXPECT_TRUE(box(*form, "checkBoxFlatten")->isChecked());
    EXPECT_TRUE(box(*form, "checkBoxUpright")->isChecked());
    EXPECT_TRUE(sent("ZoEnableDewarp(%1, true)"));
    EXPECT_TRUE(sent("ZoEnableAutoOrient(%1, true)"));

    // Unticked, and remembered so.
    box(*form, "checkBoxFlatten")->click();
    form.reset();
    EXPECT_EQ(settingsValue("Dewarp"), "0");
    EXPECT_EQ(settingsValue("AutoOrient"), "1");
}

} // namespace
