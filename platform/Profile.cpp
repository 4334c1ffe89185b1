#include "Profile.h"

#include <QFile>
#include <QSaveFile>

#include <climits>

namespace platform {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

QByteArray trimmed(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray cutForBuffer(QByteArray value, int bufferSize) {
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value.truncate(nul);
    if (bufferSize > 0 && value.size() > bufferSize - 1)
        value.truncate(bufferSize - 1);
    return value;
}

int parseLeadingInt(const QByteArray& text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturate; keeps the loop bounded
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

} // namespace

Profile::Profile(QString path) : m_path(std::move(path)) {
    if (m_path.isEmpty())
        return; // a profile made from text; no file to read
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_loaded = true;
    parse(file.readAll());
}

Profile Profile::fromText(const QByteArray& content, QString path) {
    Profile profile(QString{});
    profile.m_path = std::move(path);
    profile.m_loaded = true;
    profile.parse(content);
    return profile;
}

void Profile::parse(QByteArray content) {
    if (content.startsWith(kBom)) {
        m_hasBom = true;
        content.remove(0, 3);
    }
    const qsizetype firstBreak = content.indexOf('\n');
    if (firstBreak > 0 && content[firstBreak - 1] == '\r')
        m_lineBreak = "\r\n";
    if (content.endsWith('\n'))
        content.chop(1);
    if (content.isEmpty())
        return;
    for (const QByteArray& rawLine : content.split('\n')) {
        QByteArray raw = rawLine;
        if (raw.endsWith('\r'))
            raw.chop(1);
        m_lines.push_back(parseLine(raw));
    }
}

Profile::Line Profile::parseLine(const QByteArray& raw) {
    Line line;
    line.raw = raw;
    const QByteArray text = trimmed(raw);
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        line.isSection = true;
        line.section = trimmed(close < 0 ? text.mid(1) : text.mid(1, close - 1));
        return line;
    }
    if (text.startsWith(';'))
        return line;
    const qsizetype equals = text.indexOf('=');
    if (equals > 0) {
        line.isKey = true;
        line.key = trimmed(text.left(equals));
    }
    return line;
}

int Profile::findSection(const QByteArray& section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].isSection && sameName(m_lines[i].section, section))
            return static_cast<int>(i);
    }
    return -1;
}

int Profile::findKey(int sectionLine, const QByteArray& key) const {
    for (size_t i = sectionLine + 1; i < m_lines.size() && !m_lines[i].isSection; ++i) {
        if (m_lines[i].isKey && sameName(m_lines[i].key, key))
            return static_cast<int>(i);
    }
    return -1;
}

int Profile::endOfSection(int sectionLine) const {
    int end = sectionLine + 1;
    for (size_t i = sectionLine + 1; i < m_lines.size() && !m_lines[i].isSection; ++i) {
        if (!trimmed(m_lines[i].raw).isEmpty())
            end = static_cast<int>(i) + 1;
    }
    return end;
}

bool Profile::contains(const QByteArray& section, const QByteArray& key) const {
    const int sectionLine = findSection(section);
    return sectionLine >= 0 && findKey(sectionLine, key) >= 0;
}

QByteArray Profile::readString(const QByteArray& section, const QByteArray& key,
                               const QByteArray& defaultValue, int bufferSize) const {
    const int sectionLine = findSection(section);
    const int keyLine = sectionLine < 0 ? -1 : findKey(sectionLine, key);
    if (keyLine < 0)
        return cutForBuffer(defaultValue, bufferSize);
    const QByteArray& raw = m_lines[keyLine].raw;
    QByteArray value = trimmed(raw.mid(raw.indexOf('=') + 1));
    if (value.size() >= 2 && ((value.startsWith('"') && value.endsWith('"')) ||
                              (value.startsWith('\'') && value.endsWith('\''))))
        value = value.mid(1, value.size() - 2);
    return cutForBuffer(value, bufferSize);
}

int Profile::readInt(const QByteArray& section, const QByteArray& key, int defaultValue) const {
    const QByteArray value = readString(section, key, QByteArray(), 0);
    if (value.isEmpty())
        return defaultValue;
    return parseLeadingInt(value);
}

void Profile::writeString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& value) {
    QByteArray oneLine = value;
    oneLine.replace('\r', ' ').replace('\n', ' ');
    const QByteArray entry = key + '=' + oneLine;

    int sectionLine = findSection(section);
    if (sectionLine < 0) {
        if (!m_lines.empty() && !trimmed(m_lines.back().raw).isEmpty())
            m_lines.push_back(parseLine(QByteArray()));
        m_lines.push_back(parseLine('[' + section + ']'));
        sectionLine = static_cast<int>(m_lines.size()) - 1;
    }
    const int keyLine = findKey(sectionLine, key);
    if (keyLine >= 0) {
        m_lines[keyLine] = parseLine(entry);
        return;
    }
    m_lines.insert(m_lines.begin() + endOfSection(sectionLine), parseLine(entry));
}

void Profile::writeInt(const QByteArray& section, const QByteArray& key, int value) {
    writeString(section, key, QByteArray::number(value));
}

QByteArray Profile::text() const {
    QByteArray out;
    if (m_hasBom)
        out += kBom;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += m_lineBreak;
    }
    return out;
}

bool Profile::save(const std::function<void()>& beforeRename) const {
    QSaveFile file(m_path);
    // A folder that refuses new files may still hold a writable file: it is rewritten in place
    // then, which is not atomic, but keeps the settings instead of losing them.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray content = text();
    if (file.write(content) != content.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    if (beforeRename)
        beforeRename();
    return file.commit();
}

} // namespace platform
