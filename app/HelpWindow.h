#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

// The help: the bundled German HTML pages in a browser window of their own.
class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    THelpWindow(const QString &indexFile, QWidget *parent);
    QTextBrowser *Browser = nullptr;
};

// The help's first page: help/index.html beside the program, or in the
// installed collection. Empty when none is found.
QString HelpIndexFile();

// Opens (or raises) the help window on the contents page. A missing help is
// reported in a message box and gives nullptr.
THelpWindow *ShowHelp(QWidget *from);
