// orvelle/readers/diplotype_sheet_reader.h: the tolerant reader for user-made Gene/Diplotype
// tables: a CSV sheet whose delimiter and column names are guessed, or a JSON document in one
// of several shapes.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/csv/reader.h"
#include "orvelle/json/document.h"
#include "orvelle/readers/streaming_reader.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class DiplotypeSheetReader : public StreamingReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_DIPLOTYPE_TABLE;
  // Column names in normalised form (see `pick`), in order of preference.
  static constexpr std::array<std::string_view, 6> GENE_ALIASES = {
      "gene", "genesymbol", "gene_symbol", "symbol", "id", "name"};
  static constexpr std::array<std::string_view, 6> DIPLOTYPE_ALIASES = {
      "diplotype", "starallele", "star_allele", "genotype", "call", "label"};
  static constexpr std::array<std::string_view, 5> PHENOTYPE_ALIASES = {
      "phenotype", "activity", "metabolizer", "metaboliser", "status"};
  /// Members of a JSON object that may hold the rows, in the order they are tried.
  static constexpr std::array<std::string_view, 4> CONTAINER_KEYS = {"genes", "results",
                                                                     "diplotypes", "data"};

  /// What the reader recognises, for the message that refuses another shape.
  static constexpr std::string_view EXPECTED =
      "a Gene/Diplotype table: rows with a gene column holding known gene symbols, as CSV, or as "
      "JSON: a list of row objects, or an object holding them under genes/results/diplotypes/"
      "data or keyed by gene symbol";

  using StreamingReader::StreamingReader;

  /// True for a JSON root in a shape read_json takes rows from, with a gene column: a list of
  /// objects of which one has a gene column, or an object whose rows (under a container key,
  /// or itself) are keyed by a known gene symbol. An object keyed by sample names is not one.
  static bool is_sheet_json(const json::Value &root);

  /// One call per row with a known gene and a diplotype, in row order; a row of another gene
  /// is skipped (unknown_genes()). A path ending in ".csv" (in any case) is read as CSV, any
  /// other as JSON. Throws ValueError "<path>: not a recognised caller output ..." when no row
  /// names a known gene, and another ValueError when no row is usable.
  void read_calls(const CallSink &new_call) override;
  std::string_view source_name() const override { return SOURCE_NAME; }

  /// Every data row of the CSV file, in the dialect the host's sniffer guesses from the first
  /// 4096 characters (the default dialect where it cannot tell).
  std::vector<csv::DictRow> read_csv() const;

  /// Every row object of the JSON file, as the items of the document's root array. Throws
  /// ValueError "<path>: unsupported JSON shape" for a root that is neither array nor object.
  json::Document read_json() const;

  /// A gene-keyed object as rows (an array document): a text value becomes {gene, diplotype},
  /// an object value a copy with "gene" added unless it has one; other values are dropped.
  static json::Document flatten(const json::Value &mapping);

  /// The value of the first alias whose column holds something other than null or "", in the
  /// host's text form. Column names are compared trimmed, lower-cased, without blanks and
  /// with "-" read as "_"; of names alike, the later one counts.
  static std::optional<std::string> pick(std::span<const json::Member> row,
                                         std::span<const std::string_view> aliases);
};

} // namespace orvelle
