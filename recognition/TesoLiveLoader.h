#pragma once

#include "TesoLiveApi.h"

#include <QString>

#include <array>

// The reader library, loaded for one operation and released after it. While nothing is loaded,
// the module and every entry are empty. The device handle belongs to the running operation,
// which lends it to load() and free().
class TesoLiveLoader {
public:
    TesoLiveLoader() = default;
    ~TesoLiveLoader();
    TesoLiveLoader(const TesoLiveLoader&) = delete;
    TesoLiveLoader& operator=(const TesoLiveLoader&) = delete;

    // Releases what is loaded, then loads the library at `path` and looks up all eighteen
    // entries. Succeeds only when every entry is there and the reader gives a non-zero handle;
    // then `modulePath` (if given) receives the loaded file's path. On failure nothing stays
    // loaded.
    bool load(const QString& path, int& handle, QString* modulePath = nullptr);
    // Deletes the handle (it becomes 0 unless the library refuses) and unloads the library.
    // True when nothing is loaded afterwards; when unloading fails, everything is kept.
    bool free(int& handle);

    TcDoTempletFn doTemplet() const { return entry<TcDoTempletFn>(kDoTemplet); }
    TcDoFeatureFn doFeature() const { return entry<TcDoFeatureFn>(kDoFeature); }
    TcSafeMatchFn safeMatch() const { return entry<TcSafeMatchFn>(kSafeMatch); }

private:
    // Positions in the lookup order.
    static constexpr int kCreateHdl = 0;
    static constexpr int kDeleteHdl = 1;
    static constexpr int kDoFeature = 3;
    static constexpr int kDoTemplet = 4;
    static constexpr int kSafeMatch = 5;
    static constexpr int kEntryCount = 18;

    template <typename Fn> Fn entry(int index) const {
        return reinterpret_cast<Fn>(m_entries[index]);
    }

    void* m_module = nullptr;
    std::array<void*, kEntryCount> m_entries{};
};
