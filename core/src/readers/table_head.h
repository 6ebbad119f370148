// core/src/readers/table_head.h: the first rows of a tab-separated text, which the readers'
// table rules look at to recognise a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

/// The text's first two tab-separated rows (fewer in a shorter text; an empty text gives one
/// empty row). Throws CsvError as reading the rows does.
std::vector<std::vector<std::string>> head_rows(std::string_view text);

} // namespace orvelle
