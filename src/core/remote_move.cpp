// The check of a remote move against the board's course.
#include "core/remote_move.h"

tRemoteAction CheckRemoteMove(const tRemoteBoard& board, int turn, std::uint16_t cellCode,
                              bool confirm) {
    const int cell = CellIndex(cellCode);
    const int lying = cell < 0 ? -1 : board.PlaceOn[static_cast<std::size_t>(cell)];
    if (turn == board.Turn && turn >= 1 && turn <= kTurnsPlayed) {
        if (cell < 0)
            return tRemoteAction::Leave;
        if (board.TurnConfirmed)
            // A repeat naming the cell the tile was confirmed on changes nothing.
            return lying == turn ? tRemoteAction::Ignore : tRemoteAction::Leave;
        if (lying != 0 && lying != turn)
            return tRemoteAction::Leave;
        return confirm ? tRemoteAction::LayAndConfirm : tRemoteAction::Lay;
    }
    // The message about the previous tile may come again once the next is offered.
    const bool previous =
        (turn + 1 == board.Turn && turn >= 1) || (turn == kTurnsPlayed && board.Turn == kLastTurn);
    if (previous && lying == turn)
        return tRemoteAction::Ignore;
    return tRemoteAction::Leave;
}
