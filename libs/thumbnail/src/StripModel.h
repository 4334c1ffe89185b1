#pragma once

#include "SourceWatch.h"
#include "StripRoles.h"
#include "ThumbnailLoader.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>

namespace thumbnail {

// The strip's entries in the order they were added, one per file. Thumbnails are decoded on
// demand, the first time a view asks for one, so entries nobody has scrolled to cost nothing; a
// picture that could not be read is decoded again when its file changes.
class StripModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The box every thumbnail fits into, in device-independent pixels.
    static constexpr QSize kThumbnailBox{140, 105};

    explicit StripModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // `path` as the program gave it; `thumbnailSource` is the picture to show (the file itself
    // when empty); an owned source is deleted with its entry.
    void append(const QByteArray& path, const QString& thumbnailSource, const QString& name,
                bool ownsSource);
    // The entry of `path` again: a new thumbnail source (the old owned one is deleted) and a new
    // decode, for a file that was written again.
    void refresh(int row, const QString& thumbnailSource, const QString& name, bool ownsSource);
    // The row of the entry for `path`, or -1.
    int rowOf(const QByteArray& path) const;
    bool isValidRow(int row) const { return row >= 0 && row < m_items.size(); }
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    QByteArray rawPath(int row) const;
    QString filePath(int row) const;
    // Takes the entry out of the strip; its file stays where it is.
    void removeEntry(int row);
    void clear();

private:
    struct Item {
        QByteArray rawPath; // returned byte for byte, whatever the locale makes of it
        QString path;
        QString name;
        QString thumbnailSource;
        bool ownsSource = false;
        bool checked = false;
        ThumbnailState state = ThumbnailState::Waiting;
        quint64 ticket = 0; // 0: no decode asked for yet
        FileStamp stamp;    // the source as the last decode was asked for
        QImage thumbnail;
    };

    QImage decoration(const Item& item) const;
    void requestDecode(Item& item) const;
    void decodeAgain(int row);
    void onDecoded(quint64 ticket, const QImage& image);
    void onSourceChanged();
    void followUnreadable();
    static void dropOwnedSource(const Item& item);

    // Mutable: a view asking for a thumbnail starts its decode.
    mutable QList<Item> m_items;
    mutable ThumbnailLoader m_loader;
    mutable quint64 m_lastTicket = 0;
    mutable QImage m_waiting;
    mutable QImage m_broken;
    mutable QHash<QString, QImage> m_documents; // by label
    SourceWatch m_watch;
};

} // namespace thumbnail
