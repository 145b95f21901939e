// Program start: language and settings file, the windows in their order, the message loop.
#include <QApplication>

#include "core/colors.h"
#include "platform/language.h"
#include "table/main_form.h"
#include "table/player_form.h"
#include "table/score_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SelectLanguage(argc > 0 ? argv[0] : "vessrin");
    tColorSet& colors = SharedColors();
    SetDefaultLineColors(colors);
    SetWindowsFrameColors(colors);
    app.setWindowIcon(QIcon(":/icons/vessrin.svg"));

    TMainForm mainForm;
    TPlayerForm playerForm(&mainForm);
    TScoreForm scoreForm(&mainForm);
    mainForm.SetDialogs(&playerForm, &scoreForm);
    mainForm.show();
    return app.exec();
}
