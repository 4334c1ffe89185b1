#include "FileNamer.h"

#include "CameraRoles.h"
#include "CaptureMessages.h"
#include "FileNaming.h"
#include "OutputFormat.h"
#include "Settings.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "platform/Language.h"
#include "platform/Message.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <climits>
#include <optional>

namespace {

enum NameRule { Automatic = 0, Barcode = 1, Date = 2, Custom = 3 };

using platform::text;

// A field's entry as a whole number, or nothing.
std::optional<int> wholeNumber(const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Stores an accepted entry; a rejected one puts the stored value back and says what is wanted.
// The field is restored before the message, whose box takes the focus: the field then has
// nothing new to report when it loses it.
void acceptNumber(QLineEdit* edit, int& stored, int low, int high, int language,
                  const char* chinese, const char* english) {
    const std::optional<int> value = wholeNumber(edit);
    if (value && *value >= low && *value <= high) {
        stored = *value;
        return;
    }
    edit->setText(QString::number(stored));
    platform::showMessage(text(language, "提示", "Information"), text(language, chinese, english));
}

} // namespace

FileNamer::FileNamer(Settings& settings, const CameraRoles& roles, const WorkFolder& folder,
                     const OutputFormat& format, const Widgets& widgets,
                     std::function<void()> saveSettings)
    : m_settings(settings), m_roles(roles), m_folder(folder), m_format(format), m_widgets(widgets),
      m_saveSettings(std::move(saveSettings)) {}

QByteArray FileNamer::makeFileName() {
    switch (m_settings.nameRule) {
    case Automatic: {
        const QByteArray name = naming::confined(naming::automaticName(
            m_settings.prefixName, m_settings.fileNameNum, m_settings.fileNameCount));
        if (m_format.collectsPages())
            m_documentOpen = true;
        else
            advanceCounter();
        m_widgets.counter->setText(QString::number(m_settings.fileNameCount));
        return name;
    }
    case Barcode:
        return naming::barcodeName(ZoReadBarcode(m_roles.main()));
    case Date:
        return naming::dateName(QDateTime::currentDateTime());
    case Custom:
        return naming::confined(m_widgets.name->text().toLocal8Bit());
    default:
        return {};
    }
}

QByteArray FileNamer::makeSavePath() {
    return makeSavePath(m_format.extension());
}

QByteArray FileNamer::makeSavePath(const QByteArray& extension) {
    if (!m_folder.usable() || customNameMissing())
        return {};
    const int counterBefore = m_settings.fileNameCount;
    const QByteArray path = pathFor(makeFileName(), extension);
    if (m_settings.nameRule == Automatic && m_settings.fileNameCount != counterBefore)
        m_lastNumbered = Numbered{path, counterBefore, m_settings.fileNameCount};
    return path;
}

bool FileNamer::namesByBarcode() const {
    return m_settings.nameRule == Barcode;
}

QByteArray FileNamer::makeBarcodePath(const QByteArray& reading) {
    if (!m_folder.usable())
        return {};
    return pathFor(naming::barcodeName(reading), m_format.extension());
}

bool FileNamer::customNameMissing() const {
    return m_settings.nameRule == Custom &&
           naming::confined(m_widgets.name->text().toLocal8Bit()).isEmpty();
}

void FileNamer::sayWhyNoPath() const {
    const int language = m_settings.language;
    if (!m_folder.usable() || !customNameMissing()) {
        capture_messages::sayNoFolder(language);
        return;
    }
    platform::showMessage(text(language, "提示", "Information"),
                          text(language, "请输入文件名: 自定义命名需要一个文件名。",
                               "Please type a file name: the custom naming rule needs one."));
}

// The last number the automatic rule handed out goes back when its capture wrote nothing and no
// later name took the next one, so the numbers stay without gaps.
void FileNamer::giveBack(const QByteArray& path) {
    if (!m_lastNumbered || m_lastNumbered->path != path ||
        m_settings.fileNameCount != m_lastNumbered->after)
        return;
    m_settings.fileNameCount = m_lastNumbered->before;
    m_madePaths.remove(path);
    m_lastNumbered.reset();
    m_widgets.counter->setText(QString::number(m_settings.fileNameCount));
    m_saveSettings();
}

// A name that is taken, on the disk or by a capture of this run still being written, is never
// replaced: "_2", "_3" follow instead. A collected document keeps its name, and the engine adds
// the page to it; the date and barcode rules still start a new document for a new press.
QByteArray FileNamer::pathFor(const QByteArray& name, const QByteArray& extension) {
    if (name.isEmpty())
        return {};
    const int rule = m_settings.nameRule;
    const QByteArray base = m_folder.imageDir() + '/' + name;
    const bool collected = m_format.collectsPages() && extension == m_format.extension();
    if (collected && rule != Date && rule != Barcode)
        return base + extension;
    const QByteArray path =
        naming::freshPath(base, extension, [this, collected](const QByteArray& p) {
            return m_madePaths.contains(p) ||
                   (!collected && QFile::exists(QString::fromLocal8Bit(p)));
        });
    m_madePaths.insert(path);
    return path;
}

QByteArray FileNamer::makeBookPath() {
    if (!m_folder.usable())
        return {};
    finishDocument();
    const QByteArray base =
        m_folder.imageDir() + "/Book_" + naming::dateName(QDateTime::currentDateTime());
    const QByteArray path = naming::freshPath(base, ".pdf", [this](const QByteArray& p) {
        return m_madePaths.contains(p) || QFile::exists(QString::fromLocal8Bit(p));
    });
    m_madePaths.insert(path);
    return path;
}

void FileNamer::advanceCounter() {
    m_settings.fileNameCount =
        naming::advancedCounter(m_settings.fileNameCount, m_settings.fileNameStep);
    m_saveSettings();
}

void FileNamer::finishDocument() {
    if (!m_documentOpen)
        return;
    m_documentOpen = false;
    advanceCounter();
    m_widgets.counter->setText(QString::number(m_settings.fileNameCount));
}

void FileNamer::restartCounter() {
    m_settings.fileNameCount = 0;
    m_widgets.counter->setText(QString::number(m_settings.fileNameCount));
    m_saveSettings();
}

void FileNamer::fillRules() {
    const int language = m_settings.language;
    {
        const QSignalBlocker blocker(m_widgets.rules);
        m_widgets.rules->clear();
        m_widgets.rules->addItems({text(language, "自动命名", "Automatic naming"),
                                   text(language, "条码命名", "Barcode naming"),
                                   text(language, "日期命名", "Date naming"),
                                   text(language, "自定义", "Custom naming")});
        m_widgets.rules->setCurrentIndex(m_settings.nameRule);
    }
    showPanel(m_settings.nameRule);
}

void FileNamer::onRuleChanged() {
    const int rule = m_widgets.rules->currentIndex();
    if (rule == m_settings.nameRule)
        return;
    m_settings.nameRule = rule;
    showPanel(rule);
}

// The automatic rule shows its four fields with the stored values, the custom rule the name
// field alone; the others need no field.
void FileNamer::showPanel(int rule) {
    QWidget* const counterFields[] = {m_widgets.digitsLabel,  m_widgets.digits,
                                      m_widgets.stepLabel,    m_widgets.step,
                                      m_widgets.counterLabel, m_widgets.counter};
    const bool automatic = rule == Automatic;
    const bool named = automatic || rule == Custom;
    m_widgets.nameLabel->setVisible(named);
    m_widgets.name->setVisible(named);
    for (QWidget* field : counterFields)
        field->setVisible(automatic);
    if (automatic) {
        m_widgets.nameLabel->setText(text(m_settings.language, "前缀:", "Prefix:"));
        m_widgets.name->setText(QString::fromLocal8Bit(m_settings.prefixName));
        m_widgets.digits->setText(QString::number(m_settings.fileNameNum));
        m_widgets.step->setText(QString::number(m_settings.fileNameStep));
        m_widgets.counter->setText(QString::number(m_settings.fileNameCount));
    } else if (rule == Custom) {
        m_widgets.nameLabel->setText(text(m_settings.language, "文件名:", "File name:"));
        m_widgets.name->setText(QString::fromLocal8Bit(m_settings.customName));
    }
}

// Under the custom rule the field is read at each capture; it is kept for the next start.
void FileNamer::onNameEdited() {
    if (m_settings.nameRule == Automatic)
        m_settings.prefixName = m_widgets.name->text().toLocal8Bit();
    else if (m_settings.nameRule == Custom)
        m_settings.customName = m_widgets.name->text().toLocal8Bit();
}

void FileNamer::onDigitsEdited() {
    acceptNumber(m_widgets.digits, m_settings.fileNameNum, 1, 20, m_settings.language,
                 "请输入[1-20]之间的数字!", "Please enter a number from 1 to 20.");
}

void FileNamer::onStepEdited() {
    acceptNumber(m_widgets.step, m_settings.fileNameStep, 1, 100, m_settings.language,
                 "请输入[1-100]之间的数字!", "Please enter a number from 1 to 100.");
}

void FileNamer::onCounterEdited() {
    acceptNumber(m_widgets.counter, m_settings.fileNameCount, INT_MIN, INT_MAX, m_settings.language,
                 "请输入整数!", "Please enter a whole number.");
}
