#pragma once
// The about box of both programs (dialog 100): the program icon, the product name and
// the version of the program (control 1007) on a white band.

#include <QDialog>

class CAboutDlg : public QDialog
{
public:
    // versionControl: the id of the version text (the designer's copy uses 1030).
    explicit CAboutDlg(QWidget* parent = nullptr, int versionControl = 1007);

protected:
    void paintEvent(QPaintEvent* event) override;
};
