#include "OutputFormat.h"

#include "CameraRoles.h"
#include "Settings.h"
#include "ZoApi.h"
#include "platform/Message.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <iterator>

namespace {

struct Format {
    const char* chinese;
    const char* english;
    const char* extension;
    int pdfMode;             // -1: not a PDF
    bool searchable = false; // PDF pages carry the recognised text
    int plain = -1;          // of a searchable entry: the same PDF without text
};

// In the order of the format list.
constexpr Format kFormats[] = {
    {"JPG", "JPG", ".jpg", -1},
    {"单页PDF", "Single page PDF", ".pdf", 1},
    {"多页PDF", "Multi page PDF", ".pdf", 0},
    {"BMP", "BMP", ".bmp", -1},
    {"TIF", "TIF", ".tif", -1},
    {"PNG", "PNG", ".png", -1},
    {"TIFF", "TIFF", ".tiff", -1},
    {"可搜索单页PDF", "Searchable single page PDF", ".pdf", 1, true, 1},
    {"可搜索多页PDF", "Searchable multi page PDF", ".pdf", 0, true, 2},
};
constexpr int kFormatCount = int(std::size(kFormats));
static_assert(kFormatCount == kFileFormatCount);
constexpr int kCollectedPdf = 0;

int entryOf(const QByteArray& extension) {
    for (int i = 0; i < kFormatCount; ++i)
        if (extension == kFormats[i].extension)
            return i;
    return 0;
}

QString nameOf(const Format& format, int language) {
    return QString::fromUtf8(language == 0 ? format.chinese : format.english);
}

} // namespace

OutputFormat::OutputFormat(Settings& settings, const CameraRoles& roles, QComboBox* list)
    : m_settings(settings), m_roles(roles), m_list(list) {}

bool OutputFormat::showsPdf() const {
    const int shown = m_list->currentIndex();
    return shown >= 0 && shown < kFormatCount && kFormats[shown].pdfMode >= 0;
}

bool OutputFormat::collectsPages() const {
    return kFormats[m_index].pdfMode == kCollectedPdf;
}

bool OutputFormat::searchable() const {
    return kFormats[m_index].searchable;
}

void OutputFormat::setLocked(bool locked) {
    m_list->setEnabled(!locked);
}

// The list passes through other entries while it is refilled; the stored format stays. The first
// fill shows the format of the last run.
void OutputFormat::fill() {
    const QSignalBlocker blocker(m_list);
    if (m_list->count() == 0 && m_settings.fileFormat >= 0) {
        choose(usableEntry(m_settings.fileFormat));
        applyPdfMode();
    }
    m_list->clear();
    QStringList items;
    for (const Format& format : kFormats)
        items.append(nameOf(format, m_settings.language));
    m_list->addItems(items);
    m_list->setCurrentIndex(m_index);
}

void OutputFormat::onChanged() {
    const int index = m_list->currentIndex();
    if (index < 0 || index >= kFormatCount)
        return;
    choose(index);
    applyPdfMode();
}

void OutputFormat::choose(int entry) {
    m_index = entry;
    m_extension = kFormats[entry].extension;
    m_settings.fileFormat = entry;
}

// Without the text reader a searchable entry would save pages without text, each saying so:
// its plain entry is taken instead, and said once.
int OutputFormat::usableEntry(int entry) const {
    const Format& format = kFormats[entry];
    if (format.plain < 0 || ZoPdfTextReaderPresent())
        return entry;
    const int language = m_settings.language;
    platform::showMessage(
        QString::fromUtf8(language == 0 ? "提示" : "Information"),
        (language == 0 ? QStringLiteral("缺少文字识别组件, 文件格式由\"%1\"改为\"%2\"。")
                       : QStringLiteral("The text reader is missing; the file format is \"%2\" "
                                        "instead of \"%1\"."))
            .arg(nameOf(format, language), nameOf(kFormats[format.plain], language)));
    return format.plain;
}

void OutputFormat::applyPdfMode() const {
    const Format& format = kFormats[m_index];
    if (format.pdfMode < 0)
        return;
    ZoSetPDFMode(m_roles.main(), format.pdfMode);
    ZoSetPdfText(m_roles.main(), format.searchable);
}

// Before the list is first filled only the choice is kept, and only when no format of the last
// run is stored; the fill shows it. A PDF choice stays a PDF whatever the colour: only an image
// format follows it.
void OutputFormat::follow(const QByteArray& extension) {
    if (kFormats[m_index].pdfMode >= 0)
        return;
    const int entry = entryOf(extension);
    if (m_list->count() == 0) {
        if (m_settings.fileFormat < 0)
            choose(entry);
    } else if (m_list->currentIndex() != entry) {
        m_list->setCurrentIndex(entry);
    } else {
        m_extension = kFormats[entry].extension;
    }
}
