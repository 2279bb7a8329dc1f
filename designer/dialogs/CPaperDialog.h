#pragma once
// The paper dialog of the designer: a page size taken from a paper that an installed
// printer offers. Lists the printers, the chosen printer's papers, and the chosen
// paper's width and height in millimetres.

#include "HeaderDialog.h"

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;

class CPaperDialog : public CHeaderDialog
{
public:
    struct Paper {
        std::wstring name;
        int width = 0; // 0.1 mm
        int height = 0;
    };

    // printerName: the printer to preselect (empty: the system's default printer).
    explicit CPaperDialog(const std::wstring& printerName, QWidget* parent = nullptr);

    const std::wstring& PrinterName() const { return printerName_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<Paper>& Papers() const { return papers_; }

private:
    void PrinterChanged(int index);
    void FillPapers();
    void PaperChanged(int index);
    void OnOk();

    std::wstring systemDefault_;
    std::wstring printerName_;
    std::vector<Paper> papers_;
    int width_ = 0;
    int height_ = 0;
    QComboBox* printerBox_;
    QComboBox* paperBox_;
    QLineEdit* widthText_;
    QLineEdit* heightText_;
};

// Runs the paper dialog: in, the printer to start with; out, the chosen printer and
// the paper's size (0.1 mm). False when cancelled.
bool RunPaperDialog(QWidget* parent, std::wstring* printer, int* cx, int* cy);

