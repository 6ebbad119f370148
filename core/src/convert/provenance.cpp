// core/src/convert/provenance.cpp: caller versions and the provenance sidecar.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/errors.h"
#include "orvelle/io/output_file.h"
#include "orvelle/json/write.h"
#include "orvelle/log.h"

#include <algorithm>

namespace orvelle {

void OrvellePgxParser::collect_versions(const IPgxReader &reader) {
  record_versions(read_caller_versions(reader));
}

namespace {

// Runs a version read; a failure of the kinds the host would log (an operating-system error,
// or its ValueError family: bad content, invalid JSON, undecodable bytes) is kept as text.
template <typename Read> void capture_versions(OrvellePgxParser::CallerVersions &into, Read read) {
  try {
    into.versions = read();
  } catch (const OsError &error) {
    into.failure = error.what();
  } catch (const ValueError &error) {
    into.failure = error.what();
  } catch (const UnicodeDecodeFailure &error) {
    into.failure = error.what();
  }
}

} // namespace

OrvellePgxParser::CallerVersions
OrvellePgxParser::read_caller_versions(const IPgxReader &reader) const {
  CallerVersions read{reader.file_path(), std::nullopt, std::nullopt};
  capture_versions(read, [&] { return reader.read_versions(); });
  return read;
}

std::vector<RawCall> OrvellePgxParser::read_calls_and_versions(IPgxReader &reader,
                                                               CallerVersions &versions) const {
  versions = {reader.file_path(), std::nullopt, std::nullopt};
  // The calls come first, as from parse(): a file that cannot be read ends the run before
  // any version is looked at.
  return reader.parse_with_versions(
      [&](const IPgxReader::VersionsRead &read) { capture_versions(versions, read); });
}

void OrvellePgxParser::record_versions(CallerVersions read) {
  if (read.failure)
    log::warning("Could not read versions from %s: %s", {read.file_path, *read.failure});
  if (!read.versions || !read.versions->root().is_object())
    return;

  auto document = std::make_shared<const json::Document>(std::move(*read.versions));
  for (const json::Member &member : document->root().members()) {
    SharedValue value{document, &member.value};
    auto same_key = [&](const auto &entry) { return entry.first == member.key; };
    if (auto found = std::find_if(provenance.begin(), provenance.end(), same_key);
        found != provenance.end())
      found->second = value;
    else
      provenance.emplace_back(std::string(member.key), value);
  }
}

std::string OrvellePgxParser::provenance_path(std::string_view out_path) {
  if (out_path.ends_with(".gz"))
    out_path.remove_suffix(3);
  if (out_path.ends_with(".json"))
    out_path.remove_suffix(5);
  return std::string(out_path) + std::string(constants::PROVENANCE_SUFFIX);
}

void OrvellePgxParser::write_provenance(const std::vector<GeneOutcome> &results,
                                        const std::string &out_path) {
  const std::string path = provenance_path(out_path);
  io::write_file_atomically(path, provenance_text(results), sync_each_file);
  log::info("Wrote provenance to %s", {path});
}

std::string OrvellePgxParser::provenance_text(const std::vector<GeneOutcome> &results) {
  json::Writer out(json::Layout::indented);
  out.begin_object();
  out.key("parserVersion").string(package_version());
  if (named_sample) // only then: a sidecar of inputs that name no sample reads as it always did
    out.key("sample").string(*named_sample);
  out.key("phenotypeSourcePreference").begin_array();
  for (const std::string &source : source_preference())
    out.string(source);
  out.end_array();
  out.key("mappingVersions").value(normalizer.mapping_versions().root());
  out.key("passthroughSources").begin_array();
  for (const std::string &source : normalizer.gene_rules().passthrough_source_texts.get())
    out.string(source);
  out.end_array();
  out.key("callers").begin_object();
  for (const auto &[key, value] : provenance)
    out.key(key).value(*value.value);
  out.end_object();
  out.key("unmappedTerms").begin_array();
  for (const std::string &term : normalizer.unmapped_terms()) // a sorted set: code-point order
    out.string(term);
  out.end_array();
  out.key("genes").begin_array();
  for (const GeneOutcome &result : results)
    result.write_provenance(out);
  out.end_array();
  // Each list only when it has entries: a sidecar without a loss reads as it always did.
  for (const auto &[key, genes] :
       {std::pair{"droppedGenes", &dropped_genes}, std::pair{"missingGenes", &missing_genes},
        std::pair{"unknownGenes", &unknown_genes}})
    if (!genes->empty()) {
      out.key(key).begin_array();
      for (const std::string &gene : *genes)
        out.string(gene);
      out.end_array();
    }
  out.end_object();
  return out.take();
}

} // namespace orvelle
