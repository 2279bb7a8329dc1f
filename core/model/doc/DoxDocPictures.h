#pragma once
// Template icons and previews read straight from a template file.

#include <cstdint>
#include <vector>

class CBitmap;
class QByteArray;
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
// The page as the template's icon, the way the library lists templates: the shown
// layers over the background, shrunk into 96 by 96 on white, as JPEG bytes marked as
// made from the page. The page's draw list is left as it was. False when the page
// cannot be painted (a runner holds it).
bool RenderPageIcon(DoxPage* page, QByteArray& jpeg);
// Whether icon bytes are a picture RenderPageIcon made, rather than one an author chose.
bool IsPageIcon(const QByteArray& jpeg);
