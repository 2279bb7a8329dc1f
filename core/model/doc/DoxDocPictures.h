#pragma once
// Template icons and previews read straight from a template file.

#include <cstdint>
#include <vector>

class CBitmap;
class DoxPage;

// The stored icon's bytes; false when the file cannot be opened (the store's text
// stays) or has no icon.
bool ReadTemplateIcon(const wchar_t* path, std::vector<uint8_t>& bytes);
// The first page (background and controls) as JPEG bytes at screen resolution;
// false with the store's or the XML's text when the file is not a readable template.
bool RenderTemplatePreview(const wchar_t* path, std::vector<uint8_t>& jpeg);
// The page (every layer, background and controls) painted by a page runner of its own
// into a new bitmap of the page's size in screen pixels, filled with the window colour
// first. False when the runner cannot attach or the bitmap cannot be made.
bool RenderPageBitmap(DoxPage* page, CBitmap& bitmap);
