#include "TesoLiveApi.h"

#include "Extractor.h"
#include "Matcher.h"
#include "TemplateText.h"
#include "VirtualReader.h"

#include <cstring>
#include <type_traits>

using fingerprint::VirtualReader;

// The typedefs are what the program resolves; keep them in step with the entries.
static_assert(std::is_same_v<decltype(&TcCreateHDL), TcCreateHDLFn>);
static_assert(std::is_same_v<decltype(&TcDeleteHDL), TcDeleteHDLFn>);
static_assert(std::is_same_v<decltype(&TcExtnEntry), TcExtnEntryFn>);
static_assert(std::is_same_v<decltype(&TcDoFeature), TcDoFeatureFn>);
static_assert(std::is_same_v<decltype(&TcDoTemplet), TcDoTempletFn>);
static_assert(std::is_same_v<decltype(&TcSafeMatch), TcSafeMatchFn>);
static_assert(std::is_same_v<decltype(&TcGetImgDat), TcGetImgDatFn>);
static_assert(std::is_same_v<decltype(&TcFeaFrmImg), TcFeaFrmImgFn>);
static_assert(std::is_same_v<decltype(&TcTplFrmImg), TcTplFrmImgFn>);
static_assert(std::is_same_v<decltype(&TcReadDevSn), TcReadDevSnFn>);
static_assert(std::is_same_v<decltype(&TcOperFlash), TcOperFlashFn>);
static_assert(std::is_same_v<decltype(&TcBeepLight), TcBeepLightFn>);
static_assert(std::is_same_v<decltype(&TcShowImage), TcShowImageFn>);
static_assert(std::is_same_v<decltype(&TcSaveAsBmp), TcSaveAsBmpFn>);
static_assert(std::is_same_v<decltype(&TcLoadFrBmp), TcLoadFrBmpFn>);
static_assert(std::is_same_v<decltype(&TcIniListen), TcIniListenFn>);
static_assert(std::is_same_v<decltype(&TcWhereAreu), TcWhereAreuFn>);
static_assert(std::is_same_v<decltype(&TcCodeCnvrt), TcCodeCnvrtFn>);

namespace {

// Open readers by handle - 1. A plain array of pointers is constant-initialised: the library
// registers nothing when it is loaded, so it can be unloaded completely after each operation.
constexpr int kMaxHandles = 8;
VirtualReader* g_readers[kMaxHandles] = {};

// Templates need this many minutiae: fewer is a finger barely touching the reader, and two such
// prints cannot be told apart from two different fingers.
constexpr std::size_t kMinTemplateMinutiae = 12;

VirtualReader* reader(int handle) {
    return handle >= 1 && handle <= kMaxHandles ? g_readers[handle - 1] : nullptr;
}

int takeTemplate(int handle, char* buffer) {
    const VirtualReader* open = reader(handle);
    if (!open)
        return TC_ERR_HANDLE;
    if (!buffer)
        return TC_ERR_PARAM;
    buffer[0] = '\0';
    const auto image = open->take();
    if (!image)
        return TC_ERR_CAPTURE;
    const fingerprint::Minutiae minutiae = fingerprint::extractMinutiae(*image);
    if (minutiae.size() < kMinTemplateMinutiae)
        return TC_ERR_QUALITY;
    const std::string text = fingerprint::encodeTemplate(minutiae);
    std::memset(buffer, 0, TC_TEXT_BUFFER);
    std::memcpy(buffer, text.data(), text.size());
    return int(text.size());
}

// Readers the program left open when it unloads the library.
__attribute__((destructor)) void closeForgottenReaders() {
    for (VirtualReader*& open : g_readers) {
        delete open;
        open = nullptr;
    }
}

} // namespace

extern "C" {

int TcCreateHDL(int, int, int, int) {
    for (int i = 0; i < kMaxHandles; ++i) {
        if (g_readers[i])
            continue;
        auto found = VirtualReader::fromEnvironment();
        if (!found)
            return 0;
        g_readers[i] = new VirtualReader(std::move(*found));
        return i + 1;
    }
    return 0;
}

int TcDeleteHDL(int handle) {
    VirtualReader* open = reader(handle);
    if (!open)
        return TC_ERR_HANDLE;
    delete open;
    g_readers[handle - 1] = nullptr;
    return TC_OK;
}

int TcDoTemplet(int handle, char* templet) {
    return takeTemplate(handle, templet);
}

int TcDoFeature(int handle, char* feature) {
    return takeTemplate(handle, feature);
}

int TcSafeMatch(int, const char* templet, const char* feature, int level) {
    if (level < TC_LEVEL_MIN || level > TC_LEVEL_MAX)
        return TC_ERR_PARAM;
    const auto stored = fingerprint::decodeTemplate(templet);
    const auto fresh = fingerprint::decodeTemplate(feature);
    if (!stored || !fresh || stored->empty() || fresh->empty())
        return TC_ERR_FORMAT;
    const fingerprint::Comparison comparison = fingerprint::compareMinutiae(*stored, *fresh);
    return fingerprint::sameFinger(comparison, level) ? comparison.score : TC_ERR_NO_MATCH;
}

int TcExtnEntry(int, int, void*, int) {
    return TC_ERR_UNSUPPORTED;
}

int TcGetImgDat(int, unsigned char*, int*, int*) {
    return TC_ERR_UNSUPPORTED;
}

int TcFeaFrmImg(int, const unsigned char*, int, int, char*) {
    return TC_ERR_UNSUPPORTED;
}

int TcTplFrmImg(int, const unsigned char*, int, int, char*) {
    return TC_ERR_UNSUPPORTED;
}

int TcReadDevSn(int, char*, int) {
    return TC_ERR_UNSUPPORTED;
}

int TcOperFlash(int, int, int, unsigned char*, int) {
    return TC_ERR_UNSUPPORTED;
}

int TcBeepLight(int, int, int) {
    return TC_ERR_UNSUPPORTED;
}

int TcShowImage(int, uintptr_t) {
    return TC_ERR_UNSUPPORTED;
}

int TcSaveAsBmp(const char*, const unsigned char*, int, int) {
    return TC_ERR_UNSUPPORTED;
}

int TcLoadFrBmp(const char*, unsigned char*, int*, int*) {
    return TC_ERR_UNSUPPORTED;
}

int TcIniListen(int, TcFingerEventFn, void*) {
    return TC_ERR_UNSUPPORTED;
}

int TcWhereAreu(int) {
    return TC_ERR_UNSUPPORTED;
}

int TcCodeCnvrt(const char*, char*, int, int) {
    return TC_ERR_UNSUPPORTED;
}

} // extern "C"
