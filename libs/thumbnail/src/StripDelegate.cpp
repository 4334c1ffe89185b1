#include "StripDelegate.h"

#include "StripModel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace thumbnail {

namespace {

constexpr int kMargin = 6;
constexpr int kSpacing = 4;

const QStyle* styleOf(const QWidget* widget) {
    return widget ? widget->style() : QApplication::style();
}

QSize indicatorSize(const QWidget* widget) {
    const QStyle* style = styleOf(widget);
    return {style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget),
            style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget)};
}

int captionHeight(const QWidget* widget) {
    const QFontMetrics metrics =
        widget ? widget->fontMetrics() : QFontMetrics(QApplication::font());
    return qMax(metrics.height(), indicatorSize(widget).height());
}

// The thumbnail's box, centred across the entry (narrower when the strip is).
QRect thumbnailRect(const QRect& itemRect) {
    const int width = qMin(StripModel::kThumbnailBox.width(), itemRect.width() - 2 * kMargin);
    return {itemRect.left() + (itemRect.width() - width) / 2, itemRect.top() + kMargin, width,
            StripModel::kThumbnailBox.height()};
}

QRect captionRect(const QRect& itemRect, const QWidget* widget) {
    const QRect thumbnail = thumbnailRect(itemRect);
    return {thumbnail.left(), thumbnail.bottom() + 1 + kSpacing, thumbnail.width(),
            captionHeight(widget)};
}

} // namespace

QRect StripDelegate::checkRect(const QRect& itemRect, const QWidget* widget) {
    const QRect caption = captionRect(itemRect, widget);
    const QSize size = indicatorSize(widget);
    return {caption.left(), caption.top() + (caption.height() - size.height()) / 2, size.width(),
            size.height()};
}

QSize StripDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {StripModel::kThumbnailBox.width() + 2 * kMargin,
            kMargin + StripModel::kThumbnailBox.height() + kSpacing + captionHeight(option.widget) +
                kMargin};
}

void StripDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    const QStyle* style = styleOf(widget);
    painter->save();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QRect box = thumbnailRect(opt.rect);
    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    if (!image.isNull()) {
        const QSize size = image.deviceIndependentSize().toSize().scaled(
            box.size().boundedTo(image.deviceIndependentSize().toSize()), Qt::KeepAspectRatio);
        const QRect target(box.left() + (box.width() - size.width()) / 2,
                           box.top() + (box.height() - size.height()) / 2, size.width(),
                           size.height());
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(target, image);
        painter->setPen(opt.palette.color(QPalette::Mid));
        painter->drawRect(target.adjusted(0, 0, -1, -1));
    }

    QStyleOptionViewItem check = opt;
    check.rect = checkRect(opt.rect, widget);
    check.state &= ~QStyle::State_HasFocus;
    check.state |= index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked
                       ? QStyle::State_On
                       : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);

    const QRect caption = captionRect(opt.rect, widget);
    const QRect text = caption.adjusted(check.rect.width() + kSpacing, 0, 0, 0);
    const QPalette::ColorGroup group =
        opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->setPen(opt.palette.color(
        group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    // Capture names share a long prefix and differ at the end: keep both ends visible.
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      opt.fontMetrics.elidedText(opt.text, Qt::ElideMiddle, text.width()));

    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = opt.rect.adjusted(1, 1, -1, -1);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

bool StripDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::MouseButtonRelease && event->type() != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton ||
        !checkRect(option.rect, option.widget).contains(mouse->position().toPoint()))
        return false;
    // The release that follows a double click toggles again, as on a check box; the double
    // click itself is only kept from opening the file.
    if (event->type() == QEvent::MouseButtonDblClick)
        return true;
    const bool checked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace thumbnail
