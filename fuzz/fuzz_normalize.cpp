// fuzz/fuzz_normalize.cpp: the call normaliser on any raw call, over small fixed tables that
// reach every path (passthrough, standard, single-allele, HLA, genotype-guided). The input
// picks a table variant, then the call's fields.
#include "fuzz_support.h"

#include "orvelle/json/document.h"
#include "orvelle/json/write.h"
#include "orvelle/normalize/call_normalizer.h"
#include "orvelle/text/utf8.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

using namespace orvelle;

namespace {

using Entry = std::pair<std::string_view, json::Value>;

json::Value object(json::DocumentBuilder &b, std::initializer_list<Entry> entries) {
  std::vector<json::Member> members;
  for (const auto &[key, value] : entries)
    members.push_back({b.key(key), value});
  return b.object(members);
}

json::Value texts(json::DocumentBuilder &b, std::initializer_list<std::string_view> items) {
  std::vector<json::Value> values;
  for (std::string_view item : items)
    values.push_back(b.string(item));
  return b.array(values);
}

// Terms of one table section: {term: text}, a null value standing for a known gap.
json::Value terms(json::DocumentBuilder &b,
                  std::initializer_list<std::pair<std::string_view, const char *>> entries) {
  std::vector<json::Member> members;
  for (const auto &[term, mapped] : entries)
    members.push_back({b.key(term), mapped ? b.string(mapped) : json::Value()});
  return b.object(members);
}

CallNormalizer::Table finished(json::DocumentBuilder &b, json::Value root) {
  return std::make_shared<const json::Document>(b.finish(root));
}

// `variant` varies what the rules say about sub-alleles and HLA fields.
CallNormalizer make_normalizer(std::uint8_t variant) {
  static const json::Value field_counts[] = {
      json::Value::integer(2),
      json::Value::integer(0),
      json::Value::integer(1),
      json::Value::integer(-3),
      json::Value::integer(std::numeric_limits<std::int64_t>::max()),
      json::Value::real(2.0),
      json::Value::boolean(true),
      json::Value::big_integer("-123456789012345678901234567890")};
  json::DocumentBuilder b;
  json::Value rules =
      object(b, {{"version", b.string("rules-fuzz")},
                 {"passthrough_sources", texts(b, {"pypgx"})},
                 {"no_call_tokens", texts(b, {"NA", "no call", "Unknown/Unknown", ""})},
                 {"genotype_guided_genes", texts(b, {"G6PD", "HLA-GG"})},
                 {"hla_genes", texts(b, {"HLA-B", "HLA-GG"})},
                 {"single_allele_genes", texts(b, {"MT-RNR1"})},
                 {"strip_suballele_suffix", json::Value::boolean((variant & 8) == 0)},
                 {"hla_allele_fields", b.copy(field_counts[variant & 7])},
                 {"hla_join_phenotypes_with", b.string((variant & 16) ? "" : "; ")}});
  CallNormalizer::Table rules_table = finished(b, rules);

  json::Value phenotypes = object(
      b, {{"version", b.string("phenotypes-fuzz")},
          {"genes",
           object(b, {{"CYP2D6", terms(b, {{"PM", "Poor Metabolizer"},
                                           {"IM", "CYP2D6 Intermediate"},
                                           {"UM", nullptr}})},
                      {"HLA-B", terms(b, {{"positive", "Positive"}, {"negative", "Negative"}})},
                      {"CYP2C9", b.array({})}})},
          {"global", terms(b, {{"IM", "Intermediate Metabolizer"},
                               {"UM", "Ultrarapid Metabolizer"},
                               {"EMPTY", ""},
                               {"Indeterminate", nullptr}})}});
  CallNormalizer::Table phenotype_table = finished(b, phenotypes);

  json::Value genotypes =
      object(b, {{"alleles", object(b, {{"G6PD", terms(b, {{"B (wildtype)", "B"},
                                                           {"Mediterranean", "Med"},
                                                           {"Unknown", nullptr}})}})},
                 {"diplotype_activity", object(b, {{"G6PD", terms(b, {{"B/B", "Normal"},
                                                                      {"B/Med", "Deficient"},
                                                                      {"Med/Med", nullptr}})}})}});
  CallNormalizer::Table genotype_table = finished(b, genotypes);
  return CallNormalizer(rules_table, phenotype_table, genotype_table);
}

// Arbitrary bytes as the WTF-8 text a reader would hand over: ASCII as is, any other byte
// with the next one as a code point from U+0080 up (lone surrogates included).
std::string wtf8(const std::string &bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(byte));
      continue;
    }
    char32_t low = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[++i]) : 0;
    char32_t c = 0x80 + ((static_cast<char32_t>(byte & 0x7F) << 8) | low);
    text::append_code_point(out, byte == 0xFF ? 0x10000 + (low << 8) : c);
  }
  return out;
}

std::string pick(FuzzedDataProvider &in, std::initializer_list<std::string_view> known) {
  if (in.ConsumeBool())
    return wtf8(in.ConsumeRandomLengthString(64));
  std::size_t index = in.ConsumeIntegralInRange<std::size_t>(0, known.size() - 1);
  return std::string(known.begin()[index]);
}

std::optional<std::string> maybe(FuzzedDataProvider &in,
                                 std::initializer_list<std::string_view> known) {
  if (in.ConsumeIntegralInRange(0, 7) == 0)
    return std::nullopt;
  return pick(in, known);
}

RawCall make_call(FuzzedDataProvider &in) {
  RawCall call;
  call.gene = pick(in, {"CYP2D6", "CYP2C9", "HLA-B", "HLA-GG", "G6PD", "MT-RNR1", ""});
  call.diplotype = maybe(in, {"*1/*4.001", "*4.001", "B (wildtype)/Mediterranean", " NA ",
                              "B*57:01:01:02/B*07:02", "//", "Unknown/Unknown", "*1/*2/*3",
                              "*68 + *4.001/*4.001", "+*1.2+ /c.1905+1G>A"});
  for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
    call.phenotypes.push_back(
        maybe(in, {"PM", "IM", "UM", "EMPTY", "Indeterminate", "positive", "negative", "n/a"}));
  call.source = maybe(in, {"pharmcat_report", "pharmcat_phenotype", "pbstarphase", "pypgx"});
  call.phenotype_source = maybe(in, {"CPIC", "DPWG"});
  call.ambiguous_phenotype = in.ConsumeBool();
  return call;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  FuzzedDataProvider in(data, size);
  CallNormalizer normalizer = make_normalizer(in.ConsumeIntegral<std::uint8_t>());
  json::Writer out(json::Layout::indented);
  out.begin_array();
  while (in.remaining_bytes() > 0) {
    const RawCall call = make_call(in);
    fuzz::allowing_content_errors([&] {
      GeneOutcome outcome = normalizer.normalize(call);
      fuzz::check(outcome.gene == call.gene && outcome.source == call.source,
                  "the outcome lost its gene or source");
      if (normalizer.is_passthrough(call.source))
        fuzz::check(outcome.star_allele == call.diplotype, "passthrough changed the diplotype");
      else if (call.ambiguous_phenotype)
        fuzz::check(!outcome.activity, "an ambiguous phenotype gave an Activity");
      outcome.write_result(out);
      outcome.write_provenance(out);
    });
    if (call.diplotype)
      for (std::string_view piece : CallNormalizer::split(*call.diplotype))
        fuzz::check(piece.data() >= call.diplotype->data() &&
                        piece.data() + piece.size() <=
                            call.diplotype->data() + call.diplotype->size(),
                    "a piece outside its diplotype");
  }
  out.end_array();
  normalizer.log_unmapped();
  json::Document versions = normalizer.mapping_versions();
  fuzz::check(versions.root().size() == 3, "mapping versions without three members");
  return 0;
}
