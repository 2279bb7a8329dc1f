#pragma once
// The template XML in the element "doc_dxtemplate": "dox:template" > "dox:page"
// ("dox:datapage", "dox:manifest" > "dox:layer" > "dox:control").

#include <cstddef>

class DocElement;
class DoxDocument;

// Writes the document's tree into the element (UTF-8 with its terminating NUL).
int WriteTemplateXml(DocElement* element, DoxDocument* document);
// Reads the element into a freshly made document, bounded by the element's size.
int ParseTemplateXml(DocElement* element, DoxDocument* document);
// Parses template XML bytes (length given; a trailing NUL is allowed).
int ParseTemplateXmlBytes(const char* bytes, size_t size, DoxDocument* document);
