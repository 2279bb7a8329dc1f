#include "PropertyDialogs.h"

#include "DesignerLook.h"
#include "PanePictures.h"
#include "PropertyView.h"
#include "UIUitl.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace
{

constexpr int kMargin = 8;
constexpr int kTop = 60;

QToolButton* PictureButton(QWidget* parent, const QIcon& icon, const wchar_t* tip, const char* id)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(id));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setToolTip(QString::fromWCharArray(tip));
    button->setFixedSize(22, 22);
    return button;
}

QString ElementLine(IDoxAttribSet* element, int number)
{
    const wchar_t* name = element ? element->GetName() : nullptr;
    return QString::fromWCharArray(name ? name : L"") + QString::number(number);
}

// After line i went away: line i, or the last line when i was the last.
void SelectAfterDelete(QListWidget* list, int i)
{
    if (list->count() == 0)
        return;
    list->setCurrentRow(std::min(i, list->count() - 1));
}

} // namespace

// ---- Collections.

CPropertyColloctDlg::CPropertyColloctDlg(IDoxAttrib* attrib, QWidget* parent)
    : QDialog(parent), attrib_(attrib), list_(new QListWidget(this)),
      add_(PictureButton(this, designer::AddPicture(), L"添加", "1001")),
      delete_(PictureButton(this, designer::DeletePicture(), L"删除", "1002")),
      close_(new QPushButton(QStringLiteral("关闭"), this)), grid_(new CPropertyView)
{
    plat::WaitCursor wait;
    node_.sink = this;
    list_->setObjectName(QStringLiteral("1000"));
    close_->setObjectName(QStringLiteral("1"));
    close_->setDefault(true);
    const wchar_t* caption = attrib_->GetCaption();
    setWindowTitle(QStringLiteral("%1集合属性").arg(QString::fromWCharArray(caption ? caption : L"")));
    RECT r{};
    grid_->Create(0x52000000, r, this, 0);
    const int32_t count = attrib_->GetElementCount();
    for (int32_t i = 0; i < count; ++i)
        list_->addItem(ElementLine(attrib_->GetElement(i), i + 1));
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    FillSelected();
    connect(list_, &QListWidget::currentRowChanged, this, [this] { FillSelected(); });
    connect(add_, &QToolButton::clicked, this, [this] { Add(); });
    connect(delete_, &QToolButton::clicked, this, [this] { Delete(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumSize(400, 300);
    resize(560, 420);
    Layout();
    designer::RegisterPropertySink(&node_);
}

CPropertyColloctDlg::~CPropertyColloctDlg()
{
    designer::UnregisterPropertySink(&node_);
}

void CPropertyColloctDlg::done(int result)
{
    designer::UnregisterPropertySink(&node_);
    QDialog::done(result);
}

void CPropertyColloctDlg::FillSelected()
{
    const int row = list_->currentRow();
    IDoxAttribSet* element = row >= 0 ? attrib_->GetElement(row) : nullptr;
    grid_->FillProperties(element);
}

void CPropertyColloctDlg::Add()
{
    if (!attrib_->AddElement())
        return;
    const int32_t count = attrib_->GetElementCount();
    if (count <= 0)
        return;
    // New lines are numbered by the line count, so a number may repeat after a delete.
    list_->addItem(ElementLine(attrib_->GetElement(count - 1), list_->count() + 1));
    list_->setCurrentRow(list_->count() - 1);
    FillSelected();
}

void CPropertyColloctDlg::Delete()
{
    const int i = list_->currentRow();
    if (i < 0)
        return;
    // The grid shows the element that goes away: let it go first.
    grid_->Clear();
    attrib_->RemoveElement(i);
    {
        QSignalBlocker block(list_);
        delete list_->takeItem(i);
        SelectAfterDelete(list_, i);
    }
    FillSelected();
}

void CPropertyColloctDlg::RefreshProperties() { grid_->RefreshItems(); }

void CPropertyColloctDlg::Layout()
{
    const int buttonHeight = add_->height();
    const int listHeight = std::max(0, height() - buttonHeight - 76);
    list_->setGeometry(kMargin, kTop, listWidth_, listHeight);
    add_->move(kMargin, height() - kMargin - buttonHeight);
    delete_->move(kMargin + add_->width() + kMargin, height() - kMargin - buttonHeight);
    const int gridLeft = listWidth_ + 16;
    grid_->setGeometry(gridLeft, kTop, std::max(0, width() - kMargin - gridLeft), listHeight);
    close_->move(width() - kMargin - close_->width(), height() - kMargin - close_->height());
}

void CPropertyColloctDlg::resizeEvent(QResizeEvent*) { Layout(); }

void CPropertyColloctDlg::paintEvent(QPaintEvent*) { designer::PaintHintBand(this, QStringLiteral("集合属性参数设置。")); }

// ---- Several choices.

CPropertyMultiDlg::CPropertyMultiDlg(IDoxAttrib* attrib, QWidget* parent)
    : QDialog(parent), attrib_(attrib), options_(new QComboBox(this)), chosen_(new QListWidget(this))
{
    plat::WaitCursor wait;
    setWindowTitle(QStringLiteral("多项属性"));
    options_->setObjectName(QStringLiteral("1004"));
    chosen_->setObjectName(QStringLiteral("1003"));
    QToolButton* add = PictureButton(this, designer::AddPicture(), L"添加属性值", "1005");
    QToolButton* remove = PictureButton(this, designer::DeletePicture(), L"删除属性值", "1006");
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("2"));

    const wchar_t* value = attrib_->GetValueText();
    const QStringList parts = QString::fromWCharArray(value ? value : L"").split(QLatin1Char(','));
    for (const QString& part : parts)
        if (!part.isEmpty())
            chosen_->addItem(part);
    const int32_t count = attrib_->GetOptionCount();
    for (int32_t i = 0; i < count; ++i) {
        const wchar_t* option = attrib_->GetOptionText(i);
        options_->addItem(QString::fromWCharArray(option ? option : L""));
    }

    resize(360, 330);
    options_->setGeometry(kMargin, kTop + 6, 260, 24);
    add->move(276, kTop + 7);
    remove->move(304, kTop + 7);
    chosen_->setGeometry(kMargin, kTop + 38, 344, 180);
    ok->setGeometry(196, 294, 75, 26);
    cancel->setGeometry(277, 294, 75, 26);
    connect(add, &QToolButton::clicked, this, [this] { Add(); });
    connect(remove, &QToolButton::clicked, this, [this] { Delete(); });
    connect(ok, &QPushButton::clicked, this, &CPropertyMultiDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    options_->setFocus();
}

void CPropertyMultiDlg::Add()
{
    const QString text = options_->currentText();
    if (text.isEmpty())
        return;
    chosen_->addItem(text);
    chosen_->setCurrentRow(chosen_->count() - 1);
}

void CPropertyMultiDlg::Delete()
{
    const int i = chosen_->currentRow();
    if (i < 0)
        return;
    delete chosen_->takeItem(i);
    SelectAfterDelete(chosen_, i);
}

void CPropertyMultiDlg::accept()
{
    QStringList lines;
    for (int i = 0; i < chosen_->count(); ++i)
        lines << chosen_->item(i)->text();
    const std::wstring joined = lines.join(QLatin1Char(',')).toStdWString();
    if (!attrib_->SetValueText(joined.c_str())) {
        const wchar_t* error = attrib_->GetErrorText();
        UIUitl::MessageBoxW(64, error ? error : L"");
        return;
    }
    QDialog::accept();
}

void CPropertyMultiDlg::paintEvent(QPaintEvent*) { designer::PaintHintBand(this, QStringLiteral("多项属性参数设置。")); }
