#include "VirtualReader.h"

#include "ImageFile.h"
#include "TesoLiveApi.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace fingerprint {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool isImageName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".pgm" || extension == ".jpg" || extension == ".jpeg";
}

std::vector<std::string> imagesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) && isImageName(entry.path()))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end()); // byte order of the names
    return names;
}

// The library is unloaded after every operation, so the folder's position lives in a file: the
// full path of the image taken last.
std::string positionFile() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/tesolive-virtual-finger";
    return "/tmp/tesolive-virtual-finger-" + std::to_string(getuid());
}

std::string readPosition() {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(positionFile().c_str(), "rb"));
    if (!file)
        return {};
    char buffer[4096];
    const std::size_t length = std::fread(buffer, 1, sizeof buffer, file.get());
    return std::string(buffer, length);
}

void writePosition(const std::string& imagePath) {
    // A temporary file renamed over the old one: a reader never sees half a path.
    const std::string target = positionFile();
    const std::string temporary = target + ".new";
    {
        const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
        if (!file ||
            std::fwrite(imagePath.data(), 1, imagePath.size(), file.get()) != imagePath.size())
            return;
    }
    std::rename(temporary.c_str(), target.c_str());
}

} // namespace

std::optional<VirtualReader> VirtualReader::fromEnvironment() {
    const char* value = std::getenv(TESOLIVE_VIRTUAL_FINGER_ENV);
    if (!value || !*value)
        return std::nullopt;
    std::error_code error;
    const fs::file_status status = fs::status(value, error);
    if (fs::is_directory(status))
        return VirtualReader(fs::absolute(value, error).lexically_normal().string(), true);
    if (fs::is_regular_file(status))
        return VirtualReader(value, false);
    return std::nullopt;
}

std::optional<std::string> VirtualReader::nextInFolder() const {
    const std::vector<std::string> names = imagesIn(m_path);
    if (names.empty())
        return std::nullopt;
    // The first name after the last one taken from this folder, starting over after the last.
    const fs::path last(readPosition());
    auto next = names.begin();
    if (last.parent_path() == fs::path(m_path)) {
        next = std::upper_bound(names.begin(), names.end(), last.filename().string());
        if (next == names.end())
            next = names.begin();
    }
    const std::string path = (fs::path(m_path) / *next).string();
    writePosition(path);
    return path;
}

std::optional<GreyImage> VirtualReader::take() const {
    const std::optional<std::string> path = m_folder ? nextInFolder() : m_path;
    if (!path)
        return std::nullopt;
    return readGreyImage(*path);
}

} // namespace fingerprint
