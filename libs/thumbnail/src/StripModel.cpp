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
        if (item.ticket == 0) {
            const qreal ratio = devicePixelRatio();
            item.ticket = ++m_lastTicket;
            m_loader.request(item.ticket, item.thumbnailSource, kThumbnailBox * ratio);
        }
        return decoration(item);
    case ThumbnailStateRole:
        return int(item.state);
    case FilePathRole:
        return item.path;
    default:
        return {};
    }
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
}

void StripModel::clear() {
    m_loader.dropQueued();
    beginResetModel();
    for (const Item& item : std::as_const(m_items))
        dropOwnedSource(item);
    m_items.clear();
    endResetModel();
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
        const QModelIndex changed = index(row);
        Q_EMIT dataChanged(changed, changed, {Qt::DecorationRole, ThumbnailStateRole});
        return;
    }
}

} // namespace thumbnail
