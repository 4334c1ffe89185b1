#pragma once

#include <QByteArray>
#include <QSet>

#include <functional>
#include <optional>

class CameraRoles;
class OutputFormat;
class QComboBox;
class QLabel;
class QLineEdit;
class WorkFolder;
struct Settings;

// The naming rules of captures: the rule list, the fields of the naming panel, and the name and
// path each capture gets.
class FileNamer {
public:
    struct Widgets {
        QComboBox* rules;
        QLabel* nameLabel;
        QLineEdit* name; // the prefix, or the whole name under the custom rule
        QLabel* digitsLabel;
        QLineEdit* digits;
        QLabel* stepLabel;
        QLineEdit* step;
        QLabel* counterLabel;
        QLineEdit* counter;
    };

    // `saveSettings` writes every setting; it runs whenever the counter moved, so that a crash
    // never hands out a number that was used already.
    FileNamer(Settings& settings, const CameraRoles& roles, const WorkFolder& folder,
              const OutputFormat& format, const Widgets& widgets,
              std::function<void()> saveSettings);

    // The next name by the chosen rule; the automatic rule's counter advances after the name is
    // made, except under multi-page PDF, where every capture adds a page to the same file.
    QByteArray makeFileName();
    // The work folder, the name and the extension, or nothing when there is no work folder or
    // the custom rule has no name (sayWhyNoPath tells which). A name that is taken, on the disk or
    // by a capture still being written, gets "_2", "_3"; a collected PDF keeps its name and grows.
    QByteArray makeSavePath();
    // The same with another extension (".txt"): what is made of a capture, named as one.
    QByteArray makeSavePath(const QByteArray& extension);
    // Under the barcode rule a capture is named by the codes of its own picture: the caller reads
    // them first, behind the window, and names the file with the engine's reading.
    bool namesByBarcode() const;
    QByteArray makeBarcodePath(const QByteArray& reading);
    // Tells the user why makeSavePath gave no path.
    void sayWhyNoPath() const;
    // The capture named `path` wrote nothing: the automatic rule's number is handed out again
    // when no later capture took the next one.
    void giveBack(const QByteArray& path);
    // A new PDF for a book run: "Book_" and the date rule's name in the work folder, never a file
    // that exists or a name made before; empty when the folder cannot be used. A multi-page
    // document in progress ends, as the book run ends it in the camera.
    QByteArray makeBookPath();
    // The multi-page document the automatic rule named is finished (the format changed, the
    // program closes): the counter moves past it, so no later capture names it again.
    void finishDocument();
    // The driver program took the batch and starts its next one from the first name.
    void restartCounter();

    // Refilled in the window's language; the stored rule stays.
    void fillRules();
    void onRuleChanged();
    void onNameEdited();
    void onDigitsEdited();
    void onStepEdited();
    void onCounterEdited();

private:
    struct Numbered {
        QByteArray path;
        int before = 0; // the counter before the name was made
        int after = 0;
    };
    QByteArray pathFor(const QByteArray& name, const QByteArray& extension);
    bool customNameMissing() const;
    void showPanel(int rule);
    void advanceCounter();

    Settings& m_settings;
    const CameraRoles& m_roles;
    const WorkFolder& m_folder;
    const OutputFormat& m_format;
    Widgets m_widgets;
    std::function<void()> m_saveSettings;
    QSet<QByteArray> m_madePaths; // the names made in this run, but a collected document's
    std::optional<Numbered> m_lastNumbered;
    bool m_documentOpen = false; // the automatic rule named a multi-page document
};
