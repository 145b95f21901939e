// TStrategyForm: a short strategy lesson with two example lines of real tiles.
#pragma once

#include <array>

#include "frame/dialog_behaviour.h"

class QLabel;
class QPushButton;
class tHexagon;

class TStrategyForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TStrategyForm(QWidget* parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    // Each showing takes the colour set in use, so the examples follow changes.
    void FormShow();
    void ApplyBackground();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    std::array<tHexagon*, 6> Hexagons{};
    QPushButton* Button = nullptr;
};
