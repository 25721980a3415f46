#include "GermanText.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLibraryInfo>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

bool InstallQtGerman()
{
    // One catalogue for the application, installed once.
    static QPointer<QTranslator> catalogue;
    if (catalogue)
        return true;
    auto *t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    catalogue = t;
    return true;
}

QString GermanKeyText(const QKeySequence &key)
{
    QStringList combinations;
    for (int i = 0; i < key.count(); ++i) {
        const QKeyCombination combination = key[i];
        const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
        QStringList parts;
        if (mods & Qt::ShiftModifier)
            parts << QStringLiteral("Umschalt");
        if (mods & Qt::ControlModifier)
            parts << QStringLiteral("Strg");
        if (mods & Qt::AltModifier)
            parts << QStringLiteral("Alt");
        switch (combination.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            parts << QStringLiteral("Eingabe");
            break;
        case Qt::Key_Backspace:
            parts << QStringLiteral("Rücktaste");
            break;
        case Qt::Key_Escape:
            parts << QStringLiteral("Esc");
            break;
        default:
            parts << QKeySequence(combination.key()).toString(QKeySequence::PortableText);
        }
        combinations << parts.join(QLatin1Char('+'));
    }
    return combinations.join(QStringLiteral(", "));
}

void SetGermanShortcut(QAction *action, const QKeySequence &key)
{
    action->setShortcut(key);
    // A menu shows the text after a tab in place of Qt's own shortcut text.
    QString caption = action->text();
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        caption.truncate(tab);
    action->setText(key.isEmpty() ? caption : caption + QLatin1Char('\t') + GermanKeyText(key));
}
