#include "Settings.h"

#include "platform/Profile.h"

#include <common/Utf8Cut.h>

#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <variant>

namespace {

const QByteArray kSection(kSettingsSection);

using Member = std::variant<int Settings::*, bool Settings::*, QByteArray Settings::*,
                            QString Settings::*, double Settings::*>;

// A key's value as the table gives it: a number for integers, flags and the ratio, UTF-8 text
// for strings.
struct Value {
    constexpr Value(int number) : number(number) {}
    constexpr Value(const char* text) : text(text) {}
    int number = 0;
    const char* text = nullptr;
};

// One row per key of the settings file: where it lives in the record, the value read when the
// key is missing from an existing file, and the value of a start without any file. The rows are
// in the order the file has always been written in; ShowRatio is read but never written, and
// Language is read apart from the others.
struct Key {
    const char* name;
    Member member;
    Value readDefault;
    Value start;
    bool read = true;
    bool written = true;
};

const Key kKeys[] = {
    {"DevIndex", &Settings::devIndex, 0, 0},
    {"AudioIndex", &Settings::audioIndex, 0, 0},
    {"Resolution", &Settings::resolution, 0, 0},
    {"Pixtype", &Settings::pixtype, 0, 0},
    {"DPIIndex", &Settings::dpiIndex, 2, 1},
    {"RotateIndex", &Settings::rotateIndex, 0, 0},
    {"ScanSize", &Settings::scanSize, 0, 0},
    {"Threshold", &Settings::threshold, 0, 196},
    {"AutoCrop", &Settings::autoCrop, 0, 0},
    {"Exposure", &Settings::exposure, -3, -3},
    {"AutoExp", &Settings::autoExp, 1, 1},
    {"JPGQuality", &Settings::jpgQuality, 75, 75},
    {"WorkPath", &Settings::workPath, "", ""},
    {"DelBack", &Settings::delBack, 0, 0},
    {"RotateAngle", &Settings::rotateAngle, 0, 0},
    {"NameRule", &Settings::nameRule, 0, 0},
    {"FileNameCount", &Settings::fileNameCount, 0, 0},
    {"FileNameNum", &Settings::fileNameNum, 5, 5},
    {"FileNameStep", &Settings::fileNameStep, 1, 1},
    {"PrefixName", &Settings::prefixName, "Image", "Image"},
    {"WaterText", &Settings::waterText, "水印", ""},
    {"WaterRed", &Settings::waterRed, 255, 255},
    {"WaterGreen", &Settings::waterGreen, 0, 0},
    {"WaterBlue", &Settings::waterBlue, 0, 0},
    {"ShowWater", &Settings::showWater, 0, 0},
    {"ShowTimeWater", &Settings::showTimeWater, 0, 0},
    {"HRatio", &Settings::hRatio, 0, 0},
    {"VRatio", &Settings::vRatio, 0, 0},
    {"ShowRatio", &Settings::showRatio, 1, 1, true, false},
    {"WaterMode", &Settings::waterMode, 0, 1},
    {"WaterPos", &Settings::waterPos, 0, 2},
    {"WaterAngle", &Settings::waterAngle, 0, 0},
    {"OpenSub", &Settings::openSub, 0, 0},
    {"WaterFontSize", &Settings::waterFontSize, 72, 72},
    {"WaterFontFamily", &Settings::waterFontFamily, "宋体", "宋体"},
    {"UIIndex", &Settings::uiIndex, 1, 1},
    {"rval", &Settings::rval, 255, 255},
    {"gval", &Settings::gval, 0, 0},
    {"bval", &Settings::bval, 0, 0},
    {"Opcity", &Settings::opcity, 255, 255},
    {"LineWidth", &Settings::lineWidth, 5, 5},
    {"Language", &Settings::language, 1, 1, false},
    {"ResizeImage", &Settings::resizeImage, 0, 0},
    {"ResizeImageRatio", &Settings::resizeImageRatio, "1.0", "1.0"},
    {"MultiCapMode", &Settings::multiCapMode, 0, 0},
    {"CapCount", &Settings::capCount, 9999, 9999},
    {"Interval", &Settings::interval, 3, 3},
    {"WaterAlpha", &Settings::waterAlpha, 128, 128},
    // Added later, so written after all the others; files without them read as off.
    {"Dewarp", &Settings::dewarp, 0, 0},
    {"AutoOrient", &Settings::autoOrient, 0, 0},
    {"FileFormat", &Settings::fileFormat, -1, 0},
    {"CustomName", &Settings::customName, "", ""},
    {"MergeDirection", &Settings::mergeDirection, 0, 0},
};

// The classic atof reading of the stored ratio (leading blanks, the longest number that fits,
// 0 without one), but independent of the locale: Qt applies the user's locale to the C library,
// and a decimal comma there would turn "0.5" into 0.
double parseRatio(const QByteArray& text) {
    const char* begin = text.constData();
    const char* end = begin + text.size();
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    if (begin < end && *begin == '+')
        ++begin;
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec == std::errc::result_out_of_range)
        return HUGE_VAL;
    return result.ec == std::errc() ? value : 0.0;
}

QByteArray formatRatio(double ratio) {
    return QByteArray::number(ratio, 'f', 4); // "%.04f" without the locale's decimal comma
}

// Stores `value` into the key's member; `text` is how a string key's value reads.
struct Assign {
    Settings& s;
    int number;
    QByteArray text;
    void operator()(int Settings::*m) const { s.*m = number; }
    void operator()(bool Settings::*m) const { s.*m = number != 0; }
    void operator()(QByteArray Settings::*m) const { s.*m = text; }
    void operator()(QString Settings::*m) const { s.*m = QString::fromLocal8Bit(text); }
    void operator()(double Settings::*m) const { s.*m = parseRatio(text); }
};

bool isText(const Member& member) {
    return !std::holds_alternative<int Settings::*>(member) &&
           !std::holds_alternative<bool Settings::*>(member);
}

QByteArray textOf(const Value& value) {
    return value.text != nullptr ? QByteArray(value.text) : QByteArray();
}

// The classic 260-byte buffer, but cut where a character ends: half a character would decode as
// a replacement mark, and a watermark text would carry it into every capture.
QByteArray readText(const platform::Profile& profile, const Key& key) {
    const QByteArray whole = profile.readString(kSection, key.name, textOf(key.readDefault), 0);
    return common::utf8Prefix(whole, platform::Profile::kDefaultBufferSize - 1);
}

} // namespace

Settings::Settings() {
    for (const Key& key : kKeys)
        std::visit(Assign{*this, key.start.number, textOf(key.start)}, key.member);
}

QString settingsPath(const QString& documentsDir) {
    return documentsDir + QStringLiteral("/Papyra/zoconf.ini");
}

bool readConfig(const QString& path, Settings& s) {
    if (!QFileInfo::exists(path))
        return false;
    const platform::Profile profile(path);
    for (const Key& key : kKeys) {
        if (!key.read)
            continue;
        if (isText(key.member))
            std::visit(Assign{s, 0, readText(profile, key)}, key.member);
        else
            std::visit(Assign{s, profile.readInt(kSection, key.name, key.readDefault.number), {}},
                       key.member);
    }
    if (s.devIndex < 0)
        s.devIndex = 0;
    // "nan" or "1e999" would reach the engine's resize arithmetic.
    if (!std::isfinite(s.resizeImageRatio))
        s.resizeImageRatio = 1.0;
    // Only the two languages the window has texts for. The integer rules would read a stray
    // "x" as 0 and switch a user to Chinese; anything but exactly 0 or 1 starts in English.
    const QByteArray language = profile.readString(kSection, "Language", "1", 0);
    s.language = language == "0" ? 0 : 1;
    for (int* channel :
         {&s.waterRed, &s.waterGreen, &s.waterBlue, &s.waterAlpha, &s.rval, &s.gval, &s.bval})
        *channel = std::clamp(*channel, 0, 255);
    // The ranges the annotation dialogs offer: a value outside them shows no entry there, and OK
    // would store what the dialog then holds (a width of 0).
    s.lineWidth = std::clamp(s.lineWidth, kMinLineWidth, kMaxLineWidth);
    s.opcity = std::clamp(s.opcity, 1, 255);
    if (s.fileFormat < 0 || s.fileFormat >= kFileFormatCount)
        s.fileFormat = -1; // none stored: the list starts at its first entry, as before the key

    s.mergeDirection = s.mergeDirection == 1 ? 1 : 0;
    return true;
}

bool writeConfig(const QString& path, const Settings& s) {
    platform::Profile profile(path);
    for (const Key& key : kKeys) {
        if (!key.written)
            continue;
        std::visit(
            [&](auto member) {
                using Field = std::remove_cvref_t<decltype(s.*member)>;
                if constexpr (std::is_same_v<Field, QByteArray>)
                    profile.writeString(kSection, key.name, s.*member);
                else if constexpr (std::is_same_v<Field, QString>)
                    profile.writeString(kSection, key.name, (s.*member).toLocal8Bit());
                else if constexpr (std::is_same_v<Field, double>)
                    profile.writeString(kSection, key.name, formatRatio(s.*member));
                else
                    profile.writeInt(kSection, key.name, static_cast<int>(s.*member));
            },
            key.member);
    }
    return profile.save();
}

void resetCameraParameters(Settings& s) {
    s.devIndex = 0;
    s.resolution = 0;
    s.exposure = -3;
    s.pixtype = 0;
    s.dpiIndex = 1;
    s.rotateIndex = 0;
    s.scanSize = 0;
    s.threshold = 196;
    s.autoCrop = false;
}
