#include "StripView.h"

#include "DesktopOpen.h"
#include "StripDelegate.h"
#include "StripModel.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>

namespace thumbnail {

StripView::StripView(StripModel* model, QWidget* host)
    : QListView(host), m_model(model), m_menu(new QMenu(this)) {
    setObjectName(QStringLiteral("thumbnailStrip"));
    setModel(model);
    setItemDelegate(new StripDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_Hover);

    m_open = m_menu->addAction(QString(), this, &StripView::openCurrent);
    m_open->setObjectName(QStringLiteral("openAction"));
    m_showInFolder = m_menu->addAction(QString(), this, &StripView::showCurrentInFolder);
    m_showInFolder->setObjectName(QStringLiteral("showInFolderAction"));
    m_menu->addSeparator();
    m_remove = m_menu->addAction(QString(), this, &StripView::removeCurrent);
    m_remove->setObjectName(QStringLiteral("removeAction"));
    applyLanguage(1);

    // Each capture lands at the end; show it.
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int, int last) { scrollTo(m_model->index(last)); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &StripView::followEnd);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { m_atEnd = value == verticalScrollBar()->maximum(); });
    host->installEventFilter(this);
    fitToHost();
}

void StripView::fitToHost() {
    if (parentWidget())
        setGeometry(parentWidget()->rect());
}

// A host that shrinks would otherwise push the newest entry out of sight below.
void StripView::followEnd(int, int maximum) {
    if (m_atEnd)
        verticalScrollBar()->setValue(maximum);
}

void StripView::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_language = flag;
    const bool chinese = flag == 0;
    m_open->setText(chinese ? QStringLiteral("打开") : QStringLiteral("Open"));
    m_showInFolder->setText(chinese ? QStringLiteral("在文件夹中显示")
                                    : QStringLiteral("Show in folder"));
    m_remove->setText(chinese ? QStringLiteral("从列表中移除")
                              : QStringLiteral("Remove from the list"));
}

bool StripView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fitToHost();
    return QListView::eventFilter(watched, event);
}

void StripView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openCurrent();
        return;
    case Qt::Key_Space:
        toggleCurrent();
        return;
    case Qt::Key_Delete:
        removeCurrent();
        return;
    default:
        QListView::keyPressEvent(event); // arrows, Home, End, Page Up, Page Down
    }
}

void StripView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    QListView::mouseDoubleClickEvent(event);
    if (index.isValid() && event->button() == Qt::LeftButton &&
        !StripDelegate::checkRect(visualRect(index), this).contains(position)) {
        setCurrentIndex(index);
        openCurrent();
    }
}

void StripView::contextMenuEvent(QContextMenuEvent* event) {
    QModelIndex index = currentIndex();
    QPoint position = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse)
        index = indexAt(viewport()->mapFromGlobal(position));
    else if (index.isValid())
        position = viewport()->mapToGlobal(visualRect(index).center());
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    const QFileInfo file(m_model->filePath(index.row()));
    m_open->setEnabled(file.exists());
    m_showInFolder->setEnabled(file.dir().exists());
    // Not exec(): a capture may add entries while the menu is open, and the actions act on the
    // current entry, which the selection model keeps track of.
    m_menu->popup(position);
    event->accept();
}

void StripView::openCurrent() {
    const QString path = m_model->filePath(currentIndex().row());
    if (!path.isEmpty() && QFileInfo::exists(path))
        openWithDesktop(path, m_language, window());
}

void StripView::showCurrentInFolder() {
    const QString path = m_model->filePath(currentIndex().row());
    if (!path.isEmpty())
        openWithDesktop(QFileInfo(path).absolutePath(), m_language, window());
}

void StripView::removeCurrent() {
    m_model->removeEntry(currentIndex().row());
}

void StripView::toggleCurrent() {
    const int row = currentIndex().row();
    m_model->setChecked(row, !m_model->isChecked(row));
}

} // namespace thumbnail
