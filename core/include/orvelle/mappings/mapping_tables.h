// orvelle/mappings/mapping_tables.h: the packaged mapping tables (gene rules, phenotype terms,
// genotype terms), parsed once per process and shared read-only by every normaliser.
#pragma once

#include "orvelle/json/document.h"

#include <memory>
#include <string_view>

namespace orvelle::mappings {

/// The table `name` (one of MAPPING_GENE_RULES, MAPPING_PHENOTYPE_TERMS,
/// MAPPING_GENOTYPE_TERMS), a JSON object, read from the installed host's mapping folder
/// (orvelle/host.h) on first use, then shared.
/// Throws ValueError naming the table when it is unknown, missing, unreadable, not JSON or
/// not a JSON object.
std::shared_ptr<const json::Document> load_mapping(std::string_view name);

} // namespace orvelle::mappings
