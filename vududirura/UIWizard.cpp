#include "UIWizard.h"

#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

UIWizardPage::UIWizardPage(QWidget* parent) : QWidget(parent) {}

UIWizardSheet::UIWizardSheet(QWidget* parent) : QDialog(parent), stack_(new QStackedWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
}

int UIWizardSheet::AddPage(UIWizardPage* page)
{
    if (!page) return -1;
    stack_->addWidget(page);
    pages_.push_back(page);
    return static_cast<int>(pages_.size()) - 1;
}

UIWizardPage* UIWizardSheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

bool UIWizardSheet::SetActivePage(int index, bool check)
{
    UIWizardPage* next = GetPage(index);
    if (!next) return false;
    if (index == active_) return true;
    if (UIWizardPage* current = GetPage(active_); check && current && !current->OnKillActive()) return false;
    active_ = index;
    stack_->setCurrentWidget(next);
    next->OnSetActive();
    return true;
}

void UIWizardSheet::showEvent(QShowEvent* event)
{
    if (!initialised_) {
        initialised_ = true;
        if (!OnInitDialog()) QMetaObject::invokeMethod(this, [this] { reject(); }, Qt::QueuedConnection);
    }
    QDialog::showEvent(event);
}
