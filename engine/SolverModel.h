#pragma once

// The solver's model of a board: the field as cells, fixed pieces as walls,
// the movable pieces grouped into kinds the goal test cannot tell apart, and
// the goal as alternatives of "a piece of kind k with its first cell at a".
// A position is the first cell (anchor) of every movable piece; pieces of one
// kind are kept in ascending order of their anchors, so a position has one
// packed form however interchangeable pieces swapped places.

#include "Solver.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace SolverInternal {

using TCell = std::uint16_t;

// The bytes a new block for v would take when v grows by more elements; 0
// when v has room. While a vector moves, its old and its new block are held
// at once: a search asks its budget for these bytes before it grows.
template <typename T> long long GrowthOf(const std::vector<T> &v, size_t more = 1)
{
    if (v.size() + more <= v.capacity())
        return 0;
    return (long long)(std::max(v.capacity() * 2, v.size() + more) * sizeof(T));
}
// Makes the room GrowthOf counted.
template <typename T> void MakeRoomIn(std::vector<T> &v, size_t more = 1)
{
    if (v.size() + more > v.capacity())
        v.reserve(std::max(v.capacity() * 2, v.size() + more));
}

struct TKind
{
    std::vector<int> DX, DY;  // every cell of the piece, from its anchor
    std::vector<int> Offsets; // the same as cell-index differences
    // Per direction the cells whose neighbour that way is not the piece's
    // own: only they can meet something when the piece steps that way.
    std::vector<int> Front[4];
    int MinDx = 0, MaxDx = 0, MinDy = 0, MaxDy = 0;
};

class TModel
{
public:
    // Builds the model of board's pieces and goal; throws EZarvoError for a
    // piece that is not whole cells or a compound piece whose parts do not
    // lie together.
    explicit TModel(const TSolverBoard &board);

    // The anchors of a position given as cells per list piece, in model
    // order; throws EZarvoError when movable pieces overlap pieces or leave
    // the field.
    std::vector<TCell> Anchors(const std::vector<QPoint> &position) const;
    // Cells per list piece for anchors (in model order); fixed pieces stay
    // where base has them.
    std::vector<QPoint> Position(const std::vector<TCell> &anchors,
                                 const std::vector<QPoint> &base) const;

    int W = 0, H = 0, Cells = 0;
    std::vector<std::int8_t> Wall; // per cell: a fixed piece covers it
    std::vector<int> ColOf, RowOf; // per cell
    int N = 0;                     // movable pieces
    std::vector<TKind> Kinds;
    std::vector<int> KindOf;               // per model piece
    std::vector<int> KindBegin;            // pieces of kind k are [KindBegin[k], KindBegin[k + 1])
    std::vector<int> ListIndex;            // per model piece: list index of its first part
    std::vector<std::vector<int>> PartsOf; // per model piece: its list indices

    struct TAlt
    {
        int Kind;
        TCell Anchor;
    };
    std::vector<std::vector<TAlt>> Goals; // per goal part not met by a fixed piece
    bool GoalEmpty = false;               // an empty goal list is never reached
    bool GoalImpossible = false;          // some goal part no piece can ever meet

    int Bits = 1, Words = 1; // packed position: Bits per anchor, Words of 64 bits

    // The model piece of a list index; -1 for fixed pieces and others.
    int PieceOfList(int listIndex) const
    {
        return listIndex >= 0 && listIndex < int(FPieceOfList.size())
                   ? FPieceOfList[size_t(listIndex)]
                   : -1;
    }

    // Sorts the anchors of each kind.
    void Canonical(TCell *anchors) const;
    void Pack(const TCell *canonical, std::uint64_t *key) const;
    void Unpack(const std::uint64_t *key, TCell *anchors) const;
    bool IsGoal(const TCell *canonical) const;

    // Fills grid (Cells entries) with -2 for walls, -1 for free cells and
    // the model piece on every other cell.
    void Grid(const TCell *anchors, std::int16_t *grid) const;
    // Working memory of Step, one per thread.
    struct TScratch
    {
        std::vector<int> Chain;      // pieces of the chain of a step
        std::vector<unsigned> Stamp; // per piece: the chain number that holds it
        unsigned No = 0;
    };
    // One step of piece p in direction dir (0 right, 1 down, 2 left, 3 up)
    // pushing the chain in its way; false when something fixed or the frame
    // stops it. out receives the anchors after the step.
    bool Step(const TCell *anchors, const std::int16_t *grid, int p, int dir, TCell *out,
              TScratch &scratch) const;

    static constexpr int DirX[4] = {1, 0, -1, 0};
    static constexpr int DirY[4] = {0, 1, 0, -1};

private:
    std::vector<int> FPieceOfList;   // per list index: model piece, -1 for fixed pieces
    std::vector<QPoint> FPartOffset; // per list index: cell offset from its first part
};

// A set of positions that also owns them: the packed positions in the order
// they were added, with the number of the position each came from. Holds
// millions of positions in little more than their packed size.
class TStateStore
{
public:
    explicit TStateStore(int words);
    // The number of key, adding it with parent when it is new; isNew tells.
    std::uint32_t Insert(const std::uint64_t *key, std::uint32_t parent, bool &isNew);
    std::int64_t Find(const std::uint64_t *key) const;
    const std::uint64_t *Key(std::uint32_t i) const { return &FKeys[size_t(i) * size_t(FWords)]; }
    std::uint32_t Parent(std::uint32_t i) const { return FParent[i]; }
    std::uint32_t Size() const { return std::uint32_t(FParent.size()); }
    long long Bytes() const;
    // The bytes making room for one more position would take beside
    // Bytes(); 0 when there is room. MakeRoom makes it, so that the next
    // Insert allocates nothing.
    long long GrowthBytes() const;
    void MakeRoom();

    static constexpr std::uint32_t None = 0xFFFFFFFFu;

private:
    int FWords;
    std::vector<std::uint64_t> FKeys;
    std::vector<std::uint32_t> FParent;
    std::vector<std::uint32_t> FTable; // state number + 1, 0 empty
    std::uint64_t Hash(const std::uint64_t *key) const;
    void Grow();
};

// The positions one drag of one piece reaches: every sequence of steps of
// that piece, found breadth first, with the way back to the start.
class TDragClosure
{
public:
    explicit TDragClosure(const TModel &model);
    // Every position (anchors in model order, not sorted) reachable from
    // start by steps of piece p, start first, nearest first. Stops after
    // maxCount positions, or when stop says so; false then. stop(0) is
    // asked now and then, stop(bytes) before the closure grows by bytes.
    template <typename TStop> bool Run(const TCell *start, int p, long long maxCount, TStop stop)
    {
        Begin(start);
        // Positions of thousands of pieces are large: asked more often then.
        const int every = M.N > 1024 ? 63 : 4095;
        for (int i = 0; i < Count(); ++i) {
            if (Count() > maxCount || ((i & every) == every && stop(0)))
                return false;
            // One expansion adds at most one position per direction.
            if (const long long grow = GrowthBytes(4); grow > 0) {
                if (stop(grow))
                    return false;
                MakeRoom(4);
            }
            Expand(i, p);
        }
        return true;
    }
    void Run(const TCell *start, int p)
    {
        Run(start, p, 1LL << 40, [](long long) { return false; });
    }
    int Count() const { return int(FParent.size()); }
    const TCell *At(int i) const { return &FConfigs[size_t(i) * size_t(M.N)]; }
    // The steps (directions) that lead from the start to entry i.
    std::vector<int> StepsTo(int i) const;
    long long Bytes() const;

private:
    const TModel &M;
    std::vector<TCell> FConfigs;
    std::vector<int> FParent;
    std::vector<std::int8_t> FDir;
    std::vector<std::int32_t> FTable;    // entry number per slot
    std::vector<std::uint32_t> FSlotRun; // the run a slot was filled in
    std::uint32_t FRun = 0;
    std::vector<std::int16_t> FGrid; // the cells as FGridOf has the pieces
    std::vector<TCell> FGridOf, FCurrent, FNext;
    TModel::TScratch FScratch;
    void Begin(const TCell *start);
    void Expand(int i, int p);
    // The bytes that room for more positions would take beside Bytes();
    // MakeRoom makes it.
    long long GrowthBytes(int more) const;
    void MakeRoom(int more);
    void GrowTable();
    void SyncGrid(const TCell *anchors);
    std::uint64_t HashOf(const TCell *c) const;
    void FindOrAdd(const TCell *c, int parent, int dir);
};

} // namespace SolverInternal
