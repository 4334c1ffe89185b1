#include "BookPages.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Big enough to see a finger or a blurred line, small enough for a row of several spreads.
constexpr QSize kPictureSize(72, 96);

} // namespace

BookPages::BookPages(QWidget* parent, QVBoxLayout& layout, int at)
    : QObject(parent), m_list(new QListWidget(parent)), m_remove(new QPushButton(parent)),
      m_retake(new QPushButton(parent)) {
    m_list->setObjectName(QStringLiteral("listWidgetBookPages"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setFlow(QListView::LeftToRight);
    m_list->setWrapping(false);
    m_list->setMovement(QListView::Static);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setIconSize(kPictureSize);
    m_list->setFixedHeight(kPictureSize.height() + 44); // the page number and a scroll bar
    m_remove->setObjectName(QStringLiteral("pushButtonRemoveSpread"));
    m_retake->setObjectName(QStringLiteral("pushButtonRetakeSpread"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_remove, m_retake}) {
        button->setAutoDefault(false);
        button->setEnabled(false);
        buttons->addWidget(button);
    }
    layout.insertWidget(at, m_list);
    layout.insertLayout(at + 1, buttons);
    connect(m_remove, &QPushButton::clicked, this, &BookPages::removeRequested);
    connect(m_retake, &QPushButton::clicked, this, &BookPages::retakeRequested);
    setVisible(false);
}

void BookPages::setVisible(bool visible) {
    m_list->setVisible(visible);
    m_remove->setVisible(visible);
    m_retake->setVisible(visible);
}

void BookPages::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_remove->setText(flag == 0 ? QStringLiteral("删除上一页")
                                : QStringLiteral("Remove last spread"));
    m_retake->setText(flag == 0 ? QStringLiteral("重拍") : QStringLiteral("Re-take"));
}

void BookPages::clear() {
    m_list->clear();
    m_spreadSizes.clear();
    setChangeable(false);
}

void BookPages::addSpread(const QImage& left, const QImage& right) {
    int added = 0;
    for (const QImage& page : {left, right}) {
        if (page.isNull())
            continue;
        const QPixmap picture = QPixmap::fromImage(
            page.scaled(kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        m_list->addItem(new QListWidgetItem(QIcon(picture), QString::number(m_list->count() + 1)));
        ++added;
    }
    m_spreadSizes.push_back(added);
    showNewest();
    setChangeable(m_changeable);
}

void BookPages::removeLastSpread() {
    if (m_spreadSizes.empty())
        return;
    for (int i = 0; i < m_spreadSizes.back(); ++i)
        delete m_list->takeItem(m_list->count() - 1);
    m_spreadSizes.pop_back();
    showNewest();
    setChangeable(m_changeable);
}

void BookPages::showNewest() {
    if (m_list->count() > 0)
        m_list->scrollToItem(m_list->item(m_list->count() - 1));
}

void BookPages::setChangeable(bool changeable) {
    m_changeable = changeable;
    m_remove->setEnabled(changeable && spreads() >= 2);
    m_retake->setEnabled(changeable && spreads() >= 1);
}
