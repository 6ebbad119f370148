# core/src/normalize/sources.cmake: the normaliser: a raw call to a gene's result by the mapping
# tables.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/activities.cpp
  ${CMAKE_CURRENT_LIST_DIR}/call_normalizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/caller_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diplotype_pieces.h
  ${CMAKE_CURRENT_LIST_DIR}/gene_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/star_alleles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/suballele.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_members.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_members.h
  ${CMAKE_CURRENT_LIST_DIR}/term_index.cpp
  ${CMAKE_CURRENT_LIST_DIR}/term_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_set.cpp
  ${CMAKE_CURRENT_LIST_DIR}/whole_number.cpp)
