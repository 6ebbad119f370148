# core/src/csv/sources.cmake: the host-compatible csv reader, DictReader and Sniffer.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dict_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reader.cpp)
