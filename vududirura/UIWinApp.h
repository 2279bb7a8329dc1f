#pragma once
// The base of both programs' application objects: the application and user data
// folders, the configuration file with the program's own settings, and the recent-file
// list.
//
// The configuration is one XML file, "config.xml" under the platform's configuration
// folder of the program (QStandardPaths::AppConfigLocation):
//   <config>
//     <recentfiles><file path="..."/>...</recentfiles>   newest first
//     <placement value="..."/>                           main window geometry (base64)
//     ... the program's own elements (the settings hooks)
//   </config>

#include "TiXmlW.h"
#include "VududiruraApi.h"

#include <QByteArray>

#include <memory>
#include <string>
#include <vector>

class QTranslator;

// The command of the first recent-file entry; entry i is this + i.
constexpr unsigned ID_FILE_MRU_FILE1 = 57616;

class VUDU_API UIWinApp
{
public:
    UIWinApp();
    virtual ~UIWinApp();
    UIWinApp(const UIWinApp&) = delete;
    UIWinApp& operator=(const UIWinApp&) = delete;

    // The application object made last and not yet destroyed (null when none).
    static UIWinApp* Instance();

    // Fills the two folders and makes the user data folder; false when it cannot be
    // made. Needs the QApplication with the program's name. Qt's own texts (dialog
    // buttons, file dialog labels) are shown in Chinese like the rest of the programs,
    // where Qt's translations are installed.
    virtual bool InitInstance();
    virtual int ExitInstance();

    // Keeps at most count entries (the list is cut when it is longer).
    void SetupRecentFileList(int count);
    // Reads the configuration and hands its root to ReadSettings. A missing or damaged
    // file leaves the defaults (empty list, hook not called) and returns false.
    bool LoadCfg();
    // Builds the configuration, lets WriteSettings add to its root, and replaces the
    // file (a temporary file renamed over it); false when it cannot be written.
    bool DumpCfg();

    // The path becomes the newest entry (once; paths compare exactly).
    void AddToRecentFileList(const std::wstring& path);
    int GetRecentFileCount() const { return static_cast<int>(recent_.size()); }
    int GetRecentFileCapacity() const { return recentCapacity_; }
    // Empty beyond the list.
    std::wstring GetRecentFile(int index) const;
    // The entry as shown: relative to currentFolder (ending in '/' or '\') when it lies
    // inside it, else the whole path; empty when there is no entry.
    std::wstring GetRecentDisplayName(int index, const std::wstring& currentFolder) const;
    // The recent-file command id (ID_FILE_MRU_FILE1 + index): hands the path to
    // OpenFile; an entry that opens moves to the front, one that does not is dropped.
    // False for an id outside the list or a failed open.
    bool OpenRecentFileByID(unsigned id);

    // The folder used to propose new file names.
    void SetCurrentPath(const std::wstring& folder) { currentPath_ = folder; }
    const std::wstring& GetCurrentPath() const { return currentPath_; }

    // Where the program lies; where its private libraries (the core, the plug-in and
    // this library) lie: the same folder in a build folder, <prefix>/lib/dox when
    // installed; the user's templates and database.
    const std::wstring& AppDirectory() const { return appDirectory_; }
    const std::wstring& LibraryDirectory() const { return libraryDirectory_; }
    const std::wstring& DataDirectory() const { return dataDirectory_; }
    std::wstring ConfigPath() const;

    // The main window's geometry kept in the configuration (QWidget::saveGeometry).
    const QByteArray& Placement() const { return placement_; }
    void SetPlacement(const QByteArray& placement) { placement_ = placement; }

protected:
    // Bounds of what the configuration may hold; a longer value is dropped.
    static constexpr size_t kMaxConfigBytes = 1u << 20;
    static constexpr size_t kMaxPathChars = 4096;
    static constexpr size_t kMaxPlacementChars = 1024;
    static constexpr size_t kMaxPrinterChars = 256;
    // The programs' printer setting, <defaultprinter value="..."/>: false when it is
    // missing; else the name, or empty when no printer has that name.
    static bool ReadPrinterSetting(TiXmlElementP root, std::wstring* name);

    // Hooks, in this order: read the program's settings from the configuration root
    // (false: a setting was missing; LoadCfg itself tells only whether the file was
    // read), write them into the root, open a file of the recent list (non-zero: opened).
    virtual bool ReadSettings(TiXmlElementP root);
    virtual void WriteSettings(TiXmlElementP root);
    virtual int OpenFile(const std::wstring& path);

    std::wstring appDirectory_;
    std::wstring libraryDirectory_;
    std::wstring dataDirectory_;

private:
    std::vector<std::wstring> recent_;
    int recentCapacity_ = 4;
    std::wstring currentPath_;
    QByteArray placement_;
    std::unique_ptr<QTranslator> translator_;
};
