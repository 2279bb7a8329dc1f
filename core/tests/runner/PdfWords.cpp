#include "PdfWords.h"

#include <QProcess>
#include <QRegularExpression>

namespace pdftest
{

namespace
{

QString RunTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

double Mm(const QString& points)
{
    return points.toDouble() * 25.4 / 72.0;
}

} // namespace

std::vector<Word> ReadWords(const QString& pdf)
{
    const QString html = RunTool("pdftotext", {"-bbox", pdf, "-"});
    std::vector<Word> words;
    static const QRegularExpression tag(
        R"re(<page [^>]*>|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    int page = -1;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.push_back({m.captured(5), Mm(m.captured(1)), Mm(m.captured(2)), page, Mm(m.captured(3)), Mm(m.captured(4))});
    }
    return words;
}

int PageCount(const QString& pdf)
{
    static const QRegularExpression pages(R"re(Pages:\s+(\d+))re");
    const auto m = pages.match(RunTool("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QImage RenderPage(const QString& pdf, const QString& pngBase)
{
    QProcess process;
    process.start("pdftoppm", {"-r", "254", "-png", "-singlefile", pdf, pngBase});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QImage();
    return QImage(pngBase + ".png");
}

} // namespace pdftest
