// Benchmarks of the board windows: one computer move, and a whole game of four computer boards.
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

#include "platform/settings_file.h"
#include "table/child_form.h"
#include "table/main_form.h"

namespace {

// A main window without network, its settings in a folder of its own.
struct tBenchTable {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    tBenchTable() {
        SetSettingsFileName(dir.filePath("bench.ini").toStdString());
        TMainForm::EnableNetworkStart(false);
        form = std::make_unique<TMainForm>();
        form->resize(1000, 800);
        form->show();
        QApplication::processEvents();
    }
};

void BM_ComputerMove(benchmark::State& state) {
    tBenchTable table;
    table.form->Random().Seed(7);
    TChildForm* board = table.form->AddBoard(0, 0, 0, "PC");
    QApplication::processEvents();
    // Turn 1: all 19 cells are candidates, the largest search there is.
    for (auto _ : state)
        board->ComputerMove();
}
BENCHMARK(BM_ComputerMove)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_FourComputerBoardsWholeGame(benchmark::State& state) {
    tBenchTable table;
    table.form->Random().Seed(11);
    for (auto _ : state) {
        std::vector<TChildForm*> boards;
        for (int i = 0; i < 4; ++i)
            boards.push_back(table.form->AddBoard(0, 0, 0, "PC"));
        QApplication::processEvents();
        for (TChildForm* b : boards)
            b->ComputerMove();
        for (int turn = 1; turn <= 19; ++turn)
            for (TChildForm* b : boards)
                b->BtnOk->click();
        for (TChildForm* b : boards) {
            if (b->Data().Turn != 27)
                state.SkipWithError("game did not end");
            b->BtnOk->click(); // closes the finished board
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_FourComputerBoardsWholeGame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace
