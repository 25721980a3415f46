// zarvos-fuzz-seeds OUT: writes every target's seed corpus to OUT/<target>/.

#include "FuzzCommon.h"
#include "Seeds.h"

#include <QDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarvos-fuzz-seeds OUT\n");
        return 2;
    }
    FuzzSetUp();
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (const TFuzzTargetInfo &t : FuzzTargets()) {
        const QString dir = out + QLatin1Char('/') + QLatin1String(t.Name);
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        for (const auto &[name, bytes] : MakeSeeds(QLatin1String(t.Name)))
            FuzzWrite(dir + QLatin1Char('/') + name, bytes);
    }
    return 0;
}
