#pragma once
// Finding, removing and adding elements in an XML document's text, leaving
// every other byte as it was: enough to change a few settings of an
// application manifest without rewriting what its author wrote. Elements are
// matched by local name, whatever their prefix; comments, CDATA sections,
// declarations and processing instructions are passed over.
//
// The functions that find and change elements expect a document that
// rootElementOf accepted: in any other, an element's span could take in its
// parent's end tag.
#include "outcome.h"

#include <optional>
#include <string>
#include <vector>

struct ElementSpan {
    size_t begin;         // its start tag's '<'
    size_t contentBegin;  // after its start tag
    size_t contentEnd;    // its end tag's '<' (contentBegin when empty)
    size_t end;           // after its end tag
    bool selfClosing;
};

// The local name of the document's one root element, once every '<' is
// found to open whole markup and every start tag to be closed by its own end
// tag inside its parent; else what is wrong.
Outcome<std::string> rootElementOf(const std::string& xml);

std::optional<ElementSpan> findElement(const std::string& xml, const std::string& localName, size_t from = 0);

// Removes every element of that name, with the line it stood on when it
// stood alone there.
void removeElements(std::string& xml, const std::string& localName);

// Adds lines (each indented by two spaces a level, relative to the new
// child) as the last content of the element, indented one step deeper than
// the element itself, in the document's own line ending.
void appendChildLines(std::string& xml, const ElementSpan& parent, const std::vector<std::string>& lines);
