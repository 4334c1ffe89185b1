#pragma once

#include "StripRoles.h"
#include "ThumbnailApi.h"

#include <QAbstractItemView>
#include <QColor>
#include <QLibrary>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// Loads libThumbnail.so from the program directory for each test, resolves every entry by name,
// and points the temporary directory into the test's own folder.
class StripTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown 166x600 host handed to InitLib, as the main window's strip host.
    QWidget* showHost();
    QAbstractItemView* view() const;
    QModelIndex entry(int row) const;
    thumbnail::ThumbnailState state(int row) const;
    // Asks for the thumbnail as a painting view would, then waits for the decode.
    thumbnail::ThumbnailState waitForThumbnail(int row);
    QImage decoration(int row) const;

    QString writePicture(const QString& name, QSize size, const QColor& colour);
    QString writeFile(const QString& name, const QByteArray& contents);
    QString tempDir() const { return m_files.filePath(QStringLiteral("tmp")); }

    QLibrary library;
    InitLibFn initLib = nullptr;
    AddImageItemFn addImageItem = nullptr;
    AddImageItemExFn addImageItemEx = nullptr;
    GetImgCountFn getImgCount = nullptr;
    SetItemCheckedFn setItemChecked = nullptr;
    IsCheckedFn isChecked = nullptr;
    GetImageFilePathFn getImageFilePath = nullptr;
    ClearAllItemFn clearAllItem = nullptr;
    SetLanguageFn setLanguage = nullptr;
    ResizeThumbFn resizeThumb = nullptr;

    std::unique_ptr<QWidget> host;

private:
    QTemporaryDir m_files;
    QByteArray m_savedTmpDir;
};

QString libraryPath();
// True when two colours differ by at most `tolerance` in each channel (JPEG is lossy).
bool similar(const QColor& a, const QColor& b, int tolerance = 24);
