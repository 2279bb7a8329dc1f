#include "CMainFrame.h"

#include "CDesignDoc.h"
#include "CDesignPage.h"
#include "CDoxDesigner.h"
#include "CHomePage.h"
#include "DesignerExtensions.h"
#include "DesignerPictures.h"
#include "RecentNames.h"
#include "Ribbon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

constexpr unsigned kZoomLabel = 32843;
constexpr unsigned kZoomSlider = 32844;

} // namespace

CMainFrame::CMainFrame() : router_(this)
{
    setObjectName(QStringLiteral("128"));
    setWindowIcon(DesignerPictures::ProgramIcon());
    setMinimumSize(800, 560);
}

CMainFrame::~CMainFrame()
{
    idle_.stop();
    // The design views hand their windows back to the core before the document goes.
    if (document_) document_->CloseDocument();
    document_.reset();
    delete panes_;
    panes_ = nullptr;
    designPage_ = nullptr;
    homePage_ = nullptr;
    testContent_.reset();
}

bool CMainFrame::LoadFrame(IDoxCore* core)
{
    core_ = core;
    UIApplyVisualManager();
    RemoveClientEdge();
    BuildRibbon();
    BuildStatusBar();
    BuildAccelerators();

    panes_ = new QStackedWidget(this);
    setCentralWidget(panes_);
    document_ = std::make_unique<CDesignDoc>();
    homePage_ = new CHomePage(document_.get());
    designPage_ = new CDesignPage(document_.get());
    testPage_ = new UIChildWnd;
    const QRect client(QPoint(0, 0), panes_->size());
    if (!homePage_->Create(0x40000000u, client, panes_, 0) || !designPage_->Create(0x40000000u, client, panes_, 0) ||
        !testPage_->Create(0x40000000u, client, panes_, 0))
        return false;
    for (QWidget* page : {static_cast<QWidget*>(homePage_), static_cast<QWidget*>(designPage_),
                          static_cast<QWidget*>(testPage_)})
        panes_->addWidget(page);
    if (Extensions().makeTestPage) {
        testContent_ = Extensions().makeTestPage(testPage_);
        if (testContent_ && testContent_->Widget()) {
            auto* fill = new QVBoxLayout(testPage_);
            fill->setContentsMargins(0, 0, 0, 0);
            fill->addWidget(testContent_->Widget());
        }
    }
    document_->Wire(core, this, designPage_, homePage_);

    SetDocumentTitle(L"");
    resize(1200, 800);
    connect(&idle_, &QTimer::timeout, this, [this] { IdleUpdate(); });
    idle_.start(200);
    return true;
}

void CMainFrame::BuildRibbon()
{
    ribbon_ = new Ribbon(router_, this);
    setMenuWidget(ribbon_);
    ribbon_->onBeforeShowMenu = [this] {
        // The application menu first closes the test page.
        if (IsTestPageShown()) router_.Execute(32842);
    };

    ribbon_->AddMenuCommand(57600, QStringLiteral("新建(&N)"));
    ribbon_->AddMenuCommand(57601, QStringLiteral("打开(&O)..."));
    ribbon_->AddMenuCommand(57603, QStringLiteral("保存(&S)"));
    ribbon_->AddMenuCommand(57604, QStringLiteral("另存为(&A)..."));
    ribbon_->ApplicationMenu()->addSeparator();
    ribbon_->AddMenuCommand(57602, QStringLiteral("关闭(&L)"));
    QMenu* recent = ribbon_->ApplicationMenu()->addMenu(QStringLiteral("最近的文件"));
    recent->setObjectName(QStringLiteral("recentFiles"));
    recent->setMinimumWidth(300);
    connect(recent, &QMenu::aboutToShow, this, [recent] {
        recent->clear();
        CDoxDesigner* app = CDoxDesigner::App();
        if (!app) return;
        const std::vector<std::wstring> names = designer::RecentDisplayNames(app->RecentFiles());
        for (int i = 0; i < static_cast<int>(names.size()); ++i) {
            const QString name = QString::fromStdWString(names[static_cast<size_t>(i)]);
            QAction* entry = recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
            const unsigned id = ID_FILE_MRU_FILE1 + static_cast<unsigned>(i);
            QObject::connect(entry, &QAction::triggered, recent, [id] {
                if (CDoxDesigner::App()) CDoxDesigner::App()->OpenRecentFileByID(id);
            });
        }
    });
    ribbon_->ApplicationMenu()->addSeparator();
    ribbon_->AddMenuCommand(ID_APP_EXIT, QStringLiteral("退出(&X)"));
    ribbon_->AddAboutButton(ID_APP_ABOUT);
    for (const auto& [id, text] : {std::pair{57600u, "新建"}, std::pair{57601u, "打开"}, std::pair{57603u, "保存"},
                                   std::pair{57602u, "关闭"}})
        ribbon_->AddQuickAccess(id, QString::fromUtf8(text));

    const int home = ribbon_->AddCategory(QStringLiteral("主页\nH"));
    ribbon_->AddPanel(home, QStringLiteral("文件"),
                      {{57600, "新建\nN", 0, 0}, {57601, "打开\nO", 1, 1}, {57603, "保存\nS", 2, 2}, {0, nullptr, 0, 0},
                       {57602, "关闭\nL", 4, 4}});
    ribbon_->AddPanel(home, QStringLiteral("剪切板"),
                      {{57637, "粘贴\nV", 5, 5}, {57635, "剪切\nX", 6, -1}, {57634, "复制\nC", 7, -1},
                       {57642, "全选\nA", 8, -1}});
    ribbon_->AddPanel(home, QStringLiteral("属性"), {{32846, "模板属性\nR", 9, 6}});

    const int design = ribbon_->AddCategory(QStringLiteral("设计\nD"));
    ribbon_->AddPanel(design, QStringLiteral("页面"),
                      {{32821, "新建页面\nNP", 0, 0}, {32822, "删除页面\nDP", 1, 1}, {32823, "页面属性\nMP", 2, 2},
                       {32824, "背景\nTB", 3, 3}});
    ribbon_->AddPanel(design, QStringLiteral("层"),
                      {{32820, "新建层\nNL", 4, 4}, {32772, "删除层\nDL", 5, -1}, {32771, "重命名\nRL", 6, -1}});
    ribbon_->AddPanel(design, QStringLiteral("控件"),
                      {{32811, "指针\nP", 7, 5}, {0, nullptr, 0, 0}, {32812, "文本框\nCE", 8, 6},
                       {32813, "富文本框\nRE", 9, -1}, {32814, "勾选框\nCC", 10, -1}, {32815, "表格\nCT", 11, 7},
                       {0, nullptr, 0, 0}, {32816, "标签\nCL", 12, 8}, {32817, "富标签\nRL", 13, -1},
                       {32818, "边框\nCF", 14, -1}, {32819, "直线\nCN", 15, -1}});
    ribbon_->AddPanel(design, QStringLiteral("工具"), {{32825, "KQ密码器\nTI", 16, 10}, {32826, "测试\nTT", 17, 9}});

    const int arrange = ribbon_->AddCategory(QStringLiteral("排列\nL"));
    ribbon_->AddPanel(arrange, QStringLiteral("控件对齐方式"),
                      {{32773, "靠左\nL", 0, 0}, {32774, "靠右\nR", 1, 1}, {0, nullptr, 0, 0}, {32775, "靠上\nT", 2, 2},
                       {32776, "靠下\nB", 3, 3}, {0, nullptr, 0, 0}, {32777, "水平中线\nHC", 5, -1},
                       {32778, "垂直中线\nVC", 4, -1}});
    ribbon_->AddPanel(arrange, QStringLiteral("大小"),
                      {{32788, "宽度相同\nSW", 11, 4}, {32789, "高度相同\nSH", 12, 5}, {32790, "大小相同\nSS", 13, -1},
                       {32793, "均匀单元格\nGA", 10, -1}});
    ribbon_->AddPanel(arrange, QStringLiteral("控件布局"),
                      {{32787, "纵向相邻\nVA", 17, 6}, {32785, "横向相邻\nVA", 16, 7}, {0, nullptr, 0, 0},
                       {32779, "垂直居中\nVP", 6, -1}, {32780, "水平居中\nHP", 7, -1}, {0, nullptr, 0, 0},
                       {32783, "纵向间隔\nVS", 9, -1}, {32782, "横向间隔\nHS", 8, -1}, {0, nullptr, 0, 0},
                       {32795, "网格对齐\nGM", 14, -1}, {32797, "Tab顺序\nTO", 15, -1}});

    const int test = ribbon_->AddCategory(QStringLiteral("测试运行\nT"));
    ribbon_->AddPanel(test, QStringLiteral("打印"), {{32841, "打印\nP", 0, 0}});
    ribbon_->AddPanel(test, QStringLiteral("测试页面"),
                      {{32839, "背景\nT", 1, 1}, {0, nullptr, 0, 0}, {32842, "关闭\nC", 2, 2}});

    // At start only the home category shows.
    for (int category : {design, arrange, test}) ribbon_->ShowCategory(category, false);
    ribbon_->SetActiveCategory(home);
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QString::number(0xE801));
    // The first pane shows the prompts itself: a message of the bar would hide the
    // pane and lay the bar out anew, and the zoom text and slider would jump.
    prompt_ = new QLabel(bar);
    prompt_->setObjectName(QStringLiteral("120"));
    prompt_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(prompt_, 1);
    zoomLabel_ = new QLabel(QStringLiteral("100%"), bar);
    zoomLabel_->setObjectName(QString::number(kZoomLabel));
    zoomLabel_->setMinimumWidth(40);
    zoomLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar->addPermanentWidget(zoomLabel_);
    // The slider with its zoom buttons: 0..100 in steps of 25, the middle is 100 %.
    auto* zoom = new QWidget(bar);
    auto* row = new QHBoxLayout(zoom);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    zoomSlider_ = new QSlider(Qt::Horizontal, zoom);
    zoomSlider_->setObjectName(QString::number(kZoomSlider));
    zoomSlider_->setRange(0, 100);
    zoomSlider_->setValue(50);
    zoomSlider_->setPageStep(25);
    zoomSlider_->setSingleStep(25);
    zoomSlider_->setFixedWidth(100);
    zoomSlider_->setFocusPolicy(Qt::NoFocus);
    for (int step : {-25, 25}) {
        auto* button = new QToolButton(zoom);
        button->setText(step < 0 ? QStringLiteral("-") : QStringLiteral("+"));
        button->setAutoRaise(true);
        button->setFixedSize(18, 18);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this,
                [this, step] { zoomSlider_->setValue(zoomSlider_->value() + step); });
        row->addWidget(button);
        if (step < 0) row->addWidget(zoomSlider_);
    }
    bar->addPermanentWidget(zoom);
    auto* last = new QLabel(bar);
    last->setObjectName(QStringLiteral("121"));
    bar->addPermanentWidget(last);
    connect(zoomSlider_, &QSlider::valueChanged, this, [this] { router_.Execute(kZoomSlider); });
    // The slider's update handler keeps it and the label in step with the zoom.
    auto* zoomCommand = new QAction(this);
    router_.Bind(zoomCommand, kZoomSlider);
}

void CMainFrame::BuildAccelerators()
{
    // The keys of the file and clipboard commands, as in every desktop program.
    std::vector<Accelerator> keys = EditAccelerators();
    keys.push_back({ID_FILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)});
    keys.push_back({ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)});
    keys.push_back({ID_FILE_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S)});
    router_.AddAccelerators(this, keys, [this] { IdleUpdate(); });
}

QWidget* CMainFrame::VisiblePane() const
{
    if (!panes_) return nullptr;
    for (int i = 0; i < panes_->count(); ++i)
        if (panes_->widget(i)->objectName() == QString::number(kVisiblePaneId)) return panes_->widget(i);
    return nullptr;
}

bool CMainFrame::IsTestPageShown() const { return testPage_ && VisiblePane() == testPage_; }

void CMainFrame::SetVisiblePane(QWidget* page)
{
    for (int i = 0; i < panes_->count(); ++i) {
        QWidget* pane = panes_->widget(i);
        if (pane != page) {
            pane->setObjectName(QStringLiteral("0"));
            pane->hide();
        }
    }
    page->setObjectName(QString::number(kVisiblePaneId));
    panes_->setCurrentWidget(page);
    page->show();
}

void CMainFrame::ShowHomePage()
{
    if (VisiblePane() == homePage_) return;
    SetVisiblePane(homePage_);
    ribbon_->ShowCategory(kHome, true);
    ribbon_->SetActiveCategory(kHome);
    ribbon_->ShowCategory(kDesign, false);
    ribbon_->ShowCategory(kArrange, false);
    ribbon_->RecalcLayout();
    homePage_->RefillRecentList();
    statusBar()->hide();
    IdleUpdate();
}

void CMainFrame::ShowDesignPage()
{
    if (VisiblePane() == designPage_) return;
    SetVisiblePane(designPage_);
    ribbon_->ShowCategory(kDesign, true);
    ribbon_->ShowCategory(kArrange, true);
    ribbon_->RecalcLayout();
    ribbon_->SetActiveCategory(kDesign);
    ribbon_->RecalcLayout();
    statusBar()->show();
    IdleUpdate();
}

void CMainFrame::ShowTestPage(TestPageRecord& record, bool show)
{
    if (show) {
        if (ribbon_->ActiveCategory() >= 0) record.category = ribbon_->ActiveCategory();
        closeHook_ = record.closeHook;
        SetVisiblePane(testPage_);
        ribbon_->ShowCategory(kTestRun, true);
        ribbon_->SetActiveCategory(kTestRun);
        for (int category : {kHome, kDesign, kArrange}) ribbon_->ShowCategory(category, false);
        statusBar()->hide();
    } else {
        closeHook_ = nullptr;
        SetVisiblePane(designPage_);
        for (int category : {kHome, kDesign, kArrange}) ribbon_->ShowCategory(category, true);
        ribbon_->SetActiveCategory(record.category >= 0 ? record.category : kDesign);
        ribbon_->ShowCategory(kTestRun, false);
        statusBar()->show();
    }
    ribbon_->RecalcLayout();
    IdleUpdate();
}

void CMainFrame::OpenTestPage(IDoxPage* page)
{
    // The test page shows itself (ShowTestPage) once its window holds the page.
    if (testContent_) testContent_->Open(page, core_);
}

void CMainFrame::SetDocumentTitle(const std::wstring& title)
{
    const QString program = QString::fromWCharArray(kDesignerTitle);
    setWindowTitle(title.empty() ? program : QString::fromStdWString(title) + QStringLiteral(" - ") + program);
}

void CMainFrame::IdleUpdate()
{
    router_.UpdateAll();
    if (homePage_ && VisiblePane() == homePage_) homePage_->UpdateButtons(router_);
}

bool CMainFrame::OnCmdMsg(unsigned id, CmdUI* ui)
{
    if (document_ && document_->OnCmdMsg(id, ui)) return true;
    QWidget* pane = VisiblePane();
    if (pane == designPage_ && designPage_->OnCmdMsg(id, ui)) return true;
    if (pane == homePage_ && homePage_->OnCmdMsg(id, ui)) return true;
    if (pane == testPage_ && testContent_ && testContent_->OnCmdMsg(id, ui)) return true;
    switch (id) {
    case ID_APP_ABOUT:
        if (!ui && CDoxDesigner::App()) CDoxDesigner::App()->OnAppAbout();
        return true;
    case ID_APP_EXIT:
        if (!ui) close();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip && prompt_) {
        prompt_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return UIFrameWnd::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // While the test page shows, its hook closes it and the frame stays.
    // The hook may hide the test page, which clears the frame's copy while it runs.
    const std::function<int()> hook = closeHook_;
    if (hook && !hook()) {
        event->ignore();
        return;
    }
    if (document_ && !document_->CloseWithPrompt()) {
        event->ignore();
        return;
    }
    UIFrameWnd::closeEvent(event);
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    if (QWidget* pane = VisiblePane()) {
        pane->setFocus();
        return;
    }
    UIFrameWnd::focusInEvent(event);
}
