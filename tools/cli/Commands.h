#pragma once

#include <QStringList>
#include <QTextStream>

// The commands of zarvos-cli; each returns the process exit status.
struct TCliContext
{
    QTextStream &Out;
    QTextStream &Err;
    QTextStream &In;
    bool HasSeed = false;
    quint32 Seed = 0;
};

int CmdCheck(TCliContext &ctx, const QStringList &args);
int CmdPlay(TCliContext &ctx, const QStringList &args);
int CmdRender(TCliContext &ctx, const QStringList &args);
int CmdSolve(TCliContext &ctx, const QStringList &args);

// The load error text for printing: every carriage return shown as " | ".
QString OneLine(const QString &message);

// The game loads a puzzle name without a file behind it as the empty default
// puzzle; here that would report a typing error as success, so such a name
// (not a game state) throws the load error instead.
void RequirePuzzleFile(const QString &name, bool state);
