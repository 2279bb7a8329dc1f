#pragma once
// Documents: a template with the store (or stores) that hold its bytes. Three
// kinds: a template file, a database store, and the printing program's complex of
// a read-only template file and the installation's bill database.

#include <memory>
#include <string>
#include <vector>

#include "DocConnection.h"
#include "DocContainer.h"
#include "DocTemplate.h"
#include "IDoxDocument.h"

class DocElement;
class DoxPage;
class SqlConnection;

class DoxDocument : public InterfaceImpl<IDoxDocument>
{
public:
    DoxDocument();
    ~DoxDocument() override;

    // IDoxDocument
    int GetPageCount() override { return static_cast<int>(pages_.size()); }
    IDoxPage* GetPageByName(const wchar_t* name) override;
    IDoxPage* GetPage(int index) override;
    const wchar_t* MakeNewPageName() override;
    IDoxPage* AddPage(const wchar_t* name, int32_t cx, int32_t cy) override;
    int DeletePageByName(const wchar_t* name) override;
    int DeletePage(int index) override;
    IDoxDocElement* GetUserElement(const wchar_t* name, int scope) override;
    int Save() override;
    int SaveAs(const wchar_t* path) override;
    int IsModified() override { return modified_; }
    int SaveStore() override { return 0; }
    int SetIconFromFile(const wchar_t* picturePath) override;
    int SetIconFromData(const void* bytes, uint32_t size) override;
    IDoxImageData* GetIcon() override;

    // Used inside the library.
    virtual int Create(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy);
    virtual int Open(const wchar_t* path, const wchar_t* path2, int readOnly);
    virtual int CreateFromTemplateFile(const wchar_t*, const wchar_t*) { return 0; }
    virtual int OpenContainer(const wchar_t* path, const wchar_t* path2);
    virtual DocElement* GetElement(const wchar_t* name, int scope);
    virtual int HasElement(const wchar_t* name, int scope);
    virtual DocElement* FindElementLike(const wchar_t* text);
    virtual SqlConnection* GetSqlConnection() { return nullptr; }

    // The store that holds the template XML and the pages' pictures.
    virtual DocContainer* OwnStore() = 0;

    const std::wstring& GetId() const { return id_; }
    void SetId(const wchar_t* id) { id_ = id ? id : L""; }
    int32_t GetMaxPid() const { return maxpid_; }
    void SetMaxPid(int32_t maxpid) { maxpid_ = maxpid; }
    void SetModified() { modified_ = 1; }
    void ClearModified() { modified_ = 0; }
    const std::vector<DoxPage*>& Pages() const { return pages_; }
    // Appends a page being read from the template XML.
    DoxPage* AppendReadPage();
    // 1 when the name may name a new page (sets the text otherwise).
    int CheckPageName(const wchar_t* name, const DoxPage* except);
    DoxPage* CreatePage(const wchar_t* name, int32_t cx, int32_t cy);
    // Reads "doc_dxtemplate" of the store into the document.
    int ParseFrom(DocContainer* store);

protected:
    int WriteXmlInto(DocContainer* store);
    void RemovePageElements(DoxPage* page);
    void DestroyPages();

    std::wstring id_;
    std::vector<DoxPage*> pages_;
    int32_t maxpid_ = 0;
    std::wstring newPageName_;
    int modified_ = 0;
};

class DoxDocTemplate final : public DoxDocument, public DocContainerSink
{
public:
    DoxDocTemplate() : store_(this) {}
    ~DoxDocTemplate() override;
    void OnModified(int modified) override { modified_ = modified; }
    int Save() override;
    int SaveAs(const wchar_t* path) override;
    DocContainer* OwnStore() override { return &store_; }
    DocTemplate& Store() { return store_; }

private:
    // Gives the template an icon of its first page, as the library lists templates,
    // unless the author chose one.
    void RefreshPageIcon();

    DocTemplate store_;
};

class DoxDocConnection final : public DoxDocument, public DocContainerSink
{
public:
    DoxDocConnection() : store_(this) {}
    ~DoxDocConnection() override;
    void OnModified(int modified) override { modified_ = modified; }
    int SaveAs(const wchar_t* path) override;
    int SaveStore() override;
    int CreateFromTemplateFile(const wchar_t* dbPath, const wchar_t* templatePath) override;
    DocElement* GetElement(const wchar_t* name, int scope) override;
    int HasElement(const wchar_t* name, int scope) override;
    SqlConnection* GetSqlConnection() override { return store_.Connection(); }
    DocContainer* OwnStore() override { return &store_; }

private:
    DocConnection store_;
};

class DoxDocComplex final : public DoxDocument
{
public:
    ~DoxDocComplex() override;
    int Save() override { return 0; }
    int SaveAs(const wchar_t*) override { return 0; }
    int SaveStore() override;
    int Create(const wchar_t*, const wchar_t*, int32_t, int32_t) override { return 0; }
    int Open(const wchar_t* path, const wchar_t* path2, int readOnly) override;
    int OpenContainer(const wchar_t* path, const wchar_t* path2) override;
    DocElement* GetElement(const wchar_t* name, int scope) override;
    int HasElement(const wchar_t* name, int scope) override;
    DocElement* FindElementLike(const wchar_t* text) override;
    SqlConnection* GetSqlConnection() override { return database_.Connection(); }
    DocContainer* OwnStore() override { return &template_; }

private:
    DocTemplate template_;
    DocConnection database_;
};

// The core's front door for documents: each returns the new document (count 1)
// or null with the reason in the last-error text.
IDoxDocument* DocCreateTemplate(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy);
IDoxDocument* DocOpenTemplate(const wchar_t* path);
IDoxDocument* DocCreateConnection(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy);
IDoxDocument* DocCreateConnectionFromTemplate(const wchar_t* dbPath, const wchar_t* templatePath);
IDoxDocument* DocOpenComplex(const wchar_t* dbPath, const wchar_t* templatePath);
