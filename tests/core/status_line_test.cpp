// The status line's sentences for the states a game table goes through.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/game_table.h"
#include "core/scoring.h"
#include "core/status_line.h"

namespace {
const tAddress kHome = AddressFromOctets(192, 168, 1, 2);
const tAddress kBea = AddressFromOctets(192, 168, 1, 7);
constexpr std::uint32_t kBeaBoard = 77;

tGameTable NewTable() {
    tGameTable t(7);
    t.OwnAddresses.Add(kHome);
    return t;
}

int Add(tGameTable& t, const std::string& name, bool shown = true) {
    const int key = t.AddBoard(0, 0, 0, name).Added.at(0);
    if (name == "PC")
        t.ComputerMove(key);
    if (shown)
        t.BoardShown(key);
    return key;
}

// Bea's board, announced by her PC at nowMs.
int AddBea(tGameTable& t, std::int64_t nowMs) {
    const int key =
        t.ReceiveDatagram(tDatagram::Board(t.Order, kBea, "Bea", kBeaBoard), nowMs).Added.at(0);
    t.BoardShown(key);
    return key;
}

// Each turn's tile on the next cell: always a free one.
std::uint16_t CellOfTurn(const tGameTable& t, int key) {
    return kCellCodes[static_cast<std::size_t>(t.Board(key)->Turn - 1)];
}

void Lay(tGameTable& t, int key) {
    t.PlaceTile(key, CellOfTurn(t, key));
}

void LayAndConfirm(tGameTable& t, int key) {
    Lay(t, key);
    t.ConfirmTile(key);
}

void BeaConfirms(tGameTable& t, int key, std::int64_t nowMs) {
    const auto turn = static_cast<std::uint8_t>(t.Board(key)->Turn);
    t.ReceiveDatagram(tDatagram::TileConfirmed(kBea, kBeaBoard, turn, CellOfTurn(t, key)), nowMs);
}

// Anna plays four turns with Bea, whose last confirmation comes at 40 s.
void AnnaAndBeaAtTurnFive(tGameTable& t) {
    const int anna = Add(t, "Anna");
    const int bea = AddBea(t, 1000);
    for (int turn = 1; turn <= 4; ++turn) {
        LayAndConfirm(t, anna);
        BeaConfirms(t, bea, turn * 10000);
    }
    LayAndConfirm(t, anna);
}
} // namespace

TEST(StatusLine, SaysWhatTheGameWaitsFor) {
    struct Case {
        const char* what;
        std::function<void(tGameTable&)> setUp;
        std::int64_t nowMs;
        const char* english;
        const char* german;
    };
    const Case cases[] = {
        {"no board", [](tGameTable&) {}, 0,
         "Demonstration – Game › New player adds a player (\"PC\" lets the computer play)",
         "Vorführung – Spiel › Neuer Spieler fügt einen Spieler hinzu („PC“ lässt den Computer "
         "spielen)"},
        {"a human to confirm",
         [](tGameTable& t) {
             const int anna = Add(t, "Anna");
             for (int turn = 1; turn <= 4; ++turn)
                 LayAndConfirm(t, anna);
             Lay(t, anna);
         },
         0, "Turn 5 of 19 – waiting for Anna to lay the tile",
         "Zug 5 von 19 – wartet darauf, dass Anna den Stein legt"},
        {"the front one of two humans",
         [](tGameTable& t) {
             Add(t, "Anna");
             Add(t, "Carl");
         },
         0, "Turn 1 of 19 – waiting for Carl to lay the tile",
         "Zug 1 von 19 – wartet darauf, dass Carl den Stein legt"},
        {"the computer before the front human",
         [](tGameTable& t) {
             const int pc = Add(t, "PC");
             const int anna = Add(t, "Anna");
             for (int turn = 1; turn <= 4; ++turn) {
                 LayAndConfirm(t, anna);
                 t.ConfirmTile(pc);
             }
         },
         0, "Turn 5 of 19 – PC has laid its tile: confirm it with Ok",
         "Zug 5 von 19 – PC hat seinen Stein gelegt: mit Ok bestätigen"},
        {"a remote PC heard 4.999 s ago", AnnaAndBeaAtTurnFive, 44999,
         "Turn 5 of 19 – waiting for Bea at PC 192.168.1.7",
         "Zug 5 von 19 – wartet auf Bea am PC 192.168.1.7"},
        {"a remote PC heard 5 s ago", AnnaAndBeaAtTurnFive, 45000,
         "Turn 5 of 19 – waiting for Bea at PC 192.168.1.7 – no answer from PC 192.168.1.7 for "
         "5 s",
         "Zug 5 von 19 – wartet auf Bea am PC 192.168.1.7 – keine Antwort vom PC 192.168.1.7 "
         "seit 5 s"},
        {"a remote PC heard 12.999 s ago", AnnaAndBeaAtTurnFive, 52999,
         "Turn 5 of 19 – waiting for Bea at PC 192.168.1.7 – no answer from PC 192.168.1.7 for "
         "12 s",
         "Zug 5 von 19 – wartet auf Bea am PC 192.168.1.7 – keine Antwort vom PC 192.168.1.7 "
         "seit 12 s"},
        {"a remote PC never heard",
         [](tGameTable& t) {
             const int anna = Add(t, "Anna");
             t.BoardShown(t.AddBoard(kBea, kBea, kBeaBoard, "Bea").Added.at(0));
             LayAndConfirm(t, anna);
         },
         999999, "Turn 1 of 19 – waiting for Bea at PC 192.168.1.7",
         "Zug 1 von 19 – wartet auf Bea am PC 192.168.1.7"},
        {"a board not yet shown", [](tGameTable& t) { Add(t, "Anna", false); }, 0,
         "Turn 1 of 19 – waiting for the next tile",
         "Zug 1 von 19 – wartet auf den nächsten Stein"},
    };
    for (const Case& c : cases) {
        tGameTable t = NewTable();
        c.setUp(t);
        EXPECT_EQ(StatusLine(t, c.nowMs, false), c.english) << c.what;
        EXPECT_EQ(StatusLine(t, c.nowMs, true), c.german) << c.what;
    }
}

TEST(StatusLine, GameOverOfAOnePcGameLastsPastTheClose) {
    tGameTable t = NewTable();
    const int pc = Add(t, "PC");
    for (int turn = 1; turn <= kTurnsPlayed; ++turn)
        t.ConfirmTile(pc);
    const std::string points = std::to_string(EvaluateBoard(t.Board(pc)->Cells(), 0));
    const std::string english =
        "Game over – PC " + points + " – new in the high-score list: PC (place 1)";
    const std::string german =
        "Spielende – PC " + points + " – neu in der Bestenliste: PC (Platz 1)";
    for (const bool closed : {false, true}) {
        if (closed)
            t.ConfirmTile(pc);
        EXPECT_EQ(t.Boards().empty(), closed);
        EXPECT_EQ(StatusLine(t, 0, false), english);
        EXPECT_EQ(StatusLine(t, 0, true), german);
    }
}

TEST(StatusLine, GameOverNamesEveryNewEntryOrNone) {
    struct Case {
        tHighScore before;
        bool entered; // both boards enter behind X, or neither does
    };
    tHighScore full;
    for (std::size_t i = 0; i < full.size(); ++i)
        full[i] = {std::string(1, static_cast<char>('V' + i)), 307};
    for (const Case& c : {Case{{{{"X", 307}}}, true}, Case{full, false}}) {
        tGameTable t = NewTable();
        t.HighScores = c.before;
        const int pc = Add(t, "PC");
        const int anna = Add(t, "Anna");
        // Anna lays where the computer would, so that she scores as well.
        for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
            t.ComputerMove(anna);
            t.ConfirmTile(anna);
            t.ConfirmTile(pc);
        }
        ASSERT_EQ(t.Board(anna)->Turn, kLastTurn);
        const auto pcPoints = EvaluateBoard(t.Board(pc)->Cells(), 0);
        const auto annaPoints = EvaluateBoard(t.Board(anna)->Cells(), 0);
        ASSERT_NE(pcPoints, annaPoints);
        const bool pcFirst = pcPoints > annaPoints;
        const std::string first = pcFirst ? "PC" : "Anna", second = pcFirst ? "Anna" : "PC";
        const std::string totals = first + " " + std::to_string(pcFirst ? pcPoints : annaPoints) +
                                   ", " + second + " " +
                                   std::to_string(pcFirst ? annaPoints : pcPoints);
        EXPECT_EQ(StatusLine(t, 0, false),
                  "Game over – " + totals + " – " +
                      (c.entered ? "new in the high-score list: " + first + " (place 2), " +
                                       second + " (place 3)"
                                 : "no new entry in the high-score list"));
        EXPECT_EQ(StatusLine(t, 0, true),
                  "Spielende – " + totals + " – " +
                      (c.entered ? "neu in der Bestenliste: " + first + " (Platz 2), " + second +
                                       " (Platz 3)"
                                 : "kein neuer Eintrag in der Bestenliste"));
    }
}
