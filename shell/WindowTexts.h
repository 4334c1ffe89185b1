#pragma once

class QDialog;

// The main window's own texts in Chinese (0) or English (1): the title, the tabs, the captions
// of its controls and their tool tips, found by their object names.
void applyWindowTexts(QDialog* window, int flag);
