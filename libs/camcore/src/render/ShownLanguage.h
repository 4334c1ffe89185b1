#pragma once

#include <QString>

namespace camcore {

// The language of the texts the engine shows itself (the lost camera's line, the property
// dialog): 0 Chinese, 1 English. Set from the program's window on the GUI thread, read when
// drawing.
void setShownLanguage(int language);
int shownLanguage();

// The text of the shown language.
QString shownText(const char* chinese, const char* english);

} // namespace camcore
