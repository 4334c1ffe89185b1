#include "ReaderCommands.h"

#include "Fingerprints.h"
#include "ZoApi.h"

#include <QWidget>

ReaderCommands::ReaderCommands(const Fingerprints& fingerprints, QWidget* cardButton,
                               QWidget* fingerButton)
    : m_fingerprints(fingerprints), m_cardButton(cardButton), m_fingerButton(fingerButton) {}

void ReaderCommands::refresh() {
    m_cardButton->setVisible(ZoIDCardReaderPresent());
    m_fingerButton->setVisible(m_fingerprints.readerPresent());
}
