#include "PropertySink.h"

namespace designer
{

PropertySinkNode*& PropertySinkHead()
{
    static PropertySinkNode* head = nullptr;
    return head;
}

void RegisterPropertySink(PropertySinkNode* node, PropertySinkNode** head)
{
    if (!node || !head)
        return;
    for (PropertySinkNode* n = *head; n; n = n->next)
        if (n == node)
            return;
    node->next = *head;
    node->head = head;
    *head = node;
}

void UnregisterPropertySink(PropertySinkNode* node)
{
    if (!node || !node->head)
        return;
    for (PropertySinkNode** cell = node->head; *cell; cell = &(*cell)->next) {
        if (*cell == node) {
            *cell = node->next;
            break;
        }
    }
    node->next = nullptr;
    node->head = nullptr;
}

void RefreshPropertySinks(PropertySinkNode* head)
{
    for (PropertySinkNode* n = head; n;) {
        PropertySinkNode* next = n->next; // a sink may unlink itself
        if (n->sink)
            n->sink->RefreshProperties();
        n = next;
    }
}

} // namespace designer
