#pragma once
// The designer's print dialog for the test page: printer, paper (the template page's
// own size first, as "模板页面"), orientation and the background picture; after OK
// the caller asks it for the printer's settings.

#include "CDevMode.h"
#include "HeaderDialog.h"
#include "Printers.h"

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace designer
{

// Where the print dialog asks for a printer's papers: the platform's query, unless a
// stand-in is set (a test's printer that reports none). Returns the previous one.
using PaperQuery = std::function<std::vector<plat::PrinterPaper>(const QString& printer)>;
PaperQuery SetPaperQuery(PaperQuery query);

class CPrintDlg : public CHeaderDialog
{
public:
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

    // The template page's size (0.1 mm) and the printer to start with (empty: the
    // system's default printer). documentName: what the print is called (the page's
    // name); the PDF printer's location is then the file the print will write.
    CPrintDlg(int pageWidth, int pageHeight, const std::wstring& printerName, QWidget* parent = nullptr,
              const std::wstring& documentName = {});

    // The printer's settings for the choice (owned by the dialog); *devMode stays null
    // when no paper size was chosen. False, with its message shown, when the printer
    // cannot take it.
    bool BuildDevMode(const DEVMODEW** devMode);

    std::vector<PrinterInfo> printers;
    std::vector<PagerSize> papers;
    std::wstring printerName;
    int orientation = 1;
    int width = 0;
    int height = 0;
    int paperId = 256;
    int printBackground = 0;

private:
    void SelectPrinter(int index);
    void RebuildPapers();
    void SelectPaper(int index);
    void OnOk();

    int pageWidth_;
    int pageHeight_;
    CDevMode devMode_;
    QComboBox* printerBox_;
    QLabel* status_;
    QLabel* driver_;
    QLabel* port_;
    QLabel* comment_;
    QComboBox* paperBox_;
    QLineEdit* widthText_;
    QLineEdit* heightText_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QCheckBox* background_;
};

} // namespace designer
