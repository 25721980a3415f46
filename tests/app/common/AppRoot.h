#pragma once

// A data root and settings store of its own for one window test: ZarvoTyp.ini,
// Data/, Image/, Hist/ and settings.ini in a temporary folder. Message boxes
// and file dialogs are answered by the test instead of a person.

#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "Settings.h"
#include "TestFolder.h"

#include <QSettings>
#include <QTest>

// A 1 x 1 piece and a 2 x 1 domino.
inline const QByteArray AppTypes = "[Zarvo11]\r\n"
                                   "Count=1\r\n"
                                   "Zarvo1=0,0,1,1,1111\r\n"
                                   "[Zarvo21]\r\n"
                                   "Count=1\r\n"
                                   "Zarvo1=0,0,2,1,1111\r\n";

// A row of four cells: piece "A" starts in column 0 and must reach column 3;
// piece "B" stays where it is (its goal accepts it anywhere it starts).
inline QByteArray RowPuzzle(const QByteArray &title = "Reihe")
{
    return "[Info]\r\nTitle=" + title +
           "\r\nObjectInfo=Schiebe A ganz nach rechts\r\nRating=**\r\n"
           "[Pad]\r\nFrameSize=4,2\r\nUnitSize=40\r\nOffset=10,10\r\nBackSize=5,3\r\n"
           "[Start]\r\nCount=2\r\nZarvo1=Zarvo11,A,0,0,0,0,1\r\nZarvo2=Zarvo11,B,0,1,0,0,1\r\n"
           "[Object]\r\nCount=2\r\nZarvo1=Zarvo11,A,3,0,0,0,1\r\nZarvo2=Zarvo11,B,0,1,0,0,1\r\n";
}

// A control of a window found by its object name; a missing one ends the test run.
template <typename T> T *Part(const QObject *window, const char *name)
{
    T *part = window->findChild<T *>(QString::fromLatin1(name));
    if (!part)
        qFatal("no control %s", name);
    return part;
}

class TAppRoot : public TTestFolder
{
public:
    TAppRoot()
    {
        QDir root(Dir.path());
        root.mkpath(QStringLiteral("Data"));
        root.mkpath(QStringLiteral("Image"));
        Write(QStringLiteral("ZarvoTyp.ini"), AppTypes);
        Write(QStringLiteral("Data/Reihe.zrv"), RowPuzzle());
        DataRoot::UseRoot(Dir.path());
        SetSettingsStoreFile(SettingsFile());
        SetMessageDlgHook(
            [this](const QString &text, QMessageBox::Icon, QMessageBox::StandardButtons) {
                Messages << text;
                return Answer;
            });
    }
    ~TAppRoot() { SetMessageDlgHook({}); }

    QString SettingsFile() const { return Dir.filePath(QStringLiteral("settings.ini")); }

    // A game state of Reihe.zrv at step index whose entries alternate piece A
    // between columns 0 and 1 (count entries).
    void WriteState(const QString &name, int index, int count) const
    {
        QByteArray text = "Reihe.zrv\r\n" + QByteArray::number(index) + ";;0\r\n";
        for (int i = 0; i < count; ++i)
            text += QByteArray::number(i % 2) + ";0;0;1;\r\n";
        Write(QStringLiteral("Hist/") + name, text);
    }

    QStringList Messages;
    QMessageBox::StandardButton Answer = QMessageBox::Yes;
};
