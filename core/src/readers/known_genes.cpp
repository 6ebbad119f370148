// core/src/readers/known_genes.cpp: the known pharmacogene symbols: those of PharmCAT, PyPGx,
// pbStarPhase and the CYP2D6 callers (Cyrius, StellarPGx, Aldy call none outside PyPGx's list).
#include "orvelle/readers/known_genes.h"

#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {
namespace {

constexpr std::string_view KNOWN_GENES[] = {
    "ABCB1",    "ABCG2",    "ACYP2",    "ADRA2A",   "ADRB2",    "ANKK1",    "APOE",     "ATM",
    "BCHE",     "BDNF",     "CACNA1S",  "CFTR",     "COMT",     "CYP17A1",  "CYP19A1",  "CYP1A1",
    "CYP1A2",   "CYP1B1",   "CYP26A1",  "CYP2A13",  "CYP2A6",   "CYP2A7",   "CYP2B6",   "CYP2B7",
    "CYP2C19",  "CYP2C8",   "CYP2C9",   "CYP2D6",   "CYP2D7",   "CYP2E1",   "CYP2F1",   "CYP2J2",
    "CYP2R1",   "CYP2S1",   "CYP2W1",   "CYP3A4",   "CYP3A43",  "CYP3A5",   "CYP3A7",   "CYP4A11",
    "CYP4A22",  "CYP4B1",   "CYP4F2",   "DBH",      "DPYD",     "DRD2",     "EGFR",     "F2",
    "F5",       "G6PD",     "GRIK1",    "GRIK4",    "GRIN2B",   "GSTM1",    "GSTP1",    "GSTT1",
    "HLA-A",    "HLA-B",    "HLA-C",    "HLA-DPA1", "HLA-DPB1", "HLA-DQA1", "HLA-DQB1", "HLA-DRB1",
    "HLA-DRB3", "HLA-DRB4", "HLA-DRB5", "HTR1A",    "HTR2A",    "IFNL3",    "IFNL4",    "ITGB3",
    "ITPA",     "MT-RNR1",  "MTHFR",    "NAT1",     "NAT2",     "NUDT15",   "OPRK1",    "OPRM1",
    "POR",      "PTGIS",    "RARG",     "RYR1",     "SLC15A2",  "SLC22A2",  "SLC28A3",  "SLC47A2",
    "SLC6A4",   "SLCO1B1",  "SLCO1B3",  "SLCO2B1",  "SULT1A1",  "TBXAS1",   "TPMT",     "UGT1A1",
    "UGT1A4",   "UGT1A6",   "UGT2B15",  "UGT2B17",  "UGT2B7",   "VDR",      "VKORC1",   "XPC"};

bool is_word_character(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equal_ignoring_case(std::string_view text, std::string_view symbol) {
  return text.size() == symbol.size() &&
         std::equal(text.begin(), text.end(), symbol.begin(),
                    [](char a, char b) { return ascii_upper(a) == b; });
}

} // namespace

std::span<const std::string_view> known_genes() noexcept { return KNOWN_GENES; }

std::string_view known_gene(std::string_view text) noexcept {
  text = text::strip(text);
  for (std::string_view symbol : KNOWN_GENES)
    if (equal_ignoring_case(text, symbol))
      return symbol;
  return {};
}

std::vector<std::string_view> known_genes_in(std::string_view name) {
  std::vector<std::string_view> found;
  for (std::string_view symbol : KNOWN_GENES)
    for (std::size_t at = 0; at + symbol.size() <= name.size(); ++at) {
      const bool starts_word = at == 0 || !is_word_character(name[at - 1]);
      const std::size_t end = at + symbol.size();
      const bool ends_word = end == name.size() || !is_word_character(name[end]);
      if (starts_word && ends_word && equal_ignoring_case(name.substr(at, symbol.size()), symbol)) {
        found.push_back(symbol);
        break;
      }
    }
  return found;
}

} // namespace orvelle
