// orvelle/readers/ipgx_reader.h: the contract of every input reader: one file in, the gene
// calls it holds out, in the caller's own vocabulary.
#pragma once

#include "orvelle/errors.h"
#include "orvelle/json/document.h"
#include "orvelle/records/raw_call.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class IPgxReader {
public:
  static constexpr std::string_view SOURCE_NAME = "unknown";

  /// Throws ValueError "file_path cannot be empty" for an empty path, and FileNotFound
  /// "File not found: <path>" when nothing exists there (a directory passes).
  explicit IPgxReader(std::string file_path);
  virtual ~IPgxReader();
  IPgxReader(const IPgxReader &) = delete;
  IPgxReader &operator=(const IPgxReader &) = delete;

  /// The calls of the file, in the reader's order. Called once per reader.
  virtual std::vector<RawCall> parse() = 0;

  /// The caller identifier that tags every call of this reader.
  virtual std::string_view source_name() const { return SOURCE_NAME; }

  /// The caller's versions for the provenance, read anew from the file, or nullopt (the
  /// default) when the caller writes none. Throws as reading the file does.
  virtual std::optional<json::Document> read_versions() const { return std::nullopt; }

  /// A reading of the versions, handed to the driver to run where it keeps its failures.
  using VersionsRead = std::function<std::optional<json::Document>()>;
  using VersionsSink = std::function<void(const VersionsRead &)>;
  /// parse(), then the reading of the versions handed to `take_versions`: read_versions() by
  /// default; a reader that finds both in one document reads its file once. A file that
  /// cannot be read ends here, before any version is looked at.
  virtual std::vector<RawCall> parse_with_versions(const VersionsSink &take_versions);

  /// Reads only one sample of a file that holds several: `sample`'s, or the first when
  /// absent. A reader of one-sample files has nothing to choose and ignores it.
  virtual void take_sample(std::optional<std::string> /*sample*/) {}
  /// True for a reader of files that may hold several samples, of which take_sample chooses
  /// one; the driver reads such files after those that name their one sample.
  virtual bool holds_several_samples() const { return false; }
  /// After parse: the sample the calls read are for, as the file names it (the one sample of
  /// a caller's output, or the sample whose rows a table gave); nullopt when it names none.
  virtual std::optional<std::string> named_sample() const { return std::nullopt; }

  const std::string &file_path() const noexcept { return file_path_; }

  /// The file's JSON document, read anew on every call. Throws OsError or UnicodeDecodeFailure
  /// as the host's open/read would, and InvalidJsonFile for text that is not JSON.
  json::Document load_json() const;

  /// Logs the warning "Skipping <gene>: <reason>".
  static void log_skip(std::string_view gene, std::string_view reason);

  /// The reason a table row of an unknown gene is skipped.
  static constexpr std::string_view UNKNOWN_GENE = "not a known gene symbol";
  /// Whether a table row's gene cell names a known pharmacogene (readers/known_genes.h). When
  /// not, the row is skipped: this logs it and keeps the text in unknown_genes(). `defer` holds
  /// the warning back for a reader that reports its skips once the whole table is read.
  bool keep_table_gene(std::string_view gene, std::function<void(std::string)> defer = {});
  /// The gene cells of the table rows skipped as naming no known gene, in file order.
  const std::vector<std::string> &unknown_genes() const noexcept { return unknown_genes_; }

private:
  std::string file_path_;
  std::vector<std::string> unknown_genes_;
};

/// The error that refuses a file in no shape its reader recognises: "<path>: not a recognised
/// caller output (expected <expected>)".
ValueError not_recognised(std::string_view path, std::string_view expected);

/// The host's type name of the object a JSON value reads as: "NoneType", "bool", "int",
/// "float", "str", "list" or "dict".
std::string_view host_type_name(const json::Value &value) noexcept;

/// A value the callers write as text: a text as is, a number or truth value in the host's
/// text form. nullopt for null, and for lists and objects, which have no sensible text.
std::optional<std::string> scalar_text(const json::Value &value);

/// The reason a gene is skipped for a value of the wrong type, naming the value and the file:
/// "<field> is not a text (<type>) in <path>".
std::string wrong_type(std::string_view field, const json::Value &value, std::string_view path);

/// parse_with_versions of a JSON reader that finds both in one document, through its
/// calls_of(root) and versions_of(root): the file is read once.
template <typename JsonReader>
std::vector<RawCall> calls_and_versions_of(JsonReader &reader,
                                           const IPgxReader::VersionsSink &take_versions) {
  const json::Document document = reader.load_json();
  std::vector<RawCall> calls = reader.calls_of(document.root());
  take_versions([&] { return std::optional(reader.versions_of(document.root())); });
  return calls;
}

} // namespace orvelle
