#pragma once
// The property grid: one owner-drawn list row per attribute of what is selected in the
// design window, the row's class chosen by the attribute's kind. Every edit goes back
// through the attribute's own text parser; a refused text shows the attribute's error
// and the row reads the old value again.

#include "IDoxAttrib.h"
#include "MyImageList.h"
#include "MyList.h"
#include "MyWidComboBox.h"
#include "MyWidgets.h"

#include <QWidget>

#include <array>

class CPropertyView;

// What every row has: the attribute, the empty label 0 and the caption label 1.
class CPropertyItem : public MyWidContainer, public IMyWidEventSink
{
public:
    explicit CPropertyItem(IDoxAttrib* attrib);

    SIZE GetDimension() const override;
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id) override;
    using MyWidContainer::OnErase_bkgnd;
    void OnPrepareDC(CDC& dc, unsigned id) override;
    void OnRestoreDC(CDC& dc, unsigned id) override;

    IDoxAttrib* Attrib() const { return attrib_; }
    bool IsReadOnly() const { return (attrib_->GetType() & DOX_ATTRIB_READONLY) != 0; }
    // The text the value widget shows (what the bold test compares).
    virtual std::wstring ValueText() const = 0;
    // The value is drawn bold: it differs, ignoring case, from the default text.
    bool IsValueBold() const;
    // A value the control cannot do without (the value a check box's tick stands for)
    // that is still empty: its caption shows red, the value bold on a pale red ground,
    // so the author sees why a tick would be neither kept nor printed.
    void SetValueNeeded(bool needed) { valueNeeded_ = needed; }
    bool IsValueMissing() const { return valueNeeded_ && ValueText().empty(); }
    const MyWidLable& Caption() const { return caption_; }

protected:
    // Lays out the value widgets of the row's class (the labels 0 and 1 are placed).
    virtual void InitValueWidgets() = 0;
    // Hands a typed text to the attribute: a refusal shows the attribute's error text
    // and reads the old value back.
    void Store(const std::wstring& text);
    bool IsValueWidget(unsigned id) const { return id >= 2; }
    int LineHeight() const;

    IDoxAttrib* attrib_;
    MyWidLable spacer_;
    MyWidLable caption_;

private:
    CFont savedFont_;
    COLORREF savedColor_ = 0;
    bool valueNeeded_ = false;
};

class CPropertyEditItem : public CPropertyItem
{
public:
    using CPropertyItem::CPropertyItem;
    void OnUpdate() override;
    void OnWid_Changed(unsigned int id) override;
    std::wstring ValueText() const override { return value_.GetText(); }
    MyWidLable& Value() { return value_; }

protected:
    void InitValueWidgets() override;

private:
    MyWidLable value_;
};

class CPropertyCombBoxItem : public CPropertyItem
{
public:
    using CPropertyItem::CPropertyItem;
    void OnUpdate() override;
    void OnWid_Changed(unsigned int id) override;
    std::wstring ValueText() const override { return combo_.GetText(); }
    MyWidComboBox& Combo() { return combo_; }

protected:
    void InitValueWidgets() override;

private:
    MyWidComboBox combo_;
};

// Several choices, or a collection: a read-only value and a "..." button that opens
// the value dialog.
class CPropertyMultiItem : public CPropertyItem
{
public:
    using CPropertyItem::CPropertyItem;
    void OnUpdate() override;
    void OnWid_Click(unsigned int id) override;
    std::wstring ValueText() const override { return value_.GetText(); }

protected:
    void InitValueWidgets() override;
    virtual void RunDialog();

    MyWidLable value_;
    MyWidButton more_;
};

class CPropertyCollocetItem : public CPropertyMultiItem
{
public:
    using CPropertyMultiItem::CPropertyMultiItem;
    void OnUpdate() override;

protected:
    void RunDialog() override;
};

class CPropertyCSValueItem : public CPropertyItem
{
public:
    static constexpr int kLines = 16;

    using CPropertyItem::CPropertyItem;
    SIZE GetDimension() const override;
    void OnUpdate() override;
    void OnWid_Changed(unsigned int id) override;
    void OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id) override;
    using CPropertyItem::OnErase_bkgnd;
    std::wstring ValueText() const override;
    MyWidComboBox& Combo(int line) { return combos_[line]; }

protected:
    void InitValueWidgets() override;

private:
    std::array<MyWidLable, kLines> numbers_;
    std::array<MyWidComboBox, kLines> combos_;
};

class CPropertyGroupItem : public MyWidContainer, public IMyWidEventSink
{
public:
    CPropertyGroupItem(CPropertyView* view, const wchar_t* caption);

    SIZE GetDimension() const override;
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id) override;
    using MyWidContainer::OnErase_bkgnd;
    void OnPrepareDC(CDC& dc, unsigned id) override;
    void OnRestoreDC(CDC& dc, unsigned id) override;
    void OnWid_Click(unsigned int id) override;
    void OnWid_DbClick(unsigned int id) override;

    bool IsExpanded() const { return expanded_; }
    void Toggle();

private:
    CPropertyView* view_;
    MyWidIcon mark_;
    MyWidButton caption_;
    bool expanded_ = true;
    CFont savedFont_;
};

class CPropertyView : public MyList
{
public:
    explicit CPropertyView(QWidget* parent = nullptr);

    // Rebuilds every row from the set (null: no rows), keeping the selection index.
    void FillProperties(IDoxAttribSet* set);
    // Re-reads every row and repaints.
    void RefreshItems();
    IDoxAttribSet* Shown() const { return shown_; }
    // Forgets the set and deletes the rows (the document closed).
    void Clear();
    CImageList* Marks() { return &marks_; }

    void PreCreateWindow(unsigned& style) override;
    void UpdateWidContainer(MyWidContainer* row) override;
    COLORREF GetSpColor() override;
    const CFont* GetFontHandle() override;

private:
    void AddAttrib(IDoxAttrib* attrib, unsigned id, unsigned parentId);

    CImageList marks_;
    IDoxAttribSet* shown_ = nullptr;
};

// The dockable property pane's client: the set's name in a white strip over the grid.
class CPropertyPane : public QWidget
{
public:
    explicit CPropertyPane(QWidget* parent = nullptr);

    CPropertyView* View() { return view_; }
    void FillProperties(IDoxAttribSet* set);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CPropertyView* view_;
};
