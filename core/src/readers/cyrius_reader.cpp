// core/src/readers/cyrius_reader.cpp: Cyrius's TSV and JSON read into one CYP2D6 call per
// sample, its filters kept as doubts, never as calls.
#include "orvelle/readers/cyrius_reader.h"

#include "sample_rows.h"

#include "orvelle/csv/reader.h"
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <array>

namespace orvelle {
namespace {

constexpr std::array<std::string_view, 3> TABLE_HEADER = {"Sample", "Genotype", "Filter"};
// Members every sample's object of Cyrius's JSON has, whatever its call.
constexpr std::array<std::string_view, 4> JSON_MEMBERS = {"Genotype", "Filter", "Total_CN",
                                                          "CNV_group"};

// Cyrius's filters for candidates it cannot choose between.
constexpr std::string_view SEVERAL_GENOTYPES = "More_than_one_possible_genotype";
constexpr std::string_view UNPHASED_ALLELES = "Not_assigned_to_haplotypes";

// What each filter other than PASS says of the genotype beside it (Cyrius's README and
// star_caller.py): none of them is one diplotype Cyrius stands by.
std::string doubt(std::string_view filter, std::string_view genotype) {
  const std::string said =
      "Cyrius filter " + std::string(filter) + " (genotype " + text::quoted(genotype) + "): ";
  if (filter == SEVERAL_GENOTYPES)
    return said + "one of these diplotypes, which Cyrius cannot tell apart; none is used";
  if (filter == UNPHASED_ALLELES)
    return said + "the star alleles found, but not which of them share a chromosome; no "
                  "diplotype is used";
  if (filter == "LowQ_high_CN")
    return said + "six or more gene copies, called with a looser copy-number model; not used "
                  "as a call";
  return said + "not a filter Cyrius passes; not used as a call";
}

// The text of a JSON member Cyrius writes as a text or null; nullopt for null.
std::optional<std::string> text_member(const json::Value &object, std::string_view key,
                                       std::string_view sample, std::string_view path) {
  const json::Value *value = object.find(key);
  if (value == nullptr || value->is_null())
    return std::nullopt;
  if (!value->is_string())
    throw ValueError(wrong_type(std::string(sample) + " " + std::string(key), *value, path));
  return std::string(value->as_string());
}

bool reads_as_json(std::string_view path) {
  return text::lower(io::uncompressed_name(path)).ends_with(".json");
}

} // namespace

bool CyriusReader::is_cyrius_table(std::span<const std::string> header) {
  return header.size() == TABLE_HEADER.size() &&
         std::equal(header.begin(), header.end(), TABLE_HEADER.begin(),
                    [](const std::string &cell, std::string_view name) {
                      return text::strip(cell) == name;
                    });
}

bool CyriusReader::is_cyrius_json(const json::Value &root) {
  if (!root.is_object() || root.size() == 0)
    return false;
  return std::ranges::all_of(root.members(), [](const json::Member &sample) {
    return sample.value.is_object() && std::ranges::all_of(JSON_MEMBERS, [&](std::string_view key) {
             return sample.value.find(key) != nullptr;
           });
  });
}

RawCall CyriusReader::call_of(const std::optional<std::string> &genotype,
                              const std::optional<std::string> &filter) {
  RawCall call;
  call.gene = GENE;
  call.source = SOURCE_NAME;
  // Python's None, as the TSV prints it, is the JSON's null: no call.
  const auto called = [](const std::optional<std::string> &text) {
    return text && !text::strip(*text).empty() && text::strip(*text) != "None";
  };
  if (!called(genotype)) {
    call.warnings.push_back("Cyrius called no genotype (filter " +
                            (called(filter) ? std::string(text::strip(*filter)) : "None") + ")");
    return call;
  }
  const std::string_view written = text::strip(*genotype);
  const std::string_view passed = called(filter) ? text::strip(*filter) : std::string_view();
  if (passed == PASS) {
    call.diplotype = written;
    return call;
  }
  call.warnings.push_back(doubt(passed.empty() ? "None" : passed, written));
  // Candidates Cyrius cannot choose between are its answer: no other caller fills the gap.
  call.ambiguous_phenotype = passed == SEVERAL_GENOTYPES || passed == UNPHASED_ALLELES;
  return call;
}

std::vector<SampleCall> CyriusReader::table_calls() const {
  const std::string text = io::read_text_sig(file_path());
  csv::Reader reader(text, csv::Dialect{.delimiter = '\t'});
  std::vector<std::string> row;
  if (!reader.next(row) || !is_cyrius_table(row))
    throw ValueError(file_path() + ": not a Cyrius table (its header must be Sample, Genotype, "
                                   "Filter)");
  std::vector<SampleCall> calls;
  while (reader.next(row)) {
    if (row.empty() || (row.size() == 1 && text::strip(row[0]).empty()))
      continue;
    auto cell = [&](std::size_t i) {
      return i < row.size() ? std::optional<std::string>(row[i]) : std::nullopt;
    };
    calls.push_back({std::string(text::strip(row[0])), call_of(cell(1), cell(2))});
  }
  return calls;
}

std::vector<SampleCall> CyriusReader::json_calls() const {
  const json::Document document = load_json();
  const json::Value &root = document.root();
  if (!is_cyrius_json(root))
    throw ValueError(file_path() + ": not a Cyrius JSON (an object of samples, each with "
                                   "Genotype, Filter, Total_CN and CNV_group)");
  std::vector<SampleCall> calls;
  for (const json::Member &sample : root.members())
    calls.push_back({std::string(sample.key),
                     call_of(text_member(sample.value, "Genotype", sample.key, file_path()),
                             text_member(sample.value, "Filter", sample.key, file_path()))});
  return calls;
}

std::vector<RawCall> CyriusReader::parse() {
  std::vector<SampleCall> read = reads_as_json(file_path()) ? json_calls() : table_calls();
  if (read.empty())
    throw ValueError(file_path() + ": no samples");
  std::vector<RawCall> calls;
  if (!one_sample_) {
    for (SampleCall &each : read)
      calls.push_back(std::move(each.call));
    return calls;
  }
  return calls_of_sample(std::move(read), sample_, file_path(), named_);
}

} // namespace orvelle
