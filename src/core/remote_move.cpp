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
    // With three PCs or more, the owner may move on as soon as the last of
    // the others has confirmed, and its next move can overtake that last
    // confirmation on its way here; such a move is the course, not a fault.
    if (turn == board.Turn + 1 && board.TurnConfirmed && turn <= kTurnsPlayed && cell >= 0 &&
        lying == 0)
        return tRemoteAction::Early;
    return tRemoteAction::Leave;
}
