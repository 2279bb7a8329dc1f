#pragma once
// The designer's ribbon on standard widgets: a row with the application button, the
// quick access buttons, the category tabs and the about button, and under it the
// active category's panels of large and small buttons. Every button runs its command
// through the frame's command router; its QAction carries the command id.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class CommandRouter;
class QAction;
class QHBoxLayout;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolButton;

// One button of a panel. id 0 is a separator; large -1 makes a small button. The text
// carries its key tip after a line break ("新建\nN").
struct RibbonButton {
    unsigned id;
    const char* text;
    int small;
    int large;
};

class Ribbon : public QWidget
{
public:
    Ribbon(CommandRouter& router, QWidget* parent = nullptr);

    // The application button's menu: its commands, the recent-file list and Exit.
    QMenu* ApplicationMenu() const { return appMenu_; }
    QToolButton* ApplicationButton() const { return appButton_; }
    // A command of the application menu.
    QAction* AddMenuCommand(unsigned id, const QString& text);
    void AddQuickAccess(unsigned id, const QString& text);
    void AddAboutButton(unsigned id);

    // A category ("主页\nH"); its index.
    int AddCategory(const QString& name);
    void AddPanel(int category, const QString& name, const std::vector<RibbonButton>& buttons);

    int CategoryCount() const;
    // The caption without the key tip.
    QString CategoryName(int category) const;
    void ShowCategory(int category, bool show);
    bool IsCategoryShown(int category) const;
    // The captions of the shown categories, in order.
    QStringList ShownCategories() const;
    // -1 when none is active.
    int ActiveCategory() const;
    // A hidden category is not made active.
    void SetActiveCategory(int category);
    void RecalcLayout();

    // The actions of the ribbon that carry the id.
    std::vector<QAction*> ActionsFor(unsigned id) const;
    // Called before the application menu shows.
    std::function<void()> onBeforeShowMenu;

private:
    QAction* MakeAction(unsigned id, const QString& text, int pictureSize);

    CommandRouter& router_;
    QToolButton* appButton_ = nullptr;
    QMenu* appMenu_ = nullptr;
    QHBoxLayout* quickAccess_ = nullptr;
    QHBoxLayout* tabRow_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::vector<QAction*> actions_;
};

// The prompt and tip of a command ("新建页面\n新建页面"); empty for none.
QString CommandPrompt(unsigned id);
