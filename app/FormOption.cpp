#include "FormOption.h"

#include "ButtonEdit.h"
#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "DialogLook.h"
#include "FormEnhance.h"
#include "Glyphs.h"
#include "Help.h"
#include "Settings.h"
#include "ZarvoError.h"

#include <QApplication>
#include <QAudioOutput>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

// A failed try is reported as any failure of the game: the error box
// centred on the main window.
std::function<void(QWidget *, const QString &)> TFormOption::ReportError =
    [](QWidget *, const QString &message) { ShowErrorReport(message); };

namespace {
QPointer<QMediaPlayer> GPlayer;

QString CannotPlay(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Die Mediendatei \"%1\" kann nicht abgespielt werden.\r%2")
        .arg(QDir::toNativeSeparators(fileName), reason);
}
} // namespace

QMediaPlayer *MediaFilePlayer()
{
    if (!GPlayer) {
        GPlayer = new QMediaPlayer(qApp);
        GPlayer->setAudioOutput(new QAudioOutput(GPlayer));
        QObject::connect(GPlayer, &QMediaPlayer::errorOccurred, GPlayer,
                         [](QMediaPlayer::Error, const QString &reason) {
                             const QString file = GPlayer->source().toLocalFile();
                             if (TFormOption::ReportError)
                                 TFormOption::ReportError(QApplication::activeWindow(),
                                                          CannotPlay(file, reason));
                         });
    }
    return GPlayer;
}

void PlayMediaFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.isFile())
        throw EZarvoError(CannotPlay(fileName, QStringLiteral("Die Datei wurde nicht gefunden.")));
    QMediaPlayer *player = MediaFilePlayer();
    player->stop();
    player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    player->play();
}

TFormOption::TFormOption(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Programmoptionen"));
    setFixedSize(436, 232);
    SetDialogLook(this);

    auto *upper = new QFrame(this);
    upper->setFrameShape(QFrame::Panel);
    upper->setFrameShadow(QFrame::Raised);
    upper->setGeometry(0, 0, 436, 188);

    auto check = [upper](const QString &caption, int y) {
        auto *box = new QCheckBox(caption, upper);
        box->setGeometry(16, y, 400, 20);
        return box;
    };
    CheckGrid = check(QStringLiteral("Teile automatisch &einrasten"), 10);
    CheckCursor = check(QStringLiteral("&Großer HandCursor"), 30);
    CheckFullScreen = check(QStringLiteral("&Vollen Bildschirm nutzen"), 50);
    CheckPlayer = check(QStringLiteral("&Keine Vorgabe für Spielername in Top-Ten-Liste"), 70);
    CheckOutline = check(QStringLiteral("&Beschriftung mit Kontur"), 90);

    auto *lblGameOver = new QLabel(QStringLiteral("Bei Erfolg &spielen"), upper);
    lblGameOver->setGeometry(16, 122, 128, 20);
    EditGameOver = new TButtonEdit(upper);
    EditGameOver->setGeometry(148, 120, 240, 24);
    lblGameOver->setBuddy(EditGameOver);
    TFileDialogSettings dialogSettings;
    dialogSettings.Title = QStringLiteral("Wählen eine Mediendatei");
    dialogSettings.Filter = QStringLiteral("Mediendateien (*.wav *.mp3 *.mpg *.asf *.mpeg *.avi)");
    dialogSettings.FileName = QStringLiteral("GameOver.wav");
    // The success sound ships in the data root, so the search starts there.
    dialogSettings.InitialDir = DataRoot::RootDir();
    dialogSettings.MustExist = true;
    EditGameOver->SetDialog(dialogSettings);

    BtnStart = new QToolButton(upper);
    BtnStart->setGeometry(394, 120, 24, 24);
    BtnStart->setIcon(Glyph(TGlyph::Play));
    BtnStart->setToolTip(QStringLiteral("Testen"));
    BtnStart->setAutoRaise(true);
    connect(BtnStart, &QToolButton::clicked, this, &TFormOption::BtnStartClick);

    auto *lblText = new QLabel(QStringLiteral("Bei Erfolg &anzeigen"), upper);
    lblText->setGeometry(16, 156, 128, 20);
    EditTextGameOver = new QLineEdit(upper);
    EditTextGameOver->setGeometry(148, 154, 270, 24);
    lblText->setBuddy(EditTextGameOver);

    auto *lower = new QFrame(this);
    lower->setFrameShape(QFrame::Panel);
    lower->setFrameShadow(QFrame::Raised);
    lower->setGeometry(0, 188, 436, 44);
    BtnOK = new QPushButton(QStringLiteral("OK"), lower);
    BtnOK->setGeometry(128, 9, 84, 26);
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Abbrechen"), lower);
    BtnCancel->setGeometry(224, 9, 84, 26);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    // Escape reaches QDialog::reject as the cancel button would.
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FormEnhance = TFormEnhance::ForDialog(this, QStringLiteral("\\Software\\Zarvos\\Forms"),
                                          QStringLiteral("FormOption"));
}

void TFormOption::Fill(const TZarvoSettings &s)
{
    CheckGrid->setChecked(s.Grid);
    CheckCursor->setChecked(s.Cursor64);
    CheckPlayer->setChecked(s.NoOldPlayer);
    CheckFullScreen->setChecked(s.FullScreen2);
    CheckOutline->setChecked(s.CaptionOutline);
    EditGameOver->setText(s.GameOverFile);
    EditTextGameOver->setText(s.GameOverText);
}

void TFormOption::CopyBack(TZarvoSettings &s) const
{
    s.Grid = CheckGrid->isChecked();
    s.Cursor64 = CheckCursor->isChecked();
    s.NoOldPlayer = CheckPlayer->isChecked();
    s.FullScreen2 = CheckFullScreen->isChecked();
    s.CaptionOutline = CheckOutline->isChecked();
    s.GameOverFile = EditGameOver->text();
    s.GameOverText = EditTextGameOver->text();
}

void TFormOption::BtnStartClick()
{
    // The setting itself changes only on OK; this only tries the sound.
    try {
        if (PlaySound)
            PlaySound(EditGameOver->text());
        else
            PlayMediaFile(EditGameOver->text());
    } catch (const EZarvoError &e) {
        if (ReportError)
            ReportError(this, e.Message);
    }
}

bool ShowOptionDialog(QWidget *mainWindow, TZarvoSettings &s,
                      std::function<void(const QString &)> playSound)
{
    TFormOption dialog(mainWindow);
    dialog.PlaySound = std::move(playSound);
    if (mainWindow) {
        const QRect m = mainWindow->frameGeometry();
        dialog.move(m.left() + (m.width() - dialog.frameGeometry().width()) / 2,
                    m.top() + (m.height() - dialog.frameGeometry().height()) / 2);
    }
    dialog.Fill(s);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.CopyBack(s);
    return true;
}
