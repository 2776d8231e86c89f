#pragma once

#include "output/mergedata.h"

#include <pugixml.hpp>
#include <vector>

// Merge fields in word-processing XML, simple (w:fldSimple) or complex (field characters with the
// instruction split across any number of runs).
namespace qv::docx {

// Replaces every merge field below the roots (body elements, or a header's or footer's root) by
// the record's value, formatted by the field's switches.
void mergeFields(const std::vector<pugi::xml_node>& roots, const output::MergeData& data,
                 qsizetype record);

} // namespace qv::docx
