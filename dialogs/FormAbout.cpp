#include "FormAbout.h"

#include "Allgem.h"
#include "FormEnhance.h"
#include "Help.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

// Placeholders of the project until it has an address of its own.
const QString ZarvosHomepage = QStringLiteral("https://zarvos.example.org");
const QString ZarvosEMail = QStringLiteral("zarvos@example.org");

std::function<bool(const QUrl &)> TFormAboutBox::OpenUrl = [](const QUrl &url) {
    return QDesktopServices::openUrl(url);
};

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
const QColor LinkBlue(0, 0, 255);
const QColor LinkPressed(255, 0, 0);

void SetTextColor(QLabel *label, const QColor &color)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
}

QPixmap NewPicture(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// A small globe for the homepage link.
QPixmap GlobePicture()
{
    QPixmap pm = NewPicture(16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 60, 140), 1));
    p.setBrush(QColor(120, 180, 240));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    return pm;
}

// A letter for the e-mail link.
QPixmap LetterPicture()
{
    QPixmap pm = NewPicture(16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 70, 40), 1));
    p.setBrush(QColor(250, 245, 225));
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
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
    pal.setColor(QPalette::Window, QColor(216, 196, 170));
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
    Label2 = NewLabel(panel, QStringLiteral("Anmerkungen und neue Versionen über"), 16, 158);
    ImgHomepage = NewPictureLabel(panel, GlobePicture(), 16, 184);
    LblHomepage = NewLabel(panel, ZarvosHomepage, 40, 184);
    ImgEMail = NewPictureLabel(panel, LetterPicture(), 16, 212);
    LblEMail = NewLabel(panel, ZarvosEMail, 40, 212);
    for (QLabel *link : {ImgHomepage, LblHomepage, ImgEMail, LblEMail}) {
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }

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
    for (QLabel *link : {LblHomepage, LblEMail}) {
        QFont f = link->font();
        f.setUnderline(true);
        link->setFont(f);
        SetTextColor(link, LinkBlue);
        link->adjustSize();
    }

    LblVersion->setText(ProgramVersionText());
    LblVersion->adjustSize();

    const double date = FileDateTime(QCoreApplication::applicationFilePath(), false);
    const int year = date > 0 ? YearOfDate(date) : QDate::currentDate().year();
    LblNotice1->setText(QStringLiteral("Copyright © Zarvos-Projekt ") + QString::number(year));
    LblNotice1->adjustSize();
    LblNotice2->setText(QStringLiteral("Freeware: Weitergabe erlaubt, Verkauf nicht gestattet."));
    LblNotice2->adjustSize();
}

void TFormAboutBox::LinkMouseDown(QLabel *link)
{
    SetTextColor(link, LinkPressed);
}

void TFormAboutBox::LinkMouseUp(QLabel *link, const QUrl &url)
{
    SetTextColor(link, LinkBlue);
    if (OpenUrl)
        OpenUrl(url);
}

bool TFormAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    const bool homepage = watched == LblHomepage || watched == ImgHomepage;
    const bool email = watched == LblEMail || watched == ImgEMail;
    if (homepage || email) {
        QLabel *link = homepage ? LblHomepage : LblEMail;
        if (event->type() == QEvent::MouseButtonPress) {
            LinkMouseDown(link);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            LinkMouseUp(link, homepage ? QUrl(ZarvosHomepage)
                                       : QUrl(QStringLiteral("mailto:") + ZarvosEMail));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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
