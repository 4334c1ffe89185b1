#include "device/v4l2/ControlMemory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>

namespace camcore::v4l2 {
namespace {

// The file holds a few hundred bytes; anything much larger is not ours.
constexpr qint64 kMaxFileSize = 1 << 20;

} // namespace

ControlMemory::ControlMemory(QString path) : m_path(std::move(path)) {}

std::shared_ptr<ControlMemory> ControlMemory::standard() {
    static const auto memory = std::make_shared<ControlMemory>(
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
        QStringLiteral("/camera-controls.json"));
    return memory;
}

std::string ControlMemory::deviceKey(const DeviceIdentity& identity) {
    return identity.vendorId + ":" + identity.productId + " " + identity.name;
}

void ControlMemory::remember(const std::string& device, std::uint32_t id, int value) {
    const MutexLock lock(m_mutex);
    loadOnce();
    Values& values = m_devices[device];
    values.erase(std::remove_if(values.begin(), values.end(),
                                [id](const auto& entry) { return entry.first == id; }),
                 values.end());
    values.emplace_back(id, value);
    save();
}

ControlMemory::Values ControlMemory::recall(const std::string& device) const {
    const MutexLock lock(m_mutex);
    loadOnce();
    const auto found = m_devices.find(device);
    return found == m_devices.end() ? Values{} : found->second;
}

// A missing or damaged file is an empty memory; the next change writes a good one.
void ControlMemory::loadOnce() const {
    if (m_loaded)
        return;
    m_loaded = true;
    QFile file(m_path);
    if (file.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject devices = QJsonDocument::fromJson(file.readAll()).object();
    for (auto device = devices.begin(); device != devices.end(); ++device) {
        Values values;
        for (const QJsonValue& entry : device.value().toArray()) {
            const QJsonArray pair = entry.toArray();
            if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble())
                continue;
            values.emplace_back(static_cast<std::uint32_t>(pair[0].toInteger()),
                                static_cast<int>(pair[1].toInteger()));
        }
        m_devices[device.key().toStdString()] = std::move(values);
    }
}

void ControlMemory::save() const {
    QJsonObject devices;
    for (const auto& [device, values] : m_devices) {
        QJsonArray list;
        for (const auto& [id, value] : values)
            list.append(QJsonArray{static_cast<qint64>(id), value});
        devices.insert(QString::fromStdString(device), list);
    }
    QDir().mkpath(QFileInfo(m_path).path());
    // Replaced by rename, so a reader never sees half a file; not synced to disk, as QSaveFile
    // would, because a slider rewrites it at every step and a setting lost to a power cut
    // costs nothing.
    const QString temporary = m_path + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    const QByteArray bytes = QJsonDocument(devices).toJson(QJsonDocument::Compact);
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    if (!written || std::rename(QFile::encodeName(temporary).constData(),
                                QFile::encodeName(m_path).constData()) != 0)
        QFile::remove(temporary);
}

} // namespace camcore::v4l2
