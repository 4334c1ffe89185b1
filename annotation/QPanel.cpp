#include "QPanel.h"

#include "ui_QPanel.h"

#include "QBasePlate.h"
#include "QLineWidthDlg.h"
#include "QSetOpcityDlg.h"
#include "Tools.h"

#include "Settings.h"

#include <QColorDialog>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

// Each item's action, in item order.
constexpr void (QPanel::*kActions[panel::kItemCount])() = {
    &QPanel::onBtnMouse,     &QPanel::onBtnClear,   &QPanel::onBtnDrawPen, &QPanel::onBtnLine,
    &QPanel::onBtnArrow,     &QPanel::onBtnTrangle, &QPanel::onBtnRect,    &QPanel::onBtnEllipse,
    &QPanel::onBtnLineWidth, &QPanel::onBtnColor,   &QPanel::onBtnOpcity,  &QPanel::onBtnEraser,
    &QPanel::onBtnReturn,    &QPanel::onBtnQuit,    &QPanel::onBtnUndo};

} // namespace

QPanel::QPanel(Settings& settings, QWidget* parent)
    : QWidget(parent), ui(new Ui::QPanel), m_settings(settings) {
    ui->setupUi(this);
    if (parent == nullptr)
        setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("QPanel"));
    // The buttons are never seen: the panel draws its items and hit-tests them itself. They keep
    // the form's actions reachable by name; undo came later and has its item only.
    QPushButton* const buttons[] = {
        ui->pushButtonMouse,     ui->pushButtonClear,   ui->pushButtonPen,    ui->pushButtonLine,
        ui->pushButtonArrow,     ui->pushButtonTrangle, ui->pushButtonRect,   ui->pushButtonEllipse,
        ui->pushButtonLineWidth, ui->pushButtonColor,   ui->pushButtonOpcity, ui->pushButtonEraser,
        ui->pushButtonReturn,    ui->pushButtonQuit};
    for (int i = 0; i < static_cast<int>(std::size(buttons)); ++i) {
        buttons[i]->hide();
        connect(buttons[i], &QPushButton::clicked, this, kActions[i]);
    }
}

QPanel::~QPanel() {
    delete ui;
}

void QPanel::onItem(int i) {
    if (i < 0 || i >= panel::kItemCount)
        return;
    // Through a pointer: GCC 12's bounds check misreads an index into an array of member
    // function pointers (it reported index 40232 of 14 for a checked index).
    const auto* action = kActions + i;
    (this->**action)();
    // A text box never stays open under any other item.
    if (i != panel::kText && m_basePlate != nullptr)
        m_basePlate->closeTextBox();
    emit itemChosen(i);
}

void QPanel::selectTool(int id) {
    if (m_basePlate != nullptr)
        m_basePlate->setTool(id);
}

void QPanel::onBtnMouse() {
    selectTool(tool::kNone);
}

void QPanel::onBtnClear() {
    if (m_basePlate != nullptr)
        m_basePlate->clear();
}

void QPanel::onBtnDrawPen() {
    selectTool(tool::kPen);
}

void QPanel::onBtnLine() {
    selectTool(tool::kLine);
}

void QPanel::onBtnArrow() {
    selectTool(tool::kText);
}

void QPanel::onBtnTrangle() {
    selectTool(tool::kTriangle);
}

void QPanel::onBtnRect() {
    selectTool(tool::kRectangle);
}

void QPanel::onBtnEllipse() {
    selectTool(tool::kEllipse);
}

void QPanel::onBtnEraser() {
    selectTool(tool::kEraser);
}

void QPanel::onBtnLineWidth() {
    QLineWidthDlg dialog(this);
    dialog.applyLanguage(m_settings.language);
    dialog.setLineWidth(m_settings.lineWidth);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings.lineWidth = dialog.lineWidth();
    if (m_basePlate != nullptr)
        m_basePlate->setLineWidth(m_settings.lineWidth);
}

void QPanel::onBtnColor() {
    QColorDialog dialog(QColor(m_settings.rval, m_settings.gval, m_settings.bval, 255), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Opacity has its own item: the colour's alpha is not used.
    const QColor chosen = dialog.selectedColor();
    m_settings.rval = chosen.red();
    m_settings.gval = chosen.green();
    m_settings.bval = chosen.blue();
    if (m_basePlate != nullptr)
        m_basePlate->setColor(chosen);
}

void QPanel::onBtnOpcity() {
    QSetOpcityDlg dialog(this);
    dialog.applyLanguage(m_settings.language);
    dialog.setOpacity(m_settings.opcity);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings.opcity = dialog.opacity();
    if (m_basePlate != nullptr)
        m_basePlate->setOpacity(m_settings.opcity);
}

void QPanel::onBtnReturn() {
    emit leaveRequested();
}

void QPanel::onBtnQuit() {
    emit quitRequested();
}

void QPanel::onBtnUndo() {
    if (m_basePlate != nullptr)
        m_basePlate->undo();
}

// The items are drawn, not widgets: the tool tip of the item under the pointer is looked up here.
bool QPanel::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    for (int i = 0; i < panel::kItemCount; ++i)
        if (panel::itemRect(i).contains(help->pos())) {
            QToolTip::showText(help->globalPos(), panel::toolTip(i, m_settings.language), this,
                               panel::itemRect(i));
            return true;
        }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void QPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(120, 80, 80, 60));
    for (int i = 0; i < panel::kItemCount; ++i) {
        const QRect item = panel::itemRect(i);
        if (m_itemOn[i])
            painter.fillRect(QRect(item.topLeft() - QPoint(2, 2), item.topLeft() + QPoint(26, 26)),
                             QColor(120, 80, 80, 160));
        painter.drawImage(item, QImage(panel::picturePath(i, m_itemOn[i])));
    }
}

void QPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    bool selectionChanges = false;
    for (int i = 0; i < panel::kItemCount; ++i) {
        if (!panel::itemRect(i).contains(at))
            continue;
        onItem(i);
        selectionChanges = selectionChanges || !panel::keepsHighlight(i);
    }
    if (selectionChanges)
        for (int i = 0; i < panel::kItemCount; ++i)
            m_itemOn[i] = panel::itemRect(i).contains(at);
    update();
}
