// orvelle/readers/pypgx_table_reader.h: the PyPGx per-gene sample table (data.tsv, usually
// renamed to <GENE>.tsv): a header row, then one row per sample.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/csv/reader.h"
#include "orvelle/readers/streaming_reader.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class PyPgxTableReader : public StreamingReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PYPGX;
  static constexpr std::string_view GENOTYPE_COLUMN = "Genotype";
  static constexpr std::string_view PHENOTYPE_COLUMN = "Phenotype";
  static constexpr std::array<std::string_view, 2> HAPLOTYPE_COLUMNS = {"Haplotype1", "Haplotype2"};
  /// Star alleles statistical phasing may have missed (";" alone: none); a caveat on the call.
  static constexpr std::string_view ALTERNATIVE_PHASE_COLUMN = "AlternativePhase";
  static constexpr std::array<std::string_view, 2> GENE_COLUMNS = {"Gene", "gene"};
  /// File-name stems (lower-cased) that name the table's kind, not its gene.
  static constexpr std::array<std::string_view, 4> NON_GENE_STEMS = {"data", "results", "genotypes",
                                                                     "phenotypes"};

  using StreamingReader::StreamingReader;

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

  /// The file name's stem, unless it is empty or one of NON_GENE_STEMS.
  std::optional<std::string> gene_from_file_name() const;

  /// The first of `columns` that the row has a cell for, with trailing ";" and then
  /// surrounding white space removed (possibly empty); nullopt when none has.
  static std::optional<std::string> value(const csv::DictRow &row,
                                          std::span<const std::string_view> columns);

  /// Reads only one sample's rows of a table that names its samples in its first column (the
  /// matching rule is in sample_rows.h): `sample`'s, or, when absent, the first row's, each call
  /// then saying so when the table holds more. Without it every row is read.
  void take_sample(std::optional<std::string> sample) override {
    one_sample_ = true;
    sample_ = std::move(sample);
  }
  /// The sample asked for by take_sample.
  const std::optional<std::string> &sample() const noexcept { return sample_; }
  bool holds_several_samples() const override { return true; }
  /// After reading one sample's rows: that sample (as asked for, or the first row's name);
  /// nullopt for a table that names no samples or had no row of it.
  std::optional<std::string> named_sample() const override { return named_; }

private:
  bool one_sample_ = false;
  std::optional<std::string> sample_;
  std::optional<std::string> named_;
};

} // namespace orvelle
