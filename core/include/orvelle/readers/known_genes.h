// orvelle/readers/known_genes.h: the pharmacogene symbols of every caller the converter reads,
// which is what a table's gene column must hold (the sources are in docs/mapping-tables.md).
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace orvelle {

/// The known symbols, upper-case, in byte order.
std::span<const std::string_view> known_genes() noexcept;

/// The known symbol `text` names (blanks around it and ASCII case ignored), or an empty view.
std::string_view known_gene(std::string_view text) noexcept;

/// The distinct known symbols that stand in `name` as words of their own (not next to another
/// letter or digit), in byte order: "HG00276.CYP2D6" and "CYP2D6_results" hold CYP2D6 alone.
std::vector<std::string_view> known_genes_in(std::string_view name);

} // namespace orvelle
