// fuzz/fuzz_stellarpgx_summary.cpp: the StellarPGx cohort summary reader on any file content,
// named with its gene as StellarPGx's users name it: whole, every call a call or a gap that says
// why; as one sample's calls, never more than the whole; and the folder scan's question whether
// a .txt is passed over, which never passes over what the factory reads as a summary.
#include "fuzz_support.h"

#include "orvelle/readers/pgx_reader_factory.h"
#include "orvelle/readers/stellarpgx_summary_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  const std::string path = fuzz::write_input("run1_cyp2d6_summary.txt", data, size);
  StellarPgxSummaryReader whole(path);
  fuzz::allowing_content_errors([&] {
    for (const RawCall &call : whole.parse()) {
      fuzz::check(call.gene == "CYP2D6", "a call of another gene than the name's");
      fuzz::check(call.diplotype || !call.warnings.empty(), "a gap without a reason");
      fuzz::check(call.phenotypes.empty(), "a phenotype the summary does not hold");
    }
  });
  fuzz::check_one_sample_within_whole<StellarPgxSummaryReader>(
      path, std::string_view(reinterpret_cast<const char *>(data), size));

  std::optional<std::string> passed_over;
  if (!fuzz::allowing_content_errors([&] { passed_over = PgxReaderFactory::left_out(path); }))
    return 0;
  std::unique_ptr<IPgxReader> reader;
  if (fuzz::allowing_content_errors([&] { reader = PgxReaderFactory::reader_for(path); }))
    fuzz::check(!passed_over, "a summary the folder scan passes over");
  return 0;
}
