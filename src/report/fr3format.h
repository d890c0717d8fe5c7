// The .fr3 format: a report as an XML document in Windows-1251.
//
// The root element is TfrxReport; every object is an element named by its class, nested in its
// parent (pages in the report, bands in a page, views in a band), and its properties are the
// element's attributes in their order. The report script is the attribute "ScriptText.Text"; the
// variables are the child element "Variables" with one "item" (Name, Value) each. Line breaks and
// tabs inside values are written as "&#13;", "&#10;" and "&#9;", and "&" as "&#38;", so that
// every XML reader sees the same text.
#pragma once

#include <string>

namespace lm {

class TfrxReport;

// Replaces the report's content with the document's. Raises lm::Exception for text that is not
// XML or whose root is not TfrxReport.
void LoadFr3(TfrxReport& report, const std::string& text);
std::string SaveFr3(const TfrxReport& report);

} // namespace lm
