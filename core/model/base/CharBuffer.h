#pragma once
// Conversion between the wide text used inside the system and the UTF-8 text of
// XML and of element names, with an owned 8-bit buffer for the result.

#include <cstdint>
#include <string>

class CharBuffer
{
public:
    CharBuffer() = default;
    explicit CharBuffer(const char* text);
    ~CharBuffer();
    CharBuffer(const CharBuffer&) = delete;
    CharBuffer& operator=(const CharBuffer&) = delete;

    // Back to empty: data points at the shared empty string, length and capacity 0.
    void Free();
    // Sets length to n, reallocating only when n exceeds the capacity (old bytes
    // are then dropped). False, and empty, when memory is short or n is negative.
    bool Reserve(int32_t n);
    // Copies a text and its terminating zero; null empties the buffer.
    bool Assign(const char* text);

    const char* data() const { return data_; }
    char* data() { return data_; }
    int32_t length() const { return length_; }
    int32_t capacity() const { return capacity_; }

private:
    char* data_ = SharedEmpty();
    int32_t length_ = 0;
    int32_t capacity_ = 0;

    static char* SharedEmpty();
};

// Converts a wide text; the buffer then holds the UTF-8 bytes, their zero and one
// more zero, with length = bytes + 2. A null text gives the shared empty string.
const char* WideToUtf8(CharBuffer& out, const wchar_t* text);

// Converts UTF-8 text into out; invalid sequences become U+FFFD. A null text
// leaves out empty.
const wchar_t* Utf8ToWide(std::wstring& out, const char* text);

// The same conversions over texts with a length (the bytes may hold zeros).
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const char* text, size_t length);
inline std::wstring Utf8ToWide(const std::string& text)
{
    return Utf8ToWide(text.data(), text.size());
}

// Converts UTF-16 text (the encoding the bill database keeps) into out, reusing
// out's storage; a lone surrogate becomes U+FFFD.
void Utf16ToWide(const char16_t* text, size_t units, std::wstring& out);
// The same straight into UTF-8, reusing out's storage (a list that keeps its texts in
// UTF-8 takes them without a wide copy on the way).
void Utf16ToUtf8(const char16_t* text, size_t units, std::string& out);
