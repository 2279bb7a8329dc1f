#pragma once
// What a print dialog shows as the PDF printer's place ("位置:"): the file the print
// will write, named after the document and numbered while earlier prints are there;
// the printer's port "FILE:" when no document is named. The printing program's dialog
// and the designer's show it alike.

#include "TestSupport.h"

#include <QFile>
#include <QString>

#include <functional>

#include <gtest/gtest.h>

// placeShown makes the dialog on the PDF printer for the document and returns the
// place it shows.
inline void ExpectThePdfPlaceIsTheFileThePrintWillWrite(const std::function<QString(const wchar_t*)>& placeShown)
{
    doxtest::TempDir folder;
    doxtest::ScratchHome home(folder.path());
    const QString documents = QString::fromStdString(home.Documents().string());
    const struct {
        const char* what;
        const wchar_t* document;
        QString place;
    } cases[] = {
        {"first print", L"进账单", documents + QStringLiteral("/进账单.pdf")},
        {"an earlier print is there", L"进账单", documents + QStringLiteral("/进账单 (2).pdf")},
        {"two earlier prints", L"进账单", documents + QStringLiteral("/进账单 (3).pdf")},
        {"no document named", L"", QStringLiteral("FILE:")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(placeShown(c.document), c.place);
        // What the print would then have written.
        if (c.place != QLatin1String("FILE:")) {
            QFile written(c.place);
            ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        }
    }
}
