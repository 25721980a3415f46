#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QMediaPlayer;
class QPushButton;
class QToolButton;
class TButtonEdit;
class TFormEnhance;
struct TZarvoSettings;

// The options dialog "Programmoptionen": snapping, big cursor, full-screen
// mode, player-name default, outlined captions, the success sound and the
// success text.
class TFormOption : public QDialog
{
    Q_OBJECT

public:
    explicit TFormOption(QWidget *owner);

    QCheckBox *CheckGrid = nullptr;
    QCheckBox *CheckCursor = nullptr;
    QCheckBox *CheckFullScreen = nullptr;
    QCheckBox *CheckPlayer = nullptr;
    QCheckBox *CheckOutline = nullptr;
    TButtonEdit *EditGameOver = nullptr;
    QToolButton *BtnStart = nullptr;
    QLineEdit *EditTextGameOver = nullptr;
    QPushButton *BtnOK = nullptr;
    QPushButton *BtnCancel = nullptr;
    TFormEnhance *FormEnhance = nullptr;

    // Plays a sound file for "Testen"; may throw EZarvoError, which the
    // dialog reports while it stays open. Unset: PlayMediaFile.
    std::function<void(const QString &fileName)> PlaySound;

    // The seven values the dialog changes, in and out.
    void Fill(const TZarvoSettings &s);
    void CopyBack(TZarvoSettings &s) const;

    void BtnStartClick();

    // How the dialog reports a sound that cannot be played; tests replace it.
    // Default: the game's error report (ShowErrorReport).
    static std::function<void(QWidget *parent, const QString &message)> ReportError;

protected:
};

// The options dialog over mainWindow, filled from s; on OK the seven values are
// copied back into s. playSound plays "Testen" (unset: PlayMediaFile).
// True when closed with OK.
bool ShowOptionDialog(QWidget *mainWindow, TZarvoSettings &s,
                      std::function<void(const QString &fileName)> playSound = {});

// Plays a media file on the program's own player, without waiting. A file
// that does not exist throws EZarvoError at once; one that exists but cannot
// be played is reported through TFormOption::ReportError when the player
// finds out.
void PlayMediaFile(const QString &fileName);
// The player behind PlayMediaFile (created on first use, lives with the
// application).
QMediaPlayer *MediaFilePlayer();
