#include "DoxAttribKinds.h"

namespace DoxAttribKindId
{
int32_t Align = -1;
int32_t Basic = -1;
int32_t Data = -1;
int32_t EditSplit = -1;
int32_t Font = -1;
int32_t Format = -1;
int32_t Formula = -1;
int32_t Table = -1;
int32_t GridBasic = -1;
int32_t CheckValue = -1;
int32_t RichEditSplit = -1;
int32_t RichLabelSplit = -1;
int32_t TableSplit = -1;
int32_t FrameSplit = -1;
int32_t DataFunction = -1;
} // namespace DoxAttribKindId

namespace
{
int32_t attribKindCounter = 0;
bool attribKindsRegistered = false;
} // namespace

void RegisterAttribKind(int32_t& id)
{
    id = attribKindCounter++;
}

void RegisterAttribKinds()
{
    if (attribKindsRegistered)
        return;
    attribKindsRegistered = true;
    using namespace DoxAttribKindId;
    // The order is the numbering: a new class goes at the end.
    RegisterAttribKind(Align);
    RegisterAttribKind(Basic);
    RegisterAttribKind(Data);
    RegisterAttribKind(EditSplit);
    RegisterAttribKind(Font);
    RegisterAttribKind(Format);
    RegisterAttribKind(Formula);
    RegisterAttribKind(Table);
    RegisterAttribKind(GridBasic);
    RegisterAttribKind(CheckValue);
    RegisterAttribKind(RichEditSplit);
    RegisterAttribKind(RichLabelSplit);
    RegisterAttribKind(TableSplit);
    RegisterAttribKind(FrameSplit);
    RegisterAttribKind(DataFunction);
}
