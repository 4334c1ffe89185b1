#pragma once

#include "MainForm.h"
#include "support/TestEnvironment.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// The application suites run the real engine with two virtual cameras (or APP_TEST_CAMERAS), a
// call trace and a temporary folder of their own (the commit file lives there); all are set
// before the engine and Qt first read their environment.
namespace app_test {

// Keys of the settings file in the order they are written.
extern const QByteArrayList kWriteOrder;

QString tempRoot();
QString tracePath();
QStringList traceLines();
// The engine calls traced since line `from`, names only ("ZoCloseCamera(1)").
QStringList callsSince(int from);

QString documentsDir();
QString papyraDir();
QString settingsFile();
// Creates the settings folder and writes `content` as the settings file.
void writeSettings(const QByteArray& content);
// Key names of the settings file in file order, and the value of one key.
QByteArrayList settingsKeys();
QByteArray settingsValue(const QByteArray& key);

// Waits, handling events, until the window's captures are written and listed; false when
// they are not within a minute.
bool waitForCaptures(const MainForm& form);

// Every test starts without settings or commit file, with both virtual cameras plugged in and
// with message boxes recorded instead of shown.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<MainForm> makeForm();
    const QList<QPair<QString, QString>>& messages() const { return m_messages->messages(); }

    std::unique_ptr<testing_support::MessageRecorder> m_messages;
};

} // namespace app_test
