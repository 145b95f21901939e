// Scoring a whole board through its 15 line labels, and the entry of the UI benchmarks.
#include <QApplication>
#include <QWidget>
#include <array>
#include <benchmark/benchmark.h>
#include <memory>

#include "core/scoring.h"
#include "core/tiles.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"

namespace {

// A board window's controls with a tile lying on every cell (or on the first
// `laid` cells), as in the middle or at the end of a game.
class LabelBoard {
public:
    explicit LabelBoard(int laid) {
        window.resize(573, 333);
        for (int i = 0; i < kCellCount; ++i) {
            cells[i] = new tHexagon(&window);
            cells[i]->setObjectName(QStringLiteral("Hexagon%1").arg(kCellCodes[i]));
            tiles[i] = new tHexagon(&window);
            tiles[i]->setObjectName(QStringLiteral("Hexagon%1").arg(i + 1));
            if (i < laid) {
                // Tile values follow the cell's three line numbers, so every
                // line is uniform: complete on a full board, open otherwise,
                // and each switch of the rating changes every caption.
                const int code = kCellCodes[static_cast<std::size_t>(i)];
                const int n = (code / 100) % 3 + 3 * ((code / 10) % 3) + 9 * (code % 3);
                tiles[i]->Init(static_cast<thxNummer>(n), hxVisible);
                cells[i]->Occupy(tiles[i]);
                tiles[i]->Occupy(cells[i]);
            } else {
                tiles[i]->Init(static_cast<thxNummer>(i), hxHidden);
            }
        }
        for (int l = 0; l < kLineCount; ++l) {
            const tLine& line = kLines[static_cast<std::size_t>(l)];
            labels[l] = new tPkteLabel(&window);
            labels[l]->setObjectName(QString::fromLatin1(line.name));
            labels[l]->SetLineAlignment(line.direction);
            for (int i = 0; i < 5; ++i)
                lineCells[l][i] = i < line.length
                                      ? cells[CellIndex(line.cells[static_cast<std::size_t>(i)])]
                                      : nullptr;
        }
        window.show();
        QApplication::processEvents();
    }

    std::uint16_t Evaluate(std::uint8_t mode) {
        std::uint16_t total = 0;
        for (int l = 0; l < kLineCount; ++l) {
            tHexagon* const* e = lineCells[l];
            total = static_cast<std::uint16_t>(
                total + labels[l]->Calculate(e[0], e[1], e[2], e[3], e[4],
                                             kLines[static_cast<std::size_t>(l)].direction, mode));
        }
        return total;
    }

    QWidget window;
    tHexagon* cells[kCellCount];
    tHexagon* tiles[kCellCount];
    tPkteLabel* labels[kLineCount];
    tHexagon* lineCells[kLineCount][5];
};

// Repeated passes in one mode: what the computer player's trial moves cost
// when most labels keep their look.
void BM_EvaluatePass(benchmark::State& state) {
    LabelBoard board(static_cast<int>(state.range(1)));
    const auto mode = static_cast<std::uint8_t>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(board.Evaluate(mode));
    QApplication::processEvents();
}
BENCHMARK(BM_EvaluatePass)
    ->ArgNames({"mode", "laid"})
    ->Args({kModePoints, 19})
    ->Args({kModeQualityLate, 19})
    ->Args({kModePoints, 9})
    ->Args({kModeQualityLate, 9})
    ->Unit(benchmark::kMicrosecond);

// Every pass switches between points and quality, so every label with tiles
// changes caption, style or both: the worst case of a rating switch.
void BM_EvaluatePassSwitchingMode(benchmark::State& state) {
    LabelBoard board(static_cast<int>(state.range(0)));
    bool quality = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(board.Evaluate(quality ? kModeQualityLate : kModePoints));
        quality = !quality;
    }
    QApplication::processEvents();
}
BENCHMARK(BM_EvaluatePassSwitchingMode)
    ->ArgName("laid")
    ->Arg(9)
    ->Arg(19)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
