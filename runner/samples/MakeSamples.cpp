// Makes the sample template library: dox_make_samples <folder>. The folder is made
// when it is missing; the samples and version.vvc in it are replaced.

#include "DoxCore.h"
#include "SampleTemplates.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    IDoxCore* core = CreateDoxCore(500, 0);
    if (!core) {
        std::fprintf(stderr, "the core did not start\n");
        return 1;
    }
    std::wstring reason;
    const bool made = samples::MakeSampleTemplates(core, folder.toStdWString(), &reason);
    core->Release();
    if (!made) {
        std::fprintf(stderr, "%s\n", QString::fromStdWString(reason).toLocal8Bit().constData());
        return 1;
    }
    QFile version(folder + QStringLiteral("/version.vvc"));
    if (!version.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        version.write(QByteArray::number(samples::kSampleLibraryVersion)) < 0)
        return 1;
    return 0;
}
