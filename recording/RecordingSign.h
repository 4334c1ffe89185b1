#pragma once

#include <QElapsedTimer>

class QLabel;

// The sign beside a record button: while its recording runs, a red mark and the time it has run
// (mm:ss); while files it stopped are still being completed, that it is finishing; nothing
// otherwise. Its owner calls tick() each second.
class RecordingSign {
public:
    explicit RecordingSign(QLabel* label);

    void recordingStarted();
    // The recording stopped, and its file is now being completed.
    void recordingStopped();
    // A recording that never started, or ended with its camera and its file, stops the sign too.
    void recordingGone();
    // A file this sign's recordings made is complete (or failed).
    void fileCompleted();
    bool running() const { return m_started.isValid(); }
    int finishing() const { return m_finishing; }

    void tick() { show(); }
    void applyLanguage(int language);

private:
    void show();

    QLabel* m_label;
    QElapsedTimer m_started; // invalid while no recording runs
    int m_finishing = 0;
    int m_language = 0;
};
