// Text and display of the suitability message.
#include "info/suitability.h"

#include <QString>

#include "platform/language.h"

QString SuitabilityText() {
    return Tr("Vessrin ist f\xC3\xBCr Spieler ab 10 Jahren geeignet.",
              "Orvanel is suitable for players of at least 10 years age.");
}

int ShowSuitability(const QString& caption) {
    return ShowMessageBox(SuitabilityText(), caption, kMbOk);
}
