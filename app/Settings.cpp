#include "Settings.h"

#include "platform/Profile.h"

#include <QFileInfo>

#include <charconv>
#include <cmath>

namespace {

const QByteArray kSection(kSettingsSection);

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

} // namespace

QString settingsPath(const QString& documentsDir) {
    return documentsDir + QStringLiteral("/Papyra/zoconf.ini");
}

bool readConfig(const QString& path, Settings& s) {
    if (!QFileInfo::exists(path))
        return false;
    const platform::Profile profile(path);
    const auto integer = [&](const char* key, int defaultValue) {
        return profile.readInt(kSection, key, defaultValue);
    };
    const auto flag = [&](const char* key, int defaultValue) {
        return integer(key, defaultValue) != 0;
    };
    const auto string = [&](const char* key, const QByteArray& defaultValue) {
        return profile.readString(kSection, key, defaultValue);
    };

    s.devIndex = integer("DevIndex", 0);
    s.audioIndex = integer("AudioIndex", 0);
    s.resolution = integer("Resolution", 0);
    s.pixtype = integer("Pixtype", 0);
    s.dpiIndex = integer("DPIIndex", 2);
    s.rotateIndex = integer("RotateIndex", 0);
    s.scanSize = integer("ScanSize", 0);
    s.threshold = integer("Threshold", 0);
    s.autoCrop = flag("AutoCrop", 0);
    s.exposure = integer("Exposure", -3);
    s.autoExp = flag("AutoExp", 1);
    s.jpgQuality = integer("JPGQuality", 75);
    s.delBack = flag("DelBack", 0);
    s.rotateAngle = integer("RotateAngle", 0);
    s.nameRule = integer("NameRule", 0);
    s.fileNameNum = integer("FileNameNum", 5);
    s.fileNameStep = integer("FileNameStep", 1);
    s.fileNameCount = integer("FileNameCount", 0);
    s.openSub = flag("OpenSub", 0);
    s.workPath = string("WorkPath", "");
    s.prefixName = string("PrefixName", "Image");
    s.waterText = string("WaterText", QByteArrayLiteral("水印"));
    s.waterRed = integer("WaterRed", 255);
    s.waterGreen = integer("WaterGreen", 0);
    s.waterBlue = integer("WaterBlue", 0);
    s.showWater = flag("ShowWater", 0);
    s.showTimeWater = flag("ShowTimeWater", 0);
    s.hRatio = integer("HRatio", 0);
    s.vRatio = integer("VRatio", 0);
    s.showRatio = flag("ShowRatio", 1);
    s.waterMode = integer("WaterMode", 0);
    s.waterPos = integer("WaterPos", 0);
    s.waterAngle = integer("WaterAngle", 0);
    s.waterFontSize = integer("WaterFontSize", 72);
    s.waterFontFamily =
        QString::fromLocal8Bit(string("WaterFontFamily", QByteArrayLiteral("宋体")));
    s.uiIndex = integer("UIIndex", 1);
    s.rval = integer("rval", 255);
    s.gval = integer("gval", 0);
    s.bval = integer("bval", 0);
    s.opcity = integer("Opcity", 255);
    s.lineWidth = integer("LineWidth", 5);
    s.resizeImage = flag("ResizeImage", 0);
    s.resizeImageRatio = parseRatio(string("ResizeImageRatio", "1.0"));
    s.multiCapMode = integer("MultiCapMode", 0);
    s.capCount = integer("CapCount", 9999);
    s.interval = integer("Interval", 3);

    if (s.devIndex < 0)
        s.devIndex = 0;
    // "nan" or "1e999" would reach the engine's resize arithmetic.
    if (!std::isfinite(s.resizeImageRatio))
        s.resizeImageRatio = 1.0;
    return true;
}

bool writeConfig(const QString& path, const Settings& s) {
    platform::Profile profile(path);
    const auto integer = [&](const char* key, int value) {
        profile.writeInt(kSection, key, value);
    };
    const auto string = [&](const char* key, const QByteArray& value) {
        profile.writeString(kSection, key, value);
    };

    integer("DevIndex", s.devIndex);
    integer("AudioIndex", s.audioIndex);
    integer("Resolution", s.resolution);
    integer("Pixtype", s.pixtype);
    integer("DPIIndex", s.dpiIndex);
    integer("RotateIndex", s.rotateIndex);
    integer("ScanSize", s.scanSize);
    integer("Threshold", s.threshold);
    integer("AutoCrop", s.autoCrop);
    integer("Exposure", s.exposure);
    integer("AutoExp", s.autoExp);
    integer("JPGQuality", s.jpgQuality);
    string("WorkPath", s.workPath);
    integer("DelBack", s.delBack);
    integer("RotateAngle", s.rotateAngle);
    integer("NameRule", s.nameRule);
    integer("FileNameCount", s.fileNameCount);
    integer("FileNameNum", s.fileNameNum);
    integer("FileNameStep", s.fileNameStep);
    string("PrefixName", s.prefixName);
    string("WaterText", s.waterText);
    integer("WaterRed", s.waterRed);
    integer("WaterGreen", s.waterGreen);
    integer("WaterBlue", s.waterBlue);
    integer("ShowWater", s.showWater);
    integer("ShowTimeWater", s.showTimeWater);
    integer("HRatio", s.hRatio);
    integer("VRatio", s.vRatio);
    integer("WaterMode", s.waterMode);
    integer("WaterPos", s.waterPos);
    integer("WaterAngle", s.waterAngle);
    integer("OpenSub", s.openSub);
    integer("WaterFontSize", s.waterFontSize);
    string("WaterFontFamily", s.waterFontFamily.toLocal8Bit());
    integer("UIIndex", s.uiIndex);
    integer("rval", s.rval);
    integer("gval", s.gval);
    integer("bval", s.bval);
    integer("Opcity", s.opcity);
    integer("LineWidth", s.lineWidth);
    integer("Language", s.language);
    integer("ResizeImage", s.resizeImage);
    string("ResizeImageRatio", formatRatio(s.resizeImageRatio));
    integer("MultiCapMode", s.multiCapMode);
    integer("CapCount", s.capCount);
    integer("Interval", s.interval);
    return profile.save();
}
