#include "TesoLiveLibrary.h"

#include <dlfcn.h>

#include <fstream>

namespace {

// In the order the program looks them up.
constexpr const char* kEntries[] = {
    "TcCreateHDL", "TcDeleteHDL", "TcExtnEntry", "TcDoFeature", "TcDoTemplet", "TcSafeMatch",
    "TcGetImgDat", "TcFeaFrmImg", "TcTplFrmImg", "TcReadDevSn", "TcOperFlash", "TcBeepLight",
    "TcShowImage", "TcSaveAsBmp", "TcLoadFrBmp", "TcIniListen", "TcWhereAreu", "TcCodeCnvrt"};

} // namespace

TesoLiveLibrary::TesoLiveLibrary() {
    m_module = dlopen(DOCSCANNER_BIN_DIR "/" TESOLIVE_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    if (!m_module)
        return;
    for (const char* name : kEntries)
        m_found += dlsym(m_module, name) != nullptr;
    createHdl = reinterpret_cast<TcCreateHDLFn>(dlsym(m_module, "TcCreateHDL"));
    deleteHdl = reinterpret_cast<TcDeleteHDLFn>(dlsym(m_module, "TcDeleteHDL"));
    doFeature = reinterpret_cast<TcDoFeatureFn>(dlsym(m_module, "TcDoFeature"));
    doTemplet = reinterpret_cast<TcDoTempletFn>(dlsym(m_module, "TcDoTemplet"));
    safeMatch = reinterpret_cast<TcSafeMatchFn>(dlsym(m_module, "TcSafeMatch"));
}

TesoLiveLibrary::~TesoLiveLibrary() {
    unload();
}

int TesoLiveLibrary::unload() {
    if (!m_module)
        return 0;
    const int result = dlclose(m_module);
    m_module = nullptr;
    return result;
}

std::string TesoLiveLibrary::take(bool templet) {
    const int handle = createHdl(0, 0, 0, 0);
    if (handle == 0)
        return {};
    char buffer[TC_TEXT_BUFFER] = {};
    const int result = templet ? doTemplet(handle, buffer) : doFeature(handle, buffer);
    deleteHdl(handle);
    return result >= 0 ? std::string(buffer) : std::string();
}

bool tesoLiveMapped() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find(TESOLIVE_LIBRARY_FILE) != std::string::npos)
            return true;
    return false;
}
