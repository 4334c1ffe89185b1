#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace platform {

// A settings file in INI form with the semantics the program relies on from the classic profile
// functions: sections and keys match case-insensitively, the first of duplicate keys wins, an
// integer read takes the leading decimal digits with their sign, and missing keys give the
// caller's default. Values are byte strings in the locale's encoding.
//
// The file is read once when the object is made; writes change the text in memory and keep every
// other line, comment and blank line as it was; save() replaces the file atomically.
class Profile {
public:
    // Buffer the program reads strings into; longer values are cut to one byte less.
    static constexpr int kDefaultBufferSize = 260;

    explicit Profile(QString path);
    // A profile of the given text, as if read from a file at `path` (which save() writes).
    static Profile fromText(const QByteArray& content, QString path = {});

    const QString& path() const { return m_path; }
    // True when the file existed and could be read when the object was made.
    bool loaded() const { return m_loaded; }

    // A missing key or an empty value gives `defaultValue`. Otherwise optional blanks, an optional
    // sign and the decimal digits that follow; no digits give 0, and values beyond the range of
    // int saturate.
    int readInt(const QByteArray& section, const QByteArray& key, int defaultValue) const;

    // The value of the key with surrounding blanks and one pair of enclosing quotes removed, cut at
    // a NUL byte and to bufferSize - 1 bytes; `defaultValue` (cut the same way) when the key is
    // missing. A bufferSize of 0 or less lifts the cut.
    QByteArray readString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& defaultValue,
                          int bufferSize = kDefaultBufferSize) const;

    bool contains(const QByteArray& section, const QByteArray& key) const;

    // Sets a key, adding the section at the end of the file and the key at the end of its section
    // when missing. Line breaks in the value are replaced by blanks so one key stays one line.
    void writeString(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void writeInt(const QByteArray& section, const QByteArray& key, int value);

    // Writes the text to a temporary file in the same folder and renames it over the file, so a
    // crash leaves either the old or the new file whole. `beforeRename` runs after the temporary
    // file is written and flushed (tests use it to interrupt the save). False when any step
    // failed; the file on disk is then unchanged.
    bool save(const std::function<void()>& beforeRename = {}) const;

    // The whole text as it would be saved.
    QByteArray text() const;

private:
    struct Line {
        QByteArray raw;     // the line as in the file, without its line break
        QByteArray section; // for section headers: the name; else empty
        QByteArray key;     // for key lines: the key with blanks trimmed; else empty
        bool isSection = false;
        bool isKey = false;
    };

    void parse(QByteArray content);
    static Line parseLine(const QByteArray& raw);
    // Index of the section header line, or -1.
    int findSection(const QByteArray& section) const;
    // Index of the key line inside the section starting at header index `sectionLine`, or -1.
    int findKey(int sectionLine, const QByteArray& key) const;
    // Index after the last non-blank line of the section starting at `sectionLine`.
    int endOfSection(int sectionLine) const;

    QString m_path;
    bool m_loaded = false;
    bool m_hasBom = false;
    QByteArray m_lineBreak = "\n";
    std::vector<Line> m_lines;
};

} // namespace platform
