#pragma once

#include "base/Mutex.h"
#include "device/CameraDevice.h"

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace camcore::v4l2 {

// The control values the user has set, per camera model (identifiers and name), set again when
// a camera starts streaming. A UVC camera forgets its settings whenever it loses power, so
// without this a replug would undo them. They live in a small file, not only in the process:
// users expect a camera to keep its picture settings from one session to the next, and each
// change rewrites a few hundred bytes. Thread-safe.
class ControlMemory {
public:
    using Values = std::vector<std::pair<std::uint32_t, int>>;

    explicit ControlMemory(QString path);
    // The process's memory, in camera-controls.json of the application's configuration folder.
    static std::shared_ptr<ControlMemory> standard();
    static std::string deviceKey(const DeviceIdentity& identity);

    void remember(const std::string& device, std::uint32_t id, int value);
    // In the order they were last set, so that a mode is set before the value it unlocks
    // (manual exposure before the exposure time) when the user set them in that order.
    Values recall(const std::string& device) const;

private:
    void loadOnce() const REQUIRES(m_mutex);
    void save() const REQUIRES(m_mutex);

    QString m_path;
    mutable Mutex m_mutex;
    mutable bool m_loaded GUARDED_BY(m_mutex) = false;
    mutable std::map<std::string, Values> m_devices GUARDED_BY(m_mutex);
};

} // namespace camcore::v4l2
