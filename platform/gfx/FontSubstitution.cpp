#include "FontSubstitution.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <memory>

namespace plat
{

namespace
{

const char* const kZenHei = "WenQuanYi Zen Hei";

struct Substitution {
    const char* face; // UTF-8
    QStringList substitutes;
};

// Serif and sans CJK faces all fall back to Zen Hei: it is the one CJK face whose PDF
// text extracts correctly with this Qt; the Noto faces follow for machines without it.
const std::vector<Substitution>& Table()
{
    static const QStringList cjk = {kZenHei, "Noto Sans CJK SC", "Noto Serif CJK SC", "AR PL UMing CN"};
    static const QStringList sans = {kZenHei, "DejaVu Sans", "Liberation Sans"};
    static const std::vector<Substitution> table = {
        {"宋体", cjk},
        {"SimSun", cjk},
        {"新宋体", cjk},
        {"NSimSun", cjk},
        {"黑体", cjk},
        {"SimHei", cjk},
        {"楷体", cjk},
        {"KaiTi", cjk},
        {"楷体_GB2312", cjk},
        {"KaiTi_GB2312", cjk},
        {"仿宋", cjk},
        {"FangSong", cjk},
        {"仿宋_GB2312", cjk},
        {"FangSong_GB2312", cjk},
        {"微软雅黑", cjk},
        {"Microsoft YaHei", cjk},
        {"MS Sans Serif", sans},
        {"MS Shell Dlg", sans},
        {"MS Shell Dlg 2", sans},
    };
    return table;
}

// Whether a family is installed, remembered per family: each question to the font
// database is a fontconfig substitution, and printing asks for every field it draws.
// The answers are forgotten when the application's fonts change.
class InstalledFamilies
{
public:
    bool Has(const QString& family)
    {
        QMutexLocker lock(&mutex_);
        WatchFontChanges();
        auto it = known_.constFind(family);
        if (it != known_.cend())
            return *it;
        const bool installed = QFontDatabase::hasFamily(family);
        known_.insert(family, installed);
        return installed;
    }

    QString SystemFamily()
    {
        QMutexLocker lock(&mutex_);
        WatchFontChanges();
        if (systemFamily_.isEmpty())
            systemFamily_ = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        return systemFamily_;
    }

    void Forget()
    {
        QMutexLocker lock(&mutex_);
        known_.clear();
        systemFamily_.clear();
    }

private:
    void WatchFontChanges()
    {
        if (watching_ || !qGuiApp)
            return;
        watching_ = true;
        // The connections live as long as this cache: a library that holds it may be
        // unloaded before the application object goes, and a signal must never call
        // into unloaded code.
        guard_ = std::make_unique<QObject>();
        QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, guard_.get(), [this] { Forget(); });
        QObject::connect(qGuiApp, &QObject::destroyed, guard_.get(), [this] {
            Forget();
            watching_ = false;
        });
    }

    std::unique_ptr<QObject> guard_;
    QMutex mutex_;
    QHash<QString, bool> known_;
    QString systemFamily_;
    bool watching_ = false;
};

InstalledFamilies& Families()
{
    static InstalledFamilies families;
    return families;
}

bool Installed(const QString& family)
{
    return Families().Has(family);
}

} // namespace

QString DefaultFontFamily()
{
    if (Installed(kZenHei))
        return kZenHei;
    return Families().SystemFamily();
}

QStringList FontSubstitutesFor(const QString& face)
{
    for (const Substitution& s : Table()) {
        if (face.compare(QString::fromUtf8(s.face), Qt::CaseInsensitive) == 0)
            return s.substitutes;
    }
    return {};
}

void InstallFontSubstitutions()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const Substitution& s : Table())
        QFont::insertSubstitutions(QString::fromUtf8(s.face), s.substitutes);
}

QString ResolveFontFamily(const QString& face)
{
    QString trimmed = face.trimmed();
    if (trimmed.isEmpty())
        return DefaultFontFamily();
    const QStringList substitutes = FontSubstitutesFor(trimmed);
    if (substitutes.isEmpty()) {
        if (Installed(trimmed))
            return trimmed;
        return DefaultFontFamily();
    }
    for (const QString& candidate : substitutes) {
        if (Installed(candidate))
            return candidate;
    }
    return DefaultFontFamily();
}

QFont FontFromLogFont(const LOGFONTW& lf, double emPixels, int deviceDpiY)
{
    InstallFontSubstitutions();
    size_t length = 0;
    while (length < LF_FACESIZE && lf.lfFaceName[length])
        ++length;
    QString face = QString::fromWCharArray(lf.lfFaceName, static_cast<qsizetype>(length));
    QString family = ResolveFontFamily(face);

    QFont font(family);
    // The default face covers CJK, so characters missing from a Latin face still draw.
    font.setFamilies({family, DefaultFontFamily()});
    if (deviceDpiY <= 0)
        deviceDpiY = 96;
    if (emPixels <= 0)
        emPixels = 1;
    font.setPointSizeF(emPixels * 72.0 / deviceDpiY);
    int weight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace plat
