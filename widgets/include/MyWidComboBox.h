#pragma once
// The combo box widget of a row: a text with a drop list of choices (MyChoiceWindow),
// editable in place when set so. Its selection is always a valid item or -1.

#include "MyChoiceWindow.h"
#include "MyWidgets.h"

class BRINDLE_API MyWidComboBox : public MyWidObject
{
public:
    MyWidComboBox();

    const wchar_t* GetText() const override { return text_.c_str(); }
    const wchar_t* GetTipText() const override { return nullptr; }
    void DoPaint(CDC& dc, RECT& real) override;
    void DoDbClick(RECT& real) override;
    void DoClick_d(RECT& real) override;
    void DoKey_return(RECT& real, int up) override;
    int DoKey_find(const wchar_t* key) override;

    void SetText(const wchar_t* text);
    int AddString(const wchar_t* text, unsigned long value);
    void RemoveAll();
    // Selects a valid item and takes its text; returns the previous index. An index
    // outside the items changes nothing.
    int SetCurSel(int index);
    int GetCurSel() const { return index_; }
    unsigned long GetItemData(int index) const;
    const wchar_t* GetItemString(int index);
    void SetEditable(int editable) { editable_ = editable; }
    void SetColorList(int colorList) { colorList_ = colorList; }
    void SetDropColor(COLORREF color) { dropColor_ = color; }
    void SetEventSink(IMyWidEventSink* sink) { sink_ = sink; }
    void LimitText(int limit) { limit_ = limit; }
    static void CalcEditRect(RECT& r) { r.right -= 16; }
    static void CalcDropButtonRect(RECT& r) { r.left = r.right - 16; }
    int DoEditText(RECT& real);
    int DoComboBox(RECT& real);
    MyChoiceWindow& ChoiceList() { return list_; }

private:
    // Opens the editor (editable, point left of the drop button) or the drop list.
    void EditOrDrop(RECT& real, bool fromKey);

    int index_ = -1;
    COLORREF dropColor_ = 0;
    IMyWidEventSink* sink_ = nullptr;
    int editable_ = 0;
    std::wstring text_;
    MyChoiceWindow list_;
    std::wstring itemBuffer_;
    int limit_ = 0;
    int colorList_ = 0;
};

