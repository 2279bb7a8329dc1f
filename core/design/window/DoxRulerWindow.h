#pragma once
// The bands around the design canvas: a horizontal ruler along the top, a vertical
// ruler along the left edge and the corner plate that names the unit. The rulers
// are graduated in centimetres and millimetres of the page at the window's zoom,
// follow the canvas when it scrolls and show the mouse position with a red mark.

#include <QWidget>

#include "DoxScrollWindow.h"
#include "GdiObjects.h"

class CDC;

class DoxPlateWindow : public QWidget
{
public:
    explicit DoxPlateWindow(QWidget* parent);

    const QString& Text() const { return text_; }
    // Paints the plate into a context of its size.
    void Paint(CDC& dc);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString text_ = QStringLiteral("cm");
    CFont font_;
};

class DoxRulerWindow : public DoxScrollClient
{
public:
    DoxRulerWindow(QWidget* parent, bool vertical);

    bool IsVertical() const { return vertical_; }
    // The zoom in percent; the tick lengths and the label font follow it.
    void SetZoom(int zoom);
    int GetZoom() const { return zoom_; }
    // The graduated range in 0.1 mm (0 and page size + 1 cm from the design window).
    void SetRange(int start, int end);
    int RangeStart() const { return start_; }
    int RangeEnd() const { return end_; }
    // The pixels the canvas is scrolled by along the ruler (0 or negative).
    void SetScrollOffset(int pixels);
    void DoScrollWindow(int dx, int dy) override;
    // Moves the mouse mark to a canvas point in 0.1 mm (y up). There is exactly one
    // mark: it is part of the ruler's picture, so a repaint shows it where it is.
    void Track(int x, int y);
    // The mark's place along the ruler in ruler pixels.
    int MarkPixel() const;
    // The long, medium and short tick lengths in pixels.
    int LongTick() const { return longTick_; }
    int MediumTick() const { return longTick_ >> 1; }
    int ShortTick() const { return longTick_ >> 2; }
    // The labels drawn at the last paint, in order.
    const std::vector<int>& Labels() const { return labels_; }

    // Paints the ruler into a context of its size.
    void Paint(CDC& dc);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // 0.1 mm along the ruler to pixels of the ruler.
    int ToPixel(int tenthMm) const;
    void UpdateMetrics();

    bool vertical_;
    int zoom_ = 100;
    int start_ = 0;
    int end_ = 0;
    int offset_ = 0;
    int mark_ = 0; // 0.1 mm along the ruler, down or right
    bool tracked_ = false; // no mark until the mouse has been over the canvas
    int longTick_ = 20;
    int labelExtent_ = 0;
    CFont font_;
    CPen grey_;
    CPen black_;
    CPen red_;
    std::vector<int> labels_;
};
