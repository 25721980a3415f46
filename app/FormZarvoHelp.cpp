// The puzzle window's help from the solver: the busy sign while it searches,
// the hint drawn over the board, the demonstration and the moves still
// needed, and what is said when no way is found.

#include "BoardView.h"
#include "CenteredMessageDlg.h"
#include "Demonstration.h"
#include "ErrorReport.h"
#include "FormZarvo.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolButton>

namespace {

// A cell of the way in six frames of 30 ms and a rest of twelve frames after
// each move: about a fifth of a second per cell, as a player could follow it.
constexpr int DemoFrameMillis = 30;
constexpr int DemoFramesPerCell = 6;
constexpr int DemoPauseFrames = 12;
// A search that answers sooner shows no busy sign at all.
constexpr int BusySignDelay = 150;

const QColor MarkColour(255, 196, 0);
const QColor MarkEdge(45, 30, 15);

QString Moves(int n)
{
    return n == 1 ? QStringLiteral("1 Zug") : QStringLiteral("%1 Züge").arg(n);
}

// What the answer says about the moves still needed.
QString LeftText(const TSolverAnswer &answer)
{
    return answer.Outcome == TSolveOutcome::Minimum
               ? QStringLiteral("noch mindestens %1").arg(Moves(answer.Moves))
               : QStringLiteral("noch höchstens %1 (kein bewiesener kürzester Weg)")
                     .arg(Moves(answer.Moves));
}

QPainterPath Outline(const std::vector<QRect> &rects)
{
    QRegion region;
    for (const QRect &r : rects)
        region += r;
    QPainterPath path;
    path.addRegion(region);
    return path.simplified();
}

// The hint: the piece framed, its way as a line with an arrow head, and the
// place where it comes to rest dashed.
void PaintHint(QPainter &p, const TSolverHint &hint)
{
    const QPainterPath from = Outline(hint.From), to = Outline(hint.To);
    p.fillPath(from, QColor(255, 196, 0, 70));
    p.fillPath(to, QColor(255, 255, 255, 70));
    p.strokePath(from, QPen(MarkEdge, 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.strokePath(from, QPen(MarkColour, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.strokePath(to, QPen(MarkEdge, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.strokePath(to, QPen(MarkColour, 3, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin));

    // Straight runs of the way as one line each.
    QPolygonF way;
    for (const QPoint &pt : hint.Path) {
        if (way.size() >= 2) {
            const QPointF a = way[way.size() - 2], b = way.back();
            const QPointF d1 = b - a, d2 = QPointF(pt) - b;
            if (d1.x() * d2.y() == d1.y() * d2.x() && d1.x() * d2.x() + d1.y() * d2.y() > 0) {
                way.back() = pt;
                continue;
            }
        }
        way << QPointF(pt);
    }
    if (way.size() < 2)
        return;
    // The line stops short of the tip, which the arrow head takes.
    const QPointF tip = way.back();
    QLineF back(tip, way[way.size() - 2]);
    if (back.length() < 1)
        return;
    back.setLength(qMin<qreal>(14, back.length()));
    const QPointF across = QPointF(-back.dy(), back.dx()) * (8 / back.length());
    QPolygonF head;
    head << tip << back.p2() + across << back.p2() - across;
    way.back() = back.p2();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(MarkEdge, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(way);
    p.setPen(QPen(MarkColour, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(way);
    p.setPen(QPen(MarkEdge, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(MarkColour);
    p.drawPolygon(head);
}

// Where the busy sign goes: the middle of the board; empty on a board too
// small for it.
QRect BusyBox(const QRect &board)
{
    const int w = qMin(180, board.width() - 8), h = 46;
    if (w < 40 || board.height() < h)
        return QRect();
    return QRect(board.center().x() - w / 2, board.center().y() - h / 2, w, h);
}

// A turning arc and "Zarvos rechnet …".
void PaintBusy(QPainter &p, const QRect &box, qint64 millis)
{
    if (box.isEmpty())
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawRoundedRect(box, 8, 8);
    const QRect ring(box.left() + 10, box.top() + 11, 24, 24);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 70), 4));
    p.drawEllipse(ring);
    p.setPen(QPen(MarkColour, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(ring, int(-(millis % 1000) * 360 / 1000) * 16, 100 * 16);
    QFont f = p.font();
    f.setFamily(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(Qt::white);
    const QRect text = box.adjusted(44, 5, -6, -5);
    const QFontMetrics fm(f);
    p.drawText(text, Qt::AlignLeft | Qt::AlignTop,
               fm.elidedText(QStringLiteral("Zarvos rechnet …"), Qt::ElideRight, text.width()));
    f.setBold(false);
    f.setPixelSize(11);
    p.setFont(f);
    p.drawText(
        text, Qt::AlignLeft | Qt::AlignBottom,
        QFontMetrics(f).elidedText(QStringLiteral("Esc bricht ab"), Qt::ElideRight, text.width()));
}

} // namespace

bool TFormZarvo::Searching() const
{
    return FGame && FGame->Solver().Busy();
}

bool TFormZarvo::Demonstrating() const
{
    return bool(FDemo);
}

void TFormZarvo::AskHint()
{
    if (!FDemo && !FGame->Status().GoalShown)
        Ask(WishHint);
}

void TFormZarvo::AskDemonstration()
{
    if (!FDemo && !FGame->Status().GoalShown)
        Ask(WishDemo);
}

void TFormZarvo::AskMovesLeft()
{
    if (!FDemo)
        Ask(WishMovesLeft);
}

void TFormZarvo::Ask(unsigned wishes)
{
    if (Closed)
        return;
    std::vector<QPoint> now;
    try {
        now = FGame->Position();
    } catch (const EZarvoError &) {
        now.clear(); // the solver says why
    }
    // The same position asked about again: one search answers every wish.
    if (Searching() && now == FAskedFor)
        wishes |= FWishes;
    FWishes = wishes;
    FAskedFor = now;
    FGame->Solver().Ask(FGame->Board(), [this](const TSolverAnswer &answer) {
        const unsigned wished = FWishes;
        FWishes = 0;
        SetBusy(false);
        RunReported([&] { Answered(answer, wished); });
    });
    SetBusy(true);
}

void TFormZarvo::Answered(const TSolverAnswer &answer, unsigned wishes)
{
    if (Closed || (answer.Error.isEmpty() && !FGame->IsCurrent(answer)))
        return; // the board has moved on
    const TGameStatus status = FGame->Status();
    if (status.GoalShown)
        wishes &= ~unsigned(WishHint | WishDemo);
    LblObject->setText(ObjectText(status));
    FitObjectText();
    if (!(wishes & (WishHint | WishDemo | WishMovesLeft)))
        return;
    if (!answer.Found()) {
        SayNotFound(answer);
        return;
    }
    if (answer.Moves == 0) {
        SetHelpText(QStringLiteral("Das Ziel ist erreicht."));
    } else if (wishes & WishDemo) {
        StartDemonstration(answer);
    } else if (wishes & WishHint) {
        TSolverHint hint;
        if (FGame->Hint(answer, hint)) {
            FHint = hint;
            SetHelpText(QStringLiteral("Tipp: das markierte Teil wie gezeigt ziehen, ") +
                        LeftText(answer) + QLatin1Char('.'));
            FView->update();
        }
    } else {
        const QString left = LeftText(answer);
        SetHelpText(left.left(1).toUpper() + left.mid(1) + QStringLiteral(" bis zum Ziel."));
    }
}

void TFormZarvo::SayNotFound(const TSolverAnswer &answer)
{
    if (!answer.Error.isEmpty()) {
        CenteredMessageDlg(QStringLiteral("Der Löser kann diese Stellung nicht untersuchen.\r") +
                               answer.Error,
                           QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    switch (answer.Outcome) {
    case TSolveOutcome::Unsolvable:
        if (!FGame->Status().CanUndo) {
            CenteredMessageDlg(QStringLiteral("Von dieser Stellung aus ist das Ziel nicht "
                                              "erreichbar."),
                               QMessageBox::Information, QMessageBox::Ok);
        } else if (CenteredMessageDlg(QStringLiteral("Von hier ist das Ziel nicht mehr "
                                                     "erreichbar.\rDen letzten Zug zurücknehmen?"),
                                      QMessageBox::Question,
                                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            Undo(true);
        }
        break;
    case TSolveOutcome::Limit:
        CenteredMessageDlg(QStringLiteral("Die Suche ist an ihre Grenze gestoßen: %L1 Stellungen "
                                          "untersucht, aber kein Weg zum Ziel gefunden.")
                               .arg(answer.Positions),
                           QMessageBox::Information, QMessageBox::Ok);
        break;
    default:
        break; // stopped: nothing to say
    }
}

void TFormZarvo::StartDemonstration(const TSolverAnswer &answer)
{
    FHint.reset();
    FDemo = std::make_unique<TDemonstration>(*FGame, answer, DemoFramesPerCell, DemoPauseFrames);
    // Any key or click anywhere stops it.
    qApp->installEventFilter(this);
    SetHelpText(QStringLiteral("Vorführung: Zug 1 von %1 – eine Taste oder ein Klick hält sie an.")
                    .arg(FDemo->MovesTotal()));
    FView->update();
    DemoTimer->start(DemoFrameMillis);
}

void TFormZarvo::DemonstrationTick()
{
    if (!FDemo)
        return;
    const int before = FDemo->MovesDone();
    bool going = false;
    try {
        going = FDemo->Tick();
    } catch (...) {
        EndDemonstration();
        throw;
    }
    if (!going) {
        EndDemonstration();
        return;
    }
    if (FDemo->MovesDone() != before)
        SetHelpText(
            QStringLiteral("Vorführung: Zug %1 von %2 – eine Taste oder ein Klick hält sie an.")
                .arg(FDemo->MovesDone() + 1)
                .arg(FDemo->MovesTotal()));
}

void TFormZarvo::EndDemonstration()
{
    DemoTimer->stop();
    if (!FDemo)
        return;
    std::unique_ptr<TDemonstration> demo = std::move(FDemo);
    demo->Stop();
    if (!FSwallowInput)
        qApp->removeEventFilter(this);
    if (Closed)
        return;
    if (demo->Failed())
        SetHelpText(QStringLiteral("Die Vorführung ist vom Weg des Lösers abgekommen und endet "
                                   "hier."));
    else if (demo->MovesDone() < demo->MovesTotal())
        SetHelpText(QStringLiteral("Vorführung angehalten nach %1 von %2 Zügen.")
                        .arg(demo->MovesDone())
                        .arg(demo->MovesTotal()));
    else
        SetHelpText(QString());
}

bool TFormZarvo::StopHelp()
{
    bool stopped = false;
    if (FDemo) {
        EndDemonstration();
        stopped = true;
    }
    if (Searching()) {
        FGame->Solver().Cancel();
        FWishes = 0;
        SetBusy(false);
        stopped = true;
    }
    return stopped;
}

bool TFormZarvo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PnlCaption && event->type() == QEvent::Resize)
        PlaceHelpButtons();
    if (FDemo || FSwallowInput) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            // The key or click that stops the demonstration does nothing else.
            if (FDemo) {
                FSwallowInput = true;
                EndDemonstration();
            }
            event->accept();
            return true;
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonRelease:
            if (!FDemo) {
                FSwallowInput = false;
                qApp->removeEventFilter(this);
            }
            return true;
        case QEvent::ApplicationDeactivate:
            // The release went to another program: the next key is the
            // player's again.
            if (!FDemo) {
                FSwallowInput = false;
                qApp->removeEventFilter(this);
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormZarvo::SetHelpText(const QString &text)
{
    FHelpText = text;
    try {
        FHelpFor = FGame->Position();
    } catch (const EZarvoError &) {
        FHelpFor.clear();
    }
    if (Closed)
        return;
    LblObject->setText(ObjectText(FGame->Status()));
    FitObjectText();
}

void TFormZarvo::HelpStatus(const TGameStatus &status)
{
    std::vector<QPoint> now;
    try {
        now = FGame->Position();
    } catch (const EZarvoError &) {
        now.clear();
    }
    // A hint and a text are about one position; the demonstration writes
    // its own.
    if (!FDemo && now != FHelpFor && (FHint || !FHelpText.isEmpty())) {
        FHint.reset();
        FHelpText.clear();
        FHelpFor.clear();
        if (FView)
            FView->update();
    }
    // A search for a position the board has left has nothing to say.
    if (Searching() && (now != FAskedFor || (FWishes == WishGoalView && !status.GoalShown))) {
        FGame->Solver().Cancel();
        FWishes = 0;
        SetBusy(false);
    }
    // The goal view tells how far the goal is from here.
    if (status.GoalShown && !Searching() && !now.empty() && !FGame->Solver().Known(now))
        Ask(WishGoalView);
}

QString TFormZarvo::ObjectText(const TGameStatus &status) const
{
    const TZarvoPad &board = FGame->Board();
    if (status.GoalShown) {
        QString text = QStringLiteral("Zielposition (%1 Züge)").arg(board.BestMoves);
        const TSolverAnswer *known = nullptr;
        try {
            known = FGame->Solver().Known(FGame->Position());
        } catch (const EZarvoError &) {
            known = nullptr;
        }
        if (known && known->Found() && known->Moves > 0)
            text += QStringLiteral(", ") + LeftText(*known);
        else if (known && known->Error.isEmpty() && known->Outcome == TSolveOutcome::Unsolvable)
            text += QStringLiteral(", von hier nicht mehr erreichbar");
        return text;
    }
    if (status.Solved && status.Helped)
        return QStringLiteral("Mit Hilfe gelöst – dieses Spiel kommt nicht in die Bestenliste.");
    return FHelpText.isEmpty() ? board.ObjectInfo : FHelpText;
}

void TFormZarvo::FitObjectText()
{
    if (!FView || Closed)
        return;
    if (FullScreen) {
        if (LblObject->heightForWidth(width()) > PnlObject->height())
            LayoutFullScreen();
        return;
    }
    // The window grows by the lines a longer text needs; it never shrinks
    // under the player's eyes.
    int need = LblObject->heightForWidth(width());
    if (need < 0)
        need = LblObject->sizeHint().height();
    if (FSubWindow && need + 2 > PnlObject->height()) {
        FSubWindow->resize(FSubWindow->width(),
                           FSubWindow->height() + need + 2 - PnlObject->height());
        // What the frame grew by is not repainted by itself.
        FSubWindow->update();
    }
    LayoutWindowed();
}

void TFormZarvo::BusyFrame()
{
    // Only the sign turns; a huge board is not painted anew for it.
    if (FView)
        FView->update(
            FView->ViewRect(BusyBox(QRect(0, 0, FGame->Board().Width(), FGame->Board().Height()))));
}

void TFormZarvo::SetBusy(bool busy)
{
    if (busy) {
        if (!BusyTimer->isActive())
            FBusyClock.start();
        BusyTimer->start();
    } else {
        BusyTimer->stop();
        FBusyClock.invalidate();
    }
    BusyFrame();
}

void TFormZarvo::DecorateBoard(QPainter &p) const
{
    const TZarvoPad &board = FGame->Board();
    p.setRenderHint(QPainter::Antialiasing);
    if (FHint && !board.ShowObject)
        PaintHint(p, *FHint);
    if (Searching() && FBusyClock.isValid() && FBusyClock.elapsed() >= BusySignDelay)
        PaintBusy(p, BusyBox(QRect(0, 0, board.Width(), board.Height())), FBusyClock.elapsed());
}

void TFormZarvo::AddHelpButtons(const QList<QAction *> &actions)
{
    // At the right end of the caption: the moves panel is full in a frame
    // of the smallest size.
    if (!PnlHelp) {
        PnlHelp = new QWidget(PnlCaption);
        auto *row = new QHBoxLayout(PnlHelp);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(2);
        PnlCaption->installEventFilter(this);
    }
    for (QAction *a : actions) {
        auto *b = new QToolButton(PnlHelp);
        b->setDefaultAction(a);
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        PnlHelp->layout()->addWidget(b);
    }
    PlaceHelpButtons();
    PnlHelp->show(); // the caption may be on show already
}

void TFormZarvo::PlaceHelpButtons()
{
    if (!PnlHelp)
        return;
    PnlHelp->adjustSize();
    PnlHelp->move(PnlCaption->width() - PnlHelp->width() - 8,
                  (PnlCaption->height() - PnlHelp->height()) / 2);
    PnlHelp->raise();
}
