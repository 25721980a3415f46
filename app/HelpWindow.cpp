#include "HelpWindow.h"

#include "CenteredMessageDlg.h"
#include "DataRoot.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QPointer<THelpWindow> OpenHelp;
} // namespace

THelpWindow::THelpWindow(const QString &indexFile, QWidget *parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zarvos – Hilfe"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 6, 6, 0);
    auto *back = new QPushButton(QStringLiteral("&Zurück"), this);
    auto *home = new QPushButton(QStringLiteral("&Inhalt"), this);
    bar->addWidget(back);
    bar->addWidget(home);
    bar->addStretch(1);
    layout->addLayout(bar);
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    layout->addWidget(Browser);
    Browser->setSource(QUrl::fromLocalFile(indexFile));
    connect(back, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(home, &QPushButton::clicked, Browser, &QTextBrowser::home);
    connect(Browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    resize(640, 560);
}

QString HelpIndexFile()
{
    const QString prog = DataRoot::ProgramDir();
    QStringList places{prog + QStringLiteral("help/index.html")};
    const QString installed = DataRoot::InstalledCollectionDir(prog);
    if (!installed.isEmpty())
        places << QDir(installed).filePath(QStringLiteral("help/index.html"));
    for (const QString &p : places)
        if (QFileInfo(p).isFile())
            return QFileInfo(p).absoluteFilePath();
    return QString();
}

THelpWindow *ShowHelp(QWidget *from)
{
    const QString index = HelpIndexFile();
    if (index.isEmpty()) {
        CenteredMessageDlg(QStringLiteral("Die Hilfe wurde nicht gefunden.\r"
                                          "Erwartet wird die Datei \"help/index.html\" "
                                          "im Programmordner."),
                           QMessageBox::Warning, QMessageBox::Ok);
        return nullptr;
    }
    // Opened from a modal dialog, the help belongs to that dialog, since the
    // dialog blocks every other window.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner && from)
        owner = from->window();
    if (OpenHelp && OpenHelp->parentWidget() != owner)
        OpenHelp->close();
    if (!OpenHelp)
        OpenHelp = new THelpWindow(index, owner);
    else
        OpenHelp->Browser->home();
    OpenHelp->show();
    OpenHelp->raise();
    OpenHelp->activateWindow();
    return OpenHelp.data();
}
