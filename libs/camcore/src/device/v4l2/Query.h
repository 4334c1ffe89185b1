#pragma once

#include "device/v4l2/Modes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace camcore::v4l2 {

// What VIDIOC_QUERYCAP tells about one node.
struct NodeCapabilities {
    std::string driver;
    std::string card;
    std::string busInfo;
    std::uint32_t deviceCaps = 0; // of this node, not of the whole device
};

std::optional<NodeCapabilities> queryCapabilities(int fd);

// True for a node that streams single-planar video capture through mmap buffers. Metadata,
// output and memory-to-memory nodes of the same device are left out.
bool isVideoCaptureNode(std::uint32_t deviceCaps);

// Every decodable capture format of the node with its sizes and fastest frame intervals.
std::vector<FormatOffer> queryOffers(int fd);

} // namespace camcore::v4l2
