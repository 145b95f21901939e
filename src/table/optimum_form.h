// TOptimumForm: the window that shows one of the sixteen optimal boards at a time.
#pragma once

#include <array>

#include "core/tiles.h"
#include "frame/dialog_behaviour.h"

class QLabel;
class QPushButton;
class QShowEvent;
class QSpinBox;
class tHexagon;

class TOptimumForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TOptimumForm(QWidget* parent = nullptr);

    // The solution shown, 1..16.
    int Solution() const { return FSolution; }
    tHexagon* Cell(int cellCode) const; // nullptr for no cell code
    QSpinBox* SpinEdit() const { return FSpinEdit; }

    // Shows solution s (clamped to 1..16) on the cells.
    void SpinEditChange(int solution);

    void done(int result) override;

protected:
    // Each showing takes the current colour set.
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void ApplyColors();

    std::array<tHexagon*, kCellCount> FCells{}; // in the order of kCellCodes
    QSpinBox* FSpinEdit = nullptr;
    QLabel* FPunkte = nullptr;
    QPushButton* FBtnOk = nullptr;
    int FSolution = 1;
};
