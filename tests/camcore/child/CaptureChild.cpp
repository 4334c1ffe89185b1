// A program that captures with a virtual camera, for tests that kill it mid-way (as a crash
// would) and look at what it left on disk. Usage:
//   camcore_capture_child CAM RESOLUTION PDFMODE COUNT PATH
// It opens camera CAM without a window at resolution index RESOLUTION, sets the PDF mode, then
// captures to PATH COUNT times (0: until killed), writing a line "captured N" after each
// capture that wrote, and "failed" after one that did not. Then it waits to be killed.
#include "ZoApi.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s CAM RESOLUTION PDFMODE COUNT PATH\n", argv[0]);
        return 2;
    }
    const int cam = std::atoi(argv[1]);
    const int count = std::atoi(argv[4]);
    ZoInit();
    ZoSetDefaultResolution(cam, std::atoi(argv[2]));
    if (ZoOpenCamera(cam, 0) != 1 || ZoSetPDFMode(cam, std::atoi(argv[3])) != 1) {
        std::fprintf(stderr, "camera %d does not open\n", cam);
        return 1;
    }
    for (int done = 0; count == 0 || done < count;) {
        if (ZoCapture(cam, argv[5]) > 0)
            std::printf("captured %d\n", ++done);
        else
            std::printf("failed\n");
        std::fflush(stdout);
    }
    for (;;)
        ::pause(); // the document stays open, as in a program that crashes later
}
