// The flat function that chooses the language of the texts the engine shows itself.
#include "ZoApi.h"

#include "ApiSupport.h"
#include "Trace.h"
#include "render/ShownLanguage.h"
#include "render/VideoSurface.h"

#include <QApplication>

// The definition takes its C linkage from the declaration in ZoApi.h.

void ZoSetLanguage(int language) {
    if (camcore::api::refusedOffThreadVoid("ZoSetLanguage", language))
        return;
    const bool known = language == 0 || language == 1;
    if (known) {
        camcore::setShownLanguage(language);
        // A lost camera's surface draws nothing new by itself: it is told to draw its line again.
        for (QWidget* widget : QApplication::allWidgets())
            if (auto* surface = dynamic_cast<camcore::VideoSurface*>(widget))
                surface->update();
    }
    camcore::traceVoid("ZoSetLanguage", known ? "" : "no such language", language);
}
