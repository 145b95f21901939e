// The check of a move reported by a board's owner PC.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "core/remote_move.h"

namespace {
tRemoteBoard Board(int turn, bool confirmed,
                   std::initializer_list<std::pair<std::uint16_t, int>> laid) {
    tRemoteBoard board;
    board.Turn = turn;
    board.TurnConfirmed = confirmed;
    for (const auto& [cell, place] : laid)
        board.PlaceOn[static_cast<std::size_t>(CellIndex(cell))] = static_cast<std::uint8_t>(place);
    return board;
}

// Every cell carries the tile of turn 1..19 in the order of kCellCodes, the
// last (553) that of turn 19: a board whose game is over.
tRemoteBoard FullBoard() {
    tRemoteBoard board;
    board.Turn = kLastTurn;
    board.TurnConfirmed = true;
    for (std::size_t i = 0; i < board.PlaceOn.size(); ++i)
        board.PlaceOn[i] = static_cast<std::uint8_t>(i + 1);
    return board;
}
} // namespace

TEST(CheckRemoteMove, MovesFittingTheCourseAreLaidRepeatsIgnoredTheRestLeave) {
    using A = tRemoteAction;
    const tRemoteBoard fresh = Board(1, false, {});
    const tRemoteBoard laid = Board(1, false, {{311, 1}});
    const tRemoteBoard second = Board(2, false, {{311, 1}});
    const tRemoteBoard secondDone = Board(2, true, {{311, 1}, {322, 2}});
    struct Case {
        const char* what;
        tRemoteBoard board;
        int turn;
        std::uint16_t cell;
        bool confirm;
        tRemoteAction expected;
    };
    const Case cases[] = {
        {"laid in the current turn", fresh, 1, 311, false, A::Lay},
        {"confirmed in the current turn", fresh, 1, 311, true, A::LayAndConfirm},
        {"moved to another free cell", laid, 1, 322, false, A::Lay},
        {"confirmed where it lies", laid, 1, 311, true, A::LayAndConfirm},
        {"no such cell", fresh, 1, 999, false, A::Leave},
        {"cell code 0", fresh, 1, 0, true, A::Leave},
        {"a turn ahead", fresh, 2, 311, false, A::Leave},
        {"turn 0", fresh, 0, 311, false, A::Leave},
        {"negative turn", fresh, -1, 311, false, A::Leave},
        {"cell carries an earlier tile", second, 2, 311, false, A::Leave},
        {"next turn on a free cell", second, 2, 322, true, A::LayAndConfirm},
        {"previous turn repeated, same cell", second, 1, 311, true, A::Ignore},
        {"previous turn repeated as laid", second, 1, 311, false, A::Ignore},
        {"previous turn repeated, other cell", second, 1, 322, true, A::Leave},
        {"previous turn repeated, no such cell", second, 1, 999, true, A::Leave},
        {"confirmed turn repeated, same cell", secondDone, 2, 322, true, A::Ignore},
        {"confirmed turn repeated, other cell", secondDone, 2, 333, true, A::Leave},
        {"confirmed turn repeated, earlier tile's cell", secondDone, 2, 311, true, A::Leave},
        {"two turns back", secondDone, 0, 311, true, A::Leave},
        {"next tile not yet offered", secondDone, 3, 333, false, A::Early},
        {"next tile not yet offered, confirmed", secondDone, 3, 333, true, A::Early},
        {"next tile not yet offered, taken cell", secondDone, 3, 322, false, A::Leave},
        {"next tile not yet offered, no such cell", secondDone, 3, 999, false, A::Leave},
        {"two tiles ahead", secondDone, 4, 333, false, A::Leave},
        {"a turn after the last", Board(kTurnsPlayed, true, {}), kTurnsPlayed + 1, 311, false,
         A::Leave},
        {"after the game, turn 19 repeated", FullBoard(), 19, 553, true, A::Ignore},
        {"after the game, turn 19 other cell", FullBoard(), 19, 542, true, A::Leave},
        {"after the game, turn 18", FullBoard(), 18, 542, true, A::Leave},
        {"after the game, turn 27", FullBoard(), 27, 553, true, A::Leave},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckRemoteMove(c.board, c.turn, c.cell, c.confirm), c.expected) << c.what;
}
