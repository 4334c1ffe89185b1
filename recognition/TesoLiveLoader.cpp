#include "TesoLiveLoader.h"

#include <QFile>

#include <dlfcn.h>
#include <link.h>

namespace {

// The order the entries are looked up in; the first one missing ends the lookup.
constexpr const char* kEntryNames[] = {
    "TcCreateHDL", "TcDeleteHDL", "TcExtnEntry", "TcDoFeature", "TcDoTemplet", "TcSafeMatch",
    "TcGetImgDat", "TcFeaFrmImg", "TcTplFrmImg", "TcReadDevSn", "TcOperFlash", "TcBeepLight",
    "TcShowImage", "TcSaveAsBmp", "TcLoadFrBmp", "TcIniListen", "TcWhereAreu", "TcCodeCnvrt"};

// The file the loader mapped for `module`, as it names it.
QString moduleFile(void* module) {
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr)
        return {};
    return QFile::decodeName(map->l_name);
}

} // namespace

static_assert(std::size(kEntryNames) == 18);

TesoLiveLoader::~TesoLiveLoader() {
    int handle = 0;
    free(handle);
}

bool TesoLiveLoader::load(const QString& path, int& handle, QString* modulePath) {
    free(handle);
    handle = 0;
    // RTLD_LOCAL: the reader's symbols stay out of the program's namespace, and unloading it
    // leaves nothing of it bound elsewhere.
    m_module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (m_module == nullptr)
        return false;
    bool found = true;
    for (int i = 0; i < kEntryCount && found; ++i) {
        m_entries[i] = dlsym(m_module, kEntryNames[i]);
        found = m_entries[i] != nullptr;
    }
    if (found)
        handle = entry<TcCreateHDLFn>(kCreateHdl)(0, 0, 0, 0);
    if (handle != 0) {
        if (modulePath != nullptr)
            *modulePath = moduleFile(m_module);
        return true;
    }
    free(handle);
    return false;
}

bool TesoLiveLoader::free(int& handle) {
    if (m_module == nullptr)
        return true;
    if (const auto deleteHdl = entry<TcDeleteHDLFn>(kDeleteHdl)) {
        if (deleteHdl(handle) >= 0)
            handle = 0;
    } else {
        handle = 0;
    }
    if (dlclose(m_module) != 0)
        return false;
    m_module = nullptr;
    m_entries.fill(nullptr);
    return true;
}
