#include "ZarvoTypes.h"

#include "IniFile.h"
#include "PadInternal.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QFileInfo>

namespace {
// Reads the types of ini into loaded; a malformed rectangle throws EConvertError.
void ReadTypes(const TIniFile &ini, TZarvoTypes &loaded)
{
    const QStringList names = ini.SectionNames();
    for (const QString &name : names) {
        TZarvoTyp typ;
        const int count = ini.ReadInteger(name, QStringLiteral("Count"), 0);
        for (int j = 1; j <= count; ++j) {
            const QString entry = ini.ReadString(name, QStringLiteral("Zarvo%1").arg(j), QString());
            TZarvoDef def;
            try {
                def.x = StrToIntStrict(GetField(entry, 1));
                def.y = StrToIntStrict(GetField(entry, 2));
                def.width = StrToIntStrict(GetField(entry, 3));
                def.height = StrToIntStrict(GetField(entry, 4));
            } catch (const EConvertError &e) {
                // Name the rectangle, so the author finds the line in the file.
                throw EConvertError(
                    QStringLiteral("[%1] Zarvo%2: %3").arg(name).arg(j).arg(e.Message));
            }
            // A short edge field gives the missing sides a bevel.
            const QString edges = GetField(entry, 5);
            auto edge = [&edges](int i) {
                return i >= edges.size() || edges[i] != QLatin1Char('0');
            };
            def.EdgeTop = edge(0);
            def.EdgeRight = edge(1);
            def.EdgeBottom = edge(2);
            def.EdgeLeft = edge(3);
            typ.Rects.push_back(def);
        }
        loaded.Add(name, std::move(typ));
    }
}
} // namespace

void TZarvoTypes::LoadTypes(const QString &fileName)
{
    // Built aside first: a file that fails leaves the types as they were.
    // Its errors read like every other load failure, with the file named.
    TZarvoTypes loaded;
    const QString prefix =
        PadInternal::LoadPrefix() + QLatin1Char('\r') + QFileInfo(fileName).fileName() + ": ";
    try {
        const TIniFile ini(fileName);
        ReadTypes(ini, loaded);
    } catch (const EConvertError &e) {
        throw EConvertError(prefix + e.Message);
    } catch (const EZarvoError &e) {
        throw EZarvoError(prefix + e.Message);
    }
    *this = std::move(loaded);
}

const TZarvoTyp *TZarvoTypes::Find(const QString &name) const
{
    const auto it = FIndex.constFind(name.toLower());
    return it == FIndex.cend() ? nullptr : FTypes[size_t(*it)].get();
}

void TZarvoTypes::Add(const QString &name, TZarvoTyp type)
{
    const QString key = name.toLower();
    const auto it = FIndex.constFind(key);
    if (it != FIndex.cend()) {
        *FTypes[size_t(*it)] = std::move(type);
        return;
    }
    FNames << name;
    FTypes.push_back(std::make_unique<TZarvoTyp>(std::move(type)));
    FIndex.insert(key, int(FTypes.size() - 1));
}

TZarvoTypes &PieceTypes()
{
    static TZarvoTypes types;
    return types;
}
