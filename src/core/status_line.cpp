// The status line's sentences, from the game table's state.
#include "core/status_line.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "core/tiles.h"

namespace {
// A PC silent for this long may have dropped out; shorter gaps are normal.
constexpr std::int64_t kSilentMs = 5000;

const char* const kDash = " – ";

std::string TurnText(const tTableBoard& board, bool german) {
    return (german ? "Zug " : "Turn ") + std::to_string(board.Turn) + (german ? " von " : " of ") +
           std::to_string(kTurnsPlayed) + kDash;
}

std::string GameOver(const tGameResult& result, bool german) {
    std::string text = german ? "Spielende" : "Game over";
    for (std::size_t i = 0; i < result.Totals.size(); ++i)
        text += (i == 0 ? kDash : ", ") + result.Totals[i].Name + " " +
                std::to_string(result.Totals[i].Points);
    text += kDash;
    if (result.NewHighScores.empty())
        return text + (german ? "kein neuer Eintrag in der Bestenliste"
                              : "no new entry in the high-score list");
    text += german ? "neu in der Bestenliste: " : "new in the high-score list: ";
    for (std::size_t i = 0; i < result.NewHighScores.size(); ++i)
        text += (i == 0 ? "" : ", ") + result.NewHighScores[i].Name +
                (german ? " (Platz " : " (place ") + std::to_string(result.NewHighScores[i].Place) +
                ")";
    return text;
}

// The totals of the boards on the table when no result was noted: nothing
// can be said about the high-score list then.
std::string GameOverOfBoards(const std::vector<const tTableBoard*>& boards, bool german) {
    std::vector<const tTableBoard*> best = boards;
    std::stable_sort(best.begin(), best.end(), [](const tTableBoard* a, const tTableBoard* b) {
        return a->Total > b->Total;
    });
    std::string text = german ? "Spielende" : "Game over";
    for (std::size_t i = 0; i < best.size(); ++i)
        text += (i == 0 ? kDash : ", ") + best[i]->Name + " " + std::to_string(best[i]->Total);
    return text;
}

// The remote board's PC counts as heard when any of its addresses was.
std::optional<std::int64_t> LastHeard(const tGameTable& table, const tTableBoard& board) {
    std::optional<std::int64_t> last;
    for (int i = 0; i < board.OwnerAddresses.Count(); ++i)
        if (const auto ms = table.LastHeardMs(board.OwnerAddresses.Items(i)))
            last = std::max(last.value_or(*ms), *ms);
    return last;
}

std::string WaitingForRemote(const tGameTable& table, const tTableBoard& board, std::int64_t nowMs,
                             bool german) {
    std::string text =
        TurnText(board, german) + (german ? "wartet auf " : "waiting for ") + board.Name;
    if (board.OwnerAddresses.Count() == 0)
        return text;
    const std::string pc = DottedAddress(board.OwnerAddresses.Items(0));
    text += (german ? " am PC " : " at PC ") + pc;
    const auto heard = LastHeard(table, board);
    if (heard && nowMs - *heard >= kSilentMs)
        text += std::string(kDash) + (german ? "keine Antwort vom PC " : "no answer from PC ") +
                pc + (german ? " seit " : " for ") + std::to_string((nowMs - *heard) / 1000) + " s";
    return text;
}
} // namespace

std::string StatusLine(const tGameTable& table, std::int64_t nowMs, bool german) {
    const std::vector<const tTableBoard*> boards = table.Boards();
    if (boards.empty()) {
        if (table.LastResult())
            return GameOver(*table.LastResult(), german);
        return german ? "Vorführung – Spiel › Neuer Spieler fügt einen Spieler hinzu („PC“ lässt "
                        "den Computer spielen)"
                      : "Demonstration – Game › New player adds a player (\"PC\" lets the "
                        "computer play)";
    }
    const bool over = std::all_of(boards.begin(), boards.end(),
                                  [](const tTableBoard* b) { return b->Turn == kLastTurn; });
    if (over)
        return table.LastResult() ? GameOver(*table.LastResult(), german)
                                  : GameOverOfBoards(boards, german);

    // A finished board among running ones has nothing to wait for.
    std::vector<const tTableBoard*> playing;
    std::copy_if(boards.begin(), boards.end(), std::back_inserter(playing),
                 [](const tTableBoard* b) { return b->Turn <= kTurnsPlayed; });
    auto first = [&](auto waits) {
        const auto it = std::find_if(playing.begin(), playing.end(), waits);
        return it == playing.end() ? nullptr : *it;
    };
    // What the player can act on comes before what others must do.
    if (const tTableBoard* b = first([](const tTableBoard* b) {
            return b->IsComputer() && b->AwaitingTile && b->Phase == tTilePhase::Laid;
        }))
        return TurnText(*b, german) + b->Name +
               (german ? " hat seinen Stein gelegt: mit Ok bestätigen"
                       : " has laid its tile: confirm it with Ok");
    if (const tTableBoard* b = first([](const tTableBoard* b) {
            return b->IsLocalHuman() && b->TakesPart && b->AwaitingTile;
        }))
        return TurnText(*b, german) + (german ? "wartet darauf, dass " + b->Name + " den Stein legt"
                                              : "waiting for " + b->Name + " to lay the tile");
    if (const tTableBoard* b = first(
            [](const tTableBoard* b) { return b->IsRemote() && b->TakesPart && b->AwaitingTile; }))
        return WaitingForRemote(table, *b, nowMs, german);
    const tTableBoard& front = playing.empty() ? *boards.front() : *playing.front();
    return TurnText(front, german) +
           (german ? "wartet auf den nächsten Stein" : "waiting for the next tile");
}
