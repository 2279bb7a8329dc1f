#pragma once
// The dialog that asks for the name of a new template category (dialog 343): an edit
// (id 1000, at most 32 characters) under the header. A name with a character a file
// name cannot hold, or the name of an existing folder, is refused with a balloon on
// the edit and the dialog stays.

#include <QDialog>

#include <string>

class QLineEdit;

class CNewCateDlg : public QDialog
{
public:
    CNewCateDlg(std::wstring base, QWidget* parent = nullptr);

    const std::wstring& Name() const { return name_; }
    // The balloon shown last (title and text), for the tests.
    const QString& BalloonTitle() const { return balloonTitle_; }
    const QString& BalloonText() const { return balloonText_; }

    void accept() override;

private:
    std::wstring base_;
    std::wstring name_;
    QLineEdit* edit_;
    QString balloonTitle_;
    QString balloonText_;
};
