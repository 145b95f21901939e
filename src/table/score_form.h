// The window that shows the five best results.
#pragma once

#include "core/high_score.h"
#include "frame/dialog_behaviour.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

class TScoreForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TScoreForm(QWidget* parent = nullptr);

    void SetScores(const tHighScore& list);

    void done(int result) override;

private:
    void FormCreate();

    QLabel* Name;
    QLabel* Punkte;
    std::array<QLineEdit*, 5> Names{};
    std::array<QLineEdit*, 5> Points{};
    QPushButton* Button;
};
