// Benchmarks of the board window: one computer move, and a whole game of four computer boards.
#include <QApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

#include "core/random.h"
#include "core/tile_order.h"
#include "frame/board_host.h"
#include "platform/settings_file.h"
#include "table/child_form.h"

namespace {

// Offers the next tile to every board once all have confirmed, as the main window does.
class tBenchHost : public tBoardHost {
public:
    std::vector<TChildForm*> Boards;
    TileOrder Order;
    tIpList Own;

    void NextPlayerDue() override {
        for (TChildForm* b : Boards)
            if (b->AwaitingTile)
                return;
        for (TChildForm* b : Boards)
            b->NextTile();
    }
    const tIpList* OwnAddressList() const override { return &Own; }
    const tIpList* PeerPcList() const override { return nullptr; }
    const TileOrder& CurrentTileOrder() const override { return Order; }
    void SendDatagram(const tDatagram&, tAddress) override {}
    void PurgePeers() override {}
    void ShowDemo(bool) override {}
    QWidget* OpenMessagesFor(tAddress) override { return nullptr; }
};

struct tBenchSettings {
    QTemporaryDir dir;
    tBenchSettings() { SetSettingsFileName(dir.filePath("bench.ini").toStdString()); }
};

void BM_ComputerMove(benchmark::State& state) {
    tBenchSettings settings;
    tRandom random(7);
    tBenchHost host;
    host.Order = ShuffleTileOrder(random);
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    auto* board = new TChildForm(host, random, &area);
    board->setWindowTitle("PC");
    board->StartGame(host.Order);
    board->show();
    QApplication::processEvents();
    // Turn 1: all 19 cells are candidates, the largest search there is.
    for (auto _ : state)
        board->ComputerMove();
    area.closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_ComputerMove)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_FourComputerBoardsWholeGame(benchmark::State& state) {
    tBenchSettings settings;
    tRandom random(11);
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    for (auto _ : state) {
        tBenchHost host;
        host.Order = ShuffleTileOrder(random);
        for (int i = 0; i < 4; ++i) {
            auto* board = new TChildForm(host, random, &area);
            board->setWindowTitle("PC");
            board->StartGame(host.Order);
            board->show();
            host.Boards.push_back(board);
        }
        for (TChildForm* b : host.Boards)
            b->ComputerMove();
        for (int turn = 1; turn <= 19; ++turn)
            for (TChildForm* b : host.Boards)
                b->BtnOk->click();
        for (TChildForm* b : host.Boards) {
            if (b->Turn != 27)
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
