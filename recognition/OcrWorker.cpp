#include "OcrWorker.h"

#include "OcrPicture.h"

void OcrWorker::recognise(const QString& path) {
    ocr::keepReadPicture(path);
    ocr::limitWidth(path);
    emit recognised(ocr::recognise(path));
}
