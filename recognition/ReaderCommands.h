#pragma once

class Fingerprints;
class QWidget;

// The commands that need a reader of their own, the identity-card reader and the fingerprint
// reader, are offered while their reader is there: shown when it answers, hidden when not.
class ReaderCommands {
public:
    ReaderCommands(const Fingerprints& fingerprints, QWidget* cardButton, QWidget* fingerButton);

    // Asks both readers; at start-up and whenever the devices may have changed.
    void refresh();

private:
    const Fingerprints& m_fingerprints;
    QWidget* m_cardButton;
    QWidget* m_fingerButton;
};
