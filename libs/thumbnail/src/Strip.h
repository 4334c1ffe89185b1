#pragma once

#include "StripModel.h"
#include "ThumbCopies.h"

#include <QByteArray>
#include <QPointer>

class QWidget;

namespace thumbnail {

class StripView;

// The library's one strip: the entries, the view once a host exists, the private copies of
// thumbnail files and the language. Lives from the first entry call until the library unloads.
class Strip {
public:
    static Strip& instance();

    Strip() = default;
    ~Strip();
    Strip(const Strip&) = delete;
    Strip& operator=(const Strip&) = delete;

    void attach(QWidget* host);
    void fitToHost();
    void setLanguage(int flag);

    void add(const QByteArray& path, const QString& thumbnail, const QString& name);
    StripModel& model() { return m_model; }
    // The path of an entry, kept until the next call; "" out of range.
    const char* pathOf(int row);
    void clear();

private:
    StripModel m_model;
    ThumbCopies m_copies;
    QPointer<StripView> m_view; // owned by the host, which may delete it first
    int m_language = 1;
    QByteArray m_returnedPath;
};

} // namespace thumbnail
