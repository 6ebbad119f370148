// core/src/readers/reader_table.cpp: the input readers, one entry each, in the order they are
// tried.
#include "orvelle/readers/reader_table.h"

#include "orvelle/constants.h"
#include "orvelle/readers/aldy_reader.h"
#include "orvelle/readers/cyrius_reader.h"
#include "orvelle/readers/diplotype_sheet_reader.h"
#include "orvelle/readers/pharmcat_json_reader.h"
#include "orvelle/readers/pypgx_table_reader.h"
#include "orvelle/readers/starphase_json_reader.h"
#include "orvelle/readers/starphase_tsv_reader.h"
#include "orvelle/readers/stellarpgx_alleles_reader.h"

namespace orvelle {
namespace {

template <typename Reader> std::unique_ptr<IPgxReader> make(const std::string &file_path) {
  return std::make_unique<Reader>(file_path);
}

namespace c = constants;

const ReaderEntry READERS[] = {
    // The specialists (Cyrius, StellarPGx, Aldy) outrank every other caller, as a caller's
    // outside call outranks PharmCAT's own (docs/mapping-tables.md).
    {.caller = c::CALLER_CYRIUS,
     .rank = 4,
     .endings = {".tsv"},
     .tsv_header = CyriusReader::is_cyrius_table,
     .make = make<CyriusReader>},
    {.caller = c::CALLER_CYRIUS,
     .rank = 4,
     .endings = {".json"},
     .json_shape = CyriusReader::is_cyrius_json,
     .make = make<CyriusReader>},
    {.caller = c::CALLER_STELLARPGX,
     .rank = 4,
     .endings = {".alleles"},
     .make = make<StellarPgxAllelesReader>},
    {.caller = c::CALLER_ALDY,
     .rank = 4,
     .endings = {".tsv"},
     .tsv_header = AldyReader::is_aldy_table,
     .make = make<AldyReader>},
    {.caller = c::CALLER_ALDY, .rank = 4, .endings = {".aldy"}, .make = make<AldyReader>},
    {.caller = c::CALLER_PHARMCAT_REPORT,
     .rank = 3,
     .endings = {".json"},
     .name_parts = {"pharmcat", "report"},
     .json_keys = {"pharmcatVersion", "drugs"},
     .make = make<PharmcatReportJsonReader>},
    {.caller = c::CALLER_PHARMCAT_PHENOTYPE,
     .rank = 2,
     .endings = {".json"},
     .name_parts = {"pharmcat", "phenotype"},
     .json_keys = {"geneReports"},
     .make = make<PharmcatPhenotypeJsonReader>},
    {.caller = c::CALLER_PBSTARPHASE,
     .rank = 1,
     .endings = {".json"},
     .name_parts = {"starphase"},
     .json_keys = {"gene_details", "pbstarphase_version"},
     .make = make<StarPhaseJsonReader>},
    {.caller = c::CALLER_PYPGX,
     .rank = 1,
     .endings = {".tsv"},
     .tsv_header = PyPgxTableReader::is_pypgx_table,
     .make = make<PyPgxTableReader>},
    {.caller = c::CALLER_PBSTARPHASE,
     .rank = 1,
     .endings = {".tsv"},
     .make = make<StarPhaseTsvReader>},
    {.caller = c::CALLER_DIPLOTYPE_TABLE,
     .rank = 0,
     .endings = {".csv", ".json"},
     .make = make<DiplotypeSheetReader>},
};

} // namespace

std::span<const ReaderEntry> reader_table() { return READERS; }

} // namespace orvelle
