#include "StripModel.h"

#include "Placeholders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>

namespace thumbnail {

namespace {

qreal devicePixelRatio() {
    const auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return application ? application->devicePixelRatio() : 1.0;
}

// A file of a picture format that failed to decode is broken; anything else (a PDF without
// its thumbnail) is a document to label by its suffix.
bool isPictureFile(const QString& path) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return !QFileInfo::exists(path) || QImageReader::supportedImageFormats().contains(suffix);
}

} // namespace

StripModel::StripModel(QObject* parent) : QAbstractListModel(parent) {
    connect(&m_loader, &ThumbnailLoader::decoded, this, &StripModel::onDecoded,
            Qt::QueuedConnection);
    connect(&m_watch, &SourceWatch::changed, this, &StripModel::onSourceChanged);
}

int StripModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant StripModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !isValidRow(index.row()))
        return {};
    Item& item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return item.name;
    case Qt::ToolTipRole:
        return QDir::toNativeSeparators(item.path);
    case Qt::CheckStateRole:
        return item.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
        if (item.ticket == 0)
            requestDecode(item);
        return decoration(item);
    case ThumbnailStateRole:
        return int(item.state);
    case FilePathRole:
        return item.path;
    default:
        return {};
    }
}

void StripModel::requestDecode(Item& item) const {
    item.ticket = ++m_lastTicket;
    item.stamp = FileStamp::of(item.thumbnailSource);
    item.state = ThumbnailState::Waiting;
    m_loader.request(item.ticket, item.thumbnailSource, kThumbnailBox * devicePixelRatio());
}

// A result still on its way for the old ticket is dropped when it arrives.
void StripModel::decodeAgain(int row) {
    Item& item = m_items[row];
    item.thumbnail = {};
    if (item.ticket != 0)
        requestDecode(item);
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, {Qt::DecorationRole, ThumbnailStateRole});
}

QImage StripModel::decoration(const Item& item) const {
    const qreal ratio = devicePixelRatio();
    QImage image;
    switch (item.state) {
    case ThumbnailState::Ready:
        return item.thumbnail;
    case ThumbnailState::Waiting:
        if (m_waiting.isNull())
            m_waiting = waitingPlaceholder(kThumbnailBox * ratio);
        image = m_waiting;
        break;
    case ThumbnailState::Unreadable:
        if (!isPictureFile(item.path)) {
            const QString label = QFileInfo(item.path).suffix().toUpper();
            QImage& document = m_documents[label];
            if (document.isNull())
                document = documentPlaceholder(kThumbnailBox * ratio, label);
            image = document;
            break;
        }
        if (m_broken.isNull())
            m_broken = brokenPlaceholder(kThumbnailBox * ratio);
        image = m_broken;
        break;
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

bool StripModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || !isValidRow(index.row()))
        return false;
    setChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags StripModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

void StripModel::append(const QByteArray& path, const QString& thumbnailSource, const QString& name,
                        bool ownsSource) {
    Item item;
    item.rawPath = path;
    item.path = QString::fromLocal8Bit(path);
    item.name = name.isEmpty() ? QFileInfo(item.path).fileName() : name;
    item.thumbnailSource = thumbnailSource.isEmpty() ? item.path : thumbnailSource;
    item.ownsSource = ownsSource;
    const int row = int(m_items.size());
    beginInsertRows({}, row, row);
    m_items.append(std::move(item));
    endInsertRows();
}

void StripModel::refresh(int row, const QString& thumbnailSource, const QString& name,
                         bool ownsSource) {
    if (!isValidRow(row))
        return;
    Item& item = m_items[row];
    if (!thumbnailSource.isEmpty() && thumbnailSource != item.thumbnailSource) {
        dropOwnedSource(item);
        item.thumbnailSource = thumbnailSource;
        item.ownsSource = ownsSource;
    }
    if (!name.isEmpty() && name != item.name) {
        item.name = name;
        const QModelIndex changed = index(row);
        Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
    }
    decodeAgain(row);
    followUnreadable();
}

int StripModel::rowOf(const QByteArray& path) const {
    const QString wanted = QDir::cleanPath(QString::fromLocal8Bit(path));
    for (int row = 0; row < m_items.size(); ++row)
        if (m_items[row].rawPath == path || QDir::cleanPath(m_items[row].path) == wanted)
            return row;
    return -1;
}

bool StripModel::isChecked(int row) const {
    return isValidRow(row) && m_items[row].checked;
}

void StripModel::setChecked(int row, bool checked) {
    if (!isValidRow(row) || m_items[row].checked == checked)
        return;
    m_items[row].checked = checked;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, {Qt::CheckStateRole});
}

QByteArray StripModel::rawPath(int row) const {
    return isValidRow(row) ? m_items[row].rawPath : QByteArray();
}

QString StripModel::filePath(int row) const {
    return isValidRow(row) ? m_items[row].path : QString();
}

void StripModel::removeEntry(int row) {
    if (!isValidRow(row))
        return;
    beginRemoveRows({}, row, row);
    dropOwnedSource(m_items.takeAt(row));
    endRemoveRows();
    followUnreadable();
}

void StripModel::clear() {
    m_loader.dropQueued();
    beginResetModel();
    for (const Item& item : std::as_const(m_items))
        dropOwnedSource(item);
    m_items.clear();
    endResetModel();
    followUnreadable();
}

void StripModel::dropOwnedSource(const Item& item) {
    if (item.ownsSource)
        QFile::remove(item.thumbnailSource);
}

void StripModel::onDecoded(quint64 ticket, const QImage& image) {
    // Entries removed meanwhile leave their ticket unmatched and the result is dropped.
    for (int row = 0; row < m_items.size(); ++row) {
        Item& item = m_items[row];
        if (item.ticket != ticket)
            continue;
        item.state = image.isNull() ? ThumbnailState::Unreadable : ThumbnailState::Ready;
        item.thumbnail = image;
        item.thumbnail.setDevicePixelRatio(devicePixelRatio());
        // Watch first, then look: a write after the look is seen by the watch, one before it by
        // the look. A file that changed while it was read was still being written.
        followUnreadable();
        if (FileStamp::of(item.thumbnailSource) != item.stamp) {
            decodeAgain(row);
            followUnreadable();
            return;
        }
        const QModelIndex changed = index(row);
        Q_EMIT dataChanged(changed, changed, {Qt::DecorationRole, ThumbnailStateRole});
        return;
    }
}

void StripModel::onSourceChanged() {
    followUnreadable(); // watch again before looking, as in onDecoded()
    for (int row = 0; row < m_items.size(); ++row) {
        const Item& item = m_items[row];
        if (item.state == ThumbnailState::Unreadable &&
            FileStamp::of(item.thumbnailSource) != item.stamp)
            decodeAgain(row);
    }
    followUnreadable();
}

void StripModel::followUnreadable() {
    QStringList sources;
    for (const Item& item : std::as_const(m_items))
        if (item.state == ThumbnailState::Unreadable)
            sources << item.thumbnailSource;
    m_watch.follow(sources);
}

} // namespace thumbnail
