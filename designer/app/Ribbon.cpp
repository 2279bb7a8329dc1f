#include "Ribbon.h"

#include "CommandRouter.h"
#include "DesignerPictures.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <map>

namespace
{

constexpr int kSmallRows = 3;

// Caption and key tip of a button text.
QString Caption(const QString& text) { return text.section(QLatin1Char('\n'), 0, 0); }
QString KeyTip(const QString& text) { return text.section(QLatin1Char('\n'), 1, 1); }

// Commands shown ticked while their mode is on.
bool IsCheckCommand(unsigned id) { return (id >= 32811 && id <= 32819) || id == 32795 || id == 32797 || id == 32824; }

QToolButton* MakeButton(QWidget* parent, QAction* action, bool large)
{
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setObjectName(QString::number(action->data().toUInt()));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (large) {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setMinimumSize(52, 74);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    } else {
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(16, 16));
        button->setMinimumHeight(22);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    return button;
}

} // namespace

QString CommandPrompt(unsigned id)
{
    static const std::map<unsigned, const char*> kPrompts = {
        {32771, "重命名控件层\n重命名层"},
        {32772, "删除控件层\n删除层"},
        {32773, "左对齐\n靠左"},
        {32774, "右对齐\n靠右"},
        {32775, "顶端对齐\n靠上"},
        {32776, "底端对齐\n靠下"},
        {32777, "水平中线对齐\n水平中线"},
        {32778, "垂直中线对齐\n垂直中线"},
        {32779, "垂直居中\n垂直居中"},
        {32780, "水平居中\n水平居中"},
        {32782, "使水平间距相等\n横向间隔"},
        {32783, "使垂直间距相等\n纵向间隔"},
        {32785, "消除水平间距\n横向相邻"},
        {32787, "消除垂直间距\n纵向相邻"},
        {32788, "使宽度相等\n宽度相同"},
        {32789, "使高度相等\n高度相同"},
        {32790, "使大小相等\n大小相同"},
        {32793, "均匀分布表格的单元格\n均匀单元格"},
        {32795, "控件对齐到网格\n网格对齐"},
        {32797, "设置控件的Tab顺序\nTab顺序"},
        {32811, "选择控件\n指针"},
        {32812, "绘制文本框\n文本框"},
        {32813, "绘制富文本框\n富文本框"},
        {32814, "绘制勾选框\n勾选框"},
        {32815, "绘制表格\n表格"},
        {32816, "绘制标签\n标签"},
        {32817, "绘制富标签\n富标签"},
        {32818, "绘制边框\n边框"},
        {32819, "绘制直线\n直线"},
        {32820, "新建控件层\n新建层"},
        {32821, "新建页面\n新建页面"},
        {32822, "删除页面\n删除页面"},
        {32823, "修改页面属性\n页面属性"},
        {32824, "显示或者隐藏背景图片\n背景图片"},
        {32825, "KQ密码器配置\nKQ密码器"},
        {32826, "测试运行\n测试"},
        {32839, "显示或者隐藏当前测试页面的背景图片\n背景图片"},
        {32841, "打印当前的测试页面\n打印"},
        {32842, "关闭测试页面\n关闭"},
        {32846, "修改模板属性\n模板属性"},
        {57600, "创建新模板\n新建"},
        {57601, "打开现有模板\n打开"},
        {57602, "关闭当前模板\n关闭"},
        {57603, "保存当前模板\n保存"},
        {57604, "用新名称保存当前模板\n另存为"},
        {57634, "复制选中的控件\n复制"},
        {57635, "剪切选中的控件\n剪切"},
        {57637, "粘贴控件\n粘贴"},
        {57642, "选择全部控件\n全选"},
        {57664, "显示程序信息、版本号和版权\n关于"},
        {57665, "退出程序\n退出"},
    };
    const auto it = kPrompts.find(id);
    return it == kPrompts.end() ? QString() : QString::fromUtf8(it->second);
}

Ribbon::Ribbon(CommandRouter& router, QWidget* parent) : QWidget(parent), router_(router)
{
    setObjectName(QString::number(0xE806));
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* top = new QWidget(this);
    tabRow_ = new QHBoxLayout(top);
    tabRow_->setContentsMargins(2, 2, 4, 0);
    tabRow_->setSpacing(2);
    appButton_ = new QToolButton(top);
    appButton_->setObjectName(QStringLiteral("applicationButton"));
    appButton_->setIcon(QIcon(DesignerPictures::ApplicationButton(45)));
    appButton_->setIconSize(QSize(40, 40));
    appButton_->setFixedSize(45, 45);
    appButton_->setAutoRaise(true);
    appButton_->setToolTip(QStringLiteral("文件"));
    appButton_->setPopupMode(QToolButton::InstantPopup);
    appButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    appMenu_ = new QMenu(appButton_);
    appButton_->setMenu(appMenu_);
    connect(appMenu_, &QMenu::aboutToShow, this, [this] {
        if (onBeforeShowMenu) onBeforeShowMenu();
        router_.UpdateAll();
    });
    tabRow_->addWidget(appButton_, 0, Qt::AlignTop);
    quickAccess_ = new QHBoxLayout;
    quickAccess_->setSpacing(0);
    tabRow_->addLayout(quickAccess_);
    tabRow_->addSpacing(8);
    tabs_ = new QTabBar(top);
    tabs_->setObjectName(QStringLiteral("categories"));
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabRow_->addWidget(tabs_, 0, Qt::AlignBottom);
    tabRow_->addStretch(1);
    column->addWidget(top);

    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("panels"));
    pages_->setFrameShape(QFrame::StyledPanel);
    pages_->setFixedHeight(104);
    column->addWidget(pages_);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0) pages_->setCurrentIndex(index);
    });
}

QAction* Ribbon::MakeAction(unsigned id, const QString& text, int pictureSize)
{
    auto* action = new QAction(Caption(text), this);
    if (pictureSize > 0) action->setIcon(DesignerPictures::CommandIcon(id, Caption(text)));
    const QString prompt = CommandPrompt(id);
    const QString tip = prompt.isEmpty() ? Caption(text) : prompt.section(QLatin1Char('\n'), 1, 1);
    action->setToolTip(KeyTip(text).isEmpty() ? tip : tip + QStringLiteral(" (") + KeyTip(text) + QLatin1Char(')'));
    action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
    action->setCheckable(IsCheckCommand(id));
    router_.Bind(action, id);
    actions_.push_back(action);
    return action;
}

QAction* Ribbon::AddMenuCommand(unsigned id, const QString& text)
{
    QAction* action = MakeAction(id, text, 32);
    appMenu_->addAction(action);
    return action;
}

void Ribbon::AddQuickAccess(unsigned id, const QString& text)
{
    QAction* action = MakeAction(id, text, 16);
    action->setText(QString());
    action->setIconText(QString());
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setObjectName(QString::number(id));
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    quickAccess_->addWidget(button, 0, Qt::AlignTop);
}

void Ribbon::AddAboutButton(unsigned id)
{
    QAction* action = MakeAction(id, QStringLiteral("关于\na"), 16);
    action->setIcon(DesignerPictures::AboutIcon());
    action->setText(QString());
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setObjectName(QString::number(id));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    tabRow_->addWidget(button, 0, Qt::AlignBottom);
}

int Ribbon::AddCategory(const QString& name)
{
    auto* page = new QWidget(pages_);
    page->setObjectName(Caption(name));
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    row->addStretch(1);
    pages_->addWidget(page);
    const int index = tabs_->addTab(Caption(name));
    tabs_->setTabToolTip(index, KeyTip(name));
    return index;
}

void Ribbon::AddPanel(int category, const QString& name, const std::vector<RibbonButton>& buttons)
{
    QWidget* page = pages_->widget(category);
    if (!page) return;
    auto* panel = new QFrame(page);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(3, 2, 3, 1);
    column->setSpacing(0);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(0);
    int gridColumn = 0;
    int smallRow = 0;
    for (const RibbonButton& spec : buttons) {
        if (!spec.id) {
            // A separator closes the column of small buttons and draws a line.
            if (smallRow) ++gridColumn;
            smallRow = 0;
            auto* line = new QFrame(panel);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            grid->addWidget(line, 0, gridColumn++, kSmallRows, 1);
            continue;
        }
        const bool large = spec.large >= 0;
        QAction* action = MakeAction(spec.id, QString::fromUtf8(spec.text), large ? 32 : 16);
        if (large) {
            if (smallRow) ++gridColumn;
            smallRow = 0;
            grid->addWidget(MakeButton(panel, action, true), 0, gridColumn++, kSmallRows, 1);
        } else {
            grid->addWidget(MakeButton(panel, action, false), smallRow, gridColumn);
            if (++smallRow == kSmallRows) {
                smallRow = 0;
                ++gridColumn;
            }
        }
    }
    column->addLayout(grid, 1);
    auto* caption = new QLabel(name, panel);
    caption->setAlignment(Qt::AlignCenter);
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, QColor(0x4C, 0x5A, 0x70));
    caption->setPalette(palette);
    column->addWidget(caption);
    auto* row = static_cast<QHBoxLayout*>(page->layout());
    row->insertWidget(row->count() - 1, panel);
}

int Ribbon::CategoryCount() const { return tabs_->count(); }

QString Ribbon::CategoryName(int category) const { return tabs_->tabText(category); }

void Ribbon::ShowCategory(int category, bool show)
{
    if (tabs_->isTabVisible(category) == show) return;
    tabs_->setTabVisible(category, show);
    // The tab bar does not ask for a new width by itself when a tab shows or hides:
    // it would keep the width of one tab and scroll the others out of sight.
    tabs_->updateGeometry();
    if (layout()) layout()->activate();
}

bool Ribbon::IsCategoryShown(int category) const { return tabs_->isTabVisible(category); }

QStringList Ribbon::ShownCategories() const
{
    QStringList names;
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->isTabVisible(i)) names << tabs_->tabText(i);
    return names;
}

int Ribbon::ActiveCategory() const
{
    const int index = tabs_->currentIndex();
    return index >= 0 && tabs_->isTabVisible(index) ? index : -1;
}

void Ribbon::SetActiveCategory(int category)
{
    if (category < 0 || category >= tabs_->count() || !tabs_->isTabVisible(category)) return;
    tabs_->setCurrentIndex(category);
    pages_->setCurrentIndex(category);
}

void Ribbon::RecalcLayout()
{
    // A hidden current tab leaves the panels of another category on show: follow the
    // tab bar's choice.
    const int index = tabs_->currentIndex();
    if (index >= 0) pages_->setCurrentIndex(index);
    layout()->activate();
    update();
}

std::vector<QAction*> Ribbon::ActionsFor(unsigned id) const
{
    std::vector<QAction*> found;
    for (QAction* action : actions_)
        if (CommandIdOf(action) == id) found.push_back(action);
    return found;
}
