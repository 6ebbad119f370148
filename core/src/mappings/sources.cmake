# core/src/mappings/sources.cmake: the packaged mapping tables, read once per process.
target_sources(orvelle_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/mapping_tables.cpp)
