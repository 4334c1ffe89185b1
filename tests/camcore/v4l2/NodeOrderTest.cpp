#include "device/v4l2/Query.h"
#include "device/v4l2/V4l2DeviceSource.h"

#include <gtest/gtest.h>

#include <linux/videodev2.h>

namespace {

using namespace camcore::v4l2;

NodeInfo node(int number, const char* bus) {
    NodeInfo n;
    n.path = "/dev/video" + std::to_string(number);
    n.number = number;
    n.capabilities.busInfo = bus;
    return n;
}

std::vector<int> numbers(const std::vector<NodeInfo>& nodes) {
    std::vector<int> result;
    for (const NodeInfo& n : nodes)
        result.push_back(n.number);
    return result;
}

TEST(NodeOrderTest, ByBusThenNumberOneNodePerDevice) {
    // After a replug the first camera came back as video6 while the second kept video2.
    const std::vector<NodeInfo> found{node(2, "usb-0000:00:14.0-2"), node(6, "usb-0000:00:14.0-1"),
                                      node(7, "usb-0000:00:14.0-1"), node(9, "platform:vivid-000"),
                                      node(3, "usb-0000:00:14.0-2")};
    EXPECT_EQ(numbers(orderCameraNodes(found)), (std::vector<int>{9, 6, 2}));
}

TEST(NodeOrderTest, NodesWithoutBusInformationAreAllKept) {
    EXPECT_EQ(numbers(orderCameraNodes({node(4, ""), node(1, ""), node(0, "usb-1")})),
              (std::vector<int>{1, 4, 0}));
    EXPECT_TRUE(orderCameraNodes({}).empty());
}

TEST(NodeOrderTest, OnlySinglePlanarStreamingCaptureNodes) {
    constexpr std::uint32_t streaming = V4L2_CAP_STREAMING;
    EXPECT_TRUE(isVideoCaptureNode(V4L2_CAP_VIDEO_CAPTURE | streaming | V4L2_CAP_READWRITE));
    EXPECT_FALSE(isVideoCaptureNode(V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE)); // read() only
    EXPECT_FALSE(isVideoCaptureNode(V4L2_CAP_META_CAPTURE | streaming)); // a UVC metadata node
    EXPECT_FALSE(isVideoCaptureNode(V4L2_CAP_VIDEO_OUTPUT | streaming));
    EXPECT_FALSE(isVideoCaptureNode(V4L2_CAP_VIDEO_CAPTURE_MPLANE | streaming));
    EXPECT_FALSE(isVideoCaptureNode(V4L2_CAP_VIDEO_M2M | V4L2_CAP_VIDEO_CAPTURE | streaming));
    // A loopback device before exclusive capabilities says both; it captures.
    EXPECT_TRUE(isVideoCaptureNode(V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_OUTPUT | streaming));
}

} // namespace
