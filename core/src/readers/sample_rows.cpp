// core/src/readers/sample_rows.cpp: picking the rows of the one sample a reader takes.
#include "sample_rows.h"

#include "orvelle/io/file.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

namespace orvelle {
std::optional<std::string_view> suffix_of(std::string_view name) {
  const std::size_t underscore = name.rfind('_');
  if (underscore == std::string_view::npos || underscore == 0 || underscore + 1 == name.size())
    return std::nullopt;
  return name.substr(underscore);
}

SampleRows::SampleRows(std::optional<std::string> wanted)
    : wanted_(std::move(wanted)), asked_(wanted_.has_value()) {}

SampleRows::SampleRows(std::string wanted, std::string first, std::optional<std::string> suffix,
                       std::size_t samples, bool exact_seen)
    : wanted_(std::move(wanted)), asked_(true), first_(std::move(first)),
      suffix_(std::move(suffix)), exact_seen_(exact_seen), samples_(samples) {}

RowMatch SampleRows::note(std::string_view name) {
  if (names_.empty()) {
    first_ = name;
    if (std::optional<std::string_view> suffix = suffix_of(name))
      suffix_.emplace(*suffix);
  } else if (suffix_ && !name.ends_with(*suffix_)) {
    suffix_.reset();
  }
  names_.emplace(name);

  if (!wanted_)
    wanted_.emplace(name);
  if (name == *wanted_) {
    exact_seen_ = true;
    return RowMatch::exact;
  }
  // A candidate for the suffixed form: the wanted name, "_", and a rest without "_".
  const std::string_view wanted = *wanted_;
  if (name.size() > wanted.size() + 1 && name.starts_with(wanted) && name[wanted.size()] == '_' &&
      name.find('_', wanted.size() + 1) == std::string_view::npos)
    return RowMatch::suffixed;
  return RowMatch::other;
}

bool SampleRows::belongs(RowMatch match) const {
  switch (match) {
  case RowMatch::exact:
    return true;
  case RowMatch::suffixed:
    // Its rest is then the shared suffix itself, the only "_" of the rest being its first.
    return !exact_seen_ && suffix_.has_value();
  case RowMatch::other:
    break;
  }
  return false;
}

std::optional<std::string> SampleRows::note_on_each(std::string_view file_name) const {
  if (sample_count() <= 1 || asked_)
    return std::nullopt;
  return std::string(file_name) + " holds " + std::to_string(sample_count()) +
         " samples; only sample " + text::quoted(*wanted_) + " was read";
}

bool SampleRows::warn_if_missing(std::string_view file_path, std::size_t taken_rows) const {
  if (taken_rows > 0 || !asked() || sample_count() == 0)
    return false;
  if (sample_count() == 1)
    log::warning("%s: no row for sample %r; the table holds only sample %r",
                 {std::string(file_path), *taken(), first()});
  else
    log::warning("%s: no row for sample %r among the table's %d samples",
                 {std::string(file_path), *taken(), static_cast<std::int64_t>(sample_count())});
  return true;
}

std::vector<RawCall> calls_of_sample(std::vector<SampleCall> read,
                                     const std::optional<std::string> &wanted,
                                     const std::string &file_path,
                                     std::optional<std::string> &taken) {
  SampleRows samples(wanted);
  std::vector<RowMatch> matches;
  for (const SampleCall &each : read)
    matches.push_back(samples.note(each.sample));
  const std::optional<std::string> several = samples.note_on_each(io::base_name(file_path));
  std::vector<RawCall> calls;
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (!samples.belongs(matches[i]))
      continue;
    if (several)
      read[i].call.warnings.push_back(*several);
    calls.push_back(std::move(read[i].call));
  }
  if (!samples.warn_if_missing(file_path, calls.size()))
    taken = samples.taken();
  return calls;
}

} // namespace orvelle
