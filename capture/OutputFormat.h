#pragma once

#include <QByteArray>

class CameraRoles;
class QComboBox;
struct Settings;

// The file format list: which extension a capture gets and whether PDF pages are collected. The
// chosen entry is kept in the settings (FileFormat) and shown again at the next start.
class OutputFormat {
public:
    OutputFormat(Settings& settings, const CameraRoles& roles, QComboBox* list);

    const QByteArray& extension() const { return m_extension; }
    int index() const { return m_index; }
    // The colour mode chooses an image format too: black and white is saved as TIFF, the other
    // modes as JPEG. The list shows that entry, as if the user had chosen it. A PDF stays a PDF.
    void follow(const QByteArray& extension);
    // Tells the main camera whether PDF pages are collected and carry text, when the format is
    // a PDF.
    void applyPdfMode() const;
    // Whether the entry the list shows writes PDF.
    bool showsPdf() const;
    // Under multi-page PDF every capture adds a page to the same file.
    bool collectsPages() const;
    // Searchable PDF: each page is read by the OCR before it is saved.
    bool searchable() const;

    // A locked list takes no choice from the user.
    void setLocked(bool locked);
    // Refilled in the window's language; the stored format stays.
    void fill();
    void onChanged();

private:
    void choose(int entry);
    // `entry`, or its plain entry when it needs the text reader and there is none.
    int usableEntry(int entry) const;

    Settings& m_settings;
    const CameraRoles& m_roles;
    QComboBox* m_list;
    QByteArray m_extension = ".jpg";
    int m_index = 0;
};
