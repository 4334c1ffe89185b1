#pragma once

#include <QObject>
#include <QString>

// Prepares and reads one captured picture on the recognition thread.
class OcrWorker : public QObject {
    Q_OBJECT

public:
    void recognise(const QString& path);

signals:
    void recognised(const QString& text);
};
