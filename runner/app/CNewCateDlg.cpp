#include "CNewCateDlg.h"

#include "DialogHeader.h"
#include "RunnerFiles.h"
#include "UIUitl.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CNewCateDlg::CNewCateDlg(std::wstring base, QWidget* parent) : QDialog(parent), base_(std::move(base))
{
    setObjectName(QStringLiteral("343"));
    setWindowTitle(QStringLiteral("新建目录"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(new DialogHeader(QStringLiteral("新建模板分类目录。"), this));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("1000"));
    edit_->setMaxLength(32);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 0);
    body->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewCateDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewCateDlg::reject);
    body->addWidget(buttons);
    layout->addLayout(body);
    resize(360, 150);
}

void CNewCateDlg::accept()
{
    const std::wstring name = edit_->text().toStdWString();
    if (name.empty()) return;
    if (name.find_first_of(L"\\/:*\"<>|") != std::wstring::npos) {
        balloonTitle_ = QStringLiteral("无效字符串");
        balloonText_ = QStringLiteral("文件名中不能包含下列任何字符:\n\\/:*\"<>|");
    } else if (UIUitl::CheckFileExist(runner::JoinPath(base_, name))) {
        balloonTitle_ = QStringLiteral("名字重复");
        balloonText_ = QStringLiteral("该目录名已经存在");
    } else {
        name_ = name;
        QDialog::accept();
        return;
    }
    ShowBalloon(edit_, balloonTitle_, balloonText_);
}
