#include "CoreStartup.h"

#include "DoxPrinter.h"
#include "ClipboardFormat.h"
#include "FormatCatalogue.h"
#include "Formula.h"
#include "FunctionLibrary.h"
#include "ModuleError.h"
#include "SqlConnectionPool.h"
#include "WindowClass.h"

namespace
{

uint32_t clipboardFormat = 0;

} // namespace

uint32_t DoxClipboardFormat()
{
    return clipboardFormat;
}

int CoreStartup()
{
    // COM has no counterpart here. The optional drawing entry points become
    // capability flags (with the font substitutions and the screen resolution);
    // the picture routines need no start-up.
    BindGdiEntryPoints();

    // The value-format catalogue, then the data-function lists, then the
    // condition lists, in that order, before the connection pool.
    InitFormatCatalogue();
    InitDataFunctionLists();
    InitFormulaLists();

    SqlConnectionPool::Init();

    clipboardFormat = plat::RegisterClipboardFormat(L"DoxControlClipboardForamt");

    // The shadow class first, then the window class; the table cannot refuse.
    plat::RegisterWindowClass({L"DoxShadowClass", plat::kClassSaveBits, 16, plat::ClassCursor::Arrow});
    plat::RegisterWindowClass({L"DoxWindowClass",
                               plat::kClassVRedraw | plat::kClassHRedraw | plat::kClassDblClks, 0,
                               plat::ClassCursor::Arrow});
    return 1;
}

void CoreShutdown()
{
    // Statements are finalized before their connections close, so none is kept
    // open behind our back.
    if (SqlConnectionPool::IsInitialised())
        SqlConnectionPool::Shutdown();

    // The condition lists, then the data-function lists; the static tables
    // their entries point into stay.
    ShutdownFormulaLists();
    ShutdownDataFunctionLists();

    UnbindGdiEntryPoints();
    ClearModuleError();
    // The sink belongs to a program that is letting the library go: a later
    // module object must not call it.
    SetModuleErrorSink(nullptr);
    // The clipboard format and the window classes stay registered.
}
