#pragma once
// Qt's own file dialog writes its dates and sizes in the system's locale, not in the
// program's: a Chinese program on an English system would list "12/9/26 2:59 PM".
class QFileDialog;

// Shows the dialog's modification dates and file sizes in the program's locale (the
// application's default locale) when it differs from the system's. A native dialog is
// left as the system draws it.
void UseProgramLocale(QFileDialog& dialog);
