#pragma once
// The print dialog of both programs: the printer with its details and its driver's
// own settings, and whether the background picture is printed. Two uses add their
// own part:
// - a bill's print (the printing program): the number of copies, and "关闭", which
//   keeps the chosen printer and prints nothing. Ends with 1 (print), 8 or 0.
// - a template page's print (the designer's test page): the paper, the template
//   page's own size first as "模板页面", and the orientation; after OK the caller
//   asks the dialog for the printer's settings.

#include "CDevMode.h"
#include "HeaderDialog.h"
#include "Printers.h"

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Where the print dialog asks for a printer's papers: the platform's query, unless a
// stand-in is set (a test's printer that reports none). Returns the previous one.
using PaperQuery = std::function<std::vector<plat::PrinterPaper>(const QString& printer)>;
PaperQuery SetPaperQuery(PaperQuery query);

class CPrintDlg : public CHeaderDialog
{
public:
    static constexpr int kClose = 8;

    struct PrinterInfo {
        std::wstring name, status, driver, port, comment;
    };
    struct PagerSize {
        std::wstring name;
        int id = 0;
        int width = 0; // 0.1 mm
        int height = 0;
        bool userSize = false;
    };

    // A bill's print. printerName: the application's default printer (empty: the
    // system's). continuous: every ticked bill in one job ("连打"), count of them
    // named in the hint. documentName: what the print is called (the page's name);
    // the PDF printer's location is then the file the print will write.
    CPrintDlg(const std::wstring& printerName, bool continuous, QWidget* parent = nullptr,
              const std::wstring& documentName = {}, int count = 0);
    // A template page's print: the page's size (0.1 mm) and the printer to start with
    // (empty: the system's default printer).
    CPrintDlg(int pageWidth, int pageHeight, const std::wstring& printerName, QWidget* parent = nullptr,
              const std::wstring& documentName = {});

    // A template page's print: the printer's settings for the choice (owned by the
    // dialog); *devMode stays null when no paper size was chosen. False, with its
    // message shown, when the printer cannot take it.
    bool BuildDevMode(const DEVMODEW** devMode);

    // The chosen printer as the dialog described it (exists is false when none is
    // chosen). The dialog asks the system about each printer once, when it lists them;
    // what is printed after it closes reads this description.
    const plat::PrinterDescription& Printer() const;

    // Both uses.
    std::wstring printerName;
    std::vector<PrinterInfo> printers;
    std::wstring documentName;
    int printBackground = 0;
    // A bill's print.
    bool continuous = false;
    int copies = 1;
    // A template page's print.
    std::vector<PagerSize> papers;
    int orientation = 1;
    int width = 0;
    int height = 0;
    int paperId = 256;

private:
    // The printer's details and its "属性(&P)" button.
    void MakeDetails();
    QPushButton* MakeProperties();
    // The printer rows: the name list with the button beside it and the four details,
    // over `columns` grid columns.
    void AddPrinterRows(QGridLayout* grid, int columns, QPushButton* properties);
    // The printers, the one named chosen; the index chosen (-1 for none).
    int FillPrinters();
    void ShowPrinter(const PrinterInfo& printer);
    // The description of a listed printer (an empty one for a name not listed).
    const plat::PrinterDescription& Described(const std::wstring& name) const;
    std::vector<plat::PrinterPaper> PapersOf(const std::wstring& name) const;
    void ShowProperties();

    // A bill's print.
    void PrinterChanged(int index);
    void CopiesEdited(const QString& text);
    void StepCopies(int delta);
    void OnBillOk();
    void OnClose();

    // A template page's print.
    void SelectPrinter(int index);
    void RebuildPapers();
    void SelectPaper(int index);
    void OnPageOk();

    QComboBox* printerBox_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* driver_ = nullptr;
    QLabel* port_ = nullptr;
    QLabel* comment_ = nullptr;
    QCheckBox* background_ = nullptr;

    QLineEdit* copiesEdit_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;

    int pageWidth_ = 0;
    int pageHeight_ = 0;
    std::vector<plat::PrinterDescription> described_;
    CDevMode devMode_;
    QComboBox* paperBox_ = nullptr;
    QLineEdit* widthText_ = nullptr;
    QLineEdit* heightText_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
};
