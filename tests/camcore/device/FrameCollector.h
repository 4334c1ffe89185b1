#pragma once

#include "device/CameraDevice.h"
#include "pipeline/TurboJpeg.h"

#include <QImage>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace device_test {

// Keeps what a camera's handlers deliver on its capture thread, for the test thread to wait on.
class FrameCollector {
public:
    camcore::CameraDevice::FrameHandler onFrame() {
        return [this](const camcore::Frame& frame) {
            std::lock_guard lock(m_mutex);
            m_inSequence = m_inSequence && frame.sequence == m_last.sequence + 1;
            m_last = frame;
            ++m_count;
            m_changed.notify_all();
        };
    }
    camcore::CameraDevice::LostHandler onLost() {
        return [this] {
            std::lock_guard lock(m_mutex);
            ++m_lost;
            m_changed.notify_all();
        };
    }
    void newStream() { // its sequence starts again at 1
        std::lock_guard lock(m_mutex);
        m_last = {};
    }

    int count() const { return read(m_count); }
    camcore::Frame last() const { return read(m_last); }
    int lost() const { return read(m_lost); }
    bool inSequence() const { return read(m_inSequence); }

    // False if `done` does not come true within a generous limit (sanitizer builds are slow).
    template <typename Predicate> bool waitFor(Predicate done) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), done);
    }
    bool waitForFrames(int n) {
        return waitFor([&] { return m_count >= n; });
    }

    // A frame certainly made after the caller's last change: the frame in the making when the
    // change happened may still show the old state, the one after it cannot. Empty on timeout.
    camcore::Frame frameAfterChange() {
        const std::uint64_t seen = read(m_last.sequence);
        if (!waitFor([&] { return m_last.sequence >= seen + 2; }))
            return {};
        std::lock_guard lock(m_mutex);
        return m_last;
    }

private:
    template <typename T> T read(const T& value) const {
        std::lock_guard lock(m_mutex);
        return value;
    }

    // Recursive: predicates given to waitFor() run under the lock and may call the accessors.
    mutable std::recursive_mutex m_mutex;
    std::condition_variable_any m_changed;
    camcore::Frame m_last;
    int m_count = 0;
    int m_lost = 0;
    bool m_inSequence = true;
};

// Decodes an MJPEG frame with TurboJPEG to Format_Grayscale8 or Format_RGB888; null if the
// bytes are not a JPEG.
inline QImage decodeFrame(const camcore::Frame& frame, bool colour = false) {
    const camcore::TjHandle tj(tjInitDecompress());
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (frame.empty() || tjDecompressHeader3(tj.get(), frame.bytes->data(), frame.bytes->size(),
                                             &width, &height, &subsampling, &colourspace) != 0)
        return {};
    QImage image(width, height, colour ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    if (tjDecompress2(tj.get(), frame.bytes->data(), frame.bytes->size(), image.bits(), width,
                      static_cast<int>(image.bytesPerLine()), height, colour ? TJPF_RGB : TJPF_GRAY,
                      0) != 0)
        return {};
    return image;
}

inline double meanLevel(const QImage& grey) {
    double sum = 0;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            sum += grey.constScanLine(y)[x];
    return sum / (static_cast<double>(grey.width()) * grey.height());
}

} // namespace device_test
