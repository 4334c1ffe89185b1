#include "MainForm.h"

#include "IconHelper.h"
#include "ui_MainForm.h"

#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace {

constexpr char16_t kGlyphClose = 0xF00D;
constexpr char16_t kGlyphMaximize = 0xF096;
constexpr char16_t kGlyphRestore = 0xF079;
constexpr char16_t kGlyphMinimize = 0xF068;
constexpr char16_t kGlyphMenu = 0xF0C9;
constexpr char16_t kGlyphHome = 0xF015;

void addShadow(QWidget* owner, QWidget* target) {
    auto* shadow = new QGraphicsDropShadowEffect(owner);
    shadow->setOffset(-5, 5);
    shadow->setColor(Qt::gray);
    shadow->setBlurRadius(8);
    target->setGraphicsEffect(shadow);
}

} // namespace

// The title buttons answer by their slots' names.
void MainForm::ConnectTitleButtons() {
    connect(ui->btnMenu, SIGNAL(clicked()), this, SLOT(on_btnMenu_clicked()));
    connect(ui->btnMenu_Min, SIGNAL(clicked()), this, SLOT(on_btnMenu_Min_clicked()));
    connect(ui->btnMenu_Max, SIGNAL(clicked()), this, SLOT(on_btnMenu_Max_clicked()));
    connect(ui->btnMenu_Close, SIGNAL(clicked()), this, SLOT(on_btnMenu_Close_clicked()));
}

// No system frame, but the task bar can still minimise and restore the window.
void MainForm::setupFrame() {
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint);
    ui->lab_Title->installEventFilter(this);

    IconHelper& icons = IconHelper::instance();
    icons.setIcon(ui->btnMenu_Close, QChar(kGlyphClose), 10);
    icons.setIcon(ui->btnMenu_Max, QChar(kGlyphMaximize), 10);
    icons.setIcon(ui->btnMenu_Min, QChar(kGlyphMinimize), 10);
    icons.setIcon(ui->btnMenu, QChar(kGlyphMenu), 10);
    icons.setIcon(ui->lab_Ico, QChar(kGlyphHome), 12);

    addShadow(this, ui->groupBox);
    addShadow(this, ui->groupBox_3);

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::All, QPalette::Window, QColor(230, 230, 226));
    setPalette(windowPalette);

    for (QPushButton* button :
         {ui->pushButtonRotateLeft, ui->pushButtonRotateRight, ui->pushButtonDrag,
          ui->pushButtonCut, ui->pushButtonZoomIn, ui->pushButtonZoomOut, ui->pushButtonFullSrn})
        button->setStyleSheet(QStringLiteral("QPushButton{background-color: #E6E6E6;}"));

    ui->pushButtonCapturePDF->hide();
    ui->checkBoxDenoising->hide();
    ui->radioButtonDocument->hide();
    ui->radioButtonCredent->hide();
    ui->pushButtonRec->hide();
}

void MainForm::on_btnMenu_Min_clicked() {
    showMinimized();
}

void MainForm::on_btnMenu_Max_clicked() {
    toggleMaximized();
}

void MainForm::on_btnMenu_Close_clicked() {
    close();
}

// Maximised means the primary screen's available area, task bar excluded.
void MainForm::toggleMaximized() {
    if (maximized) {
        setGeometry(normalGeometry);
        IconHelper::instance().setIcon(ui->btnMenu_Max, QChar(kGlyphMaximize), 10);
        ui->btnMenu_Max->setToolTip(QStringLiteral("最大化"));
    } else {
        normalGeometry = geometry();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        IconHelper::instance().setIcon(ui->btnMenu_Max, QChar(kGlyphRestore), 10);
        ui->btnMenu_Max->setToolTip(QStringLiteral("还原"));
    }
    maximized = !maximized;
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (ui != nullptr && event->type() == QEvent::MouseButtonDblClick) {
        toggleMaximized();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Presses on child widgets that take the mouse never get here, so in practice a drag starts on
// the title strip, the labels and free areas of the window.
void MainForm::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    dragging = true;
    event->accept();
}

void MainForm::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && !dragLocked && dragging) {
        move(event->globalPosition().toPoint() - dragOffset);
        event->accept();
    }
}

void MainForm::mouseReleaseEvent(QMouseEvent*) {
    dragging = false;
}

// Double clicks on the window itself are swallowed.
void MainForm::mouseDoubleClickEvent(QMouseEvent*) {}
