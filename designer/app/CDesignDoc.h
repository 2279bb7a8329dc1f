#pragma once
// The designer's one open template: the core's document for a ".dxt" file with its
// path and title, the file commands (new, open, close, save, save as), the page
// commands (new page, delete page) and the template properties. The main frame offers
// it every command first.

#include "CommandRouter.h"

#include <string>

class CDesignPage;
class CHomePage;
class CMainFrame;
class IDoxCore;
class IDoxDocument;

// Command ids of the document.
constexpr unsigned ID_FILE_NEW = 57600;
constexpr unsigned ID_FILE_OPEN = 57601;
constexpr unsigned ID_FILE_CLOSE = 57602;
constexpr unsigned ID_FILE_SAVE = 57603;
constexpr unsigned ID_FILE_SAVE_AS = 57604;
constexpr unsigned ID_PAGE_NEW = 32821;
constexpr unsigned ID_PAGE_DELETE = 32822;
constexpr unsigned ID_TEMPLATE_PROPERTIES = 32846;

class CDesignDoc : public CmdTarget
{
public:
    CDesignDoc() = default;
    ~CDesignDoc() override;
    CDesignDoc(const CDesignDoc&) = delete;
    CDesignDoc& operator=(const CDesignDoc&) = delete;

    // Wiring by the main frame once its windows are made.
    void Wire(IDoxCore* core, CMainFrame* frame, CDesignPage* designPage, CHomePage* homePage);

    bool OnCmdMsg(unsigned id, CmdUI* ui) override;

    void New();
    void Open();
    void Close();
    // False when the core could not save (the message was shown).
    bool Save();
    void SaveAs();
    void NewPage();
    void DeletePage();
    void Properties();

    // Opens the template (start-up, the recent-file list): 0 while the test page
    // shows, 1 when it is already open or the save prompt was cancelled, else whether
    // it opened.
    int OpenByPath(const std::wstring& path);
    // The save prompt, then the document is closed; false when the user cancelled or
    // a save failed.
    bool CloseWithPrompt();
    void CloseDocument();
    // The path (empty for none) and the title taken from it.
    void SetPath(const std::wstring* path);

    IDoxCore* Core() const { return core_; }
    IDoxDocument* Document() const { return document_; }
    const std::wstring& Path() const { return path_; }
    const std::wstring& Title() const { return title_; }

private:
    // Asks to save a modified template; false stops the command.
    bool PromptSave();
    bool OpenDocument(const std::wstring& path);
    // The save-as dialog and the save; false when cancelled or refused (the message
    // was shown).
    bool SaveUnderNewName();
    bool Blocked() const;
    void ShowResult(bool designPage);

    IDoxCore* core_ = nullptr;
    CMainFrame* frame_ = nullptr;
    CDesignPage* designPage_ = nullptr;
    CHomePage* homePage_ = nullptr;
    std::wstring title_;
    std::wstring path_;
    IDoxDocument* document_ = nullptr;
    // The template's file may not be replaced (read-only, or in a folder the user
    // cannot write): edits can only be saved under a new name.
    bool readOnly_ = false;
};

// The title of a path: the text after the last '\', else after the last '/'; the
// whole path when there is no separator or it stands first.
std::wstring TitleOfPath(const std::wstring& path);
