#include "Commit.h"

#include "ThumbnailLibrary.h"
#include "platform/Paths.h"

QString commitFilePath() {
    return platform::tempDir() + QStringLiteral("ZoCommit.txt");
}

CommitResult commitCheckedItems(ThumbnailLibrary& strip, const QString& path) {
    const int count = strip.isLoaded() ? strip.imgCount().value_or(0) : 0;
    const auto isChecked = strip.entry<IsCheckedFn>("IsChecked");
    const auto filePath = strip.entry<GetImageFilePathFn>("GetImageFilePath");
    QByteArray content;
    for (int i = 0; isChecked != nullptr && filePath != nullptr && i < count; ++i) {
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
        return {false, count};
    if (count > 0)
        strip.clearAllItem();
    return {true, count};
}
