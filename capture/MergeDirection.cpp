#include "MergeDirection.h"

#include "Settings.h"

#include <QAbstractButton>

void keepMergeDirection(Settings& settings, QAbstractButton* vertical,
                        QAbstractButton* horizontal) {
    (settings.mergeDirection == 1 ? horizontal : vertical)->setChecked(true);
    QObject::connect(horizontal, &QAbstractButton::toggled, horizontal,
                     [&settings](bool on) { settings.mergeDirection = on ? 1 : 0; });
}
