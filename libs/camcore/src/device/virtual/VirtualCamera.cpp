#include "device/virtual/VirtualCamera.h"

#include "base/Mutex.h"
#include "device/CaptureThread.h"
#include "device/virtual/SceneEncoder.h"
#include "device/virtual/VirtualControls.h"

#include <QDebug>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <string>

namespace camcore {

namespace {

using Clock = std::chrono::steady_clock;

// 15 frames a second, what UVC document cameras deliver at their largest MJPEG size.
constexpr auto kFramePeriod = std::chrono::microseconds(1'000'000 / 15);

const std::vector<Resolution> kResolutions{{3264, 2448}, {2592, 1944}, {2048, 1536},
                                           {1600, 1200}, {1280, 960},  {640, 480}};

Mutex g_observerMutex;
VirtualCamera::PlugObserver g_plugObserver GUARDED_BY(g_observerMutex);

void notifyPlug(const DeviceIdentity& identity, bool plugged) {
    VirtualCamera::PlugObserver observer;
    {
        const MutexLock lock(g_observerMutex);
        observer = g_plugObserver;
    }
    if (observer)
        observer(identity, plugged);
}

} // namespace

struct VirtualCamera::State {
    int number = 0;
    std::optional<QString> folder;

    CaptureThread thread;

    // Guards everything below; the capture thread reads it once per frame.
    mutable Mutex mutex;
    std::condition_variable wake;
    bool present GUARDED_BY(mutex) = true;
    bool startFails GUARDED_BY(mutex) = false;
    // Counts unplugs, so that an unplug followed at once by a replug still ends the stream.
    unsigned unplugs GUARDED_BY(mutex) = 0;
    bool streaming GUARDED_BY(mutex) = false;
    bool stopRequested GUARDED_BY(mutex) = false;
    int page GUARDED_BY(mutex) = 1;
    VirtualControls controls GUARDED_BY(mutex);

    // `startUnplugs`: the count when the stream started; any unplug after it ends the stream.
    void capture(Resolution resolution, unsigned startUnplugs, const FrameHandler& onFrame,
                 const LostHandler& onLost);
};

void VirtualCamera::State::capture(Resolution resolution, unsigned startUnplugs,
                                   const FrameHandler& onFrame, const LostHandler& onLost) {
    SceneEncoder encoder(QSize(resolution.width, resolution.height), folder);
    std::uint64_t sequence = 0;
    bool lost = false;
    bool warned = false;
    auto due = Clock::now();
    for (;;) {
        int framePage = 0;
        Tone tone;
        {
            MutexLock lock(mutex);
            // Until the frame is due, unless a stop or an unplug comes first.
            while (!stopRequested && unplugs == startUnplugs) {
                if (lock.waitUntil(wake, due) == std::cv_status::timeout)
                    break;
            }
            if (stopRequested)
                break;
            if (unplugs != startUnplugs) {
                lost = true;
                streaming = false;
                break;
            }
            framePage = page;
            tone = controls.tone();
        }
        // A slow frame (a new 8 MP scene) delays the next one rather than causing a burst.
        due = std::max(due + kFramePeriod, Clock::now());

        Frame frame;
        frame.bytes = encoder.frame(framePage, tone);
        if (!frame.bytes) {
            if (!warned)
                qWarning("virtual camera %d: cannot make a %dx%d frame", number, resolution.width,
                         resolution.height);
            warned = true;
            continue;
        }
        frame.format = PixelFormat::Mjpeg;
        frame.width = resolution.width;
        frame.height = resolution.height;
        frame.sequence = ++sequence;
        onFrame(frame);
    }
    if (lost && onLost)
        onLost();
}

VirtualCamera::VirtualCamera(int number, std::optional<QString> sourceFolder)
    : m_state(std::make_unique<State>()) {
    m_state->number = number;
    m_state->folder = std::move(sourceFolder);
}

VirtualCamera::~VirtualCamera() {
    stop();
}

DeviceIdentity VirtualCamera::identity() const {
    const int number = m_state->number;
    DeviceIdentity id;
    id.name = "Virtual Document Camera " + std::to_string(number);
    id.vendorId = "1209";
    id.productId =
        QStringLiteral("%1").arg(0xDC00 + number, 4, 16, QChar('0')).toUpper().toStdString();
    id.key = "virtual:" + std::to_string(number);
    return id;
}

std::vector<Resolution> VirtualCamera::resolutions() const {
    return kResolutions;
}

bool VirtualCamera::isPresent() const {
    const MutexLock lock(m_state->mutex);
    return m_state->present;
}

bool VirtualCamera::start(Resolution resolution, FrameHandler onFrame, LostHandler onLost) {
    State& s = *m_state;
    if (!onFrame || s.thread.isCurrent())
        return false;
    if (std::find(kResolutions.begin(), kResolutions.end(), resolution) == kResolutions.end())
        return false;
    const MutexLock life(s.thread.lifecycle());
    {
        const MutexLock lock(s.mutex);
        if (!s.present || s.streaming || s.startFails)
            return false;
    }
    s.thread.joinEnded();
    unsigned unplugs = 0;
    {
        const MutexLock lock(s.mutex);
        if (!s.present) // unplugged while the old thread was joined
            return false;
        s.streaming = true;
        s.stopRequested = false;
        unplugs = s.unplugs;
    }
    s.thread.launch(
        [&s, resolution, unplugs, onFrame = std::move(onFrame), onLost = std::move(onLost)] {
            s.capture(resolution, unplugs, onFrame, onLost);
        });
    return true;
}

void VirtualCamera::stop() {
    State& s = *m_state;
    s.thread.stop([&s] {
        {
            const MutexLock lock(s.mutex);
            s.stopRequested = true;
            s.streaming = false;
        }
        s.wake.notify_all();
    });
}

bool VirtualCamera::isStreaming() const {
    const MutexLock lock(m_state->mutex);
    return m_state->streaming;
}

std::vector<Control> VirtualCamera::controls() const {
    const MutexLock lock(m_state->mutex);
    return m_state->controls.list();
}

bool VirtualCamera::setControl(std::uint32_t id, int value) {
    const MutexLock lock(m_state->mutex);
    return m_state->controls.set(id, value);
}

void VirtualCamera::unplug() {
    {
        const MutexLock lock(m_state->mutex);
        if (!m_state->present)
            return;
        m_state->present = false;
        ++m_state->unplugs;
    }
    m_state->wake.notify_all();
    notifyPlug(identity(), false);
}

void VirtualCamera::replug() {
    {
        const MutexLock lock(m_state->mutex);
        if (m_state->present)
            return;
        m_state->present = true;
    }
    notifyPlug(identity(), true);
}

void VirtualCamera::setStartFails(bool fail) {
    const MutexLock lock(m_state->mutex);
    m_state->startFails = fail;
}

void VirtualCamera::setPlugObserver(PlugObserver observer) {
    const MutexLock lock(g_observerMutex);
    g_plugObserver = std::move(observer);
}

void VirtualCamera::turnPage() {
    const MutexLock lock(m_state->mutex);
    ++m_state->page;
}

int VirtualCamera::page() const {
    const MutexLock lock(m_state->mutex);
    return m_state->page;
}

} // namespace camcore
