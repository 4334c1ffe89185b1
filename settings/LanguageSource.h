#pragma once

#include "Settings.h"

#include <QObject>

// The language the windows show: the stored choice, and the signal that every feature showing
// texts follows from the moment it is made, so that none is left out of a switch. 0 is Chinese
// and 1 English; another stored value changes no text.
class LanguageSource final : public QObject {
    Q_OBJECT
public:
    explicit LanguageSource(Settings& settings) : m_settings(settings) {}

    int current() const { return m_settings.language; }
    // Stores `flag`; the followers hear it when it is a language.
    void set(int flag) {
        m_settings.language = flag;
        if (flag == 0 || flag == 1)
            emit changed(flag);
    }

signals:
    void changed(int flag);

private:
    Settings& m_settings;
};
