#pragma once

// Qt's own dialogs and buttons (file, font, colour and print dialogs, a message box's OK) speak
// the window's language: 0 Chinese through Qt's catalogue of it, 1 English, Qt's own words.
void followLanguageInQtDialogs(int flag);
