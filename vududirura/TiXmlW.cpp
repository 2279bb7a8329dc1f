#include "TiXmlW.h"

#include "UIUitl.h"

#include <QString>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string TiXmlElementP::Value() const { return element_ ? element_->Name() : std::string(); }

TiXmlElementP TiXmlElementP::FirstChildElement(const char* name) const
{
    return TiXmlElementP(element_ ? element_->FirstChildElement(name) : nullptr);
}

TiXmlElementP TiXmlElementP::NextSiblingElement(const char* name) const
{
    return TiXmlElementP(element_ ? element_->NextSiblingElement(name) : nullptr);
}

TiXmlElementP TiXmlElementP::InsertEndChild(const char* name) const
{
    if (!element_) return TiXmlElementP();
    return TiXmlElementP(element_->InsertNewChildElement(name));
}

bool TiXmlElementP::Attribute(const char* name, std::wstring* value) const
{
    const char* text = element_ ? element_->Attribute(name) : nullptr;
    if (!text) return false;
    *value = QString::fromUtf8(text).toStdWString();
    return true;
}

bool TiXmlElementP::Attribute(const char* name, int* value) const
{
    return element_ && element_->QueryIntAttribute(name, value) == tinyxml2::XML_SUCCESS;
}

void TiXmlElementP::SetAttribute(const char* name, const std::wstring& value) const
{
    if (element_) element_->SetAttribute(name, QString::fromStdWString(value).toUtf8().constData());
}

void TiXmlElementP::SetAttribute(const char* name, int value) const
{
    if (element_) element_->SetAttribute(name, value);
}

TiXmlDocumentW::TiXmlDocumentW() = default;

bool TiXmlDocumentW::AddDeclaration()
{
    tinyxml2::XMLDeclaration* declaration = doc_.NewDeclaration();
    return declaration && doc_.InsertFirstChild(declaration);
}

bool TiXmlDocumentW::Parse(const char* text, long size)
{
    doc_.Clear();
    if (!text) return false;
    const size_t length = size < 0 ? static_cast<size_t>(-1) : static_cast<size_t>(size);
    return doc_.Parse(text, length) == tinyxml2::XML_SUCCESS;
}

bool TiXmlDocumentW::LoadFile(const std::wstring& path, size_t maxBytes)
{
    doc_.Clear();
    // Opened without waiting (a FIFO with no writer would block an ordinary open), then
    // read only when it is a regular file of a sane size.
    const int fd = ::open(QString::fromStdWString(path).toUtf8().constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st{};
    std::string text;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
              static_cast<uint64_t>(st.st_size) <= maxBytes;
    if (ok) {
        text.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (ok && done < text.size()) {
            const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            ok = n > 0;
            if (ok) done += static_cast<size_t>(n);
        }
        // A file that grows meanwhile beyond the bound is not taken either.
        char more = 0;
        ok = ok && ::read(fd, &more, 1) == 0;
    }
    ::close(fd);
    return ok && doc_.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS;
}

bool TiXmlDocumentW::SaveFile(const std::wstring& path) const
{
    return UIUitl::WriteFileReplacing(path, Print());
}

std::string TiXmlDocumentW::Print() const
{
    tinyxml2::XMLPrinter printer;
    doc_.Print(&printer);
    // The printer's size counts the terminating NUL.
    return std::string(printer.CStr(), printer.CStrSize() > 0 ? printer.CStrSize() - 1 : 0);
}

TiXmlElementP TiXmlDocumentW::RootElement() const { return TiXmlElementP(doc_.RootElement()); }

TiXmlElementP TiXmlDocumentW::InsertEndChild(const char* name)
{
    tinyxml2::XMLElement* element = doc_.NewElement(name);
    return TiXmlElementP(doc_.InsertEndChild(element) ? element : nullptr);
}
