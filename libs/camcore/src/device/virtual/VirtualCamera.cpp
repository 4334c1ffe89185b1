#include "device/virtual/VirtualCamera.h"

#include "device/virtual/SceneEncoder.h"
#include "device/virtual/VirtualControls.h"

#include <QDebug>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace camcore {

namespace {

using Clock = std::chrono::steady_clock;

// 15 frames a second, what UVC document cameras deliver at their largest MJPEG size.
constexpr auto kFramePeriod = std::chrono::microseconds(1'000'000 / 15);

const std::vector<Resolution> kResolutions{{3264, 2448}, {2592, 1944}, {2048, 1536},
                                           {1600, 1200}, {1280, 960},  {640, 480}};

// The camera whose capture loop runs on this thread, if any: stop() and start() called from a
// handler must not join the thread they run on.
thread_local const void* t_capturing = nullptr;

std::mutex g_observerMutex;
VirtualCamera::PlugObserver g_plugObserver;

void notifyPlug(const DeviceIdentity& identity, bool plugged) {
    VirtualCamera::PlugObserver observer;
    {
        std::lock_guard lock(g_observerMutex);
        observer = g_plugObserver;
    }
    if (observer)
        observer(identity, plugged);
}

} // namespace

struct VirtualCamera::State {
    int number = 0;
    std::optional<QString> folder;

    // Serialises start() and stop(); the capture thread never takes it.
    std::mutex lifecycle;
    std::thread thread;

    // Guards everything below; the capture thread reads it once per frame.
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool present = true;
    // Counts unplugs, so that an unplug followed at once by a replug still ends the stream.
    unsigned unplugs = 0;
    bool streaming = false;
    bool stopRequested = false;
    int page = 1;
    VirtualControls controls;

    // `startUnplugs`: the count when the stream started; any unplug after it ends the stream.
    void capture(Resolution resolution, unsigned startUnplugs, const FrameHandler& onFrame,
                 const LostHandler& onLost);
};

void VirtualCamera::State::capture(Resolution resolution, unsigned startUnplugs,
                                   const FrameHandler& onFrame, const LostHandler& onLost) {
    t_capturing = this;
    SceneEncoder encoder(QSize(resolution.width, resolution.height), folder);
    std::uint64_t sequence = 0;
    bool lost = false;
    bool warned = false;
    auto due = Clock::now();
    for (;;) {
        int framePage = 0;
        Tone tone;
        {
            std::unique_lock lock(mutex);
            wake.wait_until(lock, due, [&] { return stopRequested || unplugs != startUnplugs; });
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
    t_capturing = nullptr;
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
    std::lock_guard lock(m_state->mutex);
    return m_state->present;
}

bool VirtualCamera::start(Resolution resolution, FrameHandler onFrame, LostHandler onLost) {
    State& s = *m_state;
    if (!onFrame || t_capturing == &s)
        return false;
    if (std::find(kResolutions.begin(), kResolutions.end(), resolution) == kResolutions.end())
        return false;
    std::lock_guard life(s.lifecycle);
    {
        std::lock_guard lock(s.mutex);
        if (!s.present || s.streaming)
            return false;
    }
    // A stream that ended by itself (unplugged, or stopped from a handler) still needs joining.
    if (s.thread.joinable())
        s.thread.join();
    unsigned unplugs = 0;
    {
        std::lock_guard lock(s.mutex);
        if (!s.present) // unplugged while the old thread was joined
            return false;
        s.streaming = true;
        s.stopRequested = false;
        unplugs = s.unplugs;
    }
    s.thread = std::thread(
        [&s, resolution, unplugs, onFrame = std::move(onFrame), onLost = std::move(onLost)] {
            s.capture(resolution, unplugs, onFrame, onLost);
        });
    return true;
}

void VirtualCamera::stop() {
    State& s = *m_state;
    auto request = [&s] {
        {
            std::lock_guard lock(s.mutex);
            s.stopRequested = true;
            s.streaming = false;
        }
        s.wake.notify_all();
    };
    // From a handler the loop ends once the handler returns; the next start() or stop() joins it.
    if (t_capturing == &s) {
        request();
        return;
    }
    std::lock_guard life(s.lifecycle);
    request();
    if (s.thread.joinable())
        s.thread.join();
}

bool VirtualCamera::isStreaming() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->streaming;
}

std::vector<Control> VirtualCamera::controls() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->controls.list();
}

bool VirtualCamera::setControl(std::uint32_t id, int value) {
    std::lock_guard lock(m_state->mutex);
    return m_state->controls.set(id, value);
}

void VirtualCamera::unplug() {
    {
        std::lock_guard lock(m_state->mutex);
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
        std::lock_guard lock(m_state->mutex);
        if (m_state->present)
            return;
        m_state->present = true;
    }
    notifyPlug(identity(), true);
}

void VirtualCamera::setPlugObserver(PlugObserver observer) {
    std::lock_guard lock(g_observerMutex);
    g_plugObserver = std::move(observer);
}

void VirtualCamera::turnPage() {
    std::lock_guard lock(m_state->mutex);
    ++m_state->page;
}

int VirtualCamera::page() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->page;
}

} // namespace camcore
