#include "ShapedLine.h"

#include <QPainter>
#include <QTextOption>
#include <limits>

namespace plat
{

ShapedLine::ShapedLine(const QString& text, const QFont& font, const QPaintDevice* device)
    : layout_(text, font, device)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout_.setTextOption(option);
    layout_.setCacheEnabled(true);
    layout_.beginLayout();
    line_ = layout_.createLine();
    if (line_.isValid()) {
        // A line without a width of its own: it is never aligned within one, and the
        // layout never looks for a glyph's overhang past its edge (a narrow width made
        // it measure the bounding box of every glyph of every text).
        line_.setLineWidth(std::numeric_limits<double>::max());
        line_.setPosition(QPointF(0, 0));
    }
    layout_.endLayout();
}

void ShapedLine::Draw(QPainter* painter, double x, double baseline) const
{
    if (line_.isValid())
        line_.draw(painter, QPointF(x, baseline - line_.ascent()));
}

} // namespace plat
