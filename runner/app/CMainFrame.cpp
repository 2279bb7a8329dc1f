#include "CMainFrame.h"

#include "CDoxFrame.h"
#include "CDoxKQRunner.h"
#include "CHomePageWnd.h"
#include "RunnerPictures.h"
#include "WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace
{

const wchar_t kProgramTitle[] = L"禾页票据打印器";

struct ToolSpec {
    unsigned id; // 0: a separator
    const char* text;
    const char* tip;
};

// The tool bar's buttons with the two parts of their command strings.
const ToolSpec kTools[] = {
    {ID_FILE_OPEN, "打开", "打开模板"},
    {ID_FILE_CLOSE, "关闭", "关闭活动文档"},
    {0, nullptr, nullptr},
    {32771, "新建", "新建票据"},
    {32777, "保存", "保存票据"},
    {32780, "另存", "另存为新票据"},
    {0, nullptr, nullptr},
    {32773, "页面设置", "页面设置"},
    {32772, "打印", "打印当前票据"},
    {32779, "连打", "连续打印选中的票据"},
    {0, nullptr, nullptr},
    {32774, "联机计算", "联机计算支付密码"},
    {0, nullptr, nullptr},
    {ID_APP_ABOUT, "关于", "关于禾页票据打印器"},
};

} // namespace

CMainFrame::CMainFrame() : router_(this)
{
    setObjectName(QStringLiteral("128"));
    setWindowIcon(runner::ProgramIcon());
    setMinimumSize(600, 400);
}

CMainFrame::~CMainFrame()
{
    idle_.stop();
}

bool CMainFrame::LoadFrame()
{
    {
        plat::WaitCursor wait;
        UIApplyVisualManager();
    }
    BuildMenu();
    BuildToolBar();
    BuildAccelerators();
    RemoveClientEdge();
    docFrame_ = new CDoxFrame(this);
    if (!docFrame_->Create(0x40000000u | 0x10000000u | 0x02000000u, QRect(QPoint(0, 0), size()), this, kVisiblePaneId))
        return false;
    setCentralWidget(docFrame_);
    docFrame_->setFocus();
    SetDocumentTitle(L"");
    resize(1100, 720);
    connect(&idle_, &QTimer::timeout, this, [this] { IdleUpdate(); });
    idle_.start(200);
    IdleUpdate();
    return true;
}

void CMainFrame::BuildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QString::number(0xE806));
    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    // The commands of the tool bar, with the keys of a desktop program's File menu.
    const struct {
        unsigned id;
        const char* text;
        QKeySequence keys;
    } items[] = {
        {ID_FILE_OPEN, "打开模板(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ID_FILE_CLOSE, "关闭(&C)", {}},
        {0, nullptr, {}},
        {32771, "新建票据(&N)", {}},
        {32777, "保存票据(&S)", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {32780, "另存为新票据(&A)", {}},
        {0, nullptr, {}},
        {32773, "页面设置(&U)...", {}},
        {32772, "打印(&P)...", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {32779, "连续打印(&R)...", {}},
        {0, nullptr, {}},
    };
    for (const auto& item : items) {
        if (!item.id) {
            file->addSeparator();
            continue;
        }
        QAction* action = file->addAction(QString::fromUtf8(item.text));
        if (item.id == 32771)
            action->setText(action->text() + QStringLiteral("\tCtrl+N")); // the accelerator table's new command
        else if (!item.keys.isEmpty()) {
            // Shown in the menu and taken there while it is open; elsewhere the key
            // belongs to the accelerator table, which asks the command when pressed.
            action->setShortcut(item.keys);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        router_.Bind(action, item.id);
    }
    router_.Bind(file->addAction(QStringLiteral("退出(&X)")), ID_APP_EXIT);
    QMenu* view = bar->addMenu(QStringLiteral("视图(&V)"));
    QAction* status = view->addAction(QStringLiteral("状态栏(&S)"));
    status->setCheckable(true);
    router_.Bind(status, 59393);
    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    router_.Bind(help->addAction(QStringLiteral("关于 禾页票据打印器(&A)...")), ID_APP_ABOUT);
    for (QMenu* menu : {file, view, help}) connect(menu, &QMenu::aboutToShow, this, [this] { router_.UpdateAll(); });
}

void CMainFrame::BuildToolBar()
{
    toolBar_ = new QToolBar(QStringLiteral("工具栏"), this);
    toolBar_->setObjectName(QString::number(0xE800));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(32, 32));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    for (const ToolSpec& tool : kTools) {
        if (!tool.id) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = toolBar_->addAction(QIcon(QPixmap::fromImage(runner::ToolbarPicture(tool.id))),
                                              QString::fromUtf8(tool.text));
        action->setToolTip(QString::fromUtf8(tool.tip));
        action->setStatusTip(QString::fromUtf8(tool.tip));
        router_.Bind(action, tool.id);
        if (QWidget* button = toolBar_->widgetForAction(action)) button->setObjectName(QString::number(tool.id));
    }
}

void CMainFrame::BuildAccelerators()
{
    // The clipboard keys, the new bill, the panes and the File menu's keys (the menu
    // shows them, the table runs them).
    std::vector<Accelerator> keys = EditAccelerators();
    keys.push_back({57600, QKeySequence(Qt::CTRL | Qt::Key_N)});
    keys.push_back({57680, QKeySequence(Qt::Key_F6)});
    keys.push_back({57681, QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    keys.push_back({ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)});
    keys.push_back({32777, QKeySequence(Qt::CTRL | Qt::Key_S)});
    keys.push_back({32772, QKeySequence(Qt::CTRL | Qt::Key_P)});
    router_.AddAccelerators(this, keys, [this] { IdleUpdate(); });
}

void CMainFrame::SetDocumentTitle(const std::wstring& fileName)
{
    const QString program = QString::fromWCharArray(kProgramTitle);
    setWindowTitle(fileName.empty() ? program : QString::fromStdWString(fileName) + QStringLiteral(" - ") + program);
}

void CMainFrame::IdleUpdate()
{
    router_.UpdateAll();
    if (docFrame_ && docFrame_->HomePage()) docFrame_->HomePage()->IdleUpdate();
}

bool CMainFrame::OnCmdMsg(unsigned id, CmdUI* ui)
{
    if (docFrame_ && docFrame_->OnCmdMsg(id, ui)) return true;
    switch (id) {
    case ID_APP_ABOUT:
        if (!ui && CDoxKQRunner::App()) CDoxKQRunner::App()->OnAppAbout();
        return true;
    case ID_APP_EXIT:
        if (!ui) close();
        return true;
    case 57600:
        // Ctrl+N of the accelerator table: a new bill.
        return docFrame_ && docFrame_->OnCmdMsg(32771, ui);
    default:
        return false;
    }
}
