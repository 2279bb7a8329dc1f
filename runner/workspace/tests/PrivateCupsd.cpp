#include "PrivateCupsd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace cupstest
{

namespace
{

const char kCupsd[] = "/usr/sbin/cupsd";
const char kCupsPdfPpd[] = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

bool WriteText(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

PrivateCupsd::PrivateCupsd(const std::filesystem::path& folder) : folder_(folder)
{
    if (!QFileInfo(QString::fromLatin1(kCupsd)).isExecutable()) {
        unavailable_ = QStringLiteral("cupsd is not installed (tools/install-deps.sh installs cups-daemon)");
        return;
    }
    // cupsd runs its filters as lp and cups-pdf only as root: without root it cannot
    // print at all.
    if (geteuid() != 0) {
        unavailable_ = QStringLiteral("cupsd needs root to run its filters as lp and the cups-pdf backend");
        return;
    }
    // The lp user reads the spool and writes the file queues' output.
    chmod(folder_.c_str(), 0755);
    for (const char* sub : {"spool", "cache", "state", "log", "etc-cups", "pdf", "spool-pdf"})
        QDir().mkpath(Path(sub));
    QDir().mkpath(Path("out"));
    chmod(Path("out").toLocal8Bit().constData(), 0777);
    QDir().mkpath(Path("tmp"));
    chmod(Path("tmp").toLocal8Bit().constData(), 01777);

    const QString conf = QStringLiteral("Listen %1\n"
                                        "LogLevel info\n"
                                        "WebInterface No\n"
                                        "Browsing No\n"
                                        "DefaultAuthType None\n"
                                        "PreserveJobHistory Yes\n"
                                        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                        "</Policy>\n")
                             .arg(Socket());
    const QString files = QStringLiteral("ServerRoot %1\n"
                                         "RequestRoot %2\n"
                                         "TempDir %3\n"
                                         "CacheDir %4\n"
                                         "StateDir %5\n"
                                         "ErrorLog %6/error_log\n"
                                         "AccessLog %6/access_log\n"
                                         "PageLog %6/page_log\n"
                                         // Else the machine's own /run/cups/printcap.
                                         "Printcap %1/printcap\n"
                                         "ServerBin /usr/lib/cups\n"
                                         "DataDir /usr/share/cups\n"
                                         "FileDevice Yes\n"
                                         "User lp\n"
                                         "Group lp\n"
                                         "SystemGroup root\n")
                              .arg(QString::fromStdString(folder_.string()), Path("spool"), Path("tmp"),
                                   Path("cache"), Path("state"), Path("log"));
    if (!WriteText(Path("cupsd.conf"), conf) || !WriteText(Path("cups-files.conf"), files)) {
        unavailable_ = QStringLiteral("cannot write cupsd's configuration");
        return;
    }
    if (Start(true) || Start(false))
        return;
    unavailable_ = QStringLiteral("cupsd does not start here: ") + LogTail();
}

PrivateCupsd::~PrivateCupsd()
{
    Stop();
    for (const QString& path : placedSettings_)
        QFile::remove(path);
}

QString PrivateCupsd::Path(const char* name) const
{
    return QString::fromStdString((folder_ / name).string());
}

QString PrivateCupsd::Socket() const
{
    return Path("cups.sock");
}

QString PrivateCupsd::PdfFolder() const
{
    return Path("pdf");
}

bool PrivateCupsd::Start(bool ownNamespace)
{
    ownNamespace_ = ownNamespace;
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList cupsdArguments = {QStringLiteral("-f"), QStringLiteral("-c"), Path("cupsd.conf"),
                                        QStringLiteral("-s"), Path("cups-files.conf")};
    if (ownNamespace) {
        // The shell becomes cupsd (exec), so stopping the process stops cupsd.
        cupsd_.start(QStringLiteral("unshare"),
                     QStringList{QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"),
                                 QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                 QStringLiteral("mount --bind \"$0\" /etc/cups && exec %1 \"$@\"")
                                     .arg(QString::fromLatin1(kCupsd)),
                                 Path("etc-cups")} +
                         cupsdArguments);
    } else {
        cupsd_.start(QString::fromLatin1(kCupsd), cupsdArguments);
    }
    if (!cupsd_.waitForStarted(5000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15000) {
        if (cupsd_.state() == QProcess::NotRunning)
            return false;
        int code = -1;
        if (QFileInfo::exists(Socket()) && (Tool(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &code), code == 0))
            return true;
        QThread::msleep(50);
    }
    Stop();
    return false;
}

void PrivateCupsd::Stop()
{
    if (cupsd_.state() == QProcess::NotRunning)
        return;
    cupsd_.terminate();
    if (!cupsd_.waitForFinished(10000)) {
        cupsd_.kill();
        cupsd_.waitForFinished(5000);
    }
}

QString PrivateCupsd::Tool(const QString& program, const QStringList& arguments, int* exitCode) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), Socket());
    tool.setProcessEnvironment(environment);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    const bool finished = tool.waitForFinished(30000);
    *exitCode = finished && tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    return QString::fromUtf8(tool.readAll());
}

bool PrivateCupsd::AddCupsPdfQueue(const QString& name, QString* output)
{
    // cups-pdf takes the settings file named after its device, from /etc/cups only.
    const QString device = QStringLiteral("dox%1%2").arg(getpid()).arg(name);
    const QString settings = QStringLiteral("Out %1\nAnonDirName %1\nSpool %2\nLog %3\nLogType 3\n")
                                 .arg(PdfFolder(), Path("spool-pdf"), Path("log"));
    const QString file = QStringLiteral("cups-pdf-%1.conf").arg(device);
    const QString place = ownNamespace_ ? Path("etc-cups") + u'/' + file : QStringLiteral("/etc/cups/") + file;
    if (!WriteText(place, settings)) {
        *output = QStringLiteral("cannot write ") + place;
        return false;
    }
    if (!ownNamespace_)
        placedSettings_ << place;
    int code = -1;
    *output = Tool(QStringLiteral("lpadmin"),
                   {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                    QStringLiteral("cups-pdf:/") + device, QStringLiteral("-P"), QString::fromLatin1(kCupsPdfPpd)},
                   &code);
    return code == 0;
}

bool PrivateCupsd::AddFileQueue(const QString& name, const QString& model, const QString& file, QString* output)
{
    int code = -1;
    *output = Tool(QStringLiteral("lpadmin"),
                   {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                    QStringLiteral("file://") + file, QStringLiteral("-m"), model},
                   &code);
    return code == 0;
}

bool PrivateCupsd::WaitUntilIdle(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        int code = -1;
        const QString pending = Tool(QStringLiteral("lpstat"), {QStringLiteral("-o")}, &code);
        if (code == 0 && pending.trimmed().isEmpty())
            return true;
        QThread::msleep(100);
    }
    return false;
}

QStringList PrivateCupsd::CompletedJobs(const QString& queue)
{
    int code = -1;
    const QString listing =
        Tool(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), queue},
             &code);
    QStringList ids;
    for (const QString& line : listing.split(u'\n', Qt::SkipEmptyParts))
        ids << line.section(u' ', 0, 0);
    return ids;
}

QString PrivateCupsd::LogTail() const
{
    QFile log(Path("log") + QStringLiteral("/error_log"));
    if (!log.open(QIODevice::ReadOnly))
        return QStringLiteral("(cupsd wrote no log)");
    return QString::fromUtf8(log.readAll().right(2000));
}

} // namespace cupstest
