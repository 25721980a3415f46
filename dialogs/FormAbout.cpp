#include "FormAbout.h"

#include "Allgem.h"
#include "FormColour.h"
#include "FormEnhance.h"
#include "Help.h"

#include <QApplication>
#include <QDate>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

QString VersionText(int major, int minor, int /*patch*/, int build)
{
    return QStringLiteral("%1.%2 (Build %3)").arg(major).arg(minor).arg(build);
}

QString ProgramVersionText()
{
    return VersionText(ZARVOS_VERSION_MAJOR, ZARVOS_VERSION_MINOR, ZARVOS_VERSION_PATCH,
                       ZARVOS_VERSION_BUILD);
}

namespace {
// The terms the program is given under.
const QString ProgramLicence =
    QStringLiteral("Freeware: Weitergabe erlaubt, Verkauf nicht gestattet.");

QPixmap NewPicture(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// The program's picture: the application icon, or a few sliding blocks
// with one gap when none is set.
QPixmap ProgramPicture()
{
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull() && !icon.availableSizes().isEmpty())
        return icon.pixmap(48, 48);
    QPixmap pm = NewPicture(48);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            if (row == 2 && col == 2)
                continue;
            const QRectF cell(2 + col * 15, 2 + row * 15, 13, 13);
            p.setPen(QPen(QColor(90, 60, 30), 1));
            p.setBrush((row + col) % 2 ? QColor(190, 140, 80) : QColor(150, 100, 50));
            p.drawRoundedRect(cell, 2, 2);
        }
    return pm;
}

QLabel *NewLabel(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLabel *NewPictureLabel(QWidget *parent, const QPixmap &pm, int x, int y)
{
    auto *label = new QLabel(parent);
    label->setPixmap(pm);
    label->setGeometry(x, y, pm.width(), pm.height());
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}
} // namespace

TFormAboutBox::TFormAboutBox(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(397, 303);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, FormColour);
    setPalette(pal);
    setFont(QFont(QStringLiteral("Arial"), 9));

    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, 381, 250);

    ProgramIcon = NewPictureLabel(panel, ProgramPicture(), 16, 16);
    LblProductName = NewLabel(panel, QStringLiteral("Zarvos"), 88, 16);
    LblVersions = NewLabel(panel, QStringLiteral("Version"), 88, 52);
    LblVersion = NewLabel(panel, QString(), 150, 52);
    LblNotice1 = NewLabel(panel, QString(), 16, 96);
    LblNotice2 = NewLabel(panel, QString(), 16, 116);
    LblQt = NewLabel(panel, QString(), 16, 170);

    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setGeometry(161, 268, 75, 25);
    BtnOK->setDefault(true);
    // OK is also the cancel button: Escape closes the box the same way.
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);

    FormEnhance = new TFormEnhance(this);
    FormEnhance->SaveName = QStringLiteral("\\Software\\Zarvos\\Forms");
    FormEnhance->SaveKey = QStringLiteral("FormAboutBox");
    FormEnhance->SavePlacement = false;
    FormEnhance->CenterOnMainForm = true;
    FormEnhance->SetSystemMenu(TFormEnhance::scMOVE | TFormEnhance::scSEPARATOR |
                               TFormEnhance::scCLOSE);
    FormEnhance->Load();

    FormCreate();
}

void TFormAboutBox::FormCreate()
{
    QFont big = LblProductName->font();
    big.setPointSize(14);
    big.setBold(true);
    LblProductName->setFont(big);
    LblProductName->adjustSize();

    LblVersion->setText(ProgramVersionText());
    LblVersion->adjustSize();

    const double date = FileDateTime(QCoreApplication::applicationFilePath(), false);
    const int year = date > 0 ? YearOfDate(date) : QDate::currentDate().year();
    LblNotice1->setText(QStringLiteral("Copyright © Zarvos-Projekt ") + QString::number(year));
    LblNotice1->adjustSize();
    LblNotice2->setText(ProgramLicence);
    LblNotice2->adjustSize();
    // The Qt the program runs on, which need not be the one it was built with.
    LblQt->setText(QStringLiteral("Verwendet Qt %1.\nQt ist freie Software unter der\n"
                                  "GNU Lesser General Public License Version 3.")
                       .arg(QString::fromLatin1(qVersion())));
    LblQt->adjustSize();
}

void TFormAboutBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        OpenHelpContents(this);
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowAboutBox(QWidget *owner)
{
    TFormAboutBox box(owner);
    box.exec();
}
