// Language selection from the POSIX locale, bilingual texts and the shared message box.
#include "platform/language.h"

#include "platform/settings_file.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTranslator>

#include <atomic>
#include <cstdlib>

namespace {

struct tLocaleEntry {
    const char* Language;  // ISO 639 code, lower case
    const char* Territory; // ISO 3166 code, upper case; "" = the language's default
    std::uint32_t Id;
};

// The first entry of a language is its default.
constexpr tLocaleEntry kLocales[] = {
    {"de", "DE", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07}, {"de", "LU", 0x1007},
    {"de", "LI", 0x1407}, {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09},
    {"en", "CA", 0x1009}, {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09},
    {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C}, {"it", "IT", 0x0410}, {"it", "CH", 0x0810}, {"es", "ES", 0x0C0A},
    {"es", "MX", 0x080A}, {"nl", "NL", 0x0413}, {"nl", "BE", 0x0813}, {"pt", "PT", 0x0816},
    {"pt", "BR", 0x0416}, {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D}, {"nb", "NO", 0x0414},
    {"no", "NO", 0x0414}, {"nn", "NO", 0x0814}, {"da", "DK", 0x0406}, {"fi", "FI", 0x040B},
    {"is", "IS", 0x040F}, {"pl", "PL", 0x0415}, {"cs", "CZ", 0x0405}, {"sk", "SK", 0x041B},
    {"sl", "SI", 0x0424}, {"hr", "HR", 0x041A}, {"hu", "HU", 0x040E}, {"ro", "RO", 0x0418},
    {"bg", "BG", 0x0402}, {"ru", "RU", 0x0419}, {"uk", "UA", 0x0422}, {"el", "GR", 0x0408},
    {"tr", "TR", 0x041F}, {"et", "EE", 0x0425}, {"lv", "LV", 0x0426}, {"lt", "LT", 0x0427},
    {"he", "IL", 0x040D}, {"ar", "SA", 0x0401}, {"ja", "JP", 0x0411}, {"ko", "KR", 0x0412},
    {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404},
};

constexpr std::uint32_t kEnglishUs = 0x0409;

std::atomic<std::uint32_t> gLocaleId{kEnglishUs};
std::atomic<bool> gIsGerman{false};
tMessageBoxHook gMessageBoxHook;
// Owned by the application object, so it goes with it.
QPointer<QTranslator> gToolkitTranslator;

std::string Lowered(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Uppered(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The "de_DE" form of a locale id, for the number formats.
QString PosixNameOf(std::uint32_t id) {
    for (const tLocaleEntry& e : kLocales)
        if (e.Id == id)
            return QString::fromLatin1(e.Language) + '_' + QString::fromLatin1(e.Territory);
    for (const tLocaleEntry& e : kLocales)
        if ((e.Id & 0x3FF) == (id & 0x3FF))
            return QString::fromLatin1(e.Language) + '_' + QString::fromLatin1(e.Territory);
    return QStringLiteral("en_US");
}

} // namespace

std::uint32_t LocaleIdFromPosix(const std::string& name) {
    // language[_territory][.codeset][@modifier]
    std::string base = name.substr(0, name.find_first_of(".@"));
    if (base.empty() || base == "C" || base == "POSIX")
        return 0;
    const std::size_t sep = base.find_first_of("_-");
    const std::string language = Lowered(base.substr(0, sep));
    const std::string territory = sep == std::string::npos ? "" : Uppered(base.substr(sep + 1));
    const tLocaleEntry* first = nullptr;
    for (const tLocaleEntry& e : kLocales) {
        if (language != e.Language)
            continue;
        if (territory == e.Territory)
            return e.Id;
        if (first == nullptr)
            first = &e;
    }
    return first != nullptr ? first->Id : kEnglishUs;
}

void SelectLanguage(const std::string& executablePath) {
    InitSettingsLocation(executablePath);
    std::string name;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(var);
        if (value != nullptr && *value != '\0') {
            name = value;
            break;
        }
    }
    SetLanguage(LocaleIdFromPosix(name));
}

void SetLanguage(std::uint32_t localeId) {
    // A locale that reads as 0 counts as US English.
    const std::uint32_t id = localeId == 0 ? 1033 : localeId;
    gLocaleId = id;
    gIsGerman = (id & 0x3FF) == 7;
    QLocale::setDefault(QLocale(PosixNameOf(id)));
}

bool LoadToolkitTranslations() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    delete gToolkitTranslator;
    if (!IsGerman())
        return true;
    // "qt_de" bundles the catalogues of all Qt modules; its qtbase part holds
    // the dialogs and buttons. Every German locale uses the one German
    // catalogue, as the program's own texts do.
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qt_de"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    gToolkitTranslator = translator;
    return true;
}

std::uint32_t LocaleId() {
    return gLocaleId;
}
bool IsGerman() {
    return gIsGerman;
}

QString Tr(const char* german, const char* english) {
    return QString::fromUtf8(IsGerman() ? german : english);
}

void SetMessageBoxHook(tMessageBoxHook hook) {
    gMessageBoxHook = std::move(hook);
}

int ShowMessageBox(const QString& text, const QString& caption, int flags) {
    if (gMessageBoxHook)
        return gMessageBoxHook(text, caption, flags);
    QMessageBox box;
    box.setWindowTitle(caption);
    box.setText(text);
    // The game's dialogs stay on top; a box behind them could not be answered.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setIcon((flags & 0xF0) == kMbIconStop ? QMessageBox::Critical : QMessageBox::NoIcon);
    if ((flags & 0x0F) == kMbYesNo) {
        QPushButton* yes = box.addButton(Tr("Ja", "Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(Tr("Nein", "No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? kIdYes : kIdNo;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return kIdOk;
}

void ReportWriteError(const tWriteError& error, const QString& caption) {
    ShowMessageBox(QString::fromUtf8(error.what()), caption, kMbIconStop);
}
