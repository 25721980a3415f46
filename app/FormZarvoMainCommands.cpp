// The commands of the main window's menu, toolbar and start panel.
#include "BoardView.h"
#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "ErrorReport.h"
#include "FormAbout.h"
#include "FormOpen.h"
#include "FormOption.h"
#include "FormTopList.h"
#include "FormZarvo.h"
#include "FormZarvoMain.h"
#include "HelpWindow.h"
#include "Settings.h"
#include "TimerSpeedButton.h"
#include "Zarvo.h"
#include "ZarvoGame.h"
#include "ZarvoPad.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

namespace {
TFormZarvoMain::TFileDlgHook FileDlgHook;
} // namespace

void TFormZarvoMain::SetFileDlgHook(TFileDlgHook hook)
{
    FileDlgHook = std::move(hook);
}

QString TFormZarvoMain::HistFileDialog(bool save)
{
    QString chosen;
    if (FileDlgHook) {
        chosen = FileDlgHook(save);
    } else {
        QFileDialog dlg(this, save ? QStringLiteral("Spielstand speichern")
                                   : QStringLiteral("Spielstand laden"));
        dlg.setNameFilter(QStringLiteral("Zarvos Spielstände (*.zrh)"));
        dlg.setDefaultSuffix(QStringLiteral("zrh"));
        dlg.setDirectory(HistDialogDir);
        dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        chosen = dlg.selectedFiles().constFirst();
        HistDialogDir = QFileInfo(chosen).absolutePath();
    }
    // Game states always live in the history folder; only the name counts.
    return QFileInfo(chosen).fileName();
}

TFormZarvo *TFormZarvoMain::OpenGame(int loadMode, const QString &name, bool makeCurrent)
{
    // A game opened while a full-screen one covers the frame (its keys work
    // with the menu hidden) takes its place once it has loaded.
    QPointer<TFormZarvo> covered = Cover;
    TFormZarvo *w = nullptr;
    RunReported([&] {
        w = TFormZarvo::Create({ClientArea, MdiArea, ImgBack}, loadMode, name,
                               Settings().FullScreen2);
    });
    if (w)
        AttachPuzzleWindow(w);
    if (w && covered && covered != w)
        covered->CloseWindow();
    if (w && makeCurrent)
        CurrentZarvo = w;
    CheckStartPanel();
    UpdateMenuItems();
    return w;
}

void TFormZarvoMain::ItemNewZarvoClick()
{
    if (SelectPuzzle(this, ChosenPuzzle))
        OpenGame(0, ChosenPuzzle, true);
    else
        CheckStartPanel();
}

void TFormZarvoMain::ItemLoadHistClick()
{
    const QString name = HistFileDialog(false);
    if (name.isEmpty()) {
        CheckStartPanel();
        return;
    }
    if (TFormZarvo *w = OpenGame(1, name, true))
        w->UpdateMain(nullptr);
}

void TFormZarvoMain::LoadLastGame()
{
    PnlStart->hide();
    if (TFormZarvo *w = OpenGame(1, QStringLiteral("Letzter Spielstand.zrh"), true))
        w->UpdateMain(nullptr);
}

void TFormZarvoMain::BtnNewZarvoClick()
{
    PnlStart->hide();
    ItemNewZarvoClick();
}

void TFormZarvoMain::BtnLoadHistClick()
{
    PnlStart->hide();
    ItemLoadHistClick();
}

void TFormZarvoMain::BtnLoadLastClick()
{
    LoadLastGame();
}

void TFormZarvoMain::ItemSaveHistClick()
{
    TFormZarvo *w = ActiveZarvo();
    if (!w)
        return;
    const QString name = HistFileDialog(true);
    if (name.isEmpty() || !w->Board())
        return;
    w->Board()->SaveGameState(name);
    // Whatever folder the dialog showed, the game went to the history folder.
    StatusPanel->setText(QStringLiteral("Spielstand gespeichert: %1")
                             .arg(QDir::toNativeSeparators(DataRoot::HistDir() + name)));
}

void TFormZarvoMain::ItemCloseClick()
{
    if (TFormZarvo *w = ActiveZarvo())
        w->CloseWindow();
}

void TFormZarvoMain::ItemExitClick()
{
    BtnSpeed->setChecked(false); // ends a running speed test
    close();
}

void TFormZarvoMain::ItemOptionClick(QObject *sender)
{
    TZarvoSettings &s = Settings();
    if (sender && sender == ItemOption) {
        ShowOptionDialog(this, s);
        CheckStartPanel();
    } else if (sender && sender == BtnGrid) {
        s.Grid = BtnGrid->isChecked();
    }
    BtnGrid->setChecked(s.Grid);
}

TFormZarvo *TFormZarvoMain::CommandWindow(QObject *sender) const
{
    // A full-screen game acts on its own board: the sender is the window or
    // one of its buttons.
    for (QObject *o = sender; o; o = o->parent()) {
        if (auto *w = qobject_cast<TFormZarvo *>(o)) {
            if (w->IsFullScreen())
                return w;
            break;
        }
    }
    return ActiveZarvo();
}

void TFormZarvoMain::ItemUndoClick(QObject *sender)
{
    if (TFormZarvo *w = CommandWindow(sender))
        w->Undo(sender == ItemUndo);
}

void TFormZarvoMain::ItemRedoClick(QObject *sender)
{
    if (TFormZarvo *w = CommandWindow(sender))
        w->Redo(sender == ItemRedo);
}

void TFormZarvoMain::ItemRestartClick()
{
    if (TFormZarvo *w = ActiveZarvo())
        w->BtnStartClick();
}

void TFormZarvoMain::ItemZoomClick(int percent)
{
    if (TFormZarvo *w = ActiveZarvo())
        w->SetZoom(percent);
}

void TFormZarvoMain::ItemZoomStepClick(bool larger)
{
    if (TFormZarvo *w = ActiveZarvo())
        w->ZoomStep(larger);
}

void TFormZarvoMain::BtnUnRedoEndClick()
{
    if (TFormZarvo *w = ActiveZarvo())
        w->EndRepeat();
}

void TFormZarvoMain::ItemShowObjectClick()
{
    // The goal and the speed test are one latching group.
    const bool show = ItemShowObject->isChecked();
    if (show)
        BtnSpeed->setChecked(false);
    if (TFormZarvo *w = ActiveZarvo())
        w->SetShowObject(show);
}

void TFormZarvoMain::ItemHighScoreClick()
{
    TFormZarvo *w = ActiveZarvo();
    if (!w || !w->Board())
        return;
    TFormZarvo::CallTopList(this, w->Board(), 0, 0);
    CheckStartPanel();
}

TFormZarvo *TFormZarvoMain::GameWindow() const
{
    if (Cover && !Cover->IsClosed())
        return Cover;
    return ActiveZarvo();
}

void TFormZarvoMain::ItemHintClick()
{
    if (TFormZarvo *w = GameWindow())
        w->AskHint();
}

void TFormZarvoMain::ItemDemoClick()
{
    if (TFormZarvo *w = GameWindow())
        w->AskDemonstration();
}

void TFormZarvoMain::ItemMovesLeftClick()
{
    if (TFormZarvo *w = GameWindow())
        w->AskMovesLeft();
}

void TFormZarvoMain::ItemHilfeClick()
{
    HelpWindow = ShowHelp(this);
}

void TFormZarvoMain::ItemInfoClick()
{
    ShowAboutBox(this);
    CheckStartPanel();
}

void TFormZarvoMain::BtnSpeedClick()
{
    if (!(BtnSpeed->isChecked() && MdiChildCount() > 0)) {
        BtnSpeed->setChecked(false);
        StatusPanel->clear();
        return;
    }
    if (SpeedRunning)
        return; // the loop below is already on the stack
    SpeedRunning = true;
    QElapsedTimer clock;
    clock.start();
    qint64 start = 0;
    FrameCount = 0;
    QPointer<TFormZarvoMain> self(this);
    while (self && BtnSpeed->isChecked() && MdiChildCount() > 0) {
        TFormZarvo *w = ActiveZarvo();
        TZarvoPad *board = w ? w->Board() : nullptr;
        if (board && board->LastHit >= 0 && board->LastHit < board->PieceCount()) {
            TZarvo *l = board->Piece(board->LastHit);
            const int prev = board->PrevHit >= 0 && board->PrevHit < board->PieceCount()
                                 ? board->PrevHit
                                 : board->LastHit;
            TZarvo *p = board->Piece(prev);
            // The two pieces last pressed creep towards each other, in turn.
            const int dl = l->Y > p->Y ? -1 : 1;
            const int unit = qMax(1, board->UnitSize);
            if (FrameCount % (2 * unit) < unit)
                board->DragBy(l, 0, dl);
            else
                board->DragBy(p, 0, -dl);
        }
        ++FrameCount;
        if (board)
            board->Redraw();
        QApplication::processEvents();
        if (!self)
            return;
        const qint64 now = clock.elapsed();
        const qint64 ms = now - start;
        if (ms > 1000) {
            start = now;
            StatusPanel->setText(QStringLiteral("%1 Bilder/sec").arg(FrameCount * 1000 / ms));
            FrameCount = 0;
        }
    }
    SpeedRunning = false;
}
