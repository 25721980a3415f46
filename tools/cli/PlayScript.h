#pragma once

#include "ZarvoGame.h"

#include <QStringList>
#include <QTextStream>

// The commands of zarvos-cli play, one line at a time, on a game session:
// mouse input on board pixels ("down X Y [left|right|middle] [ctrl] [dbl]",
// "move X Y [left|none]", "up X Y"), the menu's steps ("undo", "redo",
// "restart", "goal on|off"), the board's keys ("key tab|backtab|left|right|
// up|down"), "save NAME" into Hist/, what a script prints ("print",
// "history"), and the solver's help ("needed", "hint", "demo").
class TPlayScript
{
public:
    TPlayScript(QTextStream &out, bool grid);

    // The words of one script line; empty for a blank line.
    static QStringList Words(const QString &line);
    // Runs one command; false for words that are not a command. Engine
    // errors (a save that fails) pass on as EZarvoError.
    bool Run(const QStringList &words);

    TZarvoGame Game;

private:
    bool Down(const QStringList &words);
    void Help(const QString &cmd);

    QTextStream &Out;
    TMouseButton Button = mbLeft;
};
