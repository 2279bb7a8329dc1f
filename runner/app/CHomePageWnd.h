#pragma once
// The template library's home page: the side bar on the left, the icon list of the
// chosen category in the middle, the preview of the selected template on the right.
// From here templates are added, deleted, opened and sent to the designer, categories
// made and deleted, and the library backed up and restored with the database.

#include "BitmapPlus.h"
#include "CommandRouter.h"

#include <QWidget>

#include <string>

class CDoxFrame;
class CHomeSidebar;
class CHomeView;

// Commands of the home page.
constexpr unsigned ID_TEMPLATE_DELETE = 32791;
constexpr unsigned ID_TEMPLATE_ADD = 32793;
constexpr unsigned ID_CATEGORY_NEW = 32795;
constexpr unsigned ID_CATEGORY_DELETE = 32797;
constexpr unsigned ID_LIBRARY_REFRESH = 32799;
constexpr unsigned ID_LIBRARY_BACKUP = 32802;
constexpr unsigned ID_LIBRARY_RESTORE = 32803;
constexpr unsigned ID_TEMPLATE_EDIT = 32805;

class CHomePageWnd : public QWidget, public CmdTarget
{
public:
    CHomePageWnd(CDoxFrame* frame, QWidget* parent);
    ~CHomePageWnd() override;

    // Makes the lists, fills the side bar and shows its first category.
    bool Create();

    void ShowCategory(const std::wstring& name, const std::wstring& path);
    void ShowPreview(const std::wstring& path, const std::wstring& title);
    // Refresh, then select the category and the template in it.
    void RefreshLibrary(const std::wstring& title, const std::wstring& category);
    // Lists the templates of the folder (empty: the recent files) and selects the title.
    void RefillTemplates(const std::wstring& path, const std::wstring& title);
    // Fills the side bar again and keeps the selected category when it is still there.
    void Refresh();

    bool OnCmdMsg(unsigned id, CmdUI* ui) override;
    void OnSidebarCommand(int code);
    // Menu 336 (icon list) or 356 (side bar) at a screen point.
    void ShowContextMenu(unsigned menu, const QPoint& global);
    // The enabling rules of the side bar's rows; clears the preview when nothing is selected.
    void IdleUpdate();
    bool OpenTemplate(const std::wstring& path);

    std::wstring LibraryFolder() const;
    CHomeSidebar* Sidebar() const { return sidebar_; }
    CHomeView* View() const { return view_; }
    const std::wstring& CategoryName() const { return categoryName_; }
    const std::wstring& CategoryPath() const { return categoryPath_; }
    const std::wstring& PreviewTitle() const { return previewTitle_; }
    bool HasPreview() const { return !preview_.IsNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The rows' enabled state is right from the first paint.
    void showEvent(QShowEvent* event) override;

private:
    void Layout();
    void NewCategory();
    void DeleteCategory();
    void AddTemplate();
    void DeleteTemplate();
    void EditInDesigner();
    void Backup();
    void Restore();

    CDoxFrame* frame_;
    CHomeSidebar* sidebar_ = nullptr;
    CHomeView* view_ = nullptr;
    std::wstring categoryName_;
    std::wstring categoryPath_;
    BitmapPlus preview_;
    std::wstring previewTitle_;
};
