// core/src/normalize/term_index.cpp: indexing term objects and per-gene sections once.
#include "orvelle/normalize/term_index.h"

#include "orvelle/text/host_text.h"
#include "table_members.h"

namespace orvelle::normalize {

TermIndex::TermIndex(const json::Value &object) {
  members_.reserve(object.size());
  for (const json::Member &member : object.members())
    members_.emplace(member.key, &member.value);
}

GeneSections::GeneSections(std::string_view table, std::string_view section,
                           const json::Value &object) {
  genes_.reserve(object.size());
  for (const json::Member &member : object.members()) {
    Resolved<TermIndex> entry;
    if (member.value.is_object())
      entry = Resolved<TermIndex>(TermIndex(member.value));
    else if (member.value.truthy())
      entry = Resolved<TermIndex>::failure(
          wrong_shape(member_place(table, section) + " entry " + text::quoted(member.key),
                      "an object", member.value));
    genes_.emplace(member.key, std::move(entry));
  }
}

const TermIndex &GeneSections::entry(std::string_view gene) const {
  static const TermIndex empty;
  auto found = genes_.find(gene);
  return found == genes_.end() ? empty : found->second.get();
}

} // namespace orvelle::normalize
