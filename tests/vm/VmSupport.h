#pragma once

#include "base/Owned.h"
#include "device/CameraDevice.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Helpers of the tests that run inside the V4L2 test machine (tests/vm/run-vm): two vivid
// cameras and one v4l2loopback device.
namespace vm {

// Skips the test outside the test machine: these tests unbind drivers.
#define REQUIRE_VM_GUEST()                                                                         \
    do {                                                                                           \
        if (!vm::inGuest())                                                                        \
            GTEST_SKIP() << "runs only inside the test machine: tests/vm/run-vm";                  \
    } while (false)
bool inGuest();

// Unplugs or replugs both vivid cameras (they share the platform device vivid.0) through the
// driver's sysfs unbind and bind files, as a USB camera goes and comes. True when the kernel
// took the request.
bool unbindVivid();
bool bindVivid();
bool vividBound();

// The loopback device's node, found by its card label; empty when it is missing.
std::string loopbackNode();

// Collects what a camera's handlers deliver on its capture thread.
class Frames {
public:
    camcore::CameraDevice::FrameHandler onFrame();
    camcore::CameraDevice::LostHandler onLost();

    // False when the condition does not come true within a generous limit (the machine runs
    // under software emulation).
    bool waitForCount(int n);
    bool waitForLost();

    int count() const;
    int lost() const;
    // Missing sequence numbers between the first and the last frame.
    std::uint64_t gaps() const;
    std::vector<camcore::Frame> all() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<camcore::Frame> m_frames;
    int m_lost = 0;
};

// Writes MJPEG frames into the loopback device's output side, each padded to the whole buffer
// the way the capture side then reports it.
class MjpegProducer {
public:
    MjpegProducer(const std::string& node, int width, int height);
    bool ok() const { return m_fd && m_bufferSize > 0; }
    std::size_t bufferSize() const { return m_bufferSize; }
    bool write(const std::vector<std::uint8_t>& payload);

private:
    camcore::UniqueFd m_fd;
    std::size_t m_bufferSize = 0;
};

// A JPEG of a gradient whose content depends on `seed`, so that frames differ.
std::vector<std::uint8_t> jpegFrame(int width, int height, int seed);

} // namespace vm
