#pragma once
// Both stores move an element's bytes under the same terms, checked before any I/O.

#include "DocElement.h"

#include <optional>

// The outcome of a read or write when it is settled before any bytes move: no element
// fails, an empty element has nothing to move and succeeds, a buffer smaller than the
// element's size fails. Nothing when the bytes must move.
inline std::optional<int> SettledBeforeTransfer(const DocElement* element)
{
    if (!element)
        return 0;
    if (element->Size() == 0)
        return 1;
    if (!element->Buffer() || element->Capacity() < element->Size())
        return 0;
    return std::nullopt;
}
