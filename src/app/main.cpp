// Program start: language and settings file, the windows in their order, the message loop.
#include <QApplication>

#include "core/colors.h"
#include "info/author_form.h"
#include "info/idea_form.h"
#include "info/link_form.h"
#include "info/strategy_form.h"
#include "info/version_check.h"
#include "net/port_form.h"
#include "platform/language.h"
#include "settings/colors_form.h"
#include "table/main_form.h"
#include "table/optimum_form.h"
#include "table/player_form.h"
#include "table/score_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SelectLanguage(argc > 0 ? argv[0] : "vessrin");
    // Without the catalogue Qt's own dialogs merely stay English.
    LoadToolkitTranslations();
    tColorSet& colors = SharedColors();
    SetDefaultLineColors(colors);
    SetWindowsFrameColors(colors);
    app.setWindowIcon(QIcon(":/icons/vessrin.svg"));

    TMainForm mainForm;
    TPlayerForm playerForm(&mainForm);
    TScoreForm scoreForm(&mainForm);
    TColorsForm colorsForm(&mainForm);
    TAuthorForm authorForm(&mainForm);
    TIdeaForm ideaForm(&mainForm);
    TOptimumForm optimumForm(&mainForm);
    TStrategyForm strategyForm(&mainForm);
    TPortForm portForm(&mainForm);
    TLinkForm linkForm(&mainForm);
    mainForm.SetDialogs(&playerForm, &scoreForm);
    mainForm.SetPortForm(&portForm);
    mainForm.SetInfoDialogs(&colorsForm, &authorForm, &ideaForm, &optimumForm, &strategyForm,
                            &linkForm);
    QObject::connect(&authorForm, &TAuthorForm::internetValClicked, &authorForm,
                     [&authorForm] { InternetValClick(&authorForm); });
    // The first start asks for the shortcuts before the game begins.
    linkForm.ShowAtFirstStart();
    mainForm.show();
    return app.exec();
}
