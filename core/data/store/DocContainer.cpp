#include "DocContainer.h"

#include "DocElement.h"
#include "ModuleError.h"

#include <zlib.h>

#include <cwchar>
#include <new>

uint32_t DocCrc32(const void* bytes, uint32_t size)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    if (bytes && size)
        crc = crc32(crc, static_cast<const Bytef*>(bytes), size);
    return static_cast<uint32_t>(crc);
}

bool DocIdEquals(const wchar_t* a, const wchar_t* b)
{
    auto lower = [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    };
    for (;; ++a, ++b) {
        if (lower(*a) != lower(*b))
            return false;
        if (!*a)
            return true;
    }
}

DocContainer::~DocContainer()
{
    FreeElements();
    ForgetAttached();
}

DocElement* DocContainer::Find(const wchar_t* id) const
{
    if (!id || !*id)
        return nullptr;
    for (DocElement* e = ownHead_; e; e = e->ownNext_) {
        if (DocIdEquals(e->id_.c_str(), id))
            return e;
    }
    return nullptr;
}

DocElement* DocContainer::GetElement(const wchar_t* id)
{
    if (!id || !*id)
        return nullptr;
    if (DocElement* e = Find(id))
        return e;
    if (readOnly_)
        return nullptr;
    auto* e = new (std::nothrow) DocElement(this, id);
    if (!e)
        return nullptr;
    e->loaded_ = true;
    e->dirty_ = true;
    e->ownPrev_ = ownTail_;
    (ownTail_ ? ownTail_->ownNext_ : ownHead_) = e;
    ownTail_ = e;
    ++ownCount_;
    return e;
}

int DocContainer::HasElement(const wchar_t* id) const
{
    return Find(id) ? 1 : 0;
}

int DocContainer::IsIdFree(const wchar_t* id) const
{
    if (!id || !*id)
        return 0;
    return Find(id) ? 0 : 1;
}

DocElement* DocContainer::FindElementLike(const wchar_t* text) const
{
    if (!text || !*text)
        return nullptr;
    for (DocElement* e = ownHead_; e; e = e->ownNext_) {
        if (std::wcsstr(e->id_.c_str(), text))
            return e;
    }
    return nullptr;
}

DocElement* DocContainer::AddElement(const wchar_t* id)
{
    if (!IsIdFree(id)) {
        SetModuleErrorFormat(L"无效的文档元素ID或者文档元素已经存在。[%ls]", id ? id : L"");
        return nullptr;
    }
    auto* e = new (std::nothrow) DocElement(this, id);
    if (!e) {
        SetModuleError(L"内存不足");
        return nullptr;
    }
    e->ownPrev_ = ownTail_;
    (ownTail_ ? ownTail_->ownNext_ : ownHead_) = e;
    ownTail_ = e;
    ++ownCount_;
    return e;
}

void DocContainer::UnlinkOwn(DocElement* e)
{
    (e->ownPrev_ ? e->ownPrev_->ownNext_ : ownHead_) = e->ownNext_;
    (e->ownNext_ ? e->ownNext_->ownPrev_ : ownTail_) = e->ownPrev_;
    e->ownNext_ = e->ownPrev_ = nullptr;
    --ownCount_;
}

void DocContainer::UnlinkAttached(DocElement* e)
{
    (e->attachedPrev_ ? e->attachedPrev_->attachedNext_ : attachedHead_) = e->attachedNext_;
    (e->attachedNext_ ? e->attachedNext_->attachedPrev_ : attachedTail_) = e->attachedPrev_;
    e->attachedNext_ = e->attachedPrev_ = nullptr;
    e->second_ = nullptr;
    --attachedCount_;
}

void DocContainer::RemoveElement(DocElement* element)
{
    if (!element || element->owner_ != this)
        return;
    UnlinkOwn(element);
    delete element;
}

void DocContainer::LinkAttached(DocElement* e)
{
    // An element has one second store: it leaves an earlier one's list first, so
    // neither list is left with a stale link.
    if (e->second_)
        e->second_->UnlinkAttached(e);
    e->second_ = this;
    e->attachedPrev_ = attachedTail_;
    e->attachedNext_ = nullptr;
    (attachedTail_ ? attachedTail_->attachedNext_ : attachedHead_) = e;
    attachedTail_ = e;
    ++attachedCount_;
}

void DocContainer::AttachElement(DocElement* element)
{
    MarkModified();
    if (element && element->owner_ != this && element->second_ != this)
        LinkAttached(element);
}

void DocContainer::AttachAll(DocContainer* source)
{
    MarkModified();
    if (!source || source == this)
        return;
    for (DocElement* e = source->ownHead_; e; e = e->ownNext_) {
        if (e->owner_ != this && e->second_ != this)
            LinkAttached(e);
    }
}

void DocContainer::FreeElements()
{
    while (DocElement* e = ownHead_) {
        UnlinkOwn(e);
        delete e;
    }
}

void DocContainer::ForgetAttached()
{
    while (attachedHead_)
        UnlinkAttached(attachedHead_);
}

void DocContainer::MarkModified()
{
    modified_ = 1;
    if (sink_)
        sink_->OnModified(1);
}

std::vector<DocElement*> DocContainer::Elements() const
{
    std::vector<DocElement*> list;
    list.reserve(static_cast<size_t>(ownCount_));
    for (DocElement* e = ownHead_; e; e = e->ownNext_)
        list.push_back(e);
    return list;
}

std::vector<DocElement*> DocContainer::AttachedElements() const
{
    std::vector<DocElement*> list;
    list.reserve(static_cast<size_t>(attachedCount_));
    for (DocElement* e = attachedHead_; e; e = e->attachedNext_)
        list.push_back(e);
    return list;
}
