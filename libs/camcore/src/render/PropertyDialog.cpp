#include "PropertyDialog.h"

#include "render/ShownLanguage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace camcore {
namespace {

// A slider with its value shown beside it.
class SliderRow final : public QWidget {
public:
    explicit SliderRow(QWidget* parent) : QWidget(parent) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        slider = new QSlider(Qt::Horizontal, this);
        slider->setMinimumWidth(220);
        label = new QLabel(this);
        label->setMinimumWidth(48);
        layout->addWidget(slider);
        layout->addWidget(label);
        connect(slider, &QSlider::valueChanged, label, [this](int value) { label->setNum(value); });
    }
    QSlider* slider;
    QLabel* label;
};

} // namespace

PropertyDialog::PropertyDialog(std::shared_ptr<CameraDevice> device, QWidget* parent)
    : QDialog(parent), m_device(std::move(device)) {
    setObjectName(QStringLiteral("CamCorePropertyDialog"));
    setWindowTitle(QString::fromStdString(m_device->identity().name) +
                   shownText(" - 属性", " - properties"));
    auto* layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(shownText("关闭", "Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    buildRows();
    refresh();
}

void PropertyDialog::buildRows() {
    const std::vector<Control> controls = m_device->controls();
    if (controls.empty())
        m_form->addRow(new QLabel(
            shownText("该摄像头没有可调节的属性。", "This camera offers no adjustable controls."),
            this));
    for (const Control& control : controls) {
        const QString name = QString::fromStdString(control.name);
        QWidget* editor = nullptr;
        switch (control.type) {
        case ControlType::Integer: {
            auto* row = new SliderRow(this);
            connect(row->slider, &QSlider::valueChanged, this,
                    [this, id = control.id](int value) { apply(id, value); });
            editor = row;
            break;
        }
        case ControlType::Boolean: {
            auto* box = new QCheckBox(this);
            connect(box, &QCheckBox::toggled, this,
                    [this, id = control.id](bool on) { apply(id, on ? 1 : 0); });
            editor = box;
            break;
        }
        case ControlType::Menu: {
            auto* list = new QComboBox(this);
            for (const MenuEntry& entry : control.menu)
                list->addItem(QString::fromStdString(entry.name), entry.value);
            connect(list, &QComboBox::activated, this, [this, list, id = control.id](int index) {
                apply(id, list->itemData(index).toInt());
            });
            editor = list;
            break;
        }
        case ControlType::Button: {
            auto* button = new QPushButton(name, this);
            connect(button, &QPushButton::clicked, this, [this, id = control.id] { apply(id, 1); });
            editor = button;
            break;
        }
        }
        editor->setObjectName(name);
        m_form->addRow(name, editor);
        m_editors[control.id] = editor;
    }
}

void PropertyDialog::refresh() {
    for (const Control& control : m_device->controls()) {
        const auto found = m_editors.find(control.id);
        if (found == m_editors.end())
            continue;
        QWidget* editor = found->second;
        editor->setEnabled(!control.inactive && !control.readOnly);
        if (auto* row = dynamic_cast<SliderRow*>(editor)) {
            const QSignalBlocker block(row->slider);
            row->slider->setRange(control.minimum, control.maximum);
            row->slider->setSingleStep(std::max(1, control.step));
            row->slider->setPageStep(std::max(1, control.step) * 10);
            row->slider->setValue(control.value);
            row->label->setNum(control.value);
        } else if (auto* box = qobject_cast<QCheckBox*>(editor)) {
            const QSignalBlocker block(box);
            box->setChecked(control.value != 0);
        } else if (auto* list = qobject_cast<QComboBox*>(editor)) {
            const QSignalBlocker block(list);
            list->setCurrentIndex(list->findData(control.value));
        }
    }
}

void PropertyDialog::apply(std::uint32_t id, int value) {
    m_device->setControl(id, value);
    refresh();
}

} // namespace camcore
