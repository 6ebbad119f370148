// orvelle/constants.h: the shared texts: request keys, caller identifiers, member names of the
// result and provenance objects, and the names of the mapping tables.
#pragma once

#include <string_view>

namespace orvelle::constants {

// Keys of the driver's request object.
inline constexpr std::string_view INPUT_FILES = "input_files";
inline constexpr std::string_view INPUT_DIR = "input_dir";
inline constexpr std::string_view OUTPUT_DIR = "output_dir";
inline constexpr std::string_view OUTPUT_JSON = "output_json";
inline constexpr std::string_view GZIP_OUTPUT = "gzip_output";
inline constexpr std::string_view WRITE_PROVENANCE = "write_provenance";
inline constexpr std::string_view RECOVER_DROPPED_GENES = "recover_dropped_genes";
inline constexpr std::string_view GENE_FILTER = "gene_filter";
inline constexpr std::string_view PHENOTYPE_SOURCE = "phenotype_source";
inline constexpr std::string_view SAMPLE = "sample";
inline constexpr std::string_view SAMPLE_LABEL = "sample_label";

// Output file names.
inline constexpr std::string_view DEFAULT_OUTPUT_JSON = "orvelle_pgx.json";
/// Never ends in ".json" alone after the result's ".gz"/".json" are stripped, so a sidecar
/// can never land on its result file's own path.
inline constexpr std::string_view PROVENANCE_SUFFIX = ".provenance.json";

// Caller identifiers (a reader's source_name; keys of the caller ranking).
inline constexpr std::string_view CALLER_PHARMCAT_REPORT = "pharmcat_report";
inline constexpr std::string_view CALLER_PHARMCAT_PHENOTYPE = "pharmcat_phenotype";
inline constexpr std::string_view CALLER_PBSTARPHASE = "pbstarphase";
inline constexpr std::string_view CALLER_PYPGX = "pypgx";
inline constexpr std::string_view CALLER_DIPLOTYPE_TABLE = "diplotype_table";
inline constexpr std::string_view CALLER_CYRIUS = "cyrius";
inline constexpr std::string_view CALLER_STELLARPGX = "stellarpgx";
inline constexpr std::string_view CALLER_ALDY = "aldy";

// Member names of the result object: a hard contract with the consuming platform.
inline constexpr std::string_view ID = "Id";
inline constexpr std::string_view NAME = "Name";
inline constexpr std::string_view STAR_ALLELE = "StarAllele";
inline constexpr std::string_view ACTIVITY = "Activity";

// Further member names of a gene's provenance object.
inline constexpr std::string_view SOURCE = "source";
inline constexpr std::string_view PROVENANCE_PHENOTYPE_SOURCE = "phenotypeSource";
inline constexpr std::string_view WARNINGS = "warnings";

// Names of the mapping tables (file stems in the package's Mappings folder).
inline constexpr std::string_view MAPPING_GENE_RULES = "gene_rules";
inline constexpr std::string_view MAPPING_PHENOTYPE_TERMS = "phenotype_terms";
inline constexpr std::string_view MAPPING_GENOTYPE_TERMS = "genotype_terms";

} // namespace orvelle::constants
