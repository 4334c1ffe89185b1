#pragma once

#include <QByteArray>
#include <QString>

// Every value the program keeps between runs. A new record holds the start values the program
// uses when there is no settings file at all; readConfig() applies the read defaults for keys
// missing from an existing file, which differ for a few keys. Both come from one key table.
struct Settings {
    Settings();

    int devIndex;
    int audioIndex;
    int resolution;
    int pixtype;
    int dpiIndex;
    int rotateIndex;
    int scanSize;
    int threshold;
    bool autoCrop;
    int exposure;
    bool autoExp;
    int jpgQuality;
    bool delBack;
    int rotateAngle;
    int nameRule;
    int fileNameNum;
    int fileNameStep;
    int fileNameCount;
    bool openSub;
    QByteArray workPath;   // local 8-bit
    QByteArray prefixName; // local 8-bit
    QByteArray waterText;  // local 8-bit
    int waterRed;
    int waterGreen;
    int waterBlue;
    bool showWater;
    bool showTimeWater;
    int hRatio;
    int vRatio;
    bool showRatio;
    int waterMode;
    int waterPos;
    int waterAngle;
    int waterFontSize;
    QString waterFontFamily;
    int uiIndex;
    int rval;
    int gval;
    int bval;
    int opcity;
    int lineWidth;
    bool resizeImage;
    double resizeImageRatio;
    int multiCapMode;
    int capCount;
    int interval;
    // The watermark's opacity 0..255; 128 when missing, so files written before it still read.
    int waterAlpha;
    bool dewarp;     // captured pages curving into a book's spine are flattened
    bool autoOrient; // captured pages lying sideways or upside down are turned upright
    // The language the window shows now (0 Chinese, 1 English); a start takes the one of the
    // last run, English when the file has none or another value.
    int language;
    // Added later, written after all the others; files without them read as before they were
    // kept: the list's first entry (JPG), no custom name, vertical merges.
    int fileFormat; // the entry of the format list, 0..8; -1: none stored

    QByteArray customName; // the custom rule's name, local 8-bit
    int mergeDirection;    // 0 vertical, 1 horizontal
};

// The widths the line width dialog offers.
inline constexpr int kMinLineWidth = 1;
inline constexpr int kMaxLineWidth = 17;
// The entries of the format list.
inline constexpr int kFileFormatCount = 9;

// The section every key lives in.
inline constexpr char kSettingsSection[] = "Zo twain driver param";

// "<documents>/Papyra/zoconf.ini"; `documentsDir` has no trailing slash.
QString settingsPath(const QString& documentsDir);

// Reads every key in file order. Returns false and leaves `settings` as it was when there is no
// file at `path`. A negative DevIndex becomes 0; a Language other than 0 or 1 becomes 1; a ratio
// that is not a finite number becomes the read default 1.0; colour values and the watermark opacity
// are kept within 0..255, the annotation opacity within 1..255 and the line width within the
// dialog's 1..17; a FileFormat that names no entry of the list reads as none stored (-1), and a
// MergeDirection other than 1 reads as vertical. Texts longer than 259 bytes are cut between two
// characters.
bool readConfig(const QString& path, Settings& settings);

// Writes every key in the order the file has always had and replaces the file atomically, keeping
// any other lines of an existing file. False when the file could not be written.
bool writeConfig(const QString& path, const Settings& settings);

// The camera parameters the program resets before it reads the file, so a file without them
// starts from these values rather than from those of the record's last use.
void resetCameraParameters(Settings& settings);
