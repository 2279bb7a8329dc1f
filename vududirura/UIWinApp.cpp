#include "UIWinApp.h"

#include "Library.h"
#include "Printers.h"
#include "UIUitl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <algorithm>

namespace
{

UIWinApp* g_instance = nullptr;

QString Q(const std::wstring& s) { return QString::fromStdWString(s); }

// Any address inside this library: the programs' private libraries are installed
// together, so the folder of this one is the folder of all of them.
void LibraryAnchor() {}

} // namespace

UIWinApp::UIWinApp() { g_instance = this; }

UIWinApp::~UIWinApp()
{
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
    if (g_instance == this) g_instance = nullptr;
}

UIWinApp* UIWinApp::Instance() { return g_instance; }

bool UIWinApp::InitInstance()
{
    appDirectory_ = QString::fromStdString(plat::ApplicationDirectory()).toStdWString();
    libraryDirectory_ = QString::fromStdString(plat::ModuleDirectory(reinterpret_cast<const void*>(&LibraryAnchor)))
                            .toStdWString();
    if (libraryDirectory_.empty()) libraryDirectory_ = appDirectory_;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data)) return false;
    dataDirectory_ = data.toStdWString();
    if (currentPath_.empty()) currentPath_ = dataDirectory_;
    if (!translator_) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(translator.get()))
            translator_ = std::move(translator);
    }
    return true;
}

int UIWinApp::ExitInstance() { return 0; }

void UIWinApp::SetupRecentFileList(int count)
{
    recentCapacity_ = std::max(0, count);
    if (static_cast<int>(recent_.size()) > recentCapacity_) recent_.resize(static_cast<size_t>(recentCapacity_));
}

std::wstring UIWinApp::ConfigPath() const
{
    return (QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/config.xml"))
        .toStdWString();
}

bool UIWinApp::LoadCfg()
{
    TiXmlDocumentW doc;
    if (!doc.LoadFile(ConfigPath(), kMaxConfigBytes)) return false;
    TiXmlElementP root = doc.RootElement();
    if (!root || root.Value() != "config") return false;
    recent_.clear();
    for (TiXmlElementP file = root.FirstChildElement("recentfiles").FirstChildElement("file"); file;
         file = file.NextSiblingElement("file")) {
        std::wstring path;
        if (file.Attribute("path", &path) && !path.empty() && path.size() <= kMaxPathChars &&
            std::find(recent_.begin(), recent_.end(), path) == recent_.end() &&
            static_cast<int>(recent_.size()) < recentCapacity_)
            recent_.push_back(path);
    }
    std::wstring placement;
    if (root.FirstChildElement("placement").Attribute("value", &placement) && placement.size() <= kMaxPlacementChars)
        placement_ = QByteArray::fromBase64(Q(placement).toLatin1());
    ReadSettings(root);
    return true;
}

bool UIWinApp::DumpCfg()
{
    TiXmlDocumentW doc;
    doc.AddDeclaration();
    TiXmlElementP root = doc.InsertEndChild("config");
    TiXmlElementP list = root.InsertEndChild("recentfiles");
    for (const std::wstring& path : recent_) list.InsertEndChild("file").SetAttribute("path", path);
    if (!placement_.isEmpty())
        root.InsertEndChild("placement").SetAttribute("value", QString::fromLatin1(placement_.toBase64()).toStdWString());
    WriteSettings(root);
    const QString path = Q(ConfigPath());
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    return doc.SaveFile(path.toStdWString());
}

void UIWinApp::AddToRecentFileList(const std::wstring& path)
{
    if (path.empty() || recentCapacity_ == 0) return;
    recent_.erase(std::remove(recent_.begin(), recent_.end(), path), recent_.end());
    recent_.insert(recent_.begin(), path);
    if (static_cast<int>(recent_.size()) > recentCapacity_) recent_.resize(static_cast<size_t>(recentCapacity_));
}

std::wstring UIWinApp::GetRecentFile(int index) const
{
    return index >= 0 && index < GetRecentFileCount() ? recent_[static_cast<size_t>(index)] : std::wstring();
}

std::wstring UIWinApp::GetRecentDisplayName(int index, const std::wstring& currentFolder) const
{
    const std::wstring path = GetRecentFile(index);
    if (path.empty()) return {};
    std::wstring folder = currentFolder;
    if (!folder.empty() && folder.back() == L'\\') folder.back() = L'/';
    if (!folder.empty() && folder.back() != L'/') folder += L'/';
    if (folder.size() > 1 && path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0)
        return path.substr(folder.size());
    return path;
}

bool UIWinApp::OpenRecentFileByID(unsigned id)
{
    if (id < ID_FILE_MRU_FILE1) return false;
    const int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
    const std::wstring path = GetRecentFile(index);
    if (path.empty()) return false;
    if (!OpenFile(path)) {
        // The hook may have changed the list itself: drop the entry by its path.
        recent_.erase(std::remove(recent_.begin(), recent_.end(), path), recent_.end());
        return false;
    }
    AddToRecentFileList(path);
    return true;
}

bool UIWinApp::ReadPrinterSetting(TiXmlElementP root, std::wstring* name)
{
    std::wstring value;
    if (!root.FirstChildElement("defaultprinter").Attribute("value", &value)) return false;
    // A name no printer has (a printer taken away, or a damaged file) is forgotten, so
    // that it is neither offered nor written back at every exit.
    name->clear();
    if (!value.empty() && value.size() <= kMaxPrinterChars && plat::PrinterExists(Q(value))) *name = value;
    return true;
}

bool UIWinApp::ReadSettings(TiXmlElementP) { return true; }
void UIWinApp::WriteSettings(TiXmlElementP) {}
int UIWinApp::OpenFile(const std::wstring&) { return 0; }
