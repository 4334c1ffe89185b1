#pragma once

#include "device/CameraDevice.h"

#include <QDialog>

#include <map>
#include <memory>

class QFormLayout;

namespace camcore {

// The device's own controls, one row each: sliders for numbers, check boxes for switches, lists
// for menus. A change goes to the device at once; then every row is read again, because one
// control can change another (manual exposure becomes inactive when automatic exposure is on).
class PropertyDialog final : public QDialog {
public:
    PropertyDialog(std::shared_ptr<CameraDevice> device, QWidget* parent = nullptr);

private:
    void buildRows();
    void refresh();
    void apply(std::uint32_t id, int value);

    std::shared_ptr<CameraDevice> m_device;
    QFormLayout* m_form = nullptr;
    std::map<std::uint32_t, QWidget*> m_editors; // by control id
};

} // namespace camcore
