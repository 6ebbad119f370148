// core/src/readers/reader_table.cpp: the input readers, one entry each, in the order they are
// tried.
#include "orvelle/readers/reader_table.h"

#include "pypgx_archive.h"

#include "orvelle/constants.h"
#include "orvelle/readers/aldy_reader.h"
#include "orvelle/readers/cyrius_reader.h"
#include "orvelle/readers/diplotype_sheet_reader.h"
#include "orvelle/readers/pharmcat_json_reader.h"
#include "orvelle/readers/pharmcat_report_tsv_reader.h"
#include "orvelle/readers/pypgx_table_reader.h"
#include "orvelle/readers/starphase_json_reader.h"
#include "orvelle/readers/starphase_tsv_reader.h"
#include "orvelle/readers/stellarpgx_alleles_reader.h"
#include "orvelle/readers/stellarpgx_summary_reader.h"

namespace orvelle {
namespace {

template <typename Reader> std::unique_ptr<IPgxReader> make(const std::string &file_path) {
  return std::make_unique<Reader>(file_path);
}

// PharmCAT's Named Allele Matcher output (<base>.match.json, all releases): "metadata" naming
// the matcher's version beside the "results" list.
bool is_matcher_output(const json::Value &root) {
  const json::Value *metadata = root.is_object() ? root.find("metadata") : nullptr;
  return metadata != nullptr && metadata->is_object() &&
         metadata->find("namedAlleleMatcherVersion") != nullptr && root.find("results") != nullptr;
}

// A header test of a table's first row, as a test of its first rows.
template <bool (*header_test)(std::span<const std::string>)>
bool first_row(std::span<const std::vector<std::string>> rows) {
  return !rows.empty() && header_test(rows.front());
}

namespace c = constants;

// Each caller's rank: a higher rank wins the merge (the reasons: docs/mapping-tables.md).
const CallerRank RANKS[] = {
    // The CYP2D6 specialists outrank every other caller, as PharmCAT lets an outside call
    // outrank its own matcher; equal among themselves, so their disagreement is a gap.
    {c::CALLER_CYRIUS, 4},
    {c::CALLER_STELLARPGX, 4},
    {c::CALLER_ALDY, 4},
    {c::CALLER_PHARMCAT_REPORT, 3},    // PharmCAT's report: its calls with its own guidance
    {c::CALLER_PHARMCAT_PHENOTYPE, 2}, // the same calls, without the report's versions
    {c::CALLER_PBSTARPHASE, 1},
    {c::CALLER_PYPGX, 1},
    {c::CALLER_DIPLOTYPE_TABLE, 0}, // a hand-made table, as an unknown caller
};

const ReaderEntry READERS[] = {
    {.caller = c::CALLER_PHARMCAT_REPORT,
     .endings = {".json"},
     .expected = "not PharmCAT's matcher output",
     .json_shape = is_matcher_output,
     .refusal = "PharmCAT's Named Allele Matcher output (*.match.json): its calls are those of "
                "the *.report.json and *.phenotype.json of the same run, which add the "
                "phenotypes and outside calls; give one of those instead"},
    {.caller = PharmcatReportJsonReader::SOURCE_NAME,
     .endings = {".json"},
     .expected = "a PharmCAT report JSON (\"genes\" and \"drugs\")",
     .name_parts = {"pharmcat", "report"},
     .json_keys = {"pharmcatVersion", "drugs"},
     .make = make<PharmcatReportJsonReader>},
    {.caller = PharmcatPhenotypeJsonReader::SOURCE_NAME,
     .endings = {".json"},
     .expected = "a PharmCAT phenotype JSON (\"geneReports\")",
     .name_parts = {"pharmcat", "phenotype"},
     .json_keys = {"geneReports"},
     .make = make<PharmcatPhenotypeJsonReader>},
    {.caller = StarPhaseJsonReader::SOURCE_NAME,
     .endings = {".json"},
     .expected = "a pbStarPhase JSON (\"gene_details\")",
     .name_parts = {"starphase"},
     .json_keys = {"gene_details", "pbstarphase_version"},
     .make = make<StarPhaseJsonReader>},
    {.caller = PharmcatReportTsvReader::SOURCE_NAME,
     .endings = {".tsv"},
     .expected = PharmcatReportTsvReader::EXPECTED,
     .tsv_head = PharmcatReportTsvReader::is_report_tsv,
     .make = make<PharmcatReportTsvReader>},
    {.caller = PyPgxTableReader::SOURCE_NAME,
     .endings = {".tsv"},
     .expected = PyPgxTableReader::EXPECTED,
     .tsv_head = first_row<PyPgxTableReader::is_pypgx_table>,
     .make = make<PyPgxTableReader>},
    {.caller = PyPgxTableReader::SOURCE_NAME,
     .endings = {".zip"},
     .expected = PyPgxTableReader::EXPECTED_ARCHIVE,
     .passed_over = pypgx_archive_passed_over,
     .make = make<PyPgxTableReader>},
    {.caller = CyriusReader::SOURCE_NAME,
     .endings = {".tsv"},
     .expected = "a Cyrius table (header Sample, Genotype, Filter)",
     .tsv_head = first_row<CyriusReader::is_cyrius_table>,
     .make = make<CyriusReader>},
    {.caller = CyriusReader::SOURCE_NAME,
     .endings = {".json"},
     .expected = "a Cyrius JSON (samples with Genotype, Filter, Total_CN, CNV_group)",
     .json_shape = CyriusReader::is_cyrius_json,
     .make = make<CyriusReader>},
    {.caller = StellarPgxAllelesReader::SOURCE_NAME,
     .endings = {".alleles"},
     .expected = "a StellarPGx .alleles file (its title and a Result: section)",
     .make = make<StellarPgxAllelesReader>},
    // The summary is written as .txt, sometimes saved as .tsv; a .txt beside a caller's output
    // that is no summary (a README, notes) is passed over by a folder scan.
    {.caller = StellarPgxSummaryReader::SOURCE_NAME,
     .endings = {".tsv"},
     .expected = StellarPgxSummaryReader::EXPECTED,
     .tsv_head = StellarPgxSummaryReader::is_summary,
     .make = make<StellarPgxSummaryReader>},
    {.caller = StellarPgxSummaryReader::SOURCE_NAME,
     .endings = {".txt"},
     .expected = StellarPgxSummaryReader::EXPECTED,
     .tsv_head = StellarPgxSummaryReader::is_summary,
     .passed_over = StellarPgxSummaryReader::passed_over,
     .make = make<StellarPgxSummaryReader>},
    {.caller = AldyReader::SOURCE_NAME,
     .endings = {".tsv"},
     .expected = "an Aldy table (header #Sample, Gene, SolutionID, Major, Minor, ...)",
     .tsv_head = first_row<AldyReader::is_aldy_table>,
     .make = make<AldyReader>},
    {.caller = AldyReader::SOURCE_NAME,
     .endings = {".aldy"},
     .expected = "an Aldy .aldy file (header #Sample, Gene, SolutionID, Major, Minor, ...)",
     .make = make<AldyReader>},
    {.caller = StarPhaseTsvReader::SOURCE_NAME,
     .endings = {".tsv"},
     .expected = StarPhaseTsvReader::EXPECTED,
     .make = make<StarPhaseTsvReader>},
    {.caller = DiplotypeSheetReader::SOURCE_NAME,
     .endings = {".csv"},
     .expected = DiplotypeSheetReader::EXPECTED,
     .make = make<DiplotypeSheetReader>},
    {.caller = DiplotypeSheetReader::SOURCE_NAME,
     .endings = {".json"},
     .expected = DiplotypeSheetReader::EXPECTED,
     .json_shape = DiplotypeSheetReader::is_sheet_json,
     .make = make<DiplotypeSheetReader>},
};

} // namespace

std::span<const ReaderEntry> reader_table() { return READERS; }

std::span<const CallerRank> caller_rank_table() { return RANKS; }

} // namespace orvelle
