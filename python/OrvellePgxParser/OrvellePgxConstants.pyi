class OrvellePgxConstants:
    """The shared constants of the converter."""

    INPUT_FILES: str = 'input_files'

    INPUT_DIR: str = 'input_dir'

    OUTPUT_DIR: str = 'output_dir'

    OUTPUT_JSON: str = 'output_json'

    GZIP_OUTPUT: str = 'gzip_output'

    WRITE_PROVENANCE: str = 'write_provenance'

    RECOVER_DROPPED_GENES: str = 'recover_dropped_genes'

    GENE_FILTER: str = 'gene_filter'

    PHENOTYPE_SOURCE: str = 'phenotype_source'

    SAMPLE: str = 'sample'

    SAMPLE_LABEL: str = 'sample_label'

    DEFAULT_OUTPUT_JSON: str = 'orvelle_pgx.json'

    PROVENANCE_SUFFIX: str = '.provenance.json'

    CALLER_PHARMCAT_REPORT: str = 'pharmcat_report'

    CALLER_PHARMCAT_PHENOTYPE: str = 'pharmcat_phenotype'

    CALLER_PBSTARPHASE: str = 'pbstarphase'

    CALLER_PYPGX: str = 'pypgx'

    CALLER_DIPLOTYPE_TABLE: str = 'diplotype_table'

    CALLER_CYRIUS: str = 'cyrius'

    CALLER_STELLARPGX: str = 'stellarpgx'

    CALLER_ALDY: str = 'aldy'

    ID: str = 'Id'

    NAME: str = 'Name'

    STAR_ALLELE: str = 'StarAllele'

    ACTIVITY: str = 'Activity'

    SOURCE: str = 'source'

    PROVENANCE_PHENOTYPE_SOURCE: str = 'phenotypeSource'

    WARNINGS: str = 'warnings'

    MAPPING_GENE_RULES: str = 'gene_rules'

    MAPPING_PHENOTYPE_TERMS: str = 'phenotype_terms'

    MAPPING_GENOTYPE_TERMS: str = 'genotype_terms'
