#include "VmSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <linux/videodev2.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace vm {
namespace {

constexpr auto kPatience = std::chrono::seconds(60);

bool writeSysfs(const char* path, const std::string& value) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    return file.write(value.data(), static_cast<qint64>(value.size())) ==
           static_cast<qint64>(value.size());
}

constexpr const char* kVividDevice = "vivid.0";

} // namespace

bool inGuest() {
    const char* guest = std::getenv("DOCSCANNER_VM_GUEST");
    return guest != nullptr && std::string(guest) == "1";
}

bool unbindVivid() {
    return writeSysfs("/sys/bus/platform/drivers/vivid/unbind", kVividDevice);
}

bool bindVivid() {
    return writeSysfs("/sys/bus/platform/drivers/vivid/bind", kVividDevice);
}

bool vividBound() {
    return QFile::exists(QStringLiteral("/sys/bus/platform/drivers/vivid/") +
                         QLatin1String(kVividDevice));
}

std::string loopbackNode() {
    const QDir nodes(QStringLiteral("/sys/class/video4linux"));
    for (const QString& name : nodes.entryList({QStringLiteral("video*")})) {
        QFile label(nodes.filePath(name + QStringLiteral("/name")));
        if (label.open(QIODevice::ReadOnly) && label.readAll().trimmed() == "Loopback MJPEG")
            return "/dev/" + name.toStdString();
    }
    return {};
}

camcore::CameraDevice::FrameHandler Frames::onFrame() {
    return [this](const camcore::Frame& frame) {
        std::lock_guard lock(m_mutex);
        m_frames.push_back(frame);
        m_changed.notify_all();
    };
}

camcore::CameraDevice::LostHandler Frames::onLost() {
    return [this] {
        std::lock_guard lock(m_mutex);
        ++m_lost;
        m_changed.notify_all();
    };
}

bool Frames::waitForCount(int n) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, kPatience,
                              [&] { return static_cast<int>(m_frames.size()) >= n; });
}

bool Frames::waitForLost() {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, kPatience, [&] { return m_lost > 0; });
}

int Frames::count() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_frames.size());
}

int Frames::lost() const {
    std::lock_guard lock(m_mutex);
    return m_lost;
}

std::uint64_t Frames::gaps() const {
    std::lock_guard lock(m_mutex);
    std::uint64_t missing = 0;
    for (std::size_t i = 1; i < m_frames.size(); ++i)
        missing += m_frames[i].sequence - m_frames[i - 1].sequence - 1;
    return missing;
}

std::vector<camcore::Frame> Frames::all() const {
    std::lock_guard lock(m_mutex);
    return m_frames;
}

MjpegProducer::MjpegProducer(const std::string& node, int width, int height)
    : m_fd(::open(node.c_str(), O_RDWR | O_CLOEXEC)) {
    if (!m_fd)
        return;
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    format.fmt.pix.width = static_cast<std::uint32_t>(width);
    format.fmt.pix.height = static_cast<std::uint32_t>(height);
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_MJPEG;
    format.fmt.pix.field = V4L2_FIELD_NONE;
    if (::ioctl(m_fd.get(), VIDIOC_S_FMT, &format) != 0)
        return;
    m_bufferSize = format.fmt.pix.sizeimage;
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    parm.parm.output.timeperframe = {1, 15};
    ::ioctl(m_fd.get(), VIDIOC_S_PARM, &parm);
}

bool MjpegProducer::write(const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> whole(m_bufferSize, 0);
    std::copy(payload.begin(), payload.begin() + std::min(payload.size(), whole.size()),
              whole.begin());
    return ::write(m_fd.get(), whole.data(), whole.size()) == static_cast<ssize_t>(whole.size());
}

std::vector<std::uint8_t> jpegFrame(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor::fromHsv((seed * 37) % 360, 120, 230));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawRect(seed % width, height / 4, width / 3, height / 2);
    painter.drawText(QRect(0, 0, width, height), Qt::AlignCenter, QString::number(seed));
    painter.end();
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    image.save(&out, "JPG", 85);
    return {out.data().begin(), out.data().end()};
}

} // namespace vm
