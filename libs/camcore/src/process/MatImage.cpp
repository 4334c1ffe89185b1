#include "process/MatImage.h"

namespace camcore {

cv::Mat matView(const QImage& picture) {
    if (picture.isNull())
        return {};
    const auto stride = static_cast<std::size_t>(picture.bytesPerLine());
    auto* bits = const_cast<uchar*>(picture.constBits());
    if (picture.format() == QImage::Format_RGB888)
        return cv::Mat(picture.height(), picture.width(), CV_8UC3, bits, stride);
    if (picture.format() == QImage::Format_Grayscale8)
        return cv::Mat(picture.height(), picture.width(), CV_8UC1, bits, stride);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    return cv::Mat(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar*>(rgb.constBits()),
                   static_cast<std::size_t>(rgb.bytesPerLine()))
        .clone();
}

QImage imageOf(const cv::Mat& pixels) {
    QImage::Format format = QImage::Format_Invalid;
    if (pixels.type() == CV_8UC3)
        format = QImage::Format_RGB888;
    else if (pixels.type() == CV_8UC1)
        format = QImage::Format_Grayscale8;
    if (format == QImage::Format_Invalid || pixels.empty())
        return {};
    // The QImage holds a reference to the matrix's buffer and drops it when it is destroyed.
    auto* owner = new cv::Mat(pixels.u != nullptr ? pixels : pixels.clone());
    return QImage(
        owner->data, owner->cols, owner->rows, static_cast<qsizetype>(owner->step[0]), format,
        [](void* mat) { delete static_cast<cv::Mat*>(mat); }, owner);
}

} // namespace camcore
