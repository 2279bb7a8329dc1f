// Draws the programs' and the file types' icons for the desktop's icon theme:
//   dox_make_icons <folder>  ->  <folder>/<n>x<n>/{apps,mimetypes}/<name>.png
// Each icon is drawn on a 256-unit square and scaled, so every size shows the same picture.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace
{

const QColor kInk(0x33, 0x3b, 0x47);
const QColor kPaper(0xfd, 0xfc, 0xf7);
const QColor kSeal(0xc8, 0x2a, 0x2a);
const QColor kBlue(0x2f, 0x6f, 0xb5);

// A sheet of paper with a folded top-right corner.
void Sheet(QPainter& p, QRectF r, const QColor& edge)
{
    const qreal fold = r.width() * 0.22;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(QPen(edge, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(edge.lighter(170));
    p.drawPath(corner);
}

// A row of boxes split into one-character cells, as an amount is written on a bill.
void Cells(QPainter& p, QRectF r, int count, const QColor& colour)
{
    p.setPen(QPen(colour, 6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    for (int i = 1; i < count; ++i) {
        const qreal x = r.left() + r.width() * i / count;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    }
}

// A blank form: the sheet at `left`, its title band and one row of amount cells.
void Form(QPainter& p, qreal left, const QColor& title)
{
    Sheet(p, QRectF(left, 14, 176, 228), kBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(title);
    p.drawRect(QRectF(left + 20, 42, 98, 22));
    Cells(p, QRectF(left + 20, 90, 136, 35), 4, kBlue);
}

void Runner(QPainter& p)
{
    // The bill coming out of the printer.
    p.setPen(QPen(kInk, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kPaper);
    p.drawRect(QRectF(58, 16, 140, 150));
    p.setBrush(kSeal);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(62, 20, 132, 26));
    Cells(p, QRectF(76, 64, 104, 30), 4, kBlue);
    p.setPen(QPen(kInk, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(80, 118), QPointF(176, 118));
    // The printer.
    p.setPen(QPen(kInk, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x5d, 0x67, 0x75));
    p.drawRoundedRect(QRectF(16, 136, 224, 92), 18, 18);
    p.setBrush(QColor(0x26, 0x2c, 0x35));
    p.drawRect(QRectF(52, 150, 152, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5c, 0xd6, 0x5c));
    p.drawEllipse(QPointF(206, 198), 12, 12);
}

void Designer(QPainter& p)
{
    Form(p, 28, kBlue);
    Cells(p, QRectF(48, 142, 102, 35), 3, kBlue);
    // The pencil, across the sheet's lower right.
    p.save();
    p.translate(150, 160);
    p.rotate(40);
    p.setPen(QPen(kInk, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xf2, 0xb1, 0x34));
    p.drawRect(QRectF(-22, -80, 44, 116));
    p.setBrush(QColor(0xe8, 0x8a, 0x8a));
    p.drawRect(QRectF(-22, -100, 44, 20));
    QPainterPath tip;
    tip.moveTo(-22, 36);
    tip.lineTo(22, 36);
    tip.lineTo(0, 78);
    tip.closeSubpath();
    p.setBrush(QColor(0xf3, 0xd9, 0xa8));
    p.drawPath(tip);
    p.restore();
}

void Template(QPainter& p)
{
    Form(p, 40, kSeal);
    p.setPen(QPen(kInk, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(62, 168), QPointF(194, 168));
    p.drawLine(QPointF(62, 204), QPointF(150, 204));
}

void Backup(QPainter& p)
{
    // Two sheets going into a box.
    Sheet(p, QRectF(70, 12, 130, 150), kBlue);
    Sheet(p, QRectF(50, 36, 130, 150), kBlue);
    p.setPen(QPen(kInk, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xc9, 0x8b, 0x3f));
    p.drawRect(QRectF(22, 128, 212, 112));
    p.setBrush(QColor(0xe0, 0xa9, 0x5e));
    p.drawRect(QRectF(14, 112, 228, 34));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(92, 170, 72, 28), 8, 8);
}

bool Write(const QString& folder, int size, const char* kind, const char* name, const std::function<void(QPainter&)>& draw)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 256.0, size / 256.0);
        draw(p);
    }
    const QString dir = QStringLiteral("%1/%2x%2/%3").arg(folder).arg(size).arg(QLatin1String(kind));
    if (!QDir().mkpath(dir)) return false;
    return image.save(QStringLiteral("%1/%2.png").arg(dir, QLatin1String(name)), "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dox_make_icons <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    struct Icon {
        const char* kind;
        const char* name;
        void (*draw)(QPainter&);
    };
    const Icon icons[] = {
        {"apps", "DoxKQRunner", &Runner},
        {"apps", "DoxDesigner", &Designer},
        {"mimetypes", "application-x-dox-template", &Template},
        {"mimetypes", "application-x-dox-backup", &Backup},
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        for (const Icon& icon : icons) {
            if (!Write(folder, size, icon.kind, icon.name, icon.draw)) {
                std::fprintf(stderr, "dox_make_icons: cannot write the %dx%d icon %s\n", size, size, icon.name);
                return 1;
            }
        }
    }
    return 0;
}
