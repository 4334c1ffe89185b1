// Feeds arbitrary bytes to the settings-file parser, reads and writes keys, and checks that a
// written key reads back and survives a second parse.
#include "platform/Profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    platform::Profile profile = platform::Profile::fromText(input);
    const QByteArray section = "Zo twain driver param";
    (void)profile.readInt(section, "DevIndex", 0);
    (void)profile.readString(section, "WorkPath", "");
    (void)profile.readString("s", input.left(16), "default");

    profile.writeInt(section, "DevIndex", 42);
    profile.writeString(section, "WorkPath", "/home/ann/scans");
    if (profile.readInt(section, "DevIndex", 0) != 42)
        std::abort();
    const platform::Profile reparsed = platform::Profile::fromText(profile.text());
    if (reparsed.readInt(section, "DevIndex", 0) != 42 ||
        reparsed.readString(section, "WorkPath", "") != "/home/ann/scans")
        std::abort();
    return 0;
}
