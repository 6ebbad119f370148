// core/src/convert/read_inputs.cpp: every input read into calls for one sample only.
//
// A result is one patient's. Files that name their one sample (PharmCAT's outputs) are read
// first; the sample they agree on is the one whose rows a table of several samples (a PyPGx
// cohort table) gives. Inputs that name different samples stop the run before anything is
// written, unless the request names the sample to convert: then files of another sample
// contribute nothing. A cohort's own name for a sample only chooses table rows; its files
// may call the sample otherwise.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/log.h"
#include "orvelle/readers/pgx_reader_factory.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {
namespace {

struct InputRead {
  explicit InputRead(std::unique_ptr<IPgxReader> made) : reader(std::move(made)) {}

  std::unique_ptr<IPgxReader> reader;
  std::vector<RawCall> calls;
  OrvellePgxParser::CallerVersions versions;
  std::optional<std::string> sample; ///< as the file names it
  bool read = false;
};

// The one sample the read inputs name (those `counts` lets count), or nullopt when none
// names one. Throws ValueError naming every sample and its files when they differ.
template <typename Counts>
std::optional<std::string> agreed_sample(const std::vector<InputRead> &inputs, Counts counts) {
  std::vector<std::pair<std::string, std::vector<std::string>>> named; // first-seen order
  for (const InputRead &input : inputs) {
    if (!input.read || !input.sample || !counts(input))
      continue;
    auto same = [&](const auto &entry) { return entry.first == *input.sample; };
    auto found = std::find_if(named.begin(), named.end(), same);
    if (found == named.end())
      found = named.insert(named.end(), {*input.sample, {}});
    found->second.push_back(input.reader->file_path());
  }
  if (named.size() <= 1)
    return named.empty() ? std::nullopt : std::optional(named.front().first);
  std::vector<std::string> listed;
  for (const auto &[name, files] : named)
    listed.push_back(text::quoted(name) + " (" + text::join(", ", files) + ")");
  throw ValueError("inputs name more than one sample: " + text::join(", ", listed) +
                   "; convert them separately or name one with --sample");
}

bool every_input(const InputRead &) { return true; }
bool names_one_sample(const InputRead &input) { return !input.reader->holds_several_samples(); }

} // namespace

std::vector<RawCall> OrvellePgxParser::read_inputs(const std::vector<std::string> &files) {
  std::vector<InputRead> inputs;
  inputs.reserve(files.size());
  for (const std::string &file_path : files) { // every file recognised before any is read
    failed_input = file_path;
    inputs.emplace_back(PgxReaderFactory::reader_for(file_path));
  }
  auto read = [&](InputRead &input) {
    failed_input = input.reader->file_path();
    input.calls = read_calls_and_versions(*input.reader, input.versions);
    input.sample = input.reader->named_sample();
    input.read = true;
  };

  for (InputRead &input : inputs)
    if (names_one_sample(input))
      read(input);
  // Unless the request names the sample, the files that name theirs must agree on it.
  const std::optional<std::string> files_sample =
      sample ? std::nullopt : agreed_sample(inputs, names_one_sample);
  const std::optional<std::string> table_sample = sample         ? sample
                                                  : sample_label ? sample_label
                                                                 : files_sample;
  for (InputRead &input : inputs)
    if (!input.read) {
      input.reader->take_sample(table_sample); // a table of several samples gives one
      read(input);
    }

  failed_input.reset(); // what fails from here on is no one file's
  if (sample) {
    auto named_it = [&](const InputRead &input) { return input.sample == sample; };
    named_sample = std::any_of(inputs.begin(), inputs.end(), named_it) ? sample : std::nullopt;
  } else if (sample_label) {
    // Tables gave the label's rows; the files that name their sample may call it otherwise.
    named_sample = files_sample;
    if (files_sample && *files_sample != *sample_label)
      log::warning("the inputs name sample %r, not %r", {*files_sample, *sample_label});
    else if (!files_sample)
      named_sample = agreed_sample(inputs, every_input);
  } else {
    // Tables that took their first row's sample must have taken the same one.
    named_sample = agreed_sample(inputs, every_input);
  }

  std::vector<RawCall> calls;
  unknown_genes.clear();
  for (InputRead &input : inputs) {
    const std::string &file_path = input.reader->file_path();
    if (sample && input.sample && input.sample != sample) {
      log::warning("%s names sample %r, not %r; its calls are left out",
                   {file_path, *input.sample, *sample});
      continue;
    }
    for (const std::string &gene : input.reader->unknown_genes())
      unknown_genes.push_back(std::string(io::base_name(file_path)) + ": " + gene);
    log::info("%s: %d gene call(s) from %s",
              {std::string(io::base_name(file_path)), static_cast<std::int64_t>(input.calls.size()),
               std::string(input.reader->source_name())});
    if (calls.empty()) // one file, or the first: its calls as they are, not a copy
      calls = std::move(input.calls);
    else
      calls.insert(calls.end(), std::make_move_iterator(input.calls.begin()),
                   std::make_move_iterator(input.calls.end()));
    record_versions(std::move(input.versions));
  }
  return calls;
}

} // namespace orvelle
