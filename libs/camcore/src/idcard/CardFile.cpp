#include "idcard/CardFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <utility>

namespace camcore {
namespace {

// A card holds a few hundred bytes of text; anything much larger is not a card file.
constexpr qint64 kMaxCardFile = 64 * 1024;
constexpr int kMaxPhotoSide = 1024;

struct FieldKey {
    const char* key;
    std::string IdCard::*field;
};

constexpr std::array<FieldKey, 8> kFields{{{"name", &IdCard::name},
                                           {"sex", &IdCard::sex},
                                           {"nation", &IdCard::nation},
                                           {"birth", &IdCard::birth},
                                           {"address", &IdCard::address},
                                           {"number", &IdCard::number},
                                           {"authority", &IdCard::authority},
                                           {"validity", &IdCard::validity}}};

std::string unescaped(const QByteArray& value) {
    std::string text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size() && (value[i + 1] == 'n' || value[i + 1] == '\\')) {
            text += value[++i] == 'n' ? '\n' : '\\';
            continue;
        }
        text += c;
    }
    return text;
}

CardReading failure(std::string error) {
    return {std::nullopt, std::move(error)};
}

CardReading readPhoto(IdCard card, const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.width() > kMaxPhotoSide || size.height() > kMaxPhotoSide)
        return failure("the photo is larger than 1024 x 1024");
    card.photo = reader.read();
    if (card.photo.isNull())
        return failure("the photo cannot be read: " + path.toStdString());
    return {std::move(card), {}};
}

} // namespace

CardReading readCardFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure("the card file cannot be read");
    const QByteArray text = file.read(kMaxCardFile + 1);
    if (text.size() > kMaxCardFile)
        return failure("the card file is larger than 64 KiB");

    IdCard card;
    QString photo;
    int number = 0;
    for (QByteArray line : text.split('\n')) {
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1);
        const auto field = std::find_if(kFields.begin(), kFields.end(),
                                        [&key](const auto& f) { return key == f.key; });
        if (equals > 0 && field != kFields.end())
            card.*(field->field) = unescaped(value);
        else if (equals > 0 && key == "photo")
            photo = QString::fromUtf8(value.trimmed());
        else
            return failure("line " + std::to_string(number) + " is not a known key=value");
    }
    if (photo.isEmpty())
        return failure("the card file names no photo");
    return readPhoto(std::move(card), QDir(QFileInfo(path).absolutePath()).absoluteFilePath(photo));
}

} // namespace camcore
