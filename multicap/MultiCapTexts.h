#pragma once

#include <QString>

namespace Ui {
class QMultiCapDialog;
}
class QDialog;

// The dialog's texts in Chinese (0) and English (1).
namespace multicap_texts {

// The fixed texts of the window; any other flag leaves them alone.
void applyFixed(QDialog& dialog, Ui::QMultiCapDialog& ui, int flag);

QString startText(int flag);
QString stopText(int flag);

// Where a run stands, which the progress line shows in the language of the moment. A book run
// counts the pages of its document, and the spreads that added none as failed.
struct Progress {
    enum Stage { None, Started, Taking, Finished };
    Stage stage = None;
    int taken = 0;
    int failed = 0;
    bool book = false;
    int finishing = 0; // the pages still being made and written
};
// Empty for Stage::None. A count of failures is added only when there are some.
QString progressText(const Progress& progress, int flag);

} // namespace multicap_texts
