// The shortcut window: menu entry and desktop shortcut of the program, made and removed.
#pragma once

#include "frame/dialog_behaviour.h"

#include <QString>
#include <QTreeWidget>

#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// A folder list: the path of the current folder from the root down, then
// its subfolders; activating an entry (double click, Return) makes it the
// current folder.
class tDirectoryListBox : public QTreeWidget {
    Q_OBJECT

public:
    explicit tDirectoryListBox(QWidget* parent = nullptr);

    const QString& Directory() const { return directory_; }
    // False, and nothing changes, when path is no existing folder.
    bool SetDirectory(const QString& path);
    // Reads the subfolders of the current folder again.
    void Update();

protected:
    void showEvent(QShowEvent* event) override;
    // The path reads as a staircase of open folders, not as a tree that
    // could be folded, so no branch marks are drawn.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

private:
    void OpenItem(QTreeWidgetItem* item);

    QString directory_;
    bool listed_ = false; // the items show directory_
};

class TLinkForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TLinkForm(QWidget* parent = nullptr);

    // True until the dialog has been confirmed once ("StartMenu" missing).
    bool FirstStart() const { return firstStart_; }
    // At program start, before the message loop: asks at once when the
    // question was never answered.
    void ShowAtFirstStart();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FitWidth();
    void FormShow();
    void EditOrdnerChange();
    void BtnNeuClick();
    void BtnOkClick();
    bool CreateLinkIn(const std::string& folder);

    QGroupBox* GroupBox;
    QCheckBox* CheckBoxStartmenue;
    tDirectoryListBox* DirectoryListBox;
    QPushButton* BtnNeu;
    QLineEdit* EditOrdner;
    QCheckBox* CheckBoxDesktop;
    QPushButton* BtnOk;

    std::string storedFolder_;
    bool desktopExisted_ = false;
    bool firstStart_ = false;
};
