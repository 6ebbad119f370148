# core/src/readers/sources.cmake: one reader per caller's output format, their table and the
# factory that picks one for a file.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ipgx_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/known_genes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/streaming_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pharmcat_json_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pharmcat_candidates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pharmcat_caveats.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pharmcat_recommendation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pharmcat_report_tsv_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/starphase_json_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/starphase_tsv_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pypgx_table_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pypgx_archive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cyrius_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stellarpgx_result.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stellarpgx_alleles_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stellarpgx_summary_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aldy_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_table_index.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diplotype_sheet_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_head.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reader_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pgx_reader_factory.cpp)
