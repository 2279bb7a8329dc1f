#include "UITabs.h"

#include "UIMessage.h"

#include <QCoreApplication>
#include <QResizeEvent>
#include <QTabBar>

UITabCtrl::UITabCtrl(QWidget* parent, bool tabsAtBottom) : QWidget(parent), bar_(new QTabBar(this)), bottom_(tabsAtBottom)
{
    bar_->setShape(tabsAtBottom ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
    bar_->setDrawBase(true);
    bar_->setExpanding(false);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) { Activated(index); });
}

int UITabCtrl::AddTab(QWidget* window, const std::wstring& label)
{
    if (!window) return -1;
    if (window->parentWidget() != this) window->setParent(this);
    windows_.push_back(window);
    quiet_ = true; // the first tab becomes current by itself: activation is the caller's
    const int index = bar_->addTab(QString::fromStdWString(label));
    quiet_ = false;
    Layout();
    return index;
}

bool UITabCtrl::RemoveTab(int index)
{
    if (index < 0 || index >= GetTabsNum()) return false;
    QWidget* window = windows_[static_cast<size_t>(index)];
    windows_.erase(windows_.begin() + index);
    bool shared = false;
    for (QWidget* w : windows_) shared = shared || w == window;
    if (!shared) window->hide();
    bar_->removeTab(index);
    return true;
}

void UITabCtrl::RemoveAllTabs()
{
    quiet_ = true;
    while (bar_->count() > 0) bar_->removeTab(0);
    quiet_ = false;
    for (QWidget* w : windows_) w->hide();
    windows_.clear();
}

int UITabCtrl::GetActiveTab() const { return GetTabsNum() > 0 ? bar_->currentIndex() : -1; }

bool UITabCtrl::SetActiveTab(int index)
{
    if (index < 0 || index >= GetTabsNum()) return false;
    if (bar_->currentIndex() == index)
        Activated(index); // the window learns it again
    else
        bar_->setCurrentIndex(index);
    return true;
}

QWidget* UITabCtrl::GetTabWnd(int index) const
{
    return index >= 0 && index < GetTabsNum() ? windows_[static_cast<size_t>(index)] : nullptr;
}

std::wstring UITabCtrl::GetTabLabel(int index) const { return bar_->tabText(index).toStdWString(); }

bool UITabCtrl::SetTabLabel(int index, const std::wstring& label)
{
    if (index < 0 || index >= GetTabsNum()) return false;
    bar_->setTabText(index, QString::fromStdWString(label));
    return true;
}

void UITabCtrl::Activated(int index)
{
    if (quiet_ || index < 0 || index >= GetTabsNum()) return;
    QWidget* window = windows_[static_cast<size_t>(index)];
    for (QWidget* w : windows_)
        if (w != window) w->hide();
    Layout();
    window->show();
    UIMessageEvent message(vudu::kWmUser, static_cast<uintptr_t>(index));
    QCoreApplication::sendEvent(window, &message);
}

void UITabCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void UITabCtrl::Layout()
{
    const int barHeight = bar_->sizeHint().height();
    const QRect area = rect();
    bar_->setGeometry(area.left(), bottom_ ? area.bottom() - barHeight + 1 : area.top(), area.width(), barHeight);
    const QRect client = bottom_ ? area.adjusted(0, 0, 0, -barHeight) : area.adjusted(0, barHeight, 0, 0);
    for (QWidget* w : windows_) w->setGeometry(client);
}

UITabClient::UITabClient(QWidget* parent) : QTabWidget(parent)
{
    setTabPosition(QTabWidget::South);
    setDocumentMode(true); // flat
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && parentWidget())
            QCoreApplication::postEvent(parentWidget(),
                                        new UIMessageEvent(UIOnChangeActiveTabMessage(), static_cast<uintptr_t>(index)));
    });
}

int UITabClient::InsertTab(QWidget* window, const std::wstring& label, int index)
{
    if (!window) return -1;
    return insertTab(index < 0 ? count() : index, window, QString::fromStdWString(label));
}

bool UITabClient::RemoveTab(int index)
{
    if (index < 0 || index >= count()) return false;
    removeTab(index);
    return true;
}

bool UITabClient::SetActiveTab(int index)
{
    if (index < 0 || index >= count()) return false;
    setCurrentIndex(index);
    return true;
}

bool UITabClient::SetTabLabel(int index, const std::wstring& label)
{
    if (index < 0 || index >= count()) return false;
    setTabText(index, QString::fromStdWString(label));
    return true;
}
