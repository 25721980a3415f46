#pragma once

// zarvos-cli run as a puzzle author runs it: on a data root of the test's
// own, with a script on standard input.

#include <QProcess>
#include <QStringList>

struct TCliRun
{
    int Rc = -1; // -1: did not finish, -2: crashed
    QString Out, Err;
};

inline TCliRun RunCli(const QString &root, const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.setProgram(QStringLiteral(ZARVOS_BINARY_DIR "/bin/zarvos-cli"));
    p.setArguments(QStringList{QStringLiteral("--root"), root} + args);
    p.start();
    p.write(input);
    p.closeWriteChannel();
    TCliRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.Rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
