#pragma once

// A temporary folder of its own for one test, with files written into it and
// read back by their path relative to it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class TTestFolder
{
public:
    QString Path(const QString &rel) const { return Dir.filePath(rel); }

    void Write(const QString &rel, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(Path(rel)).absolutePath());
        QFile f(Path(rel));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(rel));
    }

    QByteArray Read(const QString &rel) const
    {
        QFile f(Path(rel));
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return f.readAll();
    }

    QTemporaryDir Dir;
};
