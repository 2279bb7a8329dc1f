#pragma once
// The search field: an icon at the left that drops the list of search classes (each a
// title and an id), the search text (or, while empty, the class title in grey) and a
// close mark that clears the text. Typing happens in an inline edit shown over the
// text while the user edits; every change is reported at once (live search) through
// OnSearch, which by default sends the parent a MyCommandEvent with EN_CHANGE.

#include "BrindleExport.h"
#include "GdiObjects.h"
#include "MyChoiceWindow.h"
#include "MyImageList.h"

#include <QEvent>
#include <QLineEdit>
#include <QWidget>
#include <string>

class MySearchCtrl;

// Edit notification codes of the command event.
constexpr unsigned EN_CHANGE = 0x300;

// A child's notification to its parent (WM_COMMAND): the child's control id in the low
// word of wParam, the code in the high word, the child itself as the sender. Sent, not
// posted: the parent handles it before the child goes on.
class BRINDLE_API MyCommandEvent : public QEvent
{
public:
    MyCommandEvent(unsigned id, unsigned code, QWidget* sender);
    static QEvent::Type EventType();
    unsigned id() const { return id_; }
    unsigned code() const { return code_; }
    QWidget* sender() const { return sender_; }

private:
    unsigned id_;
    unsigned code_;
    QWidget* sender_;
};

class BRINDLE_API MySearchEdit : public QLineEdit
{
public:
    explicit MySearchEdit(MySearchCtrl* owner);

private:
    MySearchCtrl* owner_;
};

class BRINDLE_API MySearchCtrl : public QWidget
{
public:
    explicit MySearchCtrl(QWidget* parent = nullptr);
    ~MySearchCtrl() override;

    int Create(unsigned style, const RECT& r, QWidget* parent, unsigned id);
    // The icon: width + 4 px wide; pixels of `mask` are transparent.
    void SetSearchIcon(const CBitmap& bitmap, COLORREF mask);
    int AddSearchClass(const wchar_t* title, unsigned long id);
    void ClearSearchClass();
    int GetSearchClassCount() const { return classes_.GetCount(); }
    // Takes a class (the first for an index out of range; the placeholder "搜索"
    // with id 0 while there are none).
    void SelectSearchClass(int index, int notify);
    void SetSearchStr(const wchar_t* text, int notify);
    const std::wstring& GetSearchStr() const { return text_; }
    unsigned long GetSearchID() const { return searchId_; }
    int GetSearchClassIndex() const { return classIndex_; }
    const std::wstring& GetClassTitle() const { return title_; }
    void SetSearchFont(const CFont* font);
    MySearchEdit* InlineEdit() const { return edit_; }
    MyChoiceWindow& ClassList() { return classes_; }

    virtual void OnSearch();
    virtual const CFont* OnGetFont();
    // An EN_CHANGE of the inline edit: a changed text is stored, shown and searched.
    void OnEditChanged();

    RECT IconRect() const;
    RECT TextRect() const;
    RECT CloseRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void EditInline(QKeyEvent* first);
    void DropClasses();
    RECT Client() const;

    CFont font_;
    bool hasFont_ = false;
    MySearchEdit* edit_ = nullptr;
    MyChoiceWindow classes_;
    int iconWidth_ = 30;
    int closeWidth_ = 20;
    std::wstring text_;
    int classIndex_ = 0;
    unsigned long searchId_ = 0;
    std::wstring title_;
    CImageList icon_;
    unsigned id_ = 0;
};
