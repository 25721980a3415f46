#pragma once

#include "Solver.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class QThread;
class TZarvoPad;

// What the solver says about one position of a game.
struct TSolverAnswer
{
    TSolveOutcome Outcome = TSolveOutcome::Limit;
    int Moves = -1;                // moves still needed (Minimum, Solution)
    long long Positions = 0;       // positions the search stored
    std::vector<QPoint> Position;  // the cells asked about, in list order
    std::vector<TSolverMove> Path; // from Position to a goal position
    QString Error;                 // instead of an outcome: why the position cannot be searched
    bool Found() const
    {
        return Error.isEmpty() &&
               (Outcome == TSolveOutcome::Minimum || Outcome == TSolveOutcome::Solution);
    }
};

// The solver for one game: it is built for the puzzle on the first question,
// searches on a thread of its own within a budget, and keeps every answer per
// position, so asking again (or from a position further along a solution
// already found) answers at once.
class TSolverService
{
public:
    TSolverService();
    ~TSolverService(); // stops the searches and waits for them
    TSolverService(const TSolverService &) = delete;
    TSolverService &operator=(const TSolverService &) = delete;

    // What one search may spend; Cancel is the service's own.
    TSolverLimits Limits = GameLimits();
    static TSolverLimits GameLimits();

    // A new puzzle (or the puzzle anew): stops a running search, forgets
    // the solver and every answer.
    void Reset();

    using TDone = std::function<void(const TSolverAnswer &)>;
    // Asks about the board's current history entry. The answer comes
    // through done on this thread's event loop, also when it was known
    // already. A question still open is dropped (its done is never called)
    // and its search stopped unless it is for the same position.
    void Ask(const TZarvoPad &pad, TDone done);
    // The same, waiting for the answer on this thread.
    TSolverAnswer AskNow(const TZarvoPad &pad);
    // Drops the open question and stops its search.
    void Cancel();
    // A question is open.
    bool Busy() const { return bool(FDone); }
    // The answer kept for a position, or nullptr.
    const TSolverAnswer *Known(const std::vector<QPoint> &position) const;

    // The answer from the position after answer's first move: the rest of
    // its way, kept like any answer. Throws EZarvoError when answer has no
    // move or was not given by this service's solver.
    TSolverAnswer Rest(const TSolverAnswer &answer);

    // The cells of the board's current history entry, as the solver takes
    // them. Throws EZarvoError for an entry without whole cells.
    static std::vector<QPoint> CurrentPosition(const TZarvoPad &pad);

private:
    struct TJob;
    struct TShared;
    std::shared_ptr<TShared> FShared;  // the solver, built on the first search
    std::unique_ptr<QObject> FContext; // answers arrive through its event queue
    std::shared_ptr<TJob> FJob;        // the search running now
    QThread *FThread = nullptr;
    // Searches told to stop that have not ended yet: nobody waits for
    // them, they go when they end (or the service does).
    std::vector<QThread *> FStopping;
    TDone FDone;
    std::vector<QPoint> FAsked; // the position of the open question
    QHash<QString, TSolverAnswer> FKnown;

    std::shared_ptr<TJob> StartJob(const TZarvoPad &pad, const std::vector<QPoint> &position);
    void Finished(const std::shared_ptr<TJob> &job);
    void StopThread();
    void Ended(QThread *thread);
    void Keep(const TSolverAnswer &answer);
};
