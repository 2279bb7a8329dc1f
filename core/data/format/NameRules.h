#pragma once
// Names of data fields and data tables: they become column and table names in the
// bill database, so only letters, digits, '_' and non-ASCII characters are taken,
// and the SQL words and the two columns every bill table has are refused.

// Every character a digit, a Latin letter, '_' or a code of 129 or more; the
// empty text (and null) passes.
bool IsValidNameText(const wchar_t* text);

// A non-empty name that starts with a Latin letter, '_' or a code of 129 or more,
// passes IsValidNameText, and is none of the reserved words in any letter case.
bool IsValidFieldName(const wchar_t* name);
