#pragma once
// The print dialog of the bill printing program: the printer, its details, the number
// of copies and whether the background picture is printed. Ends with 1 (print), 8
// ("关闭": keep the printer, print nothing) or 0.

#include "HeaderDialog.h"

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CPrintDlg : public CHeaderDialog
{
public:
    static constexpr int kClose = 8;

    struct PrinterInfo {
        std::wstring name, status, driver, port, comment;
    };

    // printerName: the application's default printer (empty: the system's).
    // documentName: what the print is called (the page's name); the PDF printer's
    // location is then the file the print will write.
    CPrintDlg(const std::wstring& printerName, bool continuous, QWidget* parent = nullptr,
              const std::wstring& documentName = {});

    bool continuous;
    std::wstring printerName;
    int copies = 1;
    int printBackground = 0;
    std::vector<PrinterInfo> printers;
    std::wstring documentName;

private:
    void Initialise();
    void ShowPrinter(const PrinterInfo& printer);
    void PrinterChanged(int index);
    void CopiesEdited(const QString& text);
    void StepCopies(int delta);
    void ShowProperties();
    void OnOk();
    void OnClose();

    QComboBox* printerBox_;
    QLineEdit* copiesEdit_;
    QLabel* status_;
    QLabel* driver_;
    QLabel* port_;
    QLabel* comment_;
    QCheckBox* background_;
    QPushButton* cancel_;
    QPushButton* close_;
};
