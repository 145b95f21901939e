// The dialog in which a new player is named, with the list of known names.
#pragma once

#include "frame/dialog_behaviour.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

class TPlayerForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TPlayerForm(QWidget* parent = nullptr);

    // The name as typed, blanks included: the main window decides by it.
    QString Text() const;
    QStringList Names() const;

    void done(int result) override;

private:
    void FormCreate();
    void FitInstructions();
    void SpielerChange();
    void ClearButtonClick();
    void AddName(const QString& name);
    bool ListHolds(const QString& name) const;
    void SaveList();

    QLabel* Anleitung;
    QLabel* Label1;
    QComboBox* Spieler;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* ClearButton;
};
