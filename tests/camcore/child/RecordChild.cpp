// A program that records a virtual camera until the test kills it, as a crash or an unplugged
// machine would end the program. Usage:
//   camcore_record_child CAM RESOLUTION PATH
// It opens camera CAM without a window at resolution index RESOLUTION, starts recording to PATH
// with sound, writes "recording" once it runs, then waits to be killed.
#include "ZoApi.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s CAM RESOLUTION PATH\n", argv[0]);
        return 2;
    }
    const int cam = std::atoi(argv[1]);
    ZoInit();
    ZoSetDefaultResolution(cam, std::atoi(argv[2]));
    if (ZoOpenCamera(cam, 0) != 1 || ZoStartRecordEx(cam, argv[3], true) != 1) {
        std::fprintf(stderr, "camera %d does not record\n", cam);
        return 1;
    }
    std::printf("recording\n");
    std::fflush(stdout);
    return QCoreApplication::exec(); // the capture thread delivers frames meanwhile
}
