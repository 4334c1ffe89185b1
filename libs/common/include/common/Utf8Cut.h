#pragma once

#include <QByteArray>

#include <cstring>

// Texts travel as UTF-8 bytes in fixed buffers (the settings file's 260 bytes, the watermark
// record's 300 and 100). Cutting such a text must not leave half a character behind, which
// would decode as a replacement mark; the program and the engine cut the same way.
namespace common {

// The longest prefix of `text` of at most `maxBytes` bytes that ends between two characters.
inline QByteArray utf8Prefix(const QByteArray& text, qsizetype maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    qsizetype end = maxBytes < 0 ? 0 : maxBytes;
    // A continuation byte (10xxxxxx) at the cut belongs to a character begun before it.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.left(end);
}

// The text of a NUL-terminated field of `size` bytes, read no further than the field and cut so
// that its terminator fits.
inline QByteArray fieldText(const char* field, std::size_t size) {
    if (size == 0)
        return {};
    const std::size_t length = strnlen(field, size);
    return utf8Prefix(QByteArray(field, static_cast<qsizetype>(length)),
                      static_cast<qsizetype>(size) - 1);
}

} // namespace common
