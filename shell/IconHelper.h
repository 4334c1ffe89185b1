#pragma once

#include <QChar>
#include <QFont>
#include <QObject>

class QAbstractButton;
class QLabel;

// Gives labels and buttons a single glyph of the icon font compiled into the program.
class IconHelper : public QObject {
    Q_OBJECT

public:
    static IconHelper& instance();

    void setIcon(QLabel* label, QChar glyph, int pointSize);
    void setIcon(QAbstractButton* button, QChar glyph, int pointSize);

private:
    explicit IconHelper(QObject* parent);

    QFont iconFont;
};
