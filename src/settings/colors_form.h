// TColorsForm: editing the twelve colours with a preview of all 27 tiles.
#pragma once

#include <QColor>
#include <array>
#include <functional>

#include "core/colors.h"
#include "frame/dialog_behaviour.h"

class QButtonGroup;
class QGroupBox;
class QMouseEvent;
class QPushButton;
class tBar;
class tHexagon;

class TColorsForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TColorsForm(QWidget* parent = nullptr);

    // Runs the colour dialog: given the preset colour, returns the chosen one,
    // or an invalid colour when the user cancels. Tests replace the real dialog.
    using tColorDialogRunner = std::function<QColor(const QColor& preset, QWidget* parent)>;
    void SetColorDialogRunner(tColorDialogRunner runner) { FRunColorDialog = std::move(runner); }

    const tColorSet& WorkingColors() const { return FWorking; }
    // The item of the radio group `Farbe`: 0..8 the line colours 1..9, 9
    // background, 10 shadow, 11 light.
    int SelectedEntry() const;
    void SelectEntry(int item);

    // Closing by any way writes the working colours to the settings file.
    void done(int result) override;

signals:
    // Ok copied the working colours into the colour set in use; the main
    // window hands them to its boards.
    void colorsApplied();

public slots:
    void FarbeButtonClick();
    void StandardButtonClick();
    void WindowsButtonClick();
    void OkButtonClick();

protected:
    bool SubDialogOpen() const override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void ApplyWorking();
    void EditEntry(int item);
    void WriteColors();
    void UnLightAll();
    // Item of one of the twelve bars; -1 for the two backdrops.
    int ItemOfBar(const tBar* bar) const;
    void BarMouseDown(tBar* bar, QMouseEvent* event);
    void BarMouseUp(tBar* bar, QMouseEvent* event);
    void BarMouseMove(tBar* bar);
    void BarMouseLeave(tBar* bar);

    bool FDialogOpen = false;
    tColorSet FWorking;
    tColorDialogRunner FRunColorDialog;

    std::array<tHexagon*, 27> Hexagons{};
    // Bar1..Bar9, BarBackground1, BarShadow, BarLight1: in item order.
    std::array<tBar*, 12> Bars{};
    tBar* BarBackground2 = nullptr;
    tBar* BarLight2 = nullptr;
    QGroupBox* Farbe = nullptr;
    QButtonGroup* FarbeItems = nullptr;
    QPushButton* WindowsButton = nullptr;
    QPushButton* StandardButton = nullptr;
    QPushButton* FarbeButton = nullptr;
    QPushButton* OkButton = nullptr;
};
