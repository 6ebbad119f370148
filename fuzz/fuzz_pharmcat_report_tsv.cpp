// fuzz/fuzz_pharmcat_report_tsv.cpp: PharmCAT's calls-only report reader on any file content,
// read whole and as one sample's rows, which are never more than the whole.
#include "fuzz_support.h"

#include "orvelle/readers/pharmcat_report_tsv_reader.h"

#include <optional>

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  const std::string path = fuzz::write_input("merged.report.tsv", data, size);
  PharmcatReportTsvReader whole(path);
  std::optional<std::size_t> every;
  fuzz::allowing_content_errors([&] { every = whole.parse().size(); });

  PharmcatReportTsvReader one(path);
  one.take_sample(std::nullopt);
  fuzz::parse_and_check(one);
  PharmcatReportTsvReader counted(path);
  counted.take_sample(std::nullopt);
  fuzz::allowing_content_errors([&] {
    const std::size_t taken = counted.parse().size();
    fuzz::check(!every || taken <= *every, "one sample's rows outnumber the report's");
  });
  fuzz::allowing_content_errors([&] { whole.read_versions(); });
  return 0;
}
