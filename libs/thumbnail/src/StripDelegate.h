#pragma once

#include <QStyledItemDelegate>

namespace thumbnail {

// Draws an entry as its thumbnail with a check box and the file name under it.
class StripDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the check box of an entry drawn in `itemRect` sits.
    static QRect checkRect(const QRect& itemRect, const QWidget* widget);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};

} // namespace thumbnail
