#include "ThumbnailApi.h"

#include "Strip.h"

#include <QApplication>
#include <QWidget>

#include <type_traits>

using thumbnail::Strip;

// The typedefs are what the program resolves; keep them in step with the entries.
static_assert(std::is_same_v<decltype(&InitLib), InitLibFn>);
static_assert(std::is_same_v<decltype(&AddImageItem), AddImageItemFn>);
static_assert(std::is_same_v<decltype(&AddImageItemEx), AddImageItemExFn>);
static_assert(std::is_same_v<decltype(&GetImgCount), GetImgCountFn>);
static_assert(std::is_same_v<decltype(&SetItemChecked), SetItemCheckedFn>);
static_assert(std::is_same_v<decltype(&IsChecked), IsCheckedFn>);
static_assert(std::is_same_v<decltype(&GetImageFilePath), GetImageFilePathFn>);
static_assert(std::is_same_v<decltype(&ClearAllItem), ClearAllItemFn>);
static_assert(std::is_same_v<decltype(&SetLanguage), SetLanguageFn>);
static_assert(std::is_same_v<decltype(&ResizeThumb), ResizeThumbFn>);

namespace {

QString text(const char* value) {
    return value ? QString::fromLocal8Bit(value) : QString();
}

} // namespace

extern "C" {

void InitLib(uintptr_t host) {
    // Widgets exist only in a widget application; without one there is nothing to draw into.
    if (host == 0 || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    Strip::instance().attach(QWidget::find(WId(host)));
}

void AddImageItem(const char* path) {
    if (path)
        Strip::instance().add(QByteArray(path), {}, {});
}

void AddImageItemEx(const char* path, const char* thumbJpegPath, const char* displayName) {
    if (path)
        Strip::instance().add(QByteArray(path), text(thumbJpegPath), text(displayName));
}

int GetImgCount(void) {
    return Strip::instance().model().rowCount();
}

void SetItemChecked(int index, int checked) {
    Strip::instance().model().setChecked(index, checked != 0);
}

int IsChecked(int index) {
    return Strip::instance().model().isChecked(index) ? 1 : 0;
}

const char* GetImageFilePath(int index) {
    return Strip::instance().pathOf(index);
}

void ClearAllItem(int) {
    Strip::instance().clear();
}

void SetLanguage(int flag) {
    Strip::instance().setLanguage(flag);
}

void ResizeThumb(void) {
    Strip::instance().fitToHost();
}

} // extern "C"
