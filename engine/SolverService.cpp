// The solver of a game session: one search at a time on a thread of its
// own, answers delivered on the session's thread, and kept per position.

#include "SolverService.h"

#include "Fields.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QObject>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>

namespace {

QString PositionKey(const std::vector<QPoint> &position)
{
    QString key;
    key.reserve(qsizetype(position.size()) * 6);
    for (const QPoint &c : position)
        key +=
            QString::number(c.x()) + QLatin1Char(';') + QString::number(c.y()) + QLatin1Char(';');
    return key;
}

} // namespace

// The solver and the board it was built from; replaced whole by Reset, so a
// search still running keeps the one it started with.
struct TSolverService::TShared
{
    std::shared_ptr<TSolver> Get()
    {
        std::lock_guard<std::mutex> lock(Mutex);
        return Solver;
    }
    void Set(std::shared_ptr<TSolver> solver)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Solver = std::move(solver);
    }

private:
    std::mutex Mutex;
    std::shared_ptr<TSolver> Solver;
};

struct TSolverService::TJob
{
    std::atomic<bool> Stop{false};
    std::shared_ptr<TShared> Shared;
    std::unique_ptr<TSolverBoard> Board; // to build the solver from when there is none yet
    TSolverLimits Limits;
    TSolverAnswer Answer;
    bool Ready = false; // answered from what was known, no search

    void Run()
    {
        try {
            std::shared_ptr<TSolver> solver = Shared->Get();
            if (!solver) {
                solver = std::make_shared<TSolver>(*Board);
                Shared->Set(solver);
            }
            Limits.Cancel = &Stop;
            const TSolveResult r = solver->SolveFrom(Answer.Position, Limits);
            Answer.Outcome = r.Outcome;
            Answer.Moves = r.Moves;
            Answer.Positions = r.Positions;
            Answer.Path = r.Path;
        } catch (const EZarvoError &e) {
            Answer.Error = e.Message;
        } catch (const std::bad_alloc &) {
            Answer.Error = QStringLiteral("Für die Suche reicht der Speicher nicht.");
        }
    }
};

TSolverLimits TSolverService::GameLimits()
{
    TSolverLimits limits;
#ifndef ZARVOS_FUZZ_LIMITS
    // Every block puzzle of the collection is solved well within this; a
    // player waits at most half a minute and may stop the search sooner.
    limits.MaxPositions = 20'000'000;
    limits.MaxBytes = 400'000'000;
    limits.MaxMillis = 30'000;
#else
    // A fuzzed script asks often: each answer within a fraction of a second.
    limits.MaxPositions = 50'000;
    limits.MaxBytes = 50'000'000;
    limits.MaxMillis = 500;
#endif
    return limits;
}

TSolverService::TSolverService()
    : FShared(std::make_shared<TShared>()), FContext(std::make_unique<QObject>())
{}

TSolverService::~TSolverService()
{
    // The threads post to FContext when they end: they must be gone first.
    StopThread();
    for (QThread *t : FStopping) {
        t->wait();
        delete t;
    }
}

void TSolverService::StopThread()
{
    // A search notices the flag within moments, but freeing what it built
    // may take longer: the window does not wait for that.
    if (FJob)
        FJob->Stop = true;
    if (FThread) {
        FStopping.push_back(FThread);
        FThread = nullptr;
    }
    FJob.reset();
}

void TSolverService::Ended(QThread *thread)
{
    // Every thread is deleted here (or by the service), after its own
    // answer came, so no pointer here outlives its thread.
    const auto it = std::find(FStopping.begin(), FStopping.end(), thread);
    if (it == FStopping.end())
        return;
    FStopping.erase(it);
    thread->wait();
    delete thread;
}

void TSolverService::Reset()
{
    Cancel();
    FShared = std::make_shared<TShared>();
    FKnown.clear();
}

void TSolverService::Cancel()
{
    StopThread();
    FDone = nullptr;
    FAsked.clear();
}

std::vector<QPoint> TSolverService::CurrentPosition(const TZarvoPad &pad)
{
    std::vector<QPoint> cells;
    const int n = int(pad.Pieces.size());
    if (pad.MoveIndex < 0 || pad.MoveIndex >= pad.History.size())
        throw EZarvoError(
            QStringLiteral("Die Stellung %1 gibt es im Spielverlauf nicht.").arg(pad.MoveIndex));
    cells.reserve(size_t(n));
    const QString entry = pad.History[pad.MoveIndex]; // made on demand: kept while read
    TFieldCursor fields(entry, u";");
    for (int i = 0; i < n; ++i) {
        const int col = FieldToInt(fields.Next());
        cells.emplace_back(col, FieldToInt(fields.Next()));
    }
    return cells;
}

const TSolverAnswer *TSolverService::Known(const std::vector<QPoint> &position) const
{
    const auto it = FKnown.constFind(PositionKey(position));
    return it == FKnown.cend() ? nullptr : &*it;
}

void TSolverService::Keep(const TSolverAnswer &answer)
{
    // A stopped search says nothing about the position.
    if (answer.Error.isEmpty() && answer.Outcome == TSolveOutcome::Cancelled)
        return;
    // A proven shortest way stays: the rest of a longer way through the
    // same position would tell the player more moves than needed.
    const QString key = PositionKey(answer.Position);
    const auto it = FKnown.constFind(key);
    if (it != FKnown.cend() && it->Error.isEmpty() && it->Outcome == TSolveOutcome::Minimum)
        return;
    FKnown.insert(key, answer);
}

std::shared_ptr<TSolverService::TJob> TSolverService::StartJob(const TZarvoPad &pad,
                                                               const std::vector<QPoint> &position)
{
    auto job = std::make_shared<TJob>();
    job->Shared = FShared;
    job->Limits = Limits;
    job->Answer.Position = position;
    if (const TSolverAnswer *known = Known(position)) {
        job->Answer = *known;
        job->Ready = true;
    } else if (!FShared->Get()) {
        try {
            job->Board = std::make_unique<TSolverBoard>(TSolverBoard::FromPad(pad));
        } catch (const EZarvoError &e) {
            job->Answer.Error = e.Message;
            job->Ready = true;
        }
    }
    return job;
}

void TSolverService::Ask(const TZarvoPad &pad, TDone done)
{
    std::vector<QPoint> position;
    QString unreadable;
    try {
        position = CurrentPosition(pad);
    } catch (const EZarvoError &e) {
        unreadable = e.Message;
    }
    // The same question once more: the search under way answers it.
    if (FJob && FThread && unreadable.isEmpty() && position == FAsked) {
        FDone = std::move(done);
        return;
    }
    StopThread();
    FAsked = position;
    FDone = std::move(done);
    std::shared_ptr<TJob> job;
    if (!unreadable.isEmpty()) {
        job = std::make_shared<TJob>();
        job->Answer.Error = unreadable;
        job->Ready = true;
    } else {
        job = StartJob(pad, position);
    }
    FJob = job;
    QObject *context = FContext.get();
    if (job->Ready) {
        QMetaObject::invokeMethod(
            context, [this, job] { Finished(job); }, Qt::QueuedConnection);
        return;
    }
    FThread = QThread::create([this, job, context] {
        job->Run();
        // The service joins this thread before FContext goes, so the
        // context is alive here; a job no longer current is dropped there.
        QMetaObject::invokeMethod(
            context, [this, job] { Finished(job); }, Qt::QueuedConnection);
    });
    QThread *thread = FThread;
    QObject::connect(thread, &QThread::finished, context, [this, thread] { Ended(thread); });
    FThread->start(QThread::LowPriority);
}

void TSolverService::Finished(const std::shared_ptr<TJob> &job)
{
    if (job != FJob)
        return; // dropped meanwhile
    // The thread is about to end; it goes when it has (Ended).
    if (FThread) {
        FStopping.push_back(FThread);
        FThread = nullptr;
    }
    FJob.reset();
    Keep(job->Answer);
    TDone done = std::move(FDone);
    FDone = nullptr;
    FAsked.clear();
    if (done)
        done(job->Answer);
}

TSolverAnswer TSolverService::AskNow(const TZarvoPad &pad)
{
    Cancel();
    std::vector<QPoint> position;
    try {
        position = CurrentPosition(pad);
    } catch (const EZarvoError &e) {
        TSolverAnswer bad;
        bad.Error = e.Message;
        return bad;
    }
    const std::shared_ptr<TJob> job = StartJob(pad, position);
    if (!job->Ready)
        job->Run();
    Keep(job->Answer);
    return job->Answer;
}

TSolverAnswer TSolverService::Rest(const TSolverAnswer &answer)
{
    const std::shared_ptr<TSolver> solver = FShared->Get();
    if (!answer.Found() || answer.Path.empty() || !solver)
        throw EZarvoError(QStringLiteral("Der Löser kennt keinen weiteren Zug."));
    TSolverAnswer rest = answer;
    rest.Position = solver->Apply(answer.Position, answer.Path.front());
    rest.Path.erase(rest.Path.begin());
    rest.Moves = int(rest.Path.size());
    rest.Positions = 0;
    Keep(rest);
    return rest;
}
