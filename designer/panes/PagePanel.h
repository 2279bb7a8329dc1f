#pragma once
// One panel for a page's name, size, base point and background picture, with a scaled
// preview: page two of the new-template wizard and the only page of the page
// properties sheet. Lengths are in 0.1 mm; a page may be 40 to 600 mm each way.

#include "UIWizard.h"

#include <QImage>

#include <functional>
#include <string>

class CMmEdit;
class IDoxPage;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

constexpr int kPageMinLength = 400;
constexpr int kPageMaxLength = 6000;

// What the panel edits.
struct PageValues {
    std::wstring name;
    int cx = 2100;
    int cy = 2970;
    int baseX = 0;
    int baseY = 0;
    std::wstring picture;        // the chosen picture file; empty: none, or the one stored
    bool sizeFromPicture = false;
    bool pictureChanged = false;
    bool stretch = false;
    // The page holds a picture (when the panel is given no page to ask).
    bool hasPicture = false;
};

class CPagePanel : public UIWizardPage
{
public:
    // Asks for a paper of a printer (the paper dialog): in, the printer to start with;
    // out, the chosen printer and the paper's size. False when cancelled.
    using PaperChooser = std::function<bool(QWidget* parent, std::wstring* printer, int* cx, int* cy)>;
    static void SetPaperChooser(PaperChooser chooser);
    // The application's default printer, read and replaced by the paper button.
    static void SetDefaultPrinter(std::wstring* printer);
    static std::wstring* DefaultPrinter();

    // page: the page shown (its stored picture), or null for a page still to be made.
    explicit CPagePanel(const PageValues& values, IDoxPage* page = nullptr, QWidget* parent = nullptr);

    bool OnKillActive() override;
    const PageValues& Values() const { return values_; }

    // The preview's geometry, for the tests: the square and the page inside it.
    QRect PreviewSquare() const { return square_; }
    QRect PreviewPage() const;

    // Controls by id.
    QLineEdit* NameEdit() const { return name_; }
    QComboBox* PictureList() const { return pictures_; }
    CMmEdit* WidthEdit() const { return width_; }
    CMmEdit* HeightEdit() const { return height_; }
    CMmEdit* BaseXEdit() const { return baseX_; }
    CMmEdit* BaseYEdit() const { return baseY_; }
    QCheckBox* SizeFromPicture() const { return fromPicture_; }
    QCheckBox* Stretch() const { return stretch_; }
    QPushButton* PaperButton() const { return paper_; }
    // The picture's size in 0.1 mm (0 x 0 without one).
    QSize PictureSize() const { return pictureSize_; }

    void Browse();
    void ChoosePaper();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillPictureList();
    void LoadPicture();
    void UpdateChecks();
    void UpdateSizeEdits();
    void SizeChanged(const CMmEdit* size, CMmEdit* base, int* length);

    PageValues values_;
    IDoxPage* page_;
    bool hasPicture_ = false;
    QSize pictureSize_;
    QImage preview_;
    bool existingMeant_ = false;
    bool openFailed_ = false;
    int initialChoice_ = 0;
    QRect square_;

    QLineEdit* name_;
    QComboBox* pictures_;
    QPushButton* browse_;
    CMmEdit* width_;
    CMmEdit* height_;
    QCheckBox* fromPicture_;
    QCheckBox* stretch_;
    QPushButton* paper_;
    CMmEdit* baseX_;
    CMmEdit* baseY_;
    QGroupBox* frame_;
};

// Lends the panels a printer name to read and replace while it lives.
class ScopedDefaultPrinter
{
public:
    explicit ScopedDefaultPrinter(std::wstring* printer) : previous_(CPagePanel::DefaultPrinter())
    {
        CPagePanel::SetDefaultPrinter(printer);
    }
    ~ScopedDefaultPrinter() { CPagePanel::SetDefaultPrinter(previous_); }
    ScopedDefaultPrinter(const ScopedDefaultPrinter&) = delete;
    ScopedDefaultPrinter& operator=(const ScopedDefaultPrinter&) = delete;

private:
    std::wstring* previous_;
};

// The page properties sheet: mode 1 a new page, 0 the page's own properties.
class CPageProperty : public UIWizardSheet
{
public:
    CPageProperty(int mode, const PageValues& values, IDoxPage* page = nullptr, QWidget* parent = nullptr);

    CPagePanel* Panel() const { return panel_; }
    const PageValues& Values() const;
    void accept() override;

protected:
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    int mode_;
    CPagePanel* panel_;
};

// The picture files the designer offers (the fifth entry takes every kind).
extern const wchar_t kPictureFilter[];
