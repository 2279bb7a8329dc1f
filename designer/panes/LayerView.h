#pragma once
// The layer pane: one row per layer of the page in the active design tab. Showing,
// hiding, locking, making current, adding, renaming and deleting go straight to the
// design window; the rows only mirror it.

#include "IDoxDesignWindow.h"
#include "MyImageList.h"
#include "MyList.h"
#include "MyWidgets.h"

#include <QWidget>

// Commands of the layer pane.
constexpr unsigned ID_LAYER_NEW = 32820;
constexpr unsigned ID_LAYER_DELETE = 32772;
constexpr unsigned ID_LAYER_RENAME = 32771;

class CLayerView;

class CLayerItem : public MyWidContainer, public IMyWidEventSink
{
public:
    CLayerItem(IDoxDesignWindow* window, CImageList* images, int index);

    SIZE GetDimension() const override;
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& row) override;
    void OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id) override;
    void OnPrepareDC(CDC& dc, unsigned id) override;
    void OnRestoreDC(CDC& dc, unsigned id) override;
    int OnSelect(int select, int hint) override;
    void OnWid_Click(unsigned int id) override;
    void OnWid_Changed(unsigned int id) override;

    // Reads state, lock and name from the design window (the current layer's row
    // becomes the selection).
    void Read(IDoxDesignWindow* window);
    int Index() const { return index_; }
    int StateImage() const { return state_.GetImageIndex(); }
    int LockImage() const { return lock_.GetImageIndex(); }
    const wchar_t* Name() const { return name_.GetText(); }
    int EditName() { return name_.EditText(); }

private:
    IDoxDesignWindow* window_;
    CImageList* images_;
    int index_;
    MyWidIcon state_;
    MyWidIcon lock_;
    MyWidLable spacer_;
    MyWidButton name_;
    COLORREF savedColor_ = 0;
};

class CLayerView : public MyList
{
public:
    explicit CLayerView(QWidget* parent = nullptr);

    void SetDesignWindow(IDoxDesignWindow* window) { window_ = window; }
    IDoxDesignWindow* DesignWindow() const { return window_; }
    // Mirrors the layers of the design window again (no window: no rows).
    void RefillLayers();
    CLayerItem* Row(int index) const { return static_cast<CLayerItem*>(GetItem(index)); }

    // The pane's commands; false for a command the view does not know.
    bool OnCommand(unsigned id);
    bool IsCommandEnabled(unsigned id);

    void PreCreateWindow(unsigned& style) override;
    COLORREF GetSpColor() override;
    const CFont* GetFontHandle() override;
    void OnMyList_RButtonUp(POINT pt) override;

private:
    void NewLayer();
    void DeleteLayer();
    void RenameLayer();

    IDoxDesignWindow* window_ = nullptr;
    CImageList images_;
};

// The dockable pane "控件层视图": its caption over the view.
class CLayerPane : public QWidget
{
public:
    explicit CLayerPane(QWidget* parent = nullptr);
    CLayerView* View() { return view_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int CaptionHeight() const;

    CLayerView* view_;
};
