// orvelle/readers/pypgx_table_reader.h: the PyPGx per-gene sample table: a header row, then one
// row per sample; as PyPGx writes it, the data.tsv of a results archive (*-results.zip, the gene
// in its metadata.txt), or that table taken out and named after its gene.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/csv/reader.h"
#include "orvelle/readers/several_samples_reader.h"
#include "orvelle/readers/streaming_reader.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class PyPgxTableReader : public SeveralSamplesReader<StreamingReader> {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PYPGX;
  static constexpr std::string_view GENOTYPE_COLUMN = "Genotype";
  static constexpr std::string_view PHENOTYPE_COLUMN = "Phenotype";
  static constexpr std::array<std::string_view, 2> HAPLOTYPE_COLUMNS = {"Haplotype1", "Haplotype2"};
  /// Star alleles statistical phasing may have missed (";" alone: none); a caveat on the call.
  static constexpr std::string_view ALTERNATIVE_PHASE_COLUMN = "AlternativePhase";
  static constexpr std::array<std::string_view, 2> GENE_COLUMNS = {"Gene", "gene"};
  /// The semantic type (metadata.txt) of the one PyPGx archive that holds calls.
  static constexpr std::string_view RESULTS_TYPE = "SampleTable[Results]";
  /// What the reader recognises, for the message that refuses another shape.
  static constexpr std::string_view EXPECTED =
      "a PyPGx results table: a header naming Genotype and Phenotype, the gene in a Gene column "
      "or as the one known gene symbol of the file name";
  static constexpr std::string_view EXPECTED_ARCHIVE =
      "a PyPGx results archive: metadata.txt with SemanticType=SampleTable[Results] and Gene=, "
      "and data.tsv";

  using SeveralSamplesReader::SeveralSamplesReader;

  /// True when the header names both the Genotype and the Phenotype column (cells trimmed).
  static bool is_pypgx_table(std::span<const std::string> header);

  /// One call per row with a Genotype or Phenotype value, in file order (of the one sample
  /// taken, see take_sample). Throws ValueError when the table has no header, a row read does
  /// not tell its gene, or none is usable; a sample asked for that has no row gives no call and
  /// a warning.
  void read_calls(const CallSink &new_call) override;
  std::string_view source_name() const override { return SOURCE_NAME; }

  /// Every data row, mapped onto the header.
  std::vector<csv::DictRow> read_rows() const;

  /// The one known gene symbol the file name holds as a word of its own ("CYP2D6.tsv",
  /// "HG00276.CYP2D6.tsv", "CYP2D6_results.tsv"); nullopt for none or several.
  std::optional<std::string> gene_from_file_name() const;

  /// For an archive, {"pypgxAssembly": its Assembly} (null when metadata.txt has none);
  /// nullopt for a table.
  std::optional<json::Document> read_versions() const override;

  /// The first of `columns` that the row has a cell for, with trailing ";" and then
  /// surrounding white space removed (possibly empty); nullopt when none has.
  static std::optional<std::string> value(const csv::DictRow &row,
                                          std::span<const std::string_view> columns);
};

} // namespace orvelle
