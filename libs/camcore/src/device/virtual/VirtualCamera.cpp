#include "device/virtual/VirtualCamera.h"

#include "base/Mutex.h"
#include "device/CaptureThread.h"
#include "device/virtual/PlayClock.h"
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
static_assert(VirtualCamera::kFramesPerSecond == PlayClock::kFramesPerSecond);
constexpr auto kFramePeriod =
    std::chrono::microseconds(1'000'000 / VirtualCamera::kFramesPerSecond);

// How long stepFrames() waits for its frames at most.
constexpr auto kStepLimit = std::chrono::minutes(1);

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
    std::optional<QString> source GUARDED_BY(mutex);
    // The stepped clock. Counts since the camera was made: frames asked for by stepFrames(),
    // frames begun, and frames made (the handler has returned).
    bool stepped GUARDED_BY(mutex) = false;
    std::uint64_t stepsAsked GUARDED_BY(mutex) = 0;
    std::uint64_t stepsBegun GUARDED_BY(mutex) = 0;
    std::uint64_t stepsMade GUARDED_BY(mutex) = 0;
    unsigned streams GUARDED_BY(mutex) = 0; // streams started, so that a step ends with its own

    // `startUnplugs`: the count when the stream started; any unplug after it ends the stream.
    void capture(Resolution resolution, unsigned startUnplugs, const FrameHandler& onFrame,
                 const LostHandler& onLost);
};

void VirtualCamera::State::capture(Resolution resolution, unsigned startUnplugs,
                                   const FrameHandler& onFrame, const LostHandler& onLost) {
    std::optional<QString> streamSource;
    {
        const MutexLock lock(mutex);
        streamSource = source;
    }
    // Opens the video or reads the timing list here, on the capture thread.
    SceneEncoder encoder(QSize(resolution.width, resolution.height), streamSource);
    PlayClock clock;
    std::uint64_t sequence = 0;
    bool lost = false;
    bool warned = false;
    auto due = Clock::now();
    for (;;) {
        int framePage = 0;
        Tone tone;
        bool steppedFrame = false;
        {
            MutexLock lock(mutex);
            // Until the frame is due (real time) or asked for (stepped), unless a stop or an
            // unplug comes first.
            while (!stopRequested && unplugs == startUnplugs) {
                if (stepped) {
                    if (stepsBegun < stepsAsked)
                        break;
                    lock.wait(wake);
                } else if (lock.waitUntil(wake, due) == std::cv_status::timeout) {
                    break;
                }
            }
            if (stopRequested)
                break;
            if (unplugs != startUnplugs) {
                lost = true;
                streaming = false;
                wake.notify_all(); // a stepFrames() waiting ends
                break;
            }
            framePage = page;
            tone = controls.tone();
            steppedFrame = stepped;
            if (steppedFrame)
                ++stepsBegun;
        }
        const auto now = Clock::now();
        // A slow frame (a new 8 MP scene) delays the next one rather than causing a burst.
        due = std::max(due + kFramePeriod, now);

        Frame frame;
        frame.bytes = encoder.frame(framePage, tone, clock.next(steppedFrame, now));
        if (frame.bytes) {
            frame.format = PixelFormat::Mjpeg;
            frame.width = resolution.width;
            frame.height = resolution.height;
            frame.sequence = ++sequence;
            onFrame(frame);
        } else if (!warned) {
            qWarning("virtual camera %d: cannot make a %dx%d frame", number, resolution.width,
                     resolution.height);
            warned = true;
        }
        if (steppedFrame) {
            {
                const MutexLock lock(mutex);
                ++stepsMade;
            }
            wake.notify_all();
        }
    }
    if (lost && onLost)
        onLost();
}

VirtualCamera::VirtualCamera(int number, std::optional<QString> source)
    : m_state(std::make_unique<State>()) {
    m_state->number = number;
    m_state->source = std::move(source);
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
        s.stepsAsked = s.stepsBegun; // steps asked of an earlier stream are not this one's
        ++s.streams;
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

void VirtualCamera::setSource(std::optional<QString> source) {
    const MutexLock lock(m_state->mutex);
    m_state->source = std::move(source);
}

void VirtualCamera::setSteppedClock(bool stepped) {
    {
        const MutexLock lock(m_state->mutex);
        m_state->stepped = stepped;
        if (!stepped)
            m_state->stepsAsked = m_state->stepsBegun;
    }
    m_state->wake.notify_all();
}

bool VirtualCamera::stepFrames(int frames) {
    State& s = *m_state;
    if (frames < 0 || s.thread.isCurrent()) // the frame handler cannot wait for itself
        return false;
    MutexLock lock(s.mutex);
    if (!s.stepped || !s.streaming)
        return false;
    const unsigned unplugs = s.unplugs;
    const unsigned stream = s.streams;
    s.stepsAsked += static_cast<std::uint64_t>(frames);
    // Every frame asked for, this call's last.
    const std::uint64_t until = s.stepsAsked;
    s.wake.notify_all();
    const auto deadline = Clock::now() + kStepLimit;
    while (s.stepsMade < until) {
        if (!s.stepped || !s.streaming || s.unplugs != unplugs || s.streams != stream)
            return false;
        if (lock.waitUntil(s.wake, deadline) == std::cv_status::timeout)
            return s.stepsMade >= until;
    }
    return true;
}

} // namespace camcore
