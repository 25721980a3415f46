#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

// Breadth-first search over the grid positions of a sliding-block puzzle in
// the "any path" metric: one move takes one piece any distance along any path
// through free cells. Pieces do not push each other here, so a minimum found
// this way is an upper bound for the game, where a drag may push.
//
// Pieces of the same type and caption are interchangeable: a position records
// only which kind of piece stands where.

// One rectangle of a piece as the board lists it, in grid units.
struct TPartInfo
{
    QString TypeName;
    QString Caption; // the master part's caption; empty on the other parts
    int Col = 0, Row = 0, Width = 1, Height = 1;
    bool Movable = true;
    int Group = 0; // parts of one compound piece share the group number
};

struct TSlideGoal
{
    QString TypeName;
    QStringList Captions; // accepted captions ("1/7" lists two)
    QPoint Anchor;        // first cell of the piece in reading order
};

class TSlideModel
{
public:
    // Builds the model from a board's piece list and goal list. Fixed pieces
    // become walls; goals whose last field is 0 (matched by picture) are not
    // supported and fail the build with a message in Error.
    bool Build(int width, int height, const std::vector<TPartInfo> &pieces,
               const std::vector<TPartInfo> &goals);

    QString Error;
    int Width = 0, Height = 0;
    std::vector<bool> Wall; // Width * Height

    struct TKind
    {
        QString TypeName, Caption;
        std::vector<QPoint> Cells; // relative to the anchor, anchor first
    };
    std::vector<TKind> Kinds;
    std::vector<int> PieceKind;       // per movable piece
    std::vector<QPoint> PieceAnchors; // start anchors, per movable piece
    std::vector<TSlideGoal> Goals;
};

// A position: one 4-bit kind code (kind + 1) per cell at the anchor cells.
using TSlideKey = std::array<std::uint64_t, 8>;

struct TSlideResult
{
    int Minimum = -1;            // moves to the first goal position, -1 if none
    long long Reachable = 0;     // positions visited (all of them unless stopped early)
    bool Complete = false;       // the whole reachable space was visited
    TSlideKey GoalKey{};         // the first goal position found
    std::vector<TSlideKey> Path; // start ... goal, when a goal was found
};

class TSlideSearch
{
public:
    explicit TSlideSearch(const TSlideModel &model);

    // stopAtGoal: end as soon as a goal position is reached (solvability and
    // minimum); otherwise visit every reachable position (and count them).
    // maxPositions: give up beyond this many positions (Complete stays false).
    TSlideResult Run(bool stopAtGoal, long long maxPositions = 50'000'000) const;

    // Best first by the distance of the goal pieces from their goal cells:
    // finds some solution of a large puzzle quickly, without claiming a
    // minimum (Minimum then holds the length of the path found).
    TSlideResult RunGreedy(long long maxPositions) const;

    TSlideKey StartKey() const;
    bool IsGoal(const TSlideKey &key) const;
    // Every position one move away.
    void Successors(const TSlideKey &key, std::vector<TSlideKey> &out) const;
    // Anchors per kind, read back from a key.
    std::vector<std::vector<QPoint>> AnchorsByKind(const TSlideKey &key) const;
    // Checks that a move of the piece at from (an anchor) to to is one move
    // in this metric from key; returns the new key through out.
    bool Move(const TSlideKey &key, QPoint from, QPoint to, TSlideKey &out) const;

private:
    const TSlideModel &M;
    std::vector<std::uint32_t> GoalMasks; // kinds accepted per goal
    int Distance(const TSlideKey &key) const;
    int Code(const TSlideKey &key, int cell) const;
    static void SetCode(TSlideKey &key, int cell, int code);
};
