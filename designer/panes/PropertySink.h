#pragma once
// Windows that show attributes of the design window's objects (the property grid of an
// open collection dialog) hear about changes made in the design window through one
// list of sinks: the design view calls RefreshProperties on every node, first to last.

namespace designer
{

class PropertySink
{
public:
    virtual void RefreshProperties() = 0;

protected:
    ~PropertySink() = default;
};

struct PropertySinkNode {
    PropertySink* sink = nullptr;
    PropertySinkNode* next = nullptr;
    // The head cell of the list the node is in; null while unlinked.
    PropertySinkNode** head = nullptr;
};

// The application's list head (empty at start).
PropertySinkNode*& PropertySinkHead();

// Prepends the node unless it is already in the list.
void RegisterPropertySink(PropertySinkNode* node, PropertySinkNode** head = &PropertySinkHead());
// Unlinks the node (found by pointer) and clears its next and head.
void UnregisterPropertySink(PropertySinkNode* node);
// Calls every sink of the list, first to last.
void RefreshPropertySinks(PropertySinkNode* head = PropertySinkHead());

} // namespace designer
