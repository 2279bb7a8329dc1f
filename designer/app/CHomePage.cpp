#include "CHomePage.h"

#include "CDesignDoc.h"
#include "CDoxDesigner.h"
#include "CMainFrame.h"
#include "DesignerPictures.h"
#include "RecentNames.h"
#include "RowDrawing.h"
#include "SystemColors.h"

#include <QPainter>
#include <QPushButton>

namespace
{

constexpr unsigned kHomeDialog = 339;
constexpr int kCaptionWidth = 550;

} // namespace

CRecentFileItem::CRecentFileItem(CHomePage* home, int index, int number, const std::wstring& name,
                                 const std::wstring& path)
    : home_(home), index_(index), button_(this)
{
    const std::wstring text = std::to_wstring(number) + L"." + name;
    button_.SetText(text.c_str());
    button_.SetTipText(path.c_str());
}

void CRecentFileItem::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    margin_.Initialize(this, rowdraw::Rect(0, 0, 5, 0), 0);
    margin_.SetCanFocus(0);
    margin_.Enable(0);
    button_.Initialize(this, rowdraw::Rect(5, 0, 0, 0), 1);
    button_.SetNone(1);
    button_.SetTextColor(0x00993300);
}

void CRecentFileItem::OnErase_bkgnd(CDC& dc, const RECT& row)
{
    const COLORREF colour = IsSelected() ? 0x00DDFAFF   // RGB(255, 250, 221)
                            : IsHover() ? 0x00FAF8ED    // RGB(237, 248, 250)
                                        : 0x00FFFFFF;
    dc.FillSolidRect(row, colour);
}

void CRecentFileItem::OnWid_Click(unsigned int)
{
    // A failed open rebuilds the list under this row: it goes once the click is done.
    Hold hold(this);
    home_->OpenRecent(index_);
}

CRecentFileListView::CRecentFileListView(QWidget* parent) : MyList(parent)
{
    SetSpColor(0x00EDEFF1); // RGB(241, 239, 237)
}

void CRecentFileListView::DoFillBkgrand(CDC& dc)
{
    RECT area;
    GetClientRect(&area);
    dc.FillSolidRect(area, 0x00FFFFFF);
}

void CRecentFileListView::paintEvent(QPaintEvent* event)
{
    MyList::paintEvent(event);
    // The one-pixel border in the theme's face colour.
    QPainter p(this);
    p.setPen(plat::ToQColor(GetSysColor(COLOR_BTNSHADOW)));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

CHomePage::CHomePage(CDesignDoc* document, QWidget* parent) : UIDialogChildWnd(kHomeDialog, parent), document_(document)
{
}

int CHomePage::OnCreate()
{
    header_ = DesignerPictures::HomeHeader();
    pattern_ = DesignerPictures::HomePattern();
    list_ = new CRecentFileListView(this);
    RECT area = rowdraw::Rect(0, 0, kCaptionWidth, 200);
    if (list_->Create(0x50000004u, area, this, 101) == 0) return -1;
    list_->SetBorder(1);
    return UIDialogChildWnd::OnCreate();
}

bool CHomePage::OnInitDialog()
{
    const std::pair<unsigned, bool> buttons[] = {{ID_FILE_NEW, false}, {ID_FILE_OPEN, true}};
    int left = 40;
    for (const auto& [id, open] : buttons) {
        auto* button = new QPushButton(this);
        const QPixmap picture = DesignerPictures::HomeButton(open);
        button->setObjectName(QString::number(id));
        button->setIcon(QIcon(picture));
        button->setIconSize(picture.size());
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(open ? QStringLiteral("打开模板") : QStringLiteral("新建模板"));
        button->setGeometry(left, header_.height() + 30, picture.width() + 4, picture.height() + 4);
        const unsigned command = id;
        connect(button, &QPushButton::clicked, this, [command] {
            if (CDoxDesigner::App() && CDoxDesigner::App()->MainFrame())
                CDoxDesigner::App()->MainFrame()->Router().Execute(command);
        });
        (open ? openButton_ : newButton_) = button;
        left += picture.width() + 30;
    }
    // The marker under the buttons: the caption of the recent list lies below it.
    marker_ = new QWidget(this);
    marker_->setObjectName(QStringLiteral("1000"));
    marker_->setGeometry(40, newButton_->geometry().bottom() + 20, 10, 1);
    marker_->hide();
    caption_ = QRect(marker_->x(), marker_->geometry().bottom() + 1 + 10, kCaptionWidth, 22);
    PlaceList();
    return true;
}

void CHomePage::PlaceList()
{
    if (!list_ || caption_.isNull()) return;
    const int top = caption_.bottom() + 1;
    list_->setGeometry(caption_.left(), top, caption_.width(), std::max(0, height() - 20 - top));
}

void CHomePage::resizeEvent(QResizeEvent*) { PlaceList(); }

void CHomePage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The header at its own size, the pattern over the rest of its width, white below.
    p.drawPixmap(0, 0, header_);
    for (int x = header_.width(); x < width(); x += pattern_.width()) p.drawPixmap(x, 0, pattern_);
    p.fillRect(QRect(0, header_.height(), width(), height() - header_.height()), Qt::white);
    if (caption_.isNull()) return;
    p.fillRect(caption_, plat::ToQColor(GetSysColor(COLOR_INACTIVECAPTION)));
    p.setPen(plat::ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
    p.drawLine(caption_.topLeft(), caption_.topRight());
    p.drawLine(caption_.topLeft(), caption_.bottomLeft());
    p.setPen(plat::ToQColor(GetSysColor(COLOR_BTNSHADOW)));
    p.drawLine(caption_.bottomLeft(), caption_.bottomRight());
    p.drawLine(caption_.topRight(), caption_.bottomRight());
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(plat::ToQColor(GetSysColor(COLOR_CAPTIONTEXT)));
    p.drawText(caption_.adjusted(12, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("最近使用的文档"));
}

void CHomePage::RefillRecentList()
{
    list_->DeleteAllItems();
    CDoxDesigner* app = CDoxDesigner::App();
    if (app) {
        const std::vector<std::wstring> names = designer::RecentDisplayNames(app->RecentFiles());
        int number = 0;
        for (int i = 0; i < static_cast<int>(names.size()); ++i) {
            const std::wstring& name = names[static_cast<size_t>(i)];
            if (name.empty()) continue;
            list_->AddItem(new CRecentFileItem(this, i, ++number, name, app->GetRecentFile(i)), 0);
        }
    }
    list_->Layout();
    list_->update();
}

void CHomePage::OpenRecent(int index)
{
    CDoxDesigner* app = CDoxDesigner::App();
    if (!app) return;
    if (!app->OpenRecentFileByID(ID_FILE_MRU_FILE1 + static_cast<unsigned>(index))) RefillRecentList();
}

bool CHomePage::OnCmdMsg(unsigned, CmdUI*) { return false; }

void CHomePage::UpdateButtons(CommandRouter& router)
{
    if (newButton_) newButton_->setEnabled(router.State(ID_FILE_NEW).enabled);
    if (openButton_) openButton_->setEnabled(router.State(ID_FILE_OPEN).enabled);
}
