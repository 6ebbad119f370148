// fuzz/fuzz_cyrius.cpp: the Cyrius reader on any file content, as its TSV and as its JSON,
// whole and as one sample's call (the first's, and one named by the input's first bytes),
// which is never more than the whole.
#include "fuzz_support.h"

#include "orvelle/readers/cyrius_reader.h"

#include <optional>

using namespace orvelle;

namespace {

std::optional<std::size_t> calls_of(CyriusReader &reader) {
  std::optional<std::size_t> count;
  fuzz::allowing_content_errors([&] { count = reader.parse().size(); });
  return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::log_everything();
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  for (std::string_view name : {"run.tsv", "run.json"}) {
    const std::string path = fuzz::write_input(name, data, size);
    CyriusReader whole(path);
    fuzz::parse_and_check(whole);
    CyriusReader all(path);
    const std::optional<std::size_t> every = calls_of(all);
    for (std::optional<std::string> sample :
         {std::optional<std::string>(), std::optional<std::string>(text.substr(0, 8))}) {
      CyriusReader one(path);
      one.take_sample(sample);
      if (std::optional<std::size_t> taken = calls_of(one); taken && every)
        fuzz::check(*taken <= *every, "one sample's calls outnumber the file's");
    }
  }
  return 0;
}
