#pragma once

// A data root of its own for one test: ZarvoTyp.ini, Data/, Image/, Hist/ in
// a temporary folder, made the game's data root, with the piece types loaded.

#include "DataRoot.h"
#include "TestFolder.h"
#include "ZarvoTypes.h"

#include <QTest>

// Types used by the engine suites: a 1 x 1 piece, a 2 x 1 domino, an L of
// three cells, and a type without rectangles.
inline const QByteArray StandardTypes = "[Zarvo11]\r\n"
                                        "Count=1\r\n"
                                        "Zarvo1=0,0,1,1,1111\r\n"
                                        "[Zarvo21]\r\n"
                                        "Count=1\r\n"
                                        "Zarvo1=0,0,2,1,1111\r\n"
                                        "[Ell]\r\n"
                                        "Count=3\r\n"
                                        "Zarvo1=0,0,1,1,1001\r\n"
                                        "Zarvo2=0,1,1,1,0011\r\n"
                                        "Zarvo3=1,1,1,1,1110\r\n"
                                        "[Hollow]\r\n"
                                        "Count=0\r\n";

class TPuzzleRoot : public TTestFolder
{
public:
    explicit TPuzzleRoot(const QByteArray &types = StandardTypes)
    {
        QDir root(Dir.path());
        root.mkpath(QStringLiteral("Data"));
        root.mkpath(QStringLiteral("Image"));
        Write(QStringLiteral("ZarvoTyp.ini"), types);
        DataRoot::UseRoot(Dir.path());
        PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    }
};
