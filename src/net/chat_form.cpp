// The messages window: addressee list, sending, the log of received texts and their repeats.
#include "net/chat_form.h"

#include "core/datagram.h"
#include "core/text_codec.h"
#include "frame/board_host.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/udp_socket.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <new>
#include <optional>

namespace {

const char* const kPlacementSection = "ChatForm";
constexpr int kDesignWidth = 274;
constexpr int kDesignHeight = 206;
constexpr int kMinWidth = 180;
constexpr int kMinHeight = 200;
constexpr int kComboDesignWidth = 25;
constexpr int kMargin = 4;
constexpr int kMemoTop = 48;

// Dotted decimal, exactly four octets 0..255.
std::optional<tAddress> ParseDotted(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    int octets[4];
    for (int i = 0; i < 4; ++i) {
        const QString& part = parts[i];
        if (part.isEmpty() || part.size() > 3)
            return std::nullopt;
        for (const QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        octets[i] = part.toInt();
        if (octets[i] > 255)
            return std::nullopt;
    }
    return AddressFromOctets(octets[0], octets[1], octets[2], octets[3]);
}

QString Dotted(tAddress a) {
    return QString::fromStdString(DottedAddress(a));
}

// A peer's text must not start new log lines of its own, which could pass
// for messages from other PCs.
QString OneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char('?');
    return line;
}

} // namespace

TChatForm::TChatForm(tBoardHost* host, QWidget* parent) : QMdiSubWindow(parent), host_(host) {
    setObjectName(QStringLiteral("ChatForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setWindowTitle(QStringLiteral("Mitteilungen"));

    client_ = new QWidget;
    client_->setObjectName(QStringLiteral("ChatClient"));
    client_->installEventFilter(this);

    LblTo = new QLabel(QStringLiteral("An"), client_);
    LblTo->setObjectName(QStringLiteral("LblTo"));
    LblTo->move(kMargin, 4);

    ComboBox = new QComboBox(client_);
    ComboBox->setObjectName(QStringLiteral("ComboBox"));
    ComboBox->setEditable(false);
    ComboBox->setGeometry(24, 0, kComboDesignWidth, 21);
    LblTo->setBuddy(ComboBox);

    Edit = new QLineEdit(client_);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setGeometry(64, 0, 100, 21);

    BtnClear = new QPushButton(QString::fromUtf8("&Löschen"), client_);
    BtnClear->setObjectName(QStringLiteral("BtnClear"));
    BtnClear->setGeometry(kMargin, 24, 57, 21);

    BtnSenden = new QPushButton(QStringLiteral("&Senden"), client_);
    BtnSenden->setObjectName(QStringLiteral("BtnSenden"));
    BtnSenden->setGeometry(64, 24, 57, 21);
    BtnSenden->setDefault(true);
    BtnSenden->setEnabled(false);

    Memo = new QPlainTextEdit(client_);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->move(0, kMemoTop);
    QPalette memoPalette = Memo->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Window));
    Memo->setPalette(memoPalette);

    setWidget(client_);
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kDesignWidth, kDesignHeight);

    connect(ComboBox, &QComboBox::currentTextChanged, this, &TChatForm::ChatChange);
    connect(Edit, &QLineEdit::textChanged, this, &TChatForm::ChatChange);
    connect(BtnSenden, &QPushButton::clicked, this, &TChatForm::BtnSendenClick);
    connect(BtnClear, &QPushButton::clicked, this, &TChatForm::BtnClearClick);
    // A default button only acts inside a dialog; Enter in the entry sends here.
    connect(Edit, &QLineEdit::returnPressed, this, [this] {
        if (BtnSenden->isEnabled())
            BtnSendenClick();
    });

    FormCreate();
}

TChatForm::~TChatForm() = default;

void TChatForm::FormCreate() {
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Messages"));
        LblTo->setText(QStringLiteral("To"));
        BtnClear->setText(QStringLiteral("&Clear"));
        BtnSenden->setText(QStringLiteral("&Send"));
    }
    LblTo->adjustSize();
    firstPaint_ = true;
    // The list was designed as just its arrow; this style may need more
    // beside the text, and a shorter list would cut the addresses off.
    QStyleOptionComboBox option;
    option.initFrom(ComboBox);
    const QSize chrome = ComboBox->style()->sizeFromContents(
        QStyle::CT_ComboBox, &option, QSize(0, ComboBox->fontMetrics().height()), ComboBox);
    comboBaseWidth_ = std::max(kComboDesignWidth, chrome.width() + 4);
    Edit->setMaxLength(static_cast<int>(kTextMaxChars));
    minimumWidth_ = minimumWidth();
}

void TChatForm::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    // Placement and layout are settled before the first paint, so the window
    // never shows at its design place first.
    if (firstPaint_)
        FormPaint();
}

void TChatForm::FormPaint() {
    firstPaint_ = false;
    showing_ = true;
    RestorePlacement(this, kPlacementSection);
    for (int i = 0; i < ComboBox->count(); ++i)
        WidenComboBox(ComboBox->itemText(i));
    PlaceControls();
}

void TChatForm::WidenComboBox(const QString& text) {
    const int needed = ComboBox->fontMetrics().horizontalAdvance(text) + comboBaseWidth_;
    if (ComboBox->width() < needed)
        ComboBox->resize(needed, ComboBox->height());
}

void TChatForm::PlaceControls() {
    Edit->move(ComboBox->x() + ComboBox->width() + BtnClear->x(), Edit->y());
    BtnSenden->move(Edit->x(), BtnSenden->y());
    const int frame = width() - client_->width();
    const int wanted = BtnSenden->x() + BtnSenden->width() + BtnClear->x() + frame;
    if (wanted > minimumWidth_) {
        minimumWidth_ = wanted;
        setMinimumWidth(wanted);
    }
    SizeControls();
}

void TChatForm::SizeControls() {
    Edit->resize(std::max(0, client_->width() - Edit->x() - BtnClear->x()), Edit->height());
    Memo->resize(client_->width(), std::max(0, client_->height() - Memo->y()));
    // Before the first display the saved placement has not been read yet and
    // must not be overwritten with the design size.
    if (!firstPaint_ && showing_)
        SavePlacement(this, kPlacementSection);
}

bool TChatForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        SizeControls();
    return QMdiSubWindow::eventFilter(watched, event);
}

void TChatForm::ChatChange() {
    BtnSenden->setEnabled(!ComboBox->currentText().isEmpty() && !Edit->text().isEmpty());
}

void TChatForm::AddAddress(const QString& dotted) {
    if (ComboBox->findText(dotted, Qt::MatchExactly) >= 0)
        return;
    // The list starts with no addressee chosen; a new entry does not choose one.
    const int selected = ComboBox->currentIndex();
    ComboBox->addItem(dotted);
    ComboBox->setCurrentIndex(selected);
    if (!firstPaint_) {
        WidenComboBox(dotted);
        PlaceControls();
    }
}

void TChatForm::RemoveAddress(const QString& dotted) {
    const int at = ComboBox->findText(dotted, Qt::MatchExactly);
    if (at >= 0)
        ComboBox->removeItem(at);
    ChatChange();
}

void TChatForm::SelectAddress(const QString& dotted) {
    AddAddress(dotted);
    ComboBox->setCurrentIndex(ComboBox->findText(dotted, Qt::MatchExactly));
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
    raise();
    Edit->setFocus();
}

void TChatForm::AppendLine(const QString& line) {
    Memo->appendPlainText(line);
    Memo->verticalScrollBar()->setValue(Memo->verticalScrollBar()->maximum());
}

void TChatForm::BtnSendenClick() {
    if (ComboBox->currentText().isEmpty() || Edit->text().isEmpty())
        return;
    const tAddress to = ParseDotted(ComboBox->currentText()).value_or(kBroadcastAddress);
    if (host_ != nullptr) {
        const tIpList* own = host_->OwnAddressList();
        const tAddress sender = own != nullptr ? PreferredOwnAddress(*own, to) : 0;
        host_->SendDatagram(
            tDatagram::TextMessage(sender, Utf8ToCp1252(Edit->text().toStdString())), to);
    }
    AppendLine(Tr("An ", "To ") + ComboBox->currentText() + QStringLiteral(": ") + Edit->text());
}

void TChatForm::BtnClearClick() {
    Memo->clear();
}

void TChatForm::ReceiveMessage(tAddress ip, tAddress key, const QString& text) {
    if (historyOk_) {
        for (auto it = history_.rbegin(); it != history_.rend(); ++it) {
            if (it->Key != key)
                continue;
            if (it->Ip != ip && it->Text == text)
                return;
            break;
        }
    }
    const QString dotted = Dotted(ip);
    if (ComboBox->findText(dotted, Qt::MatchExactly) < 0) {
        const int selected = ComboBox->currentIndex();
        ComboBox->addItem(dotted);
        ComboBox->setCurrentIndex(selected);
    }
    AppendLine(Tr("Von", "From") + QLatin1Char(' ') + dotted + QStringLiteral(": ") +
               OneLine(text));
    raise();
    if (!historyOk_)
        return;
    try {
        history_.push_back({ip, key, text});
    } catch (const std::bad_alloc&) {
        historyOk_ = false;
        history_.clear();
        return;
    }
    // At most one entry per origin: the newest.
    for (auto it = history_.rbegin() + 1; it != history_.rend(); ++it) {
        if (it->Key == key) {
            history_.erase(std::next(it).base());
            break;
        }
    }
}

void TChatForm::ShowText(const QString& fromDotted, const QString& text) {
    const tAddress ip = ParseDotted(fromDotted).value_or(0);
    ReceiveMessage(ip, ip, text);
}

void TChatForm::closeEvent(QCloseEvent* event) {
    showing_ = false;
    if (host_ != nullptr)
        host_->ShowDemo(true);
    SavePlacement(this, kPlacementSection);
    QMdiSubWindow::closeEvent(event);
}
