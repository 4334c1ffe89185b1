#include "MainForm.h"

#include "Commit.h"

void MainForm::LoadThumbnailLibrary() {
    if (m_thumbnails.load(m_programDir + QStringLiteral(THUMBNAIL_LIBRARY_FILE)))
        m_thumbnails.initLib(static_cast<uintptr_t>(m_thumbnailHost->winId()));
}

void MainForm::UnloadThumbnailLibrary() {
    m_thumbnails.unload();
}

bool MainForm::onCommit() {
    const CommitResult result = commitCheckedItems(m_thumbnails, commitFilePath());
    if (result.written)
        m_settings.fileNameCount = 0; // the driver starts the next batch from the first name
    return result.ok;
}
