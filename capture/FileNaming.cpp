#include "FileNaming.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

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

namespace {

// 240 bytes of value, "_999" and "_split" that later captures may add, and ".tiff": 255, the
// longest name Linux file systems take.
constexpr qsizetype kMaxBarcodeBytes = 240;

// The character data of the engine's markup as the text it stands for.
QByteArray xmlDecoded(const QByteArray& text) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    QByteArray decoded;
    for (qsizetype i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, character] : kEntities) {
            if (text.mid(i).startsWith(entity)) {
                decoded += character;
                i += qstrlen(entity);
                replaced = true;
                break;
            }
        }
        if (!replaced)
            decoded += text[i++];
    }
    return decoded;
}

// At most `limit` bytes, cut before a UTF-8 character that would not fit whole.
QByteArray cutAtCharacter(const QByteArray& text, qsizetype limit) {
    if (text.size() <= limit)
        return text;
    qsizetype end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end; // text[end] continues a character that starts before it
    return text.left(end);
}

} // namespace

QByteArray barcodeName(const QByteArray& engineText) {
    QByteArray name = engineText;
    const qsizetype element = name.indexOf("<barcode type");
    if (element >= 0) {
        const qsizetype open = name.indexOf('>', element);
        if (open > 0) {
            const qsizetype close = name.indexOf("</barcode>", open);
            if (close > open)
                name = xmlDecoded(name.mid(open + 1, close - open - 1));
        }
    }
    name = cutAtCharacter(confined(name), kMaxBarcodeBytes);
    return name.isEmpty() ? QStringLiteral("未命名").toLocal8Bit() : name;
}

QByteArray dateName(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd_HHmmss")).toLatin1();
}

QByteArray confined(QByteArray name) {
    for (char& c : name)
        if (c == '/' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7F)
            c = '_';
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
