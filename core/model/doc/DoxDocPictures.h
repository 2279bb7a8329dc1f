#pragma once
// Template icons and previews read straight from a template file.

#include <cstdint>
#include <vector>

// The stored icon's bytes; false when the file cannot be opened (the store's text
// stays) or has no icon.
bool ReadTemplateIcon(const wchar_t* path, std::vector<uint8_t>& bytes);
// The first page (background and controls) as JPEG bytes at screen resolution;
// false with the store's or the XML's text when the file is not a readable template.
bool RenderTemplatePreview(const wchar_t* path, std::vector<uint8_t>& jpeg);
// The page size in 0.1 mm as screen pixels.
int TenthMmToScreenPixels(int32_t tenthMm);
