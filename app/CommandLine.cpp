#include "CommandLine.h"

#include <cstdio>
#include <cstring>

std::optional<int> answerInfoRequest(int argc, const char* const argv[]) {
    if (argc < 2 || argv[1] == nullptr)
        return std::nullopt;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("docscanner %s\n", DOCSCANNER_VERSION);
        return 0;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "Usage: docscanner\n"
            "Shows the live picture of a document camera and saves pages as JPG, PNG, BMP, TIFF\n"
            "or PDF files. The program reads no options; every setting is in its window.\n"
            "\n"
            "  --help       print this text and exit\n"
            "  --version    print the version and exit\n"
            "\n"
            "Settings: ~/Documents/Papyra/zoconf.ini. Pictures: the work directory chosen in\n"
            "the window (by default ~/Documents/Papyra).\n"
            "Other programs send commands with showpiece-send (Photo, RotateR, Exit, ...).\n"
            "A camera needs membership of the video group: sudo adduser $USER video\n"
            "\n"
            "Environment:\n"
            "  CAMCORE_VIRTUAL_CAMERAS=N   add N virtual cameras after the real ones\n"
            "  CAMCORE_REAL_CAMERAS=0      hide the real cameras\n"
            "  CAMCORE_TRACE=FILE          record every call to the camera engine in FILE,\n"
            "                              to attach when reporting a problem\n"
            "See docscanner(1) for more.\n");
        return 0;
    }
    return std::nullopt;
}
