#pragma once

#include <QString>

class QAction;
class QKeySequence;

// The program speaks German whatever the system language.

// Installs Qt's German catalogue, so the standard dialogs and buttons
// ("Abbrechen", "Ja", "Dateiname") speak German too. False when the
// catalogue is not installed; Qt's texts then stay English.
bool InstallQtGerman();

// A key combination as German players read it and the help writes it:
// "Strg+N", "Umschalt+Strg+Z", "Alt+Eingabe". Qt's own text puts Strg
// before Umschalt and keeps "Return".
QString GermanKeyText(const QKeySequence &key);

// Gives action its shortcut and shows the German text of it in menus.
void SetGermanShortcut(QAction *action, const QKeySequence &key);
