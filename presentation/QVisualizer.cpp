#include "QVisualizer.h"

#include "PanelItems.h"
#include "QBasePlate.h"
#include "QPanel.h"
#include "QTopPlate.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QShortcut>

QVisualizer::QVisualizer(Settings& settings, QWidget* parent)
    : QWidget(parent), m_panel(new QPanel(settings, this)) {
    setObjectName(QStringLiteral("QVisualizer"));
    resize(400, 300);
    setWindowTitle(QStringLiteral("QVisualizer"));
    m_panel->setGeometry(0, 0, 80, 100);
    m_panel->move(0, height() / 2 - 50);
    m_panel->hide();
    // Made after the toolbar, the canvas and the input layer would lie above it; the show event
    // puts the three in their order.
    m_topPlate = new QTopPlate(this);
    m_basePlate = new QBasePlate(settings, this);
    m_topPlate->setBasePlate(m_basePlate);
    m_topPlate->setPanel(m_panel);
    m_panel->setBasePlate(m_basePlate);
    connect(m_panel, &QPanel::itemChosen, this, &QVisualizer::setMode);
    connect(m_panel, &QPanel::leaveRequested, this, &QVisualizer::leave);
    connect(m_panel, &QPanel::quitRequested, this, &QVisualizer::quitRequested);
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &QVisualizer::saveRequested);
    // Escape leaves as the back item does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QVisualizer::leave);
}

void QVisualizer::leave() {
    hide();
    emit left();
}

void QVisualizer::setMode(int item) {
    m_mode = item;
    m_topPlate->setCursorMode(item);
}

// The toolbar sits at the left edge, vertically centred; the canvas and the input layer cover
// the window, so their positions coincide.
void QVisualizer::resizeEvent(QResizeEvent*) {
    const int panelHeight = panel::panelHeight();
    m_panel->setGeometry(0, height() / 2 - panelHeight / 2, 120, panelHeight);
    m_basePlate->setGeometry(rect());
    m_topPlate->setGeometry(rect());
}

// The engine keeps its video below this window's other children; of these, the later lies on
// top.
void QVisualizer::showEvent(QShowEvent*) {
    for (QWidget* layer : {static_cast<QWidget*>(m_basePlate), static_cast<QWidget*>(m_topPlate),
                           static_cast<QWidget*>(m_panel)}) {
        layer->show();
        layer->raise();
    }
}

void QVisualizer::hideEvent(QHideEvent*) {
    m_panel->hide();
    m_topPlate->hide();
    m_basePlate->hide(); // which closes an open text box
}

void QVisualizer::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (isVisible())
        leave();
}

// The input layer covers the window, so this is rare: the toolbar's back item is the way out.
void QVisualizer::mouseDoubleClickEvent(QMouseEvent*) {
    leave();
}
