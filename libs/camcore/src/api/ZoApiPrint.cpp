// Printing: the engine makes the picture, the program's print function prints it.
#include "ZoApi.h"

#include "ApiSupport.h"

using camcore::Camera;
using camcore::traceCall;
using camcore::traceVoid;
using camcore::api::Answer;
using camcore::api::answerOnCamera;
using camcore::api::doneOr;

namespace {

ZoPrintCallback g_printCallback = nullptr; // GUI thread only

} // namespace

void ZoSetPrintCB(ZoPrintCallback callback) {
    if (camcore::api::refusedOffThreadVoid("ZoSetPrintCB", reinterpret_cast<const void*>(callback)))
        return;
    g_printCallback = callback;
    traceVoid("ZoSetPrintCB", "", reinterpret_cast<const void*>(callback));
}

int ZoPrint(int cam) {
    return answerOnCamera(
        "ZoPrint", cam, 0,
        [](Camera& camera) -> Answer<int> {
            if (g_printCallback == nullptr)
                return {0, "no print function"};
            const QImage picture = camera.printPicture();
            if (picture.isNull())
                return {0, "no picture"};
            const int printed = g_printCallback(
                picture.constBits(), picture.width(), picture.height(),
                static_cast<int>(picture.bytesPerLine()), camera.captureSettings().dpi);
            return {printed, printed == 1 ? "" : "not printed"};
        },
        cam);
}

int ZoPrintQueued(int cam) {
    return answerOnCamera(
        "ZoPrintQueued", cam, 0,
        [](Camera& camera) -> Answer<int> {
            if (g_printCallback == nullptr)
                return {0, "no print function"};
            const bool queued = camera.printQueued([](const QImage& picture, int dpi) {
                // The program may have taken its print function away meanwhile.
                if (g_printCallback == nullptr)
                    return;
                const int printed =
                    picture.isNull()
                        ? g_printCallback(nullptr, 0, 0, 0, dpi)
                        : g_printCallback(picture.constBits(), picture.width(), picture.height(),
                                          static_cast<int>(picture.bytesPerLine()), dpi);
                traceCall("ZoPrintQueued done", printed, picture.isNull() ? "no picture" : "");
            });
            return doneOr(queued, "camera not open");
        },
        cam);
}
