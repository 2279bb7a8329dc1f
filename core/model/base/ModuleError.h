#pragma once
// The module-wide last-error text. Operations that begin a unit of work clear it;
// failures record their reason here and return null or 0, and the programs read
// it through IDoxCore::GetLastErrorText and append it to their own message.

#include <string>

class IDoxErrorSink;

// Replaces the text (null gives an empty text) and tells the sink, when one is set.
void SetModuleError(const wchar_t* text);
void SetModuleError(const std::wstring& text);

// printf-style: wide texts are passed with %ls.
void SetModuleErrorFormat(const wchar_t* format, ...);

// The system's message for an errno value (the calling thread's errno by default).
void SetModuleErrorFromSystem(int error);
void SetModuleErrorFromSystem();

// Empties the text without telling the sink.
void ClearModuleError();

// Never null; valid until the text next changes.
const wchar_t* GetModuleErrorText();

IDoxErrorSink* SetModuleErrorSink(IDoxErrorSink* sink);
IDoxErrorSink* GetModuleErrorSink();
