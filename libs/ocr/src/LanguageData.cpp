#include "LanguageData.h"

#include <cstdlib>
#include <vector>

#include <unistd.h>

namespace quilocr {

namespace {

bool readable(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

LanguageData findLanguageData(const std::string& programDir) {
    std::vector<std::string> folders;
    if (!programDir.empty())
        folders.push_back(withSlash(programDir) + "tessdata/");
    if (const char* prefix = std::getenv("TESSDATA_PREFIX"); prefix && *prefix)
        folders.push_back(withSlash(prefix));
    for (const char* system :
         {"/usr/share/tesseract-ocr/5/tessdata/", "/usr/share/tesseract-ocr/4.00/tessdata/",
          "/usr/share/tessdata/", "/usr/local/share/tessdata/"})
        folders.emplace_back(system);

    for (const std::string& folder : folders) {
        if (!readable(folder + "eng.traineddata"))
            continue;
        return {folder, readable(folder + "chi_sim.traineddata") ? "chi_sim+eng" : "eng"};
    }
    return {};
}

} // namespace quilocr
