#pragma once

#include "ThumbnailApi.h"

#include <QByteArray>
#include <QLibrary>
#include <QString>

#include <optional>

// The strip library, loaded at run time. Every entry is looked up at each use; while the library
// or an entry is missing, that call does nothing (and the queries give no value).
class ThumbnailLibrary {
public:
    ThumbnailLibrary() = default;
    ~ThumbnailLibrary();
    ThumbnailLibrary(const ThumbnailLibrary&) = delete;
    ThumbnailLibrary& operator=(const ThumbnailLibrary&) = delete;

    // False when the file is missing or is no loadable library.
    bool load(const QString& path);
    bool isLoaded() const { return m_library.isLoaded(); }
    void unload();

    // The entry `name`, or null.
    template <typename Fn> Fn entry(const char* name) {
        if (!isLoaded())
            return nullptr;
        return reinterpret_cast<Fn>(m_library.resolve(name));
    }

    void initLib(uintptr_t host);
    void addImageItem(const QByteArray& path);
    void addImageItemEx(const QByteArray& path, const QByteArray& thumbJpegPath,
                        const QByteArray& displayName);
    std::optional<int> imgCount();
    void setItemChecked(int index, int checked);
    void clearAllItem();
    void setLanguage(int flag);
    void resizeThumb();

    // A new file goes in checked: add it, then check the last item.
    void addChecked(const QByteArray& path);

private:
    QLibrary m_library;
};
