#pragma once

#include <QByteArray>

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

    FileNamer(Settings& settings, const CameraRoles& roles, const WorkFolder& folder,
              const OutputFormat& format, const Widgets& widgets);

    // The next name by the chosen rule; the automatic rule's counter advances after the name is
    // made, except under multi-page PDF, where every capture adds a page to the same file.
    QByteArray makeFileName();
    // The work folder, the name and the extension. A name that is taken replaces the older file:
    // there is no renaming and no question.
    QByteArray makeSavePath();

    // Refilled in the window's language; the stored rule stays.
    void fillRules();
    void onRuleChanged();
    void onNameEdited();
    void onDigitsEdited();
    void onStepEdited();
    void onCounterEdited();

private:
    void showPanel(int rule);

    Settings& m_settings;
    const CameraRoles& m_roles;
    const WorkFolder& m_folder;
    const OutputFormat& m_format;
    Widgets m_widgets;
};
