#pragma once

#include "TesoLiveLoader.h"

#include <QString>

struct Settings;

// Enrolment of a finger under a name, and identification of a finger among the enrolled ones.
// The reader library is loaded from the program directory for each operation and released after
// it; the enrolled fingers live in "fingertian.dat" in the work folder. Both operations block
// while the reader waits for the finger.
class Fingerprints {
public:
    // `programDir` ends with "/".
    Fingerprints(const Settings& settings, QString programDir);

    void enroll(const QString& name);
    void match();
    // Whether the library loads and finds a reader (the virtual one included): opens a session
    // and closes it again.
    bool readerPresent() const;

private:
    QString storePath() const;
    void showNoReader() const;

    const Settings& m_settings;
    QString m_libraryPath;
    mutable TesoLiveLoader m_library;
};
