#include "Commit.h"

#include "ThumbnailLibrary.h"
#include "platform/Paths.h"

QString commitFilePath() {
    return platform::tempDir() + QStringLiteral("ZoCommit.txt");
}

CommitResult commitCheckedItems(ThumbnailLibrary& strip, const QString& path) {
    if (!strip.isLoaded())
        return {true, false};
    const int count = strip.imgCount().value_or(0);
    if (count <= 0)
        return {false, false};
    const auto isChecked = strip.entry<IsCheckedFn>("IsChecked");
    const auto filePath = strip.entry<GetImageFilePathFn>("GetImageFilePath");
    if (isChecked == nullptr || filePath == nullptr)
        return {true, false};

    QByteArray content;
    for (int i = 0; i < count; ++i) {
        if (isChecked(i) == 0)
            continue;
        const char* itemPath = filePath(i);
        if (itemPath == nullptr || *itemPath == '\0')
            continue;
        content.append(itemPath);
        content.append("@@");
    }
    // Written beside and renamed over the old file: a link planted in the shared temporary
    // folder is replaced, never followed, and the driver never reads half a list.
    if (!platform::writeFileReplacing(path, content))
        return {false, false};
    strip.clearAllItem();
    return {true, true};
}

bool handOverToDriver(ThumbnailLibrary& strip, int& nameCounter) {
    const CommitResult result = commitCheckedItems(strip, commitFilePath());
    if (result.written)
        nameCounter = 0;
    return result.ok;
}
