#include "ThumbnailLibrary.h"

ThumbnailLibrary::~ThumbnailLibrary() {
    unload();
}

bool ThumbnailLibrary::load(const QString& path) {
    unload();
    m_library.setFileName(path);
    return m_library.load();
}

void ThumbnailLibrary::unload() {
    if (m_library.isLoaded())
        m_library.unload();
}

void ThumbnailLibrary::initLib(uintptr_t host) {
    if (const auto fn = entry<InitLibFn>("InitLib"))
        fn(host);
}

void ThumbnailLibrary::addImageItem(const QByteArray& path) {
    if (const auto fn = entry<AddImageItemFn>("AddImageItem"))
        fn(path.constData());
}

void ThumbnailLibrary::addImageItemEx(const QByteArray& path, const QByteArray& thumbJpegPath,
                                      const QByteArray& displayName) {
    if (const auto fn = entry<AddImageItemExFn>("AddImageItemEx"))
        fn(path.constData(), thumbJpegPath.constData(), displayName.constData());
}

std::optional<int> ThumbnailLibrary::imgCount() {
    if (const auto fn = entry<GetImgCountFn>("GetImgCount"))
        return fn();
    return std::nullopt;
}

void ThumbnailLibrary::setItemChecked(int index, int checked) {
    if (const auto fn = entry<SetItemCheckedFn>("SetItemChecked"))
        fn(index, checked);
}

void ThumbnailLibrary::clearAllItem() {
    if (const auto fn = entry<ClearAllItemFn>("ClearAllItem"))
        fn(0);
}

void ThumbnailLibrary::setLanguage(int flag) {
    if (const auto fn = entry<SetLanguageFn>("SetLanguage"))
        fn(flag);
}

void ThumbnailLibrary::resizeThumb() {
    if (const auto fn = entry<ResizeThumbFn>("ResizeThumb"))
        fn();
}

// A file listed already keeps its entry and the user's check; no other entry changes.
void ThumbnailLibrary::addChecked(const QByteArray& path) {
    const int before = imgCount().value_or(0);
    addImageItem(path);
    const int after = imgCount().value_or(0);
    if (after > before)
        setItemChecked(after - 1, 1);
}
