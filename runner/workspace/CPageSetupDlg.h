#pragma once
// The page setup dialog: paper (from the printer's papers, with the template page's own
// size first), width and height, portrait or landscape, offsets of the printout and the
// gap between sheets, with a small preview. OK writes the choice into the record.

#include "HeaderDialog.h"
#include "Printers.h"

#include <QFont>

#include <string>
#include <vector>

class CMmEdit;
class QComboBox;
class QLabel;
class QRadioButton;
struct PageSetupRecord;

class CPageSetupDlg : public CHeaderDialog
{
public:
    struct PagerSize {
        std::wstring name;
        int id = 0;
        int width = 0;
        int height = 0;
        bool custom = false;
    };

    CPageSetupDlg(PageSetupRecord& record, const std::wstring& printerName, QWidget* parent = nullptr);

    // 1 (OK) or 0; a printer without papers ends the dialog at once with 0.
    int exec() override;

    const std::vector<PagerSize>& Papers() const { return papers_; }
    // The values the dialog shows.
    int Orientation() const { return orientation_; }
    int PaperId() const { return paperId_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // What the dialog says about the paper the chosen size prints on (empty when the
    // printer prints it as it is).
    QString PaperNote() const;

private:
    bool Initialise();
    void SelectPaper(int index);
    void SetOrientation(int orientation);
    void OnOk();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void PaintPreview(QWidget* frame);
    // Says on which paper a size of its own prints where the printer does not take it.
    void ShowPaperNote();

    PageSetupRecord& record_;
    std::wstring printerName_;
    // The printer as described once when the dialog opens; the paper note reads it.
    plat::PrinterDescription printer_;
    std::vector<PagerSize> papers_;
    int orientation_ = 1;
    int paperId_ = 256;
    int width_ = 0;
    int height_ = 0;
    int left_ = 0;
    int top_ = 0;
    int spacing_ = 0;
    bool ready_ = false;
    QFont previewFont_;

    QComboBox* paperBox_;
    CMmEdit* widthEdit_;
    CMmEdit* heightEdit_;
    CMmEdit* leftEdit_;
    CMmEdit* topEdit_;
    CMmEdit* spacingEdit_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QWidget* preview_;
    QLabel* printerLabel_;
    QLabel* paperNote_;
};
