// orvelle/convert/conversion_request.h: what a conversion is asked to do, with the request's
// defaults. The host turns its request object into this (truth values and text forms taken
// the host's way).
#pragma once

#include "orvelle/constants.h"
#include "orvelle/log.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvelle {

/// A requested phenotype source as the caller wrote it: its text form, and the original value
/// for the warning that quotes it.
struct RequestedSource {
  std::string text;
  log::Arg original;
};

struct ConversionRequest {
  std::vector<std::string> input_files;
  std::string input_dir = ".";
  std::string output_dir = ".";
  std::string output_json = std::string(constants::DEFAULT_OUTPUT_JSON);
  bool gzip_output = false;
  bool write_provenance = true;
  bool recover_dropped_genes = true;
  std::set<std::string> gene_filter;               ///< empty: no restriction
  std::optional<RequestedSource> phenotype_source; ///< absent when the value counts as false
  /// The sample to convert: the rows a table of several samples gives; inputs that name
  /// another sample contribute nothing. Absent: the one sample the inputs name.
  std::optional<std::string> sample;
  /// The cohort's name for the sample: the rows a table of several samples gives, while
  /// inputs that name one other sample are still read (with a warning).
  std::optional<std::string> sample_label;
};

} // namespace orvelle
