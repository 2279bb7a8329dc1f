#pragma once
// The two dialogs for values that do not fit in one grid row: the collection dialog (a
// list of elements, each shown in a property grid of its own) and the several-choices
// dialog (option texts joined by commas). Controls carry their ids as object names.

#include "IDoxAttrib.h"
#include "PropertySink.h"

#include <QDialog>

class CPropertyView;
class QComboBox;
class QListWidget;
class QPushButton;
class QToolButton;

class CPropertyColloctDlg : public QDialog, public designer::PropertySink
{
public:
    explicit CPropertyColloctDlg(IDoxAttrib* attrib, QWidget* parent = nullptr);
    ~CPropertyColloctDlg() override;

    void RefreshProperties() override;
    void done(int result) override;

    QListWidget* List() const { return list_; }
    CPropertyView* Grid() const { return grid_; }
    void Add();
    void Delete();
    bool IsRegistered() const { return node_.head != nullptr; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FillSelected();
    void Layout();

    IDoxAttrib* attrib_;
    QListWidget* list_;
    QToolButton* add_;
    QToolButton* delete_;
    QPushButton* close_;
    CPropertyView* grid_;
    int listWidth_ = 150;
    designer::PropertySinkNode node_;
};

class CPropertyMultiDlg : public QDialog
{
public:
    explicit CPropertyMultiDlg(IDoxAttrib* attrib, QWidget* parent = nullptr);

    void accept() override;
    QComboBox* Options() const { return options_; }
    QListWidget* Chosen() const { return chosen_; }
    void Add();
    void Delete();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    IDoxAttrib* attrib_;
    QComboBox* options_;
    QListWidget* chosen_;
};
