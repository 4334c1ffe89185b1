#pragma once

#include "device/CameraDevice.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace camcore {

// A camera without hardware: it streams MJPEG frames of a document lying on a desk (or of the
// pictures of a folder, or of a video: `source`, see SceneEncoder) at about 15 frames a second,
// through the same decode path as a real UVC camera. Brightness and exposure change the picture;
// tests can unplug and replug it, turn the page, and step its clock frame by frame. `number`
// counts from 1 and makes the name and identifiers distinct.
class VirtualCamera final : public CameraDevice {
public:
    // Frames a second, in real time and as the stepped clock counts play time.
    static constexpr int kFramesPerSecond = 15;

    explicit VirtualCamera(int number, std::optional<QString> source = std::nullopt);
    ~VirtualCamera() override;

    DeviceIdentity identity() const override;
    std::vector<Resolution> resolutions() const override;
    bool isPresent() const override;
    bool start(Resolution resolution, FrameHandler onFrame, LostHandler onLost) override;
    void stop() override;
    bool isStreaming() const override;
    std::vector<Control> controls() const override;
    bool setControl(std::uint32_t id, int value) override;

    // Test interface.
    void unplug(); // a streaming camera reports itself lost and its thread ends
    void replug();
    // While set, the camera is listed but cannot stream, as a real node can be for a moment
    // after the kernel announced it.
    void setStartFails(bool fail);
    // Told of every unplug and replug of any virtual camera, on the thread that made it, as the
    // kernel tells of real cameras; the device monitor passes it on. Empty to stop.
    using PlugObserver = std::function<void(const DeviceIdentity& identity, bool plugged)>;
    static void setPlugObserver(PlugObserver observer);
    // The next frame shows the next page (of the document, or of a folder without a timing list).
    void turnPage();
    int page() const;
    // What the camera shows from its next stream on (as CAMCORE_VIRTUAL_SOURCE); none: the
    // document.
    void setSource(std::optional<QString> source);
    // The stepped clock, for tests that must not depend on the machine's speed: while it is on, a
    // stream makes a frame only when stepFrames() asks for one, and each frame shows the source
    // one frame period (1/15 s) of play time after the one before. Off (the default), frames come
    // in real time. Takes effect at once, for this and later streams.
    void setSteppedClock(bool stepped);
    // With the stepped clock on, lets the stream make `frames` more frames and returns once the
    // frame handler has returned for each (and for any asked for before). False when the camera
    // is not streaming with the stepped clock, or the stream ended (stop, unplug) first; also
    // after a minute without them, so that a stuck handler fails a test rather than hanging it.
    bool stepFrames(int frames);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The virtual cameras of this process: CAMCORE_VIRTUAL_CAMERAS=N makes N of them, and
// CAMCORE_VIRTUAL_SOURCE=DIR or FILE makes them show the pictures of DIR or play the video FILE.
// Read once, on first use.
class VirtualDeviceSource final : public DeviceSource {
public:
    static VirtualDeviceSource& instance();

    // The cameras that are plugged in, in number order.
    std::vector<std::shared_ptr<CameraDevice>> devices() override;
    // Every virtual camera, plugged in or not; index 0 is number 1.
    const std::vector<std::shared_ptr<VirtualCamera>>& all() const { return m_cameras; }

private:
    VirtualDeviceSource();
    std::vector<std::shared_ptr<VirtualCamera>> m_cameras;
};

} // namespace camcore
