# core/src/csv/sources.cmake: the host-compatible csv reader, DictReader and Sniffer.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dict_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sniff_frequency.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sniff_quotes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sniffer.cpp)
