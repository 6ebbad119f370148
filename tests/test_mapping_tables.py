"""Consistency of the packaged mapping tables: with the platform vocabulary, with each other and
with what the callers actually write (docs/mapping-tables.md gives the reason for every entry)."""

import json
from importlib.resources import files
from itertools import product
from pathlib import Path

import pytest

from OrvellePgxParser.OrvellePgxParser import _SOURCE_RANK

DATA = Path(__file__).resolve().parent / "data"
TABLES = ("gene_rules", "phenotype_terms", "genotype_terms")
CALLER_IDS = set(_SOURCE_RANK)  # every caller a reader names


def packaged(name):
    """A table as shipped in the installed package, read with the host's own JSON reader."""
    text = files("OrvellePgxParser.Mappings").joinpath(name + ".json").read_text(encoding="utf-8")
    return json.loads(text)


def shipped_data(name):
    return json.loads((DATA / name).read_text(encoding="utf-8"))


RULES = packaged("gene_rules")
PHENOTYPES = packaged("phenotype_terms")
GENOTYPES = packaged("genotype_terms")
VOCABULARY = packaged("platform_vocabulary")
PLATFORM_TERMS = {term for group in VOCABULARY["groups"] for term in group["terms"]}
PHARMCAT = shipped_data("pharmcat_phenotype_texts.json")
CALLERS = shipped_data("caller_forms.json")
GUIDED = RULES["genotype_guided_genes"]


def has_phenotype_entry(gene, text):
    """Whether the normaliser finds an entry (mapped or null) for this caller text."""
    return text in PHENOTYPES["genes"].get(gene, {}) or text in PHENOTYPES["global"]


def phenotype_entry(gene, text):
    per_gene = PHENOTYPES["genes"].get(gene, {})
    return per_gene[text] if text in per_gene else PHENOTYPES["global"].get(text)


def pharmcat_texts():
    """(gene, text) for every phenotype text of every PharmCAT section in the test data."""
    return sorted({(gene, text) for gene, sections in PHARMCAT["genes"].items()
                   for texts in sections.values() for text in texts})


def pharmcat_sample_diplotypes(samples):
    """(file, gene, label, phenotypes) of the first source diplotype and of the single
    recommendation diplotype of every gene report in the real PharmCAT outputs, whichever of the
    layouts (keyed by gene, or by source then gene), unannotated calls included."""
    for path in sorted((samples / "pharmcat").glob("*.json")):
        document = json.loads(path.read_text(encoding="utf-8"))
        if not isinstance(document, dict):  # PharmCAT's message rules, not an output
            continue
        container = document.get("geneReports") or document.get("genes")
        if not isinstance(container, dict):
            continue
        reports = list(container.values())
        if not any("geneSymbol" in report for report in reports if isinstance(report, dict)):
            reports = [r for section in reports if isinstance(section, dict) for r in section.values()]
        for report in reports + (document.get("unannotatedGeneCalls") or []):
            recommended = report.get("recommendationDiplotypes") or []
            for diplotype in (report.get("sourceDiplotypes") or [])[:1] + recommended[:1]:
                yield path.name, report["geneSymbol"], diplotype.get("label"), diplotype.get("phenotypes") or []


@pytest.mark.parametrize("name", TABLES + ("platform_vocabulary",))
def test_every_table_carries_a_version(name):
    version = packaged(name).get("version")
    assert isinstance(version, str) and version.strip()


def test_the_tables_load_through_the_package_loader_unchanged():
    from OrvellePgxParser.Mappings import load_mapping

    for name in TABLES:
        assert load_mapping(name) == packaged(name), name


class TestPlatformVocabulary:
    def test_each_term_is_listed_once_with_its_source(self):
        listed = [term for group in VOCABULARY["groups"] for term in group["terms"]]
        assert len(listed) == len(set(listed))
        assert all(group.get("source") for group in VOCABULARY["groups"])

    def test_terms_a_hand_table_may_write_as_they_are_are_platform_vocabulary(self):
        accepted = RULES["caller_rules"]["diplotype_table"]["accepted_terms"]
        assert {t for terms in accepted.values() for t in terms} - PLATFORM_TERMS == set()

    def test_what_the_passthrough_caller_writes_is_platform_vocabulary(self):
        # PyPGx's terms reach the platform unchanged, so the vocabulary must hold each of them.
        assert set(CALLERS["pypgx"]["phenotypes"]) - PLATFORM_TERMS == set()


class TestPhenotypeTerms:
    def test_every_mapped_phenotype_is_a_platform_term(self):
        sections = [("global", PHENOTYPES["global"])] + list(PHENOTYPES["genes"].items())
        stray = {(where, text, term) for where, table in sections for text, term in table.items()
                 if term is not None and term not in PLATFORM_TERMS}
        assert stray == set()

    def test_every_pharmcat_phenotype_text_has_an_entry(self):
        missing = [(gene, text) for gene, text in pharmcat_texts() if not has_phenotype_entry(gene, text)]
        assert missing == []

    def test_allele_status_texts_are_only_mapped_per_gene(self):
        # "*57:01 positive" means nothing without the gene it was tested in.
        assert [text for text in PHENOTYPES["global"] if text.startswith("*")] == []

    def test_hla_status_terms_name_the_gene_they_were_reported_for(self):
        for gene in RULES["hla_genes"]:
            for text, term in PHENOTYPES["genes"].get(gene, {}).items():
                assert term in (None, gene + text), (gene, text, term)

    def test_real_pharmcat_phenotypes_are_no_calls_or_have_an_entry(self, shared_samples):
        tokens = set(RULES["no_call_tokens"])
        missing = {(name, gene, text)
                   for name, gene, _, phenotypes in pharmcat_sample_diplotypes(shared_samples)
                   for text in phenotypes
                   if text.strip() not in tokens and not has_phenotype_entry(gene, text)}
        assert missing == set()


class TestGenotypeTerms:
    def test_tables_exist_exactly_for_the_genotype_guided_genes(self):
        for section in ("alleles", "diplotype_activity"):
            assert set(GENOTYPES[section]) == set(GUIDED), section
            assert all(GENOTYPES[section][gene] for gene in GUIDED), section

    @pytest.mark.parametrize("gene", GUIDED)
    def test_diplotypes_are_every_ordered_pair_of_mapped_alleles(self, gene):
        mapped = {name for name in GENOTYPES["alleles"][gene].values() if name is not None}
        expected = {first + "/" + second for first, second in product(mapped, repeat=2)}
        assert set(GENOTYPES["diplotype_activity"][gene]) == expected

    @pytest.mark.parametrize("gene", GUIDED)
    def test_both_orders_of_a_diplotype_give_the_same_activity(self, gene):
        table = GENOTYPES["diplotype_activity"][gene]
        for diplotype, term in table.items():
            first, second = diplotype.split("/")
            assert table[second + "/" + first] == term, diplotype

    def test_every_diplotype_activity_is_a_platform_term(self):
        stray = {(gene, diplotype, term) for gene, table in GENOTYPES["diplotype_activity"].items()
                 for diplotype, term in table.items() if term is not None and term not in PLATFORM_TERMS}
        assert stray == set()

    @pytest.mark.parametrize("caller", ["pharmcat", "pbstarphase"])
    @pytest.mark.parametrize("gene", GUIDED)
    def test_every_allele_name_the_callers_write_is_mapped(self, caller, gene):
        written = CALLERS[caller]["alleles"][gene]
        assert [name for name in written if GENOTYPES["alleles"][gene].get(name) is None] == []

    @pytest.mark.parametrize("gene", GUIDED)
    def test_platform_allele_names_are_spelled_as_the_passthrough_caller_writes_them(self, gene):
        platform_names = {name for name in GENOTYPES["alleles"][gene].values() if name is not None}
        assert platform_names <= set(CALLERS["pypgx"]["alleles"][gene])

    def test_real_pharmcat_labels_of_genotype_guided_genes_are_mapped(self, shared_samples):
        tokens = set(RULES["no_call_tokens"])
        unmapped = {(name, gene, piece)
                    for name, gene, label, _ in pharmcat_sample_diplotypes(shared_samples)
                    if gene in GUIDED and label and label.strip() not in tokens
                    for piece in label.split("/")
                    if GENOTYPES["alleles"][gene].get(piece.strip()) is None}
        assert unmapped == set()


class TestGeneRules:
    def test_passthrough_sources_are_caller_identifiers(self):
        assert set(RULES["passthrough_sources"]) <= CALLER_IDS

    def test_every_no_result_form_of_the_callers_is_a_no_call_token(self):
        forms = set(PHARMCAT["no_result"]["phenotypes"]) | set(PHARMCAT["no_result"]["diplotypes"])
        forms |= set(CALLERS["pharmcat"]["no_result"]) | set(CALLERS["pbstarphase"]["no_result"])
        assert forms - set(RULES["no_call_tokens"]) == set()

    def test_no_call_tokens_are_never_mapped(self):
        # A token is tested against phenotypes as well as diplotypes: a mapped term that is also a
        # token (say "Indeterminate") would silently become "no phenotype".
        keys = set(PHENOTYPES["global"])
        for section in (PHENOTYPES["genes"], GENOTYPES["alleles"], GENOTYPES["diplotype_activity"]):
            keys |= {key for table in section.values() for key in table}
        assert keys & {token.strip() for token in RULES["no_call_tokens"]} == set()

    def test_caller_rules_cover_the_no_results_of_their_caller(self):
        assert set(RULES["caller_rules"]) <= CALLER_IDS
        assert set(CALLERS["pypgx"]["no_result"]) <= set(
            RULES["caller_rules"]["pypgx"]["no_call_diplotypes"])

    def test_pypgx_phenotyped_genes_match_its_real_tables(self, shared_samples):
        # A table whose every phenotype is the placeholder comes from a gene PyPGx has no
        # phenotype method for; any other phenotype shows a gene it does phenotype.
        pypgx = RULES["caller_rules"]["pypgx"]
        tables = sorted((shared_samples / "pypgx" / "generated").glob("*.tsv"))
        assert tables
        for path in tables:
            gene = path.name.split(".")[0]
            phenotypes = {line.split("\t")[2] for line in path.read_text().splitlines()[1:]}
            placeholder_only = phenotypes <= set(pypgx["placeholder_phenotypes"])
            assert (gene in pypgx["phenotyped_genes"]) is not placeholder_only, gene

    def test_gene_categories_do_not_shadow_each_other(self):
        guided, hla, single = set(GUIDED), set(RULES["hla_genes"]), set(RULES["single_allele_genes"])
        assert guided & hla == set() and guided & single == set() and hla & single == set()

    def test_g6pd_keeps_both_alleles(self):
        # X-linked: a heterozygous female's two alleles must not collapse to the first one.
        assert "G6PD" not in RULES["single_allele_genes"]

    def test_every_pharmcat_phenotype_section_is_a_known_source_cpic_first(self):
        sections = {section for sections in PHARMCAT["genes"].values() for section in sections} - {"single"}
        assert sections <= set(RULES["phenotype_source_preference"])
        assert RULES["phenotype_source_preference"][0] == "CPIC"

    def test_recoverable_genes_have_no_mapped_pharmcat_phenotype(self):
        # Only genes PharmCAT gives no guideline phenotype for may be kept from pbStarPhase alone.
        recovered = {(gene, text) for gene, text in pharmcat_texts()
                     if gene in RULES["recoverable_genes"] and phenotype_entry(gene, text) is not None}
        assert recovered == set()
