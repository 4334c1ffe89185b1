#pragma once

#include "TesoLiveApi.h"

#include <string>

// libTesoLive.so loaded as the program loads it for each operation: from the program directory
// with dlopen(RTLD_NOW | RTLD_LOCAL), its eighteen entries looked up by name, unloaded when this
// object goes. loaded() is false unless the library opened and every entry was found.
class TesoLiveLibrary {
public:
    TesoLiveLibrary();
    ~TesoLiveLibrary();
    TesoLiveLibrary(const TesoLiveLibrary&) = delete;
    TesoLiveLibrary& operator=(const TesoLiveLibrary&) = delete;

    bool loaded() const { return m_module && m_found == 18; }
    // dlclose's result: 0 when the library was released.
    int unload();

    // A template (or feature) of the finger TESOLIVE_VIRTUAL_FINGER shows, taken with a handle
    // of its own as the program takes it; empty when the reader or the capture fails.
    std::string take(bool templet);
    int match(const std::string& templet, const std::string& feature, int level = 3) {
        return safeMatch(0, templet.c_str(), feature.c_str(), level);
    }

    TcCreateHDLFn createHdl = nullptr;
    TcDeleteHDLFn deleteHdl = nullptr;
    TcDoFeatureFn doFeature = nullptr;
    TcDoTempletFn doTemplet = nullptr;
    TcSafeMatchFn safeMatch = nullptr;

private:
    void* m_module = nullptr;
    int m_found = 0;
};

// Whether the process maps libTesoLive.so now (/proc/self/maps).
bool tesoLiveMapped();
