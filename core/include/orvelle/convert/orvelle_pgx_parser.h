// orvelle/convert/orvelle_pgx_parser.h: the driver of one conversion: inputs in, one result
// per gene out, with the provenance sidecar.
#pragma once

#include "orvelle/convert/conversion_request.h"
#include "orvelle/json/document.h"
#include "orvelle/normalize/call_normalizer.h"
#include "orvelle/readers/ipgx_reader.h"
#include "orvelle/records/gene_outcome.h"
#include "orvelle/records/raw_call.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvelle {

/// A JSON value that keeps the document it lives in alive.
struct SharedValue {
  std::shared_ptr<const json::Document> document;
  const json::Value *value;
};

/// Caller rank: a higher rank wins the merge; callers not listed rank 0.
int caller_rank(std::string_view source) noexcept;
/// The listed callers and their ranks, highest first.
const std::vector<std::pair<std::string_view, int>> &caller_ranks();

/// The package version written into the sidecar: the installed host's (orvelle/host.h).
const std::string &package_version();

class OrvellePgxParser {
public:
  /// Builds the state in order: the request's values, the normaliser (which loads the
  /// mapping tables), then the checked phenotype source.
  explicit OrvellePgxParser(ConversionRequest request);

  // --- request and phenotype-source preference --------------------------------------------
  /// The known source matching `requested` (trimmed, case-insensitive) in the rules' own
  /// spelling; absent, with a warning, when none matches.
  std::optional<std::string>
  resolve_phenotype_source(const std::optional<RequestedSource> &requested);
  /// The chosen source first, then the rest of the default order.
  std::vector<std::string> source_preference() const;

  // --- the run ----------------------------------------------------------------------------
  /// The named input files that exist (as named, or under input_dir); without names, the
  /// input files of input_dir. Missing names are warned about; the folder is never scanned
  /// for a name that is missing.
  std::vector<std::string> resolve_input_files() const;
  /// Where run writes the result: output_dir joined with output_json, ".gz" appended when
  /// writing compressed.
  std::string result_path() const;
  /// The files a run writes, in whichever form: the result plain and compressed, and the
  /// sidecar. The folder scan leaves them out, so a second run reads what the first one did.
  std::vector<std::string> own_output_paths() const;
  std::vector<GeneOutcome> parse_files();
  /// Writes the result (and the sidecar), or with `return_list` only returns the results.
  std::optional<std::vector<GeneOutcome>> run(bool return_list);
  /// What run writes for `results`: the result file, then the sidecar unless it is disabled.
  void write_results(const std::vector<GeneOutcome> &results);
  /// The result file's text for `results` (compact when writing compressed, before gzip).
  std::string result_text(const std::vector<GeneOutcome> &results) const;

  // --- merge and provenance ---------------------------------------------------------------
  std::vector<GeneOutcome> merge(const std::vector<RawCall> &calls);
  void collect_versions(const IPgxReader &reader);
  void write_provenance(const std::vector<GeneOutcome> &results, const std::string &out_path);
  /// The sidecar's text for `results`.
  std::string provenance_text(const std::vector<GeneOutcome> &results);
  /// The sidecar's path for a result path: ".gz", then ".json" removed, the suffix appended.
  static std::string provenance_path(std::string_view out_path);

  // --- state, public as the host sees it ----------------------------------------------------
  std::vector<std::string> input_files;
  std::string input_dir;
  std::string output_dir;
  std::string output_json;
  bool gzip_output;
  bool write_provenance_enabled;
  bool recover_dropped_genes;
  std::set<std::string> gene_filter;
  CallNormalizer normalizer;
  std::optional<std::string> phenotype_source;
  /// The sample to convert: inputs that name another sample contribute nothing.
  std::optional<std::string> sample;
  /// The name a cohort gives the sample: the rows a table of several samples gives, while the
  /// inputs may name the sample otherwise (a warning).
  std::optional<std::string> sample_label;
  /// After parse_files: the sample the inputs read name, when any does.
  std::optional<std::string> named_sample;
  /// After a parse_files that failed: the input being recognised or read when it failed;
  /// nullopt when the failure was no one file's (or there was none).
  std::optional<std::string> failed_input;
  /// Each written file is flushed to disk before it is renamed into place. A cohort turns this
  /// off and makes a batch of samples durable with one sync of the output file system instead.
  bool sync_each_file = true;
  /// Caller versions in order of first insertion; a later file's value replaces in place.
  std::vector<std::pair<std::string, SharedValue>> provenance;
  /// The genes the last merge dropped (only pbStarPhase reported them), in gene-symbol order.
  std::vector<std::string> dropped_genes;
  /// The genes of gene_filter that the last merge gave no result for and did not drop, in
  /// gene-symbol order.
  std::vector<std::string> missing_genes;
  /// Files the run writes besides the result and the sidecar (an outside-call file): a folder
  /// scan leaves them out, as it does those two.
  std::vector<std::string> other_outputs;
  /// The table rows the last reading skipped as naming no known gene, in reading order, each
  /// as "<file name>: <gene cell>".
  std::vector<std::string> unknown_genes;

  /// Name endings a folder scan accepts (compared case-insensitively).
  static constexpr std::array<std::string_view, 7> INPUT_SUFFIXES = {
      ".json", ".csv", ".tsv", ".zip", ".alleles", ".aldy", ".txt"};
  static constexpr std::string_view NO_INPUT_MESSAGE =
      "No input files found. Provide input_files or an input_dir containing .json/.csv PGx "
      "output.";

  /// What collect_versions reads from one file: the versions, or why they could not be read.
  struct CallerVersions {
    std::string file_path;
    std::optional<json::Document> versions;
    std::optional<std::string> failure;
  };

private:
  /// The calls of every file, in file order, from one sample's inputs (see read_inputs.cpp);
  /// sets named_sample.
  std::vector<RawCall> read_inputs(const std::vector<std::string> &files);
  CallerVersions read_caller_versions(const IPgxReader &reader) const;
  /// The calls of one file and its caller versions, from one reading of the file when the
  /// reader reports versions (read_versions() alone reads the file again).
  std::vector<RawCall> read_calls_and_versions(IPgxReader &reader, CallerVersions &versions) const;
  /// Adds what was read to `provenance`, or logs the failure.
  void record_versions(CallerVersions read);
};

} // namespace orvelle
