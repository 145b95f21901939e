// TIdeaForm: who invented the game and how it was published.
#pragma once

#include <array>

#include "frame/dialog_behaviour.h"

class QLabel;
class QPushButton;

class TIdeaForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TIdeaForm(QWidget* parent = nullptr);

    void done(int result) override;

private:
    void FormCreate();

    std::array<QLabel*, 7> Labels{};
    QPushButton* Button1 = nullptr;
};
