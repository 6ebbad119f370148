# core/src/host/sources.cmake: the rules the core asks of its host.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/host_rules.cpp)
