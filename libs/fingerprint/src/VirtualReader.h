#pragma once

#include "Image.h"

#include <optional>
#include <string>

namespace fingerprint {

// The reader this library drives when there is no hardware: the finger on it is an image file,
// or each of a folder's images in turn (see TesoLiveApi.h for the rules a user relies on).
class VirtualReader {
public:
    // The reader named by TESOLIVE_VIRTUAL_FINGER; nothing when the variable is unset or names
    // neither a file nor a folder.
    static std::optional<VirtualReader> fromEnvironment();

    // The image of the finger now on the reader; nothing when it cannot be read or the folder
    // holds no image. A folder moves on to its next image whether or not this one was readable,
    // so one bad file does not block the ones after it.
    std::optional<GreyImage> take() const;

private:
    VirtualReader(std::string path, bool folder) : m_path(std::move(path)), m_folder(folder) {}
    std::optional<std::string> nextInFolder() const;

    std::string m_path;
    bool m_folder = false;
};

} // namespace fingerprint
