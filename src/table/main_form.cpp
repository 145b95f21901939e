// The main window: menus, toolbar, board windows and the course of a game.
#include "table/main_form.h"

#include "info/author_form.h"
#include "info/idea_form.h"
#include "info/link_form.h"
#include "info/strategy_form.h"
#include "info/suitability.h"
#include "settings/colors_form.h"
#include "table/demo_board.h"
#include "table/optimum_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <arpa/inet.h>

#include "core/colors.h"
#include "core/status_line.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "game/qt_colors.h"
#include "net/chat_form.h"
#include "net/port_form.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/settings_file.h"
#include "table/child_form.h"
#include "table/high_score_file.h"
#include "table/player_form.h"
#include "table/score_form.h"

namespace {
struct tButtonDef {
    const char* name;
    int x;
    const char* icon;
    const char* german;
    const char* english;
};

constexpr tButtonDef kButtons[] = {
    {"BtnNeu", 8, "neu", "neuer Spieler", "New player"},
    {"BtnNeuAtn", 8, "neu_atn", "neuer Spieler", "New player"},
    {"BtnHighscore", 44, "highscore", "Bestenliste", "High score"},
    {"BtnNext", 88, "next", "Spieler am Zug", "Next Player due"},
    {"BtnFarben", 132, "farben", "Farben einstellen", "Change colors"},
    {"BtnEignung", 176, "eignung", "Info Eignung", "About suitability"},
    {"BtnIdee", 212, "idee", "Info Idee", "About idea"},
    {"BtnProg", 248, "prog", "Info Programm", "About program"},
    {"BtnZiel", 292, "ziel", "Info Strategie", "About strategy"},
    {"BtnOpt", 328, "opt", "optimale Lösungen", "Optimal solutions"},
};

QString ColorKey(int n) {
    return QStringLiteral("Line%1").arg(n);
}

bool gNetworkStart = true;

} // namespace

// One sentence at the foot of the window; cut with an ellipsis rather than
// widening the window, with the whole sentence as its tooltip.
class tStatusLine : public QLabel {
public:
    explicit tStatusLine(QWidget* parent) : QLabel(parent) {
        setObjectName(QStringLiteral("StatusLine"));
        setMinimumWidth(1);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    void SetSentence(const QString& sentence) {
        if (sentence == FSentence)
            return;
        FSentence = sentence;
        setToolTip(sentence);
        setAccessibleName(sentence);
        Fit();
    }
    QString Sentence() const { return FSentence; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        Fit();
    }

private:
    void Fit() { setText(fontMetrics().elidedText(FSentence, Qt::ElideRight, width())); }
    QString FSentence;
};

void TMainForm::EnableNetworkStart(bool enabled) {
    gNetworkStart = enabled;
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    // The pictures live in a static library, whose resources are not
    // registered by themselves.
    Q_INIT_RESOURCE(resources);
    setObjectName("MainForm");
    // The status line comes on top of the board area's design height.
    FStatusLine = new tStatusLine(statusBar());
    statusBar()->addWidget(FStatusLine, 1);
    statusBar()->setSizeGripEnabled(false);
    const int foot = statusBar()->sizeHint().height();
    resize(620, 444 + foot);
    setMinimumSize(620, 430 + foot);
    // While a game runs the table repairs what the network lost, and the
    // line counts the seconds a silent PC keeps us waiting.
    FTickTimer = new QTimer(this);
    FTickTimer->setInterval(250);
    connect(FTickTimer, &QTimer::timeout, this, &TMainForm::Tick);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FToolbar = new QWidget(central);
    FToolbar->setObjectName("Toolbar");
    FToolbar->setFixedHeight(37);
    layout->addWidget(FToolbar);
    FMdiArea = new QMdiArea(central);
    FMdiArea->setObjectName("MdiArea");
    // Board windows keep their smallest size, so tiling many of them must
    // scroll inside the frame rather than grow the frame past the screen.
    FMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(FMdiArea, 1);
    setCentralWidget(central);

    // The demonstration board's panel fills the client area below the toolbar.
    FPanel = new tDemoBoard(FTable.Random(), FMdiArea->viewport());
    FPanel->hide();
    FMdiArea->viewport()->installEventFilter(this);

    CreateToolbar();
    FPanel->SetButtons(FBtnNeu, FBtnNeuAtn);
    FPanel->SetBlocked([this] {
        for (const tTableBoard* board : FTable.Boards())
            if (board->TakesPart)
                return true;
        for (TChatForm* chat : ChatForms())
            if (chat->Showing())
                return true;
        return false;
    });
    CreateMenus();
    // The order of the players follows the window the user brings to the front.
    connect(FMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        auto* board = qobject_cast<TChildForm*>(window);
        FTable.Activate(board && !board->Closing() ? std::optional<int>(board->Key())
                                                   : std::nullopt);
    });
    // The datagram leaves from the address the route takes, so the answer comes back that way.
    FTable.RouteSource = [](tAddress destination) {
        return RouteSourceFor(destination, htons(9), IPPROTO_UDP);
    };
    FormCreate();
    UpdateStatusLine();
}

TMainForm::~TMainForm() {
    // A window destroyed without being closed still stops its receiver first.
    FClosing = true;
    StopNetwork();
}

void TMainForm::SetDialogs(TPlayerForm* playerForm, TScoreForm* scoreForm) {
    FPlayerForm = playerForm;
    FScoreForm = scoreForm;
}

void TMainForm::SetPortForm(TPortForm* portForm) {
    FPortForm = portForm;
    FMenuNetzwerk->setEnabled(portForm != nullptr);
}

void TMainForm::CreateToolbar() {
    for (const tButtonDef& def : kButtons) {
        auto* button = new QToolButton(FToolbar);
        button->setObjectName(def.name);
        button->setGeometry(def.x, 0, 33, 33);
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(def.icon)));
        button->setIconSize(QSize(27, 27));
        button->setAutoRaise(true);
        button->setToolTip(Tr(def.german, def.english));
    }
    FBtnNeu = FToolbar->findChild<QToolButton*>("BtnNeu");
    FBtnNeuAtn = FToolbar->findChild<QToolButton*>("BtnNeuAtn");
    FBtnNext = FToolbar->findChild<QToolButton*>("BtnNext");
    FBtnNeuAtn->hide();
    FBtnNext->setEnabled(false);
    connect(FBtnNeu, &QToolButton::clicked, this, &TMainForm::BtnNeuClick);
    connect(FBtnNeuAtn, &QToolButton::clicked, this, &TMainForm::BtnNeuClick);
    connect(FBtnNext, &QToolButton::clicked, this, &TMainForm::BtnNextClick);
    connect(FToolbar->findChild<QToolButton*>("BtnHighscore"), &QToolButton::clicked, this,
            &TMainForm::ShowHighScore);
    const std::pair<const char*, void (TMainForm::*)()> windows[] = {
        {"BtnFarben", &TMainForm::FarbenEinstellen}, {"BtnEignung", &TMainForm::ShowEignung},
        {"BtnIdee", &TMainForm::ShowIdee},           {"BtnProg", &TMainForm::ShowAutor},
        {"BtnZiel", &TMainForm::ShowStrategie},      {"BtnOpt", &TMainForm::Optimum}};
    for (const auto& [name, slot] : windows)
        connect(FToolbar->findChild<QToolButton*>(name), &QToolButton::clicked, this, slot);
}

void TMainForm::CreateMenus() {
    auto item = [this](QMenu* menu, const char* name, const char* german, const char* english) {
        QAction* action = menu->addAction(Tr(german, english));
        action->setObjectName(name);
        return action;
    };
    QMenu* spiel = menuBar()->addMenu(Tr("&Spiel", "&Game"));
    spiel->setObjectName("MenuSpiel");
    FMenuNeu = item(spiel, "MenuNeu", "&Neuer Spieler", "&New player");
    connect(FMenuNeu, &QAction::triggered, this, &TMainForm::BtnNeuClick);
    connect(item(spiel, "MenuHigh", "&Bestenliste", "&High score"), &QAction::triggered, this,
            &TMainForm::ShowHighScore);

    FMenuFenster = menuBar()->addMenu(Tr("&Fenster", "&Window"));
    FMenuFenster->setObjectName("MenuFenster");
    connect(item(FMenuFenster, "MenuUeberlappend", "Über&lappend", "&Cascade"), &QAction::triggered,
            this, &TMainForm::MenuUeberlappendClick);
    connect(item(FMenuFenster, "MenuNebeneinander", "&Nebeneinander", "&Tile"), &QAction::triggered,
            this, &TMainForm::MenuNebeneinanderClick);
    connect(item(FMenuFenster, "MenuSymboleAnordnen", "&Symbole anordnen", "&Arrange icons"),
            &QAction::triggered, this, &TMainForm::MenuSymboleAnordnenClick);
    FMenuFenster->addSeparator();
    connect(item(FMenuFenster, "MenuAmZug", "Spieler am &Zug", "Next &Player due"),
            &QAction::triggered, this, &TMainForm::BtnNextClick);
    FMenuChat = item(FMenuFenster, "MenuChat", "&Mitteilungen", "&Messages");
    FMenuChat->setEnabled(false);
    connect(FMenuChat, &QAction::triggered, this, &TMainForm::MenuChatClick);
    connect(FMenuFenster, &QMenu::aboutToShow, this, &TMainForm::FillWindowMenu);

    QMenu* einstellung = menuBar()->addMenu(Tr("&Einstellung", "&Settings"));
    einstellung->setObjectName("MenuEinstellung");
    connect(item(einstellung, "MenuFarben", "&Farben", "&Colors"), &QAction::triggered, this,
            &TMainForm::FarbenEinstellen);
    // Enabled once the port dialog is there (SetPortForm).
    FMenuNetzwerk = item(einstellung, "MenuNetzwerk", "&Netzwerk", "&Network");
    FMenuNetzwerk->setEnabled(false);
    connect(FMenuNetzwerk, &QAction::triggered, this, &TMainForm::MenuNetzwerkClick);
    connect(item(einstellung, "MenuShortcut", "&Verknüpfungen", "&Shortcuts"), &QAction::triggered,
            this, &TMainForm::MenuShortcutClick);

    QMenu* info = menuBar()->addMenu(Tr("&Info", "&Info"));
    info->setObjectName("MenuInfo");
    connect(item(info, "MenuEignung", "&Eignung", "S&uitability"), &QAction::triggered, this,
            &TMainForm::ShowEignung);
    connect(item(info, "MenuIdee", "&Idee", "&Idea"), &QAction::triggered, this,
            &TMainForm::ShowIdee);
    connect(item(info, "MenuProgramm", "&Programm", "&Program"), &QAction::triggered, this,
            &TMainForm::ShowAutor);
    connect(item(info, "MenuZiel", "&Strategie", "&Strategy"), &QAction::triggered, this,
            &TMainForm::ShowStrategie);
    connect(item(info, "MenuOpt", "&Optimale Lösungen", "&Optimal solutions"), &QAction::triggered,
            this, &TMainForm::Optimum);
}

// The window menu lists the child windows after its own items, the active one checked.
void TMainForm::FillWindowMenu() {
    for (QAction* action : FWindowListActions) {
        FMenuFenster->removeAction(action);
        action->deleteLater();
    }
    FWindowListActions.clear();
    const QList<QMdiSubWindow*> windows = FMdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    FWindowListActions.push_back(FMenuFenster->addSeparator());
    int n = 1;
    for (QMdiSubWindow* window : windows) {
        const QString text = n <= 9 ? QStringLiteral("&%1 %2").arg(n).arg(window->windowTitle())
                                    : window->windowTitle();
        QAction* action = FMenuFenster->addAction(text);
        action->setCheckable(true);
        action->setChecked(window == FMdiArea->activeSubWindow());
        QPointer<QMdiSubWindow> target = window;
        connect(action, &QAction::triggered, this, [this, target] {
            if (target) {
                if (target->isMinimized())
                    target->showNormal();
                FMdiArea->setActiveSubWindow(target);
            }
        });
        FWindowListActions.push_back(action);
        ++n;
    }
}

void TMainForm::FormCreate() {
    NetState = nsIdle;
    FFirstPaint = true;
    const QString title = Tr("Vessrin", "Orvanel");
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(title);
    setWindowTitle(title);
    FTable.Random().SeedFromClock();
    FTable.ShuffleTileOrder();
    RestorePlacement(this, "MainForm");
    FTable.HighScores = LoadHighScores();
    ReadColors();
}

void TMainForm::ReadColors() {
    // A value that is no colour (junk or stray high bytes) keeps the current one.
    auto read = [](const QString& key, tColor current) {
        const std::int64_t value =
            ReadProfileInt("Colors", key.toStdString(), static_cast<std::int64_t>(current));
        return IsValidColorValue(value) ? static_cast<tColor>(value) : current;
    };
    tColorSet& colors = SharedColors();
    for (int n = 1; n <= 9; ++n)
        colors.LineColors[static_cast<std::size_t>(n)] =
            read(ColorKey(n), colors.LineColors[static_cast<std::size_t>(n)]);
    colors.BackgroundColor = read("Background", colors.BackgroundColor);
    colors.ShadowColor = read("Shadow", colors.ShadowColor);
    colors.LightColor = read("Light", colors.LightColor);
}

void TMainForm::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (FFirstPaint)
        FirstPaintSteps();
}

void TMainForm::FirstPaintSteps() {
    FFirstPaint = false;
    ApplyAllColors();
    if (gNetworkStart)
        StartNetwork(); // a failure is not shown at start
    ShowDemo(true);
    if (gNetworkStart && !FNetworkThread) {
        FNetworkThread = std::make_unique<tNetworkThread>(static_cast<tReceiverHost&>(*this));
        FNetworkThread->start();
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FMdiArea->viewport() && event->type() == QEvent::Resize)
        FPanel->setGeometry(FMdiArea->viewport()->rect());
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // BtnNeuAtn is the default button. It blinks, so Return is taken whenever
    // a player may join, not only in the seconds the twin is visible; keys
    // meant for a board or the messages window stay theirs.
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (isReturn && plain && NewPlayerEnabled() && !QApplication::activeModalWidget()) {
        bool inChild = false;
        for (QWidget* w = QApplication::focusWidget(); w && !inChild; w = w->parentWidget())
            inChild = qobject_cast<QMdiSubWindow*>(w) != nullptr;
        if (!inChild) {
            event->accept();
            BtnNeuClick();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

std::vector<TChildForm*> TMainForm::Boards() const {
    std::vector<TChildForm*> boards;
    for (const tTableBoard* board : FTable.Boards())
        if (TChildForm* window = BoardWindow(board->Key))
            boards.push_back(window);
    return boards;
}

TChildForm* TMainForm::BoardWindow(int key) const {
    const auto it = FWindows.find(key);
    return it == FWindows.end() || !it->second || it->second->Closing() ? nullptr
                                                                        : it->second.data();
}

void TMainForm::EnableNewPlayer(bool enabled) {
    FMenuNeu->setEnabled(enabled);
    FBtnNeu->setEnabled(enabled);
    FBtnNeuAtn->setEnabled(enabled);
}

void TMainForm::BtnNeuClick() {
    if (!FPlayerForm || FPlayerForm->exec() != QDialog::Accepted)
        return;
    const QString text = FPlayerForm->Text();
    if (text.startsWith("\\\\")) {
        Invite(text.mid(2));
        return;
    }
    TChildForm* board = AddBoard(0, 0, 0, text);
    if (board && text == "PC")
        board->ComputerMove();
}

TChildForm* TMainForm::AddBoard(tAddress senderAddress, tAddress homeAddress, std::uint32_t boardId,
                                const QString& name) {
    tTableEffects effects =
        FTable.AddBoard(senderAddress, homeAddress, boardId, name.toStdString());
    const std::optional<int> added =
        effects.Added.empty() ? std::nullopt : std::optional<int>(effects.Added.back());
    Apply(std::move(effects));
    return added ? BoardWindow(*added) : nullptr;
}

bool TMainForm::AcceptTileOrder(tAddress senderAddress, const TileOrder& order) {
    return FTable.AcceptTileOrder(senderAddress, order);
}

void TMainForm::NextPlayerDue() {
    if (!FClosing)
        Apply(FTable.NextPlayerDue());
}

void TMainForm::CollectResults() {
    Apply(FTable.CollectResults());
}

// Everything a table operation caused, in the order a user would see it:
// windows first, then the boxes that sends and texts may bring up.
void TMainForm::Apply(tTableEffects fx) {
    if (fx.OpenMessages)
        OpenMessages();
    if (fx.Demo && !*fx.Demo)
        ShowDemo(false);
    for (int key : fx.Added) {
        if (!FTable.Board(key) || FClosing)
            continue;
        auto* board = new TChildForm(*this, key, FMdiArea);
        FWindows[key] = board;
        board->show();
    }
    for (int key : fx.Closed) {
        const auto it = FWindows.find(key);
        if (it == FWindows.end())
            continue;
        const QPointer<TChildForm> board = it->second;
        FWindows.erase(it);
        if (board)
            board->CloseByTable();
    }
    for (int key : fx.Changed)
        if (TChildForm* board = BoardWindow(key))
            board->Refresh();
    if (fx.Front) {
        if (TChildForm* k = BoardWindow(*fx.Front)) {
            if (k->isMinimized() || k->isMaximized())
                k->showNormal();
            FMdiArea->setActiveSubWindow(k);
        }
    }
    if (fx.NewPlayer)
        EnableNewPlayer(*fx.NewPlayer);
    if (fx.NextEnabled)
        FBtnNext->setEnabled(*fx.NextEnabled);
    for (tAddress peer : fx.ForgottenPeers)
        for (TChatForm* chat : ChatForms())
            chat->RemoveAddress(QString::fromStdString(DottedAddress(peer)));
    if (fx.Demo && *fx.Demo)
        ShowDemo(true);
    if (fx.StoreResults)
        StoreResults();
    for (const std::string& line : fx.Log)
        qWarning("%s", line.c_str());
    for (tAddress peer : fx.PeersBack)
        DropSilentQuestion(peer);
    for (tAddress peer : fx.AskSilent)
        AskAboutSilentPc(peer);
    for (const tShownText& text : fx.Texts)
        ShowText(text.Sender, text.Key, QString::fromStdString(text.Text));
    for (const tSend& send : fx.Sends)
        SendDatagram(send.Datagram, send.To);
    UpdateStatusLine();
}

void TMainForm::UpdateStatusLine() {
    FStatusLine->SetSentence(QString::fromStdString(StatusLine(FTable, NowMs(), IsGerman())));
    const bool running = !FClosing && (!FTable.Boards().empty() || FTable.NeedsTicks());
    if (running != FTickTimer->isActive())
        running ? FTickTimer->start() : FTickTimer->stop();
}

void TMainForm::Tick() {
    if (!FClosing)
        Apply(FTable.Tick(NowMs()));
}

QString TMainForm::StatusText() const {
    return FStatusLine->Sentence();
}

void TMainForm::StoreResults() {
    try {
        WriteHighScores(FTable.HighScores);
    } catch (const tWriteError& error) {
        ReportWriteError(error, windowTitle());
        return;
    }
    SavePlacement(this, "MainForm");
}

void TMainForm::ShowHighScore() {
    if (!FScoreForm)
        return;
    FScoreForm->SetScores(FTable.HighScores);
    FScoreForm->exec();
}

void TMainForm::ApplyAllColors() {
    FPanel->ApplyColors();
    for (TChildForm* board : Boards())
        board->ApplyColors();
}

void TMainForm::SetInfoDialogs(TColorsForm* colors, TAuthorForm* author, TIdeaForm* idea,
                               TOptimumForm* optimum, TStrategyForm* strategy, TLinkForm* link) {
    FColorsForm = colors;
    FAuthorForm = author;
    FIdeaForm = idea;
    FOptimumForm = optimum;
    FStrategyForm = strategy;
    FLinkForm = link;
}

void TMainForm::FarbenEinstellen() {
    if (FColorsForm && FColorsForm->exec() == QDialog::Accepted)
        ApplyAllColors();
}

void TMainForm::ShowEignung() {
    ShowSuitability(windowTitle());
}

void TMainForm::ShowIdee() {
    if (FIdeaForm)
        FIdeaForm->exec();
}

void TMainForm::ShowAutor() {
    if (FAuthorForm)
        FAuthorForm->exec();
}

void TMainForm::ShowStrategie() {
    if (FStrategyForm)
        FStrategyForm->exec();
}

void TMainForm::Optimum() {
    if (FOptimumForm)
        FOptimumForm->exec();
}

void TMainForm::MenuShortcutClick() {
    if (FLinkForm)
        FLinkForm->exec();
}

void TMainForm::ShowDemo(bool show) {
    FPanel->ShowDemo(show, FTable.Order);
}

void TMainForm::MenuUeberlappendClick() {
    QSize size(0, 0);
    const std::vector<TChildForm*> boards = Boards();
    for (auto it = boards.rbegin(); it != boards.rend(); ++it) {
        // The last board in child order is the bottom of the stack.
        if (!(*it)->isMinimized() && !(*it)->isMaximized()) {
            size = (*it)->size();
            break;
        }
    }
    FMdiArea->cascadeSubWindows();
    for (TChildForm* board : boards)
        if (!board->isMinimized() && !board->isMaximized() && size.isValid() && !size.isEmpty())
            board->resize(size);
}

void TMainForm::MenuNebeneinanderClick() {
    FMdiArea->tileSubWindows();
}

// Qt has no arrange-icons call: line the minimised windows up along the bottom edge.
void TMainForm::MenuSymboleAnordnenClick() {
    int x = 0;
    const int bottom = FMdiArea->viewport()->height();
    for (QMdiSubWindow* window : FMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        window->move(x, bottom - window->height());
        x += window->width();
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Board windows go without their own close handling: no board says
    // goodbye to the peers, and the results are collected before they go.
    FClosing = true;
    Apply(FTable.CollectResults());
    // The other PCs go on without this PC's boards instead of waiting for them.
    for (const tSend& send : FTable.CloseAll().Sends)
        SendDatagram(send.Datagram, send.To, true);
    const QList<QMdiSubWindow*> windows = FMdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        FMdiArea->removeSubWindow(*it);
        delete *it;
    }
    StopNetwork();
    event->accept();
}
