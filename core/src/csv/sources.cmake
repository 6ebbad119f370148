# core/src/csv/sources.cmake: the host-compatible csv reader and DictReader, and the sample the
# host's sniffer is asked about.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dict_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sniffer.cpp)
