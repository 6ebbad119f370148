# core/src/records/sources.cmake: the records a conversion passes on (a gene's result).
target_sources(orvelle_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/gene_outcome.cpp)
