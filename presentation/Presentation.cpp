#include "Presentation.h"

#include "AnnotatedSave.h"
#include "CameraRoles.h"
#include "QSnapWidget.h"
#include "QVisualizer.h"
#include "QueuedCapture.h"
#include "Settings.h"
#include "ZoApi.h"

#include <QGuiApplication>
#include <QScreen>

Presentation::Presentation(Settings& settings, const CameraRoles& roles, PictureInPicture& pip,
                           FileNamer& namer, ThumbnailLibrary& strip,
                           const VideoHandOver::Widgets& widgets)
    : m_settings(settings), m_roles(roles), m_mainWindow(widgets.mainWindow),
      m_handOver(roles, pip, widgets), m_save(std::make_unique<AnnotatedSave>(namer, strip)),
      m_visualizer(std::make_unique<QVisualizer>(settings)),
      m_snap(std::make_unique<QSnapWidget>(
          [this, &roles](const QString& path, std::function<void(bool)> ended) {
              const int job = queued_capture::start(
                  roles.main(), path.toLocal8Bit(), m_snap.get(),
                  [ended](const CaptureResult& result) { ended(result.written > 0); });
              if (job <= 0)
                  ended(false);
          },
          [&settings] { return settings.language; })) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_visualizer->setWindowFlags(Qt::FramelessWindowHint);
    m_visualizer->resize(screen->size());
    m_visualizer->hide();
    connect(m_visualizer.get(), &QVisualizer::left, this, [this] { m_handOver.takeBack(); });
    connect(m_visualizer.get(), &QVisualizer::quitRequested, this, &Presentation::quit);
    connect(m_visualizer.get(), &QVisualizer::saveRequested, this, [this] {
        m_save->save(m_roles.main(), *m_visualizer->basePlate(), m_settings.language);
    });

    m_snap->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_snap->setGeometry(0, 0, 320, 240);
    m_snap->move(QSnapWidget::cornerOf(screen->availableGeometry(), m_snap->size()));
    m_snap->hide();
    connect(m_snap.get(), &QSnapWidget::leaveRequested, this, &Presentation::leaveSnapMode);
}

Presentation::~Presentation() = default;

// The window covers the primary screen from its corner, so the toolbar at its left edge is
// never under a panel; without a window manager the full-screen state alone would not place it.
void Presentation::enterVisualizer() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    m_handOver.lendTo(m_visualizer.get());
    m_visualizer->setGeometry(screen);
    m_visualizer->showFullScreen();
}

void Presentation::enterSnapMode() {
    m_handOver.lendTo(m_snap.get());
    m_snap->show();
}

void Presentation::leaveSnapMode() {
    m_snap->hide();
    m_handOver.takeBack();
}

// The presentation window gives the video back before the main window closes.
void Presentation::quit() {
    m_visualizer->leave();
    m_mainWindow->close();
}
