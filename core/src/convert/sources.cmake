# core/src/convert/sources.cmake: the driver: input files, reading them, the merge, the run
# and the provenance sidecar.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/orvelle_pgx_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/input_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/merge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/provenance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/read_inputs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/run.cpp)
