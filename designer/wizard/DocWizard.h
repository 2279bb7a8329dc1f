#pragma once
// The new-template wizard (page one: the template file and its folder; page two: the
// first page, on the page properties panel) and the template properties dialog with
// the template's icon.

#include "BitmapPlus.h"
#include "PagePanel.h"
#include "UIWizard.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <string>

class IDoxCore;
class IDoxDocument;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The first free "新建模板<i>.dxt" in the folder (ending without a separator): from i = 1,
// jumping a run of 16 when both i (at 15 mod 16) and i + 16 exist; after 4095 tries
// the name with 1.
std::wstring ProposeTemplateName(const std::wstring& folder);

class CDocPanel : public UIWizardPage
{
public:
    explicit CDocPanel(QWidget* parent = nullptr);

    bool OnKillActive() override;
    const std::wstring& TemplatePath() const { return path_; }
    void Browse();

    QLineEdit* FolderEdit() const { return folder_; }
    QLineEdit* FileEdit() const { return file_; }

private:
    void SetPath(const std::wstring& path);

    QLineEdit* folder_;
    QLineEdit* file_;
    QCheckBox* library_;
    QListWidget* list_;
    std::wstring path_;
};

class CDocWizard : public UIWizardSheet
{
public:
    explicit CDocWizard(QWidget* parent = nullptr);

    CDocPanel* DocPanel() const { return docPanel_; }
    CPagePanel* PagePanel() const { return pagePanel_; }
    // The wizard's result.
    const std::wstring& TemplatePath() const { return docPanel_->TemplatePath(); }
    const PageValues& Page() const { return pagePanel_->Values(); }

    void Next();
    void Previous();
    QPushButton* NextButton() const { return next_; }
    QPushButton* PreviousButton() const { return previous_; }

protected:
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateButtons();

    CDocPanel* docPanel_;
    CPagePanel* pagePanel_;
    QPushButton* next_;
    QPushButton* previous_;
    QLabel* picture_;
    QImage pictures_[2];
};

// A 96 x 96 picture on the window colour.
class CStaticIcon : public QWidget
{
public:
    explicit CStaticIcon(QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

class CFilePropertyDlg : public QDialog
{
public:
    CFilePropertyDlg(const std::wstring& path, IDoxDocument* document, IDoxCore* core, QWidget* parent = nullptr);

    void SetIcon();
    void accept() override;
    CStaticIcon* Icon() const { return icon_; }
    bool IconChanged() const { return iconChanged_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::wstring path_;
    IDoxDocument* document_;
    IDoxCore* core_;
    CStaticIcon* icon_;
    BitmapPlus bitmap_;
    bool iconChanged_ = false;
};

