#pragma once

#include <QByteArray>
#include <QString>

// Every value the program keeps between runs. The member initialisers are the start values the
// program uses when there is no settings file at all; readConfig() applies the read defaults for
// keys missing from an existing file, which differ for a few keys.
struct Settings {
    int devIndex = 0;
    int audioIndex = 0;
    int resolution = 0;
    int pixtype = 0;
    int dpiIndex = 1;
    int rotateIndex = 0;
    int scanSize = 0;
    int threshold = 196;
    bool autoCrop = false;
    int exposure = -3;
    bool autoExp = true;
    int jpgQuality = 75;
    bool delBack = false;
    int rotateAngle = 0;
    int nameRule = 0;
    int fileNameNum = 5;
    int fileNameStep = 1;
    int fileNameCount = 0;
    bool openSub = false;
    QByteArray workPath;             // local 8-bit
    QByteArray prefixName = "Image"; // local 8-bit
    QByteArray waterText;            // local 8-bit
    int waterRed = 255;
    int waterGreen = 0;
    int waterBlue = 0;
    bool showWater = false;
    bool showTimeWater = false;
    int hRatio = 0;
    int vRatio = 0;
    bool showRatio = true;
    int waterMode = 1;
    int waterPos = 2;
    int waterAngle = 0;
    int waterFontSize = 72;
    QString waterFontFamily = QStringLiteral("宋体");
    int uiIndex = 1;
    int rval = 255;
    int gval = 0;
    int bval = 0;
    int opcity = 255;
    int lineWidth = 5;
    bool resizeImage = false;
    double resizeImageRatio = 1.0;
    int multiCapMode = 0;
    int capCount = 9999;
    int interval = 3;
    int language = 1; // written for the record; a start always begins in English
};

// The section every key lives in.
inline constexpr char kSettingsSection[] = "Zo twain driver param";

// "<documents>/Papyra/zoconf.ini"; `documentsDir` has no trailing slash.
QString settingsPath(const QString& documentsDir);

// Reads every key but Language in file order. Returns false and leaves `settings` as it was when
// there is no file at `path`. A negative DevIndex becomes 0; a ratio that is not a finite number
// becomes the read default 1.0.
bool readConfig(const QString& path, Settings& settings);

// Writes every key in the order the file has always had and replaces the file atomically, keeping
// any other lines of an existing file. False when the file could not be written.
bool writeConfig(const QString& path, const Settings& settings);
