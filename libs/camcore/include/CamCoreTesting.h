#pragma once

// Test interface of the engine's virtual cameras (CAMCORE_VIRTUAL_CAMERAS=N). `n` counts the
// virtual cameras from 0, whether plugged in or not. All return false for an unknown camera.

#if defined(CAMCORE_BUILDING)
#define CAMCORE_TESTING_API __attribute__((visibility("default")))
#else
#define CAMCORE_TESTING_API
#endif

#include <cstddef>
#include <cstdint>
#include <functional>

namespace camcore::testing {

CAMCORE_TESTING_API int virtualCameraCount();
// A streaming camera reports itself lost; the next ZoGetCameraCount() no longer lists it.
CAMCORE_TESTING_API bool unplugVirtualCamera(int n);
CAMCORE_TESTING_API bool replugVirtualCamera(int n);
// While `fail` is set, the camera is listed but cannot stream (ZoOpenCamera fails), as a real
// device node can be for a moment after its arrival was announced.
CAMCORE_TESTING_API bool setVirtualCameraStartFails(int n, bool fail);
// The next frames show the next page.
CAMCORE_TESTING_API bool turnVirtualPage(int n);
// What camera n shows from its next stream on (ZoOpenCamera, a resolution change), as
// CAMCORE_VIRTUAL_SOURCE would: a folder of pictures, a folder with a timing list or a video
// file (README); null or "" shows the synthetic document. A file name's bytes as on disk.
CAMCORE_TESTING_API bool setVirtualCameraSource(int n, const char* path);
// The stepped clock, so that a test plays a video or timing list the same on any machine: while
// on, camera n makes a frame only when stepVirtualFrames() asks, and each frame shows the source
// 1/15 s of play time after the one before. Off (the default) is real time. At once, and for
// later streams too.
CAMCORE_TESTING_API bool setVirtualClockStepped(int n, bool stepped);
// Lets camera n make `frames` more frames and returns once the engine has taken each in (its
// frame count and page watching have seen them; the previews and callbacks it queues arrive when
// the GUI thread next handles its events). False when the camera is not streaming with the
// stepped clock, or the stream ended first. The engine's frame handling never waits for the GUI
// thread, so the GUI thread may call it.
CAMCORE_TESTING_API bool stepVirtualFrames(int n, int frames);
// Called with n and true or false whenever virtual camera n is replugged or unplugged, on the
// thread that did it; the application hands these to its device monitor. Empty to stop.
CAMCORE_TESTING_API void setVirtualPlugHandler(std::function<void(int n, bool plugged)> handler);

// What camera `cam` (an index of the engine's device list, as for the Zo* calls) has done since
// the program started: frames received, and preview pictures decoded of them. All zero for an
// unknown camera. Call on the GUI thread.
struct FrameCounts {
    std::uint64_t frames = 0;
    std::uint64_t previewDecodes = 0;
};
CAMCORE_TESTING_API FrameCounts frameCounts(int cam);

// How many bytes a camera's queued captures may hold before ZoCaptureQueued answers busy;
// 0 restores the default (about 200 MB). Every camera, from the next capture on.
CAMCORE_TESTING_API void setCaptureByteLimit(std::size_t bytes);

// While hidden, the engine acts as if the OCR library were missing: ZoPdfTextReaderPresent()
// answers false and pages are saved without text. Any thread.
CAMCORE_TESTING_API void hideTextReader(bool hidden);

// The virtual card reader (CAMCORE_VIRTUAL_IDCARD=FILE). Placing reads the card file the
// variable names now; false when the variable is unset or the file is no card, and the reader
// then holds no readable card. Any thread.
CAMCORE_TESTING_API bool placeVirtualIDCard();
CAMCORE_TESTING_API void removeVirtualIDCard();

} // namespace camcore::testing
