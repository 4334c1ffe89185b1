/* The thumbnail strip: libThumbnail.so.
 *
 * The program loads the library at run time from its own directory and looks each entry up by
 * name when it uses it; the typedefs below are the entries' types for that lookup. Paths and
 * names are NUL-terminated strings in the locale's 8-bit encoding. Call every entry from the
 * thread that runs the Qt application. The item list works before InitLib; the strip is drawn
 * once it has a host.
 */
#ifndef THUMBNAIL_API_H
#define THUMBNAIL_API_H

#include <stdint.h>

#if defined(THUMBNAIL_BUILDING)
#define THUMBNAIL_API __attribute__((visibility("default")))
#else
#define THUMBNAIL_API
#endif

#define THUMBNAIL_LIBRARY_FILE "libThumbnail.so"

#ifdef __cplusplus
extern "C" {
#endif

/* host: QWidget::winId() of a widget of this process; the strip fills it and follows its size. */
THUMBNAIL_API void InitLib(uintptr_t host);
/* Every path gets an entry, with a placeholder while its picture cannot be read; the newest is
 * scrolled into view. A path already listed keeps its one entry, which is checked and shows the
 * file's picture again (for AddImageItemEx, the new thumbJpegPath): a multi-page PDF is one
 * entry showing its newest page. */
THUMBNAIL_API void AddImageItem(const char* path);
/* thumbJpegPath is copied at once: the caller may overwrite it afterwards. */
THUMBNAIL_API void AddImageItemEx(const char* path, const char* thumbJpegPath,
                                  const char* displayName);
THUMBNAIL_API int GetImgCount(void);
THUMBNAIL_API void SetItemChecked(int index, int checked);
THUMBNAIL_API int IsChecked(int index);
/* Valid until the next call; "" for an index out of range. */
THUMBNAIL_API const char* GetImageFilePath(int index);
/* Removes every entry from the strip; files are never deleted. */
THUMBNAIL_API void ClearAllItem(int unused);
/* 0 Chinese, 1 English; other values are ignored. */
THUMBNAIL_API void SetLanguage(int flag);
/* Fits the strip to its host again after the host was resized. */
THUMBNAIL_API void ResizeThumb(void);

typedef void (*InitLibFn)(uintptr_t host);
typedef void (*AddImageItemFn)(const char* path);
typedef void (*AddImageItemExFn)(const char* path, const char* thumbJpegPath,
                                 const char* displayName);
typedef int (*GetImgCountFn)(void);
typedef void (*SetItemCheckedFn)(int index, int checked);
typedef int (*IsCheckedFn)(int index);
typedef const char* (*GetImageFilePathFn)(int index);
typedef void (*ClearAllItemFn)(int unused);
typedef void (*SetLanguageFn)(int flag);
typedef void (*ResizeThumbFn)(void);

#ifdef __cplusplus
}
#endif

#endif /* THUMBNAIL_API_H */
