#pragma once

#include "device/CameraDevice.h"
#include "device/v4l2/ControlMemory.h"
#include "device/v4l2/V4l2Camera.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace camcore::v4l2 {

// The cameras among capture nodes, in a stable order: by bus (so a camera keeps its place
// whatever node number it gets after a replug), then node number. Of several nodes with the
// same bus position, which one device has (a second capture node of a camera), the first is kept.
std::vector<NodeInfo> orderCameraNodes(std::vector<NodeInfo> nodes);

// The V4L2 cameras: every /dev/video* node that streams video in a format the decoder takes,
// named by the driver's card name, with the USB identifiers from sysfs. Found afresh at each
// devices() call; a camera that is still plugged in keeps its object (and its open stream).
class V4l2DeviceSource final : public DeviceSource {
public:
    explicit V4l2DeviceSource(std::shared_ptr<ControlMemory> memory = ControlMemory::standard());

    std::vector<std::shared_ptr<CameraDevice>> devices() override;
    // The same list with the V4L2 interface.
    std::vector<std::shared_ptr<V4l2Camera>> cameras();

private:
    std::shared_ptr<ControlMemory> m_memory;
    std::map<std::string, std::shared_ptr<V4l2Camera>> m_known; // by node path
};

} // namespace camcore::v4l2
