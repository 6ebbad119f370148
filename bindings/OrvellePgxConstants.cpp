// bindings/OrvellePgxConstants.cpp: the shared texts, as members of the namespace
// OrvellePgxConstants inside the module of the same name.
#include "support/nb.h"

#include "orvelle/constants.h"

namespace {
struct Namespace {};
} // namespace

NB_MODULE(OrvellePgxConstants, m) {
  namespace c = orvelle::constants;
  nb::class_<Namespace> ns(m, "OrvellePgxConstants", "The shared constants of the converter.");
  auto set = [&](const char *name, std::string_view value) {
    ns.attr(name) = orvelle::bind::host_str(value);
  };
  set("INPUT_FILES", c::INPUT_FILES);
  set("INPUT_DIR", c::INPUT_DIR);
  set("OUTPUT_DIR", c::OUTPUT_DIR);
  set("OUTPUT_JSON", c::OUTPUT_JSON);
  set("GZIP_OUTPUT", c::GZIP_OUTPUT);
  set("WRITE_PROVENANCE", c::WRITE_PROVENANCE);
  set("RECOVER_DROPPED_GENES", c::RECOVER_DROPPED_GENES);
  set("GENE_FILTER", c::GENE_FILTER);
  set("PHENOTYPE_SOURCE", c::PHENOTYPE_SOURCE);
  set("SAMPLE", c::SAMPLE);
  set("SAMPLE_LABEL", c::SAMPLE_LABEL);
  set("DEFAULT_OUTPUT_JSON", c::DEFAULT_OUTPUT_JSON);
  set("PROVENANCE_SUFFIX", c::PROVENANCE_SUFFIX);
  set("CALLER_PHARMCAT_REPORT", c::CALLER_PHARMCAT_REPORT);
  set("CALLER_PHARMCAT_PHENOTYPE", c::CALLER_PHARMCAT_PHENOTYPE);
  set("CALLER_PBSTARPHASE", c::CALLER_PBSTARPHASE);
  set("CALLER_PYPGX", c::CALLER_PYPGX);
  set("CALLER_DIPLOTYPE_TABLE", c::CALLER_DIPLOTYPE_TABLE);
  set("CALLER_CYRIUS", c::CALLER_CYRIUS);
  set("CALLER_STELLARPGX", c::CALLER_STELLARPGX);
  set("CALLER_ALDY", c::CALLER_ALDY);
  set("ID", c::ID);
  set("NAME", c::NAME);
  set("STAR_ALLELE", c::STAR_ALLELE);
  set("ACTIVITY", c::ACTIVITY);
  set("SOURCE", c::SOURCE);
  set("PROVENANCE_PHENOTYPE_SOURCE", c::PROVENANCE_PHENOTYPE_SOURCE);
  set("WARNINGS", c::WARNINGS);
  set("MAPPING_GENE_RULES", c::MAPPING_GENE_RULES);
  set("MAPPING_PHENOTYPE_TERMS", c::MAPPING_PHENOTYPE_TERMS);
  set("MAPPING_GENOTYPE_TERMS", c::MAPPING_GENOTYPE_TERMS);
}
