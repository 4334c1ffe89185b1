#include "device/v4l2/Controls.h"
#include "device/v4l2/ControlMemory.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

using namespace camcore;
using namespace camcore::v4l2;

v4l2_query_ext_ctrl query(std::uint32_t type, std::uint32_t flags = 0) {
    v4l2_query_ext_ctrl q{};
    q.id = V4L2_CID_BRIGHTNESS;
    q.type = type;
    std::strcpy(q.name, "Brightness");
    q.minimum = -64;
    q.maximum = 64;
    q.step = 2;
    q.default_value = 0;
    q.flags = flags;
    q.elems = 1;
    return q;
}

TEST(ControlQueryTest, TypesTheDialogShows) {
    const auto integer = controlFromQuery(query(V4L2_CTRL_TYPE_INTEGER));
    ASSERT_TRUE(integer);
    EXPECT_EQ(integer->id, V4L2_CID_BRIGHTNESS);
    EXPECT_EQ(integer->name, "Brightness");
    EXPECT_EQ(integer->type, ControlType::Integer);
    EXPECT_EQ(integer->minimum, -64);
    EXPECT_EQ(integer->maximum, 64);
    EXPECT_EQ(integer->step, 2);
    EXPECT_FALSE(integer->inactive);
    EXPECT_FALSE(integer->readOnly);
    EXPECT_EQ(controlFromQuery(query(V4L2_CTRL_TYPE_BOOLEAN))->type, ControlType::Boolean);
    EXPECT_EQ(controlFromQuery(query(V4L2_CTRL_TYPE_MENU))->type, ControlType::Menu);
    EXPECT_EQ(controlFromQuery(query(V4L2_CTRL_TYPE_INTEGER_MENU))->type, ControlType::Menu);
    EXPECT_EQ(controlFromQuery(query(V4L2_CTRL_TYPE_BUTTON))->type, ControlType::Button);
    for (std::uint32_t other :
         {V4L2_CTRL_TYPE_INTEGER64, V4L2_CTRL_TYPE_CTRL_CLASS, V4L2_CTRL_TYPE_STRING,
          V4L2_CTRL_TYPE_BITMASK, V4L2_CTRL_TYPE_U8, V4L2_CTRL_TYPE_AREA})
        EXPECT_FALSE(controlFromQuery(query(other))) << other;

    v4l2_query_ext_ctrl array = query(V4L2_CTRL_TYPE_INTEGER);
    array.nr_of_dims = 1;
    array.elems = 8;
    EXPECT_FALSE(controlFromQuery(array));
}

// Each flag sets its own field and leaves the others alone.
TEST(ControlQueryTest, FlagsMapOneToOne) {
    EXPECT_FALSE(controlFromQuery(query(V4L2_CTRL_TYPE_INTEGER, V4L2_CTRL_FLAG_DISABLED)));
    const auto inactive = controlFromQuery(query(V4L2_CTRL_TYPE_INTEGER, V4L2_CTRL_FLAG_INACTIVE));
    EXPECT_TRUE(inactive->inactive);
    EXPECT_FALSE(inactive->readOnly);
    const auto readOnly = controlFromQuery(query(V4L2_CTRL_TYPE_INTEGER, V4L2_CTRL_FLAG_READ_ONLY));
    EXPECT_TRUE(readOnly->readOnly);
    EXPECT_FALSE(readOnly->inactive);
    const auto grabbed = controlFromQuery(query(V4L2_CTRL_TYPE_MENU, V4L2_CTRL_FLAG_GRABBED));
    EXPECT_TRUE(grabbed->readOnly);
    EXPECT_FALSE(grabbed->inactive);
    const auto both = controlFromQuery(
        query(V4L2_CTRL_TYPE_INTEGER, V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_READ_ONLY |
                                          V4L2_CTRL_FLAG_VOLATILE | V4L2_CTRL_FLAG_SLIDER));
    EXPECT_TRUE(both->inactive);
    EXPECT_TRUE(both->readOnly);
    const auto plain = controlFromQuery(
        query(V4L2_CTRL_TYPE_INTEGER, V4L2_CTRL_FLAG_VOLATILE | V4L2_CTRL_FLAG_WRITE_ONLY));
    EXPECT_FALSE(plain->inactive);
    EXPECT_FALSE(plain->readOnly);
}

TEST(ControlQueryTest, WideRangesAreClampedAndStepIsAtLeastOne) {
    v4l2_query_ext_ctrl wide = query(V4L2_CTRL_TYPE_INTEGER);
    wide.minimum = LLONG_MIN / 2;
    wide.maximum = LLONG_MAX / 2;
    wide.step = 0;
    wide.default_value = 1LL << 40;
    const auto control = controlFromQuery(wide);
    EXPECT_EQ(control->minimum, INT_MIN);
    EXPECT_EQ(control->maximum, INT_MAX);
    EXPECT_EQ(control->step, 1);
    EXPECT_EQ(control->defaultValue, INT_MAX);
    v4l2_query_ext_ctrl huge = query(V4L2_CTRL_TYPE_INTEGER);
    huge.step = 1ULL << 40;
    EXPECT_EQ(controlFromQuery(huge)->step, INT_MAX);
}

class ControlMemoryTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("sub/controls.json")); }
    QTemporaryDir m_dir;
};

TEST_F(ControlMemoryTest, KeepsValuesPerDeviceInTheOrderLastSetAcrossInstances) {
    const std::string camera = "046D:0825 HD Webcam C270";
    const std::string other = "046D:0825 Another Name";
    {
        ControlMemory memory(path());
        EXPECT_TRUE(memory.recall(camera).empty());
        memory.remember(camera, V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL);
        memory.remember(camera, V4L2_CID_EXPOSURE_ABSOLUTE, 300);
        memory.remember(camera, V4L2_CID_BRIGHTNESS, 10);
        memory.remember(other, V4L2_CID_BRIGHTNESS, -5);
        // Changed again: moves to the end with its new value.
        memory.remember(camera, V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY);
    }
    const ControlMemory reloaded(path());
    EXPECT_EQ(reloaded.recall(camera),
              (ControlMemory::Values{{V4L2_CID_EXPOSURE_ABSOLUTE, 300},
                                     {V4L2_CID_BRIGHTNESS, 10},
                                     {V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY}}));
    EXPECT_EQ(reloaded.recall(other), (ControlMemory::Values{{V4L2_CID_BRIGHTNESS, -5}}));
    EXPECT_TRUE(reloaded.recall("1234:5678 HD Webcam C270").empty());
}

TEST_F(ControlMemoryTest, DeviceKeyIsIdentifiersAndNameNotBusPosition) {
    DeviceIdentity a{"HD Webcam", "0825", "046D", "v4l2:usb-0000:00:14.0-1|046D:0825"};
    DeviceIdentity b = a;
    b.key = "v4l2:usb-0000:00:14.0-2|046D:0825"; // the same model in another port
    EXPECT_EQ(ControlMemory::deviceKey(a), ControlMemory::deviceKey(b));
    DeviceIdentity renamed = a;
    renamed.name = "HD Webcam 2";
    EXPECT_NE(ControlMemory::deviceKey(a), ControlMemory::deviceKey(renamed));
    DeviceIdentity otherProduct = a;
    otherProduct.productId = "0826";
    EXPECT_NE(ControlMemory::deviceKey(a), ControlMemory::deviceKey(otherProduct));
}

TEST_F(ControlMemoryTest, DamagedFileIsAnEmptyMemoryAndIsReplaced) {
    for (const QByteArray& damaged :
         {QByteArray("{\"cam\": [[1, 2], [\"x\", 3], [4], 5], \"other\": 7"),
          QByteArray("\xff\xfe garbage"), QByteArray("[]"),
          QByteArray("{\"cam\": [[9963776, 5, 6], [9963776, 7]]}")}) {
        QDir().mkpath(QFileInfo(path()).path());
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        ControlMemory memory(path());
        const ControlMemory::Values values = memory.recall("cam");
        EXPECT_TRUE(values.empty() || values == (ControlMemory::Values{{9963776, 7}}))
            << damaged.toStdString();
        memory.remember("cam", V4L2_CID_CONTRAST, 3);
        EXPECT_EQ(ControlMemory(path()).recall("cam").back(),
                  (std::pair<std::uint32_t, int>{V4L2_CID_CONTRAST, 3}));
    }
}

} // namespace
