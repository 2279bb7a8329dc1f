#include "CAddFileDlg.h"

#include "CDoxKQRunner.h"
#include "CFolderView.h"
#include "DialogHeader.h"
#include "IDoxCore.h"
#include "IDoxImageData.h"
#include "RunnerFiles.h"
#include "StreamPlus.h"
#include "UIUitl.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;

} // namespace

CAddFileDlg::CAddFileDlg(std::wstring path, std::wstring library, QWidget* parent)
    : QDialog(parent), path_(std::move(path))
{
    setObjectName(QStringLiteral("352"));
    setWindowTitle(QStringLiteral("添加模板"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    const QString title = QString::fromStdWString(UIUitl::SpliteFileTitle(path_));
    layout->addWidget(new DialogHeader(QStringLiteral("是否要将模板“ %1 ”加入模板管理中?").arg(title), this));

    auto* body = new QHBoxLayout;
    body->setContentsMargins(12, 10, 12, 0);
    auto* preview = new QLabel(this);
    preview->setObjectName(QStringLiteral("1006"));
    preview->setFixedSize(240, 240);
    preview->setAlignment(Qt::AlignCenter);
    preview->setStyleSheet(QStringLiteral("background: white; border: 1px solid #c8c8c8;"));
    if (CDoxKQRunner* app = CDoxKQRunner::App(); app && app->Core())
        if (IDoxImageData* data = app->Core()->GetTemplatePreview(path_.c_str())) {
            BitmapPlus picture;
            if (data->GetData() && data->GetSize() &&
                picture.FromStreamPlushEx(StreamPlus(data->GetData(), data->GetSize()), QSize(238, 238), 0xFFFFFF))
                preview->setPixmap(QPixmap::fromImage(picture.Image()));
            data->Release();
        }
    body->addWidget(preview);

    auto* frame = new QWidget(this);
    // The list sits inside a one-pixel frame; the list itself carries the control's id.
    frame->setObjectName(QStringLiteral("folderframe"));
    frame->setFixedSize(220, 240);
    frame->setStyleSheet(QStringLiteral("#folderframe { border: 1px solid #c8c8c8; }"));
    folders_ = new CFolderView(frame);
    folders_->Create(0x10000000u, RECT{1, 1, 219, 239}, frame, 1005);
    folders_->Fill(library);
    folders_->onFolderClicked = [this](const std::wstring& name, const std::wstring& folder) { AddTo(name, folder); };
    body->addWidget(frame);
    layout->addLayout(body);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(12, 0, 12, 0);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    folders_->setFocus();
}

void CAddFileDlg::AddTo(const std::wstring& name, const std::wstring& folder)
{
    const std::wstring target = runner::JoinPath(folder, runner::FileNameOf(path_));
    title_ = UIUitl::SpliteFileTitle(path_);
    folderName_ = name;
    target_ = target;
    if (runner::SameFile(target, path_)) {
        done(kIdOk);
        return;
    }
    // A name holding '\\' could not come back from a backup whole.
    if (const std::wstring name = runner::BackslashName(path_); !name.empty()) {
        UIUitl::MessageBoxFormat(16, L"添加模板“ %ls ”失败。原因：%ls", name.c_str(), runner::kNoBackslash);
        done(kIdCancel);
        return;
    }
    if (UIUitl::CheckFileExist(target) &&
        UIUitl::MessageBoxFormat(36, L"是否要覆盖“%ls”？", title_.c_str()) != kIdYes)
        return;
    std::wstring reason;
    if (runner::CopyFileReplacing(path_, target, &reason)) {
        done(kIdOk);
        return;
    }
    UIUitl::MessageBoxFormat(16, L"添加模板“ %ls ”失败。原因：%ls", title_.c_str(), reason.c_str());
    done(kIdCancel);
}
