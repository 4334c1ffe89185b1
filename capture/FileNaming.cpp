#include "FileNaming.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace naming {

QByteArray automaticName(const QByteArray& prefix, int digits, int counter) {
    char name[100];
    // The field accepts 1..20; a settings file edited by hand may hold anything.
    std::snprintf(name, sizeof name, "%s%0*d", prefix.constData(), std::clamp(digits, 1, 20),
                  counter);
    return QByteArray(name);
}

int advancedCounter(int counter, int step) {
    if (step > 0 ? counter > INT_MAX - step : counter < INT_MIN - step)
        return 0;
    return counter + step;
}

QByteArray barcodeName(const QByteArray& engineText) {
    QByteArray name = engineText;
    const qsizetype element = name.indexOf("<barcode type");
    if (element >= 0) {
        const qsizetype open = name.indexOf('>', element);
        if (open > 0) {
            const qsizetype close = name.indexOf("</barcode>", open);
            if (close > open)
                name = name.mid(open + 1, close - open - 1);
        }
    }
    name = confined(name);
    return name.isEmpty() ? QStringLiteral("未命名").toLocal8Bit() : name;
}

QByteArray dateName(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd_HHmmss")).toLatin1();
}

QByteArray confined(QByteArray name) {
    name.replace('/', '_');
    name.replace('\0', '_');
    name.replace("@@", "@_"); // the hand-over list separates its paths with "@@"
    if (name == "." || name == "..")
        return {};
    return name;
}

QByteArrayList numberedPaths(const QByteArray& path, const QByteArray& extension, int count) {
    const QByteArray base = path.left(path.size() - extension.size());
    QByteArrayList paths;
    for (int i = 1; i <= count; ++i)
        paths.append(base + '_' + QByteArray::number(i) + extension);
    return paths;
}

QByteArray freshPath(const QByteArray& base, const QByteArray& extension,
                     const std::function<bool(const QByteArray&)>& taken) {
    QByteArray path = base + extension;
    for (int n = 2; taken(path); ++n)
        path = base + '_' + QByteArray::number(n) + extension;
    return path;
}

} // namespace naming
